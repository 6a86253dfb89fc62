#include "app/UiHelpers.h"

#include "app/FormFit.h"

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <cmath>
#include <utility>

// The pictures are compiled into the static library; nothing else would pull them in.
static void initLexaroResources() {
#ifdef LEXARO_HAVE_RESOURCES
    Q_INIT_RESOURCE(lexaro);
#endif
}

namespace lexaro {

Qt::Alignment AlignmentOf(const QString& text) {
    // Absolute: a line edit reads left and right in the direction of its text.
    return (text.isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute |
           Qt::AlignVCenter;
}

void AlignAsWritten(QLineEdit& field) {
    field.setAlignment(AlignmentOf(field.text()));
    QObject::connect(&field, &QLineEdit::textChanged, &field,
                     [&field](const QString& text) { field.setAlignment(AlignmentOf(text)); });
}

void EnsureResources() {
    static const bool done = [] {
        initLexaroResources();
        return true;
    }();
    (void)done;
}

namespace {

MessageHook& hookSlot() {
    static MessageHook hook;
    return hook;
}

} // namespace

int showMessage(const QString& caption, const QString& text, int style, bool beep, QWidget* owner,
                int extraStyle) {
    const int all = style | extraStyle;
    if (beep)
        QApplication::beep();
    if (hookSlot())
        return hookSlot()(MessageRequest{caption, text, all, beep, owner, {}});

    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (all & 0xF0) {
    case kMbIconInformation:
        box.setIcon(QMessageBox::Information);
        break;
    case kMbIconWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (all & 0x0F) {
    case kMbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case kMbOkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case kMbYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return kIdYes;
    case QMessageBox::No:
        return kIdNo;
    case QMessageBox::Cancel:
        return kIdCancel;
    case QMessageBox::Ok:
        return kIdOk;
    default:
        // Escape on a Yes/No box answers No, on a box with Cancel it cancels, on an OK box it
        // is OK.
        switch (all & 0x0F) {
        case kMbYesNo:
            return kIdNo;
        case kMbOkCancel:
        case kMbYesNoCancel:
            return kIdCancel;
        default:
            return kIdOk;
        }
    }
}

int askQuestion(const QString& caption, const QString& text, const QuestionButtons& buttons,
                int icon, bool beep, QWidget* owner) {
    const bool withNo = !buttons.no.isEmpty();
    if (beep)
        QApplication::beep();
    if (hookSlot()) {
        QStringList texts{buttons.yes, buttons.no, buttons.cancel};
        const int answer = hookSlot()(MessageRequest{
            caption, text, icon | (withNo ? kMbYesNoCancel : kMbYesNo), beep, owner, texts});
        if (answer == kIdYes || (answer == kIdNo && withNo))
            return answer;
        return kIdCancel;
    }

    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(icon == kMbIconWarning ? QMessageBox::Warning : QMessageBox::Information);
    QPushButton* yes = box.addButton(buttons.yes, QMessageBox::AcceptRole);
    QPushButton* no = withNo ? box.addButton(buttons.no, QMessageBox::DestructiveRole) : nullptr;
    QPushButton* cancel = box.addButton(buttons.cancel, QMessageBox::RejectRole);
    box.setDefaultButton(buttons.defaultId == kIdNo && no != nullptr ? no
                         : buttons.defaultId == kIdCancel            ? cancel
                                                                     : yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return kIdYes;
    if (no != nullptr && box.clickedButton() == no)
        return kIdNo;
    return kIdCancel;
}

MessageHook setMessageHook(MessageHook hook) {
    return std::exchange(hookSlot(), std::move(hook));
}

bool fitFormToScreen(QWidget& window, bool centreHorizontally, bool centreVertically,
                     bool autoSize) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return false;
    const QRect avail = screen->availableGeometry();
    QStyle* style = window.style();

    ScreenMetrics metrics;
    metrics.width = avail.width();
    metrics.height = avail.height();
    metrics.captionHeight = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    metrics.hScrollHeight = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    metrics.dpi = static_cast<int>(std::lround(screen->logicalDotsPerInch()));

    FormGeometry form;
    form.left = window.x() - avail.x();
    form.top = window.y() - avail.y();
    form.width = window.width();
    form.height = window.height();
    form.autoSize = autoSize;

    const bool cut = FitFormToScreen(form, metrics, centreHorizontally, centreVertically, autoSize);
    window.resize(form.width, form.height);
    window.move(avail.x() + form.left, avail.y() + form.top);
    return cut;
}

void greySizeItem(QWidget& window) {
    window.setFixedSize(window.size());
    window.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

QList<QPixmap> picturesForItems(qsizetype itemCount, const QList<QPixmap>& images) {
    QList<QPixmap> result;
    for (qsizetype i = 0; i < itemCount; ++i) {
        if (i < images.size())
            result.append(images[i]);
        else
            result.append(images.isEmpty() ? QPixmap() : result.back());
    }
    return result;
}

void assignImageListToItems(QComboBox& items, const QList<QPixmap>& images) {
    const QList<QPixmap> pictures = picturesForItems(items.count(), images);
    for (int i = 0; i < items.count(); ++i)
        items.setItemIcon(i, pictures[i].isNull() ? QIcon() : QIcon(pictures[i]));
}

} // namespace lexaro
