#include "controls/T_MComboBox.h"

#include "app/AppLangHandl.h"
#include "app/QtText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>

#include <algorithm>

namespace lexaro {

namespace {

// Where an item keeps its picture.
constexpr int kImageRole = Qt::UserRole + 1;

QPixmap ImageOf(const QComboBox& box, int index) {
    return box.itemData(index, kImageRole).value<QPixmap>();
}

} // namespace

// Draws the items of a list with pictures: the row's background (the selection colour for the
// selected row), the picture at (2, 2) and a non-empty text at the text indent, centred on the
// row's height.
class TComboItemDelegate : public QStyledItemDelegate {
public:
    TComboItemDelegate(const TMComboBox& owner, QObject* parent)
        : QStyledItemDelegate(parent), owner_(owner) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!owner_.HasImages()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect,
                          selected ? option.palette.highlight() : option.palette.base());
        const QPixmap image = index.data(kImageRole).value<QPixmap>();
        if (!image.isNull())
            painter->drawPixmap(option.rect.left() + 2, option.rect.top() + 2, image);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            painter->setPen(
                option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            const int textHeight = option.fontMetrics.height();
            const QRect area(option.rect.left() + owner_.TextIndent(),
                             option.rect.top() + (option.rect.height() - textHeight) / 2,
                             option.rect.width() - owner_.TextIndent(), textHeight);
            painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (owner_.HasImages())
            size.setHeight(owner_.ItemHeight());
        return size;
    }

private:
    const TMComboBox& owner_;
};

TMComboBox::TMComboBox(QWidget* owner, int left, int top, const QString& caption, bool framed)
    : TUIComponent(owner, left, top), labelLeft_(true) {
    Construct(caption, framed);
}

TMComboBox::TMComboBox(QWidget* owner, int left, int top, const QString& caption,
                       TLabelPosition labelPosition, bool framed)
    : TUIComponent(owner, left, top), labelLeft_(labelPosition == TLabelPosition::Left) {
    Construct(caption, framed);
}

void TMComboBox::Construct(const QString& caption, bool framed) {
    constructing_ = true;
    SetMargins({7, 7, 7, 7});
    SetFramed(framed);
    box_ = new QComboBox(this);
    box_->setObjectName("Box");
    box_->setMaxVisibleItems(kComboDropDownCount);
    box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label_ = new QLabel(this);
    label_->setObjectName("Label");
    // The control draws the list's rows itself; without pictures it draws them as usual.
    imageDelegate_ = new TComboItemDelegate(*this, this);
    box_->setItemDelegate(imageDelegate_);
    boxHeight_ = NaturalBoxHeight(kComboBoxHeight);
    box_->resize(kComboMinBoxWidth, boxHeight_);
    SetCaption(caption);
    // A widening by the caption while constructing does not last.
    minBoxWidth_ = kComboMinBoxWidth;
    extraWidth_ = MinWidth() - box_->width();
    constructing_ = false;
    SetSize(MinWidth(), MinHeight());
}

int TMComboBox::NaturalBoxHeight(int atLeast) const {
    return std::max(atLeast, box_->sizeHint().height());
}

QStringList TMComboBox::ItemTexts() const {
    QStringList texts;
    for (int i = 0; i < box_->count(); ++i)
        texts.append(box_->itemText(i));
    return texts;
}

int TMComboBox::WidestText(const QStringList& texts) const {
    const QFontMetrics metrics = box_->fontMetrics();
    int widest = 0;
    for (const QString& text : texts)
        if (!text.isEmpty())
            widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

TComboSizing TMComboBox::Sizing() const {
    TComboSizing s;
    s.margins = margins_;
    s.labelLeft = labelLeft_;
    s.labelWidth = label_->width();
    s.labelHeight = label_->height();
    s.minBoxWidth = minBoxWidth_;
    s.boxHeight = boxHeight_;
    s.boxWidth = box_->width();
    s.textIndent = textIndent_;
    s.hasImages = hasImages_;
    s.constructing = constructing_;
    s.hasItems = box_->count() > 0;
    s.widestText = s.hasItems ? WidestText(ItemTexts()) : 0;
    s.scrollBarWidth = DropDownButtonWidth();
    return s;
}

int TMComboBox::DropDownButtonWidth() const {
    // The box's drop-down button is as wide as a vertical scroll bar where the sizing rule
    // comes from; here the style says what frame and button take beside the text, of which
    // the rule's 15 pixels cover the frame.
    QStyleOptionComboBox option;
    option.initFrom(box_);
    option.editable = box_->isEditable();
    option.frame = true;
    if (hasImages_)
        option.iconSize = box_->iconSize();
    const int chrome = style()
                           ->sizeFromContents(QStyle::CT_ComboBox, &option,
                                              QSize(0, box_->fontMetrics().height()), box_)
                           .width();
    return std::max(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box_), chrome - 15);
}

int TMComboBox::ContentWidth() const {
    return ComboContentWidth(Sizing());
}

int TMComboBox::MinWidth() const {
    return ComboMinWidth(Sizing()).minWidth;
}

int TMComboBox::MinWidthFor(const QStringList& texts) const {
    TComboSizing s = Sizing();
    s.hasItems = !texts.isEmpty();
    s.widestText = WidestText(texts);
    return ComboMinWidth(s).minWidth;
}

int TMComboBox::MinHeight() const {
    return ComboMinHeight(Sizing());
}

void TMComboBox::SetSize(int width, int height) {
    if (!AcceptsBoth({width, height}, {MinWidth(), MinHeight()}))
        return;
    resize(width, height);
    box_->resize(width - extraWidth_, boxHeight_);
    ArrangeChildren();
}

void TMComboBox::ArrangeChildren() {
    TComboSizing s = Sizing();
    // A box narrower than a label left of it is widened.
    s.boxWidth = ComboMinWidth(s).boxWidth;
    const TComboLayout layout = ArrangeCombo(s, {width(), height()});
    box_->setGeometry(layout.box.left, layout.box.top, layout.box.width, layout.box.height);
    label_->move(layout.labelLeft, layout.labelTop);
    UpdatePopupWidth();
}

void TMComboBox::UpdatePopupWidth() {
    // The open list shows whole texts even where the box is narrower than its longest item.
    const int needed = ContentWidth();
    box_->view()->setMinimumWidth(std::max(needed, box_->width()));
}

void TMComboBox::ResizeToMinimum() {
    const int minWidth = MinWidth();
    const int minHeight = MinHeight();
    resize(minWidth, minHeight);
    box_->resize(std::max(minWidth - extraWidth_, 0), boxHeight_);
    ArrangeChildren();
}

void TMComboBox::SetCaption(const QString& text) {
    const QString caption = text.isEmpty() ? QString::fromLatin1(kComboDefaultCaption) : text;
    label_->setText(caption);
    label_->adjustSize();
    SetFrameCaption(caption);
    if (!labelLeft_ && label_->width() >= box_->width()) {
        minBoxWidth_ = label_->width() + 13;
        extraWidth_ = MinWidth() - box_->width();
    }
}

void TMComboBox::SetHint(const QString& text) {
    box_->setToolTip(text);
}

void TMComboBox::SetMinContentWidth(int width) {
    minBoxWidth_ = width;
}

void TMComboBox::SetTextIds(std::int32_t caption, std::int32_t hint) {
    labelTextId_ = caption;
    hintTextId_ = hint;
}

void TMComboBox::ApplyTexts(const TAppLangHandler* texts) {
    if (texts == nullptr)
        return;
    if (labelTextId_ > 0)
        SetCaption(QtFromCp1252(texts->GetText(labelTextId_)));
    if (hintTextId_ > 0)
        SetHint(QtFromCp1252(texts->GetText(hintTextId_)));
    // A wider label needs a wider control.
    if (width() < MinWidth() || height() < MinHeight())
        SetSize(std::max(width(), MinWidth()), std::max(height(), MinHeight()));
    ArrangeChildren();
}

void TMComboBox::SetPlainStyle(bool on) {
    plainStyle_ = on;
}

void TMComboBox::SetItems(const QStringList& texts, const QList<QPixmap>& images) {
    box_->clear();
    box_->addItems(texts);
    for (int i = 0; i < texts.size() && i < images.size(); ++i)
        if (!images[i].isNull())
            box_->setItemData(i, images[i], kImageRole);
    if (plainStyle_) {
        box_->setEditable(true);
    } else {
        box_->setEditable(false);
        QPixmap first;
        for (int i = 0; i < box_->count() && first.isNull(); ++i)
            first = ImageOf(*box_, i);
        hasImages_ = !first.isNull();
        if (hasImages_) {
            itemHeight_ = ImageItemHeight(first.height());
            textIndent_ = ImageTextIndent(first.width());
            box_->setIconSize(first.size());
            for (int i = 0; i < box_->count(); ++i) {
                const QPixmap image = ImageOf(*box_, i);
                if (!image.isNull())
                    box_->setItemIcon(i, QIcon(image));
            }
        } else {
            itemHeight_ = 0;
            textIndent_ = 0;
        }
        boxHeight_ = NaturalBoxHeight(hasImages_ ? itemHeight_ : kComboBoxHeight);
    }
    box_->setCurrentIndex(-1);
    ResizeToMinimum();
}

void TMComboBox::InsertItem(const QString& text, int index, bool select) {
    if (index < 0 || index > box_->count())
        return;
    box_->insertItem(index, text);
    if (hasImages_ && box_->count() > 1) {
        const QPixmap image = ImageOf(*box_, index == 0 ? 1 : 0);
        box_->setItemData(index, image, kImageRole);
        box_->setItemIcon(index, QIcon(image));
    }
    if (select)
        box_->setCurrentIndex(index);
    ResizeToMinimum();
}

void TMComboBox::SelectIndex(int index) {
    if (index >= 0 && index < box_->count())
        box_->setCurrentIndex(index);
}

void TMComboBox::SelectText(const QString& text) {
    const int index = box_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box_->setCurrentIndex(index);
}

int TMComboBox::ItemIndex() const {
    return box_->currentIndex();
}

QString TMComboBox::SelectedText() const {
    return box_->currentIndex() >= 0 ? box_->itemText(box_->currentIndex()) : QString();
}

int TMComboBox::Count() const {
    return box_->count();
}

} // namespace lexaro
