#pragma once

// What a learner would see as broken on a window: a caption cut short, a control outside its
// parent, two controls on top of each other.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QWidget>

#include <string>
#include <vector>

namespace lexaro::test {

inline std::string NameOf(const QWidget& widget) {
    const QString name = widget.objectName().isEmpty()
                             ? QString::fromLatin1(widget.metaObject()->className())
                             : widget.objectName();
    const QWidget* parent = widget.parentWidget();
    return (parent && !parent->objectName().isEmpty() ? parent->objectName() + "/" : QString())
               .toStdString() +
           name.toStdString();
}

// Parts of Qt's own composite widgets are laid out by Qt.
inline bool InsideQtWidget(const QWidget& widget) {
    for (const QWidget* p = widget.parentWidget(); p != nullptr; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSlider*>(p) ||
            qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QTabBar*>(p) ||
            qobject_cast<const QAbstractScrollArea*>(p))
            return true;
    return false;
}

inline std::vector<std::string> LayoutProblems(const QWidget& root) {
    std::vector<std::string> problems;
    std::vector<std::pair<const QWidget*, QRect>> leaves;
    for (const QWidget* w : root.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&root) || InsideQtWidget(*w) || w->isWindow())
            continue;
        const QWidget* parent = w->parentWidget();
        if (!parent->rect().contains(w->geometry()))
            problems.push_back(NameOf(*w) + " reaches outside " + NameOf(*parent));
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->pixmap().isNull() && label->width() < label->sizeHint().width())
                problems.push_back(NameOf(*w) + " cuts \"" + label->text().toStdString() + "\"");
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            if (!button->text().isEmpty() && button->width() < button->sizeHint().width())
                problems.push_back(NameOf(*w) + " cuts \"" + button->text().toStdString() + "\"");
        } else if (const auto* box = qobject_cast<const QComboBox*>(w)) {
            if (!box->currentText().isEmpty()) {
                QStyleOptionComboBox option;
                option.initFrom(box);
                option.editable = box->isEditable();
                option.frame = true;
                const int icon =
                    box->itemIcon(box->currentIndex()).isNull() ? 0 : box->iconSize().width() + 4;
                const QSize needed = box->style()->sizeFromContents(
                    QStyle::CT_ComboBox, &option,
                    QSize(box->fontMetrics().horizontalAdvance(box->currentText()) + icon,
                          box->fontMetrics().height()),
                    box);
                if (box->width() < needed.width())
                    problems.push_back(NameOf(*w) + " cuts \"" + box->currentText().toStdString() +
                                       "\"");
            }
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            const int title = group->fontMetrics().horizontalAdvance(group->title()) + 16;
            if (group->width() < title)
                problems.push_back(NameOf(*w) + " cuts \"" + group->title().toStdString() + "\"");
        }
        if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
            qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w))
            leaves.emplace_back(w, QRect(w->mapTo(&root, QPoint(0, 0)), w->size()));
    }
    for (std::size_t i = 0; i < leaves.size(); ++i)
        for (std::size_t j = i + 1; j < leaves.size(); ++j)
            if (leaves[i].second.intersects(leaves[j].second))
                problems.push_back(NameOf(*leaves[i].first) + " overlaps " +
                                   NameOf(*leaves[j].first));
    return problems;
}

} // namespace lexaro::test
