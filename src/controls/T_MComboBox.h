#pragma once

#include "controls/T_UIComponent.h"

#include <QList>
#include <QPixmap>
#include <QStringList>

#include <cstdint>

class QComboBox;
class QLabel;

namespace lexaro {

class TComboItemDelegate;

// A combo box with its own caption label, left of the box or above it. It sizes itself to its
// items, and items may carry a picture: then the list draws the pictures itself, with the
// texts beside them.
class TMComboBox : public TUIComponent {
    Q_OBJECT
public:
    enum class TLabelPosition { Above = 0, Left = 1 };

    // The label left of the box.
    TMComboBox(QWidget* owner, int left, int top, const QString& caption, bool framed);
    TMComboBox(QWidget* owner, int left, int top, const QString& caption,
               TLabelPosition labelPosition, bool framed);

    // Refused below the smallest size; the box takes the width beyond its label and margins.
    void SetSize(int width, int height) override;
    void ApplyTexts(const TAppLangHandler* texts) override;
    void SetHint(const QString& text) override;
    // The smallest box width.
    void SetMinContentWidth(int width) override;
    int MinWidth() const override;
    int MinHeight() const override;
    int ContentWidth() const override;
    void ArrangeChildren() override;
    // Later SetItems make an editable box without pictures.
    virtual void SetPlainStyle(bool on);
    // An empty caption shows "Combobox".
    virtual void SetCaption(const QString& text);

    // Replaces the items; images[i] is the picture of item i (none for a null picture or a
    // missing entry). Nothing is selected afterwards. The control takes its smallest size.
    void SetItems(const QStringList& texts, const QList<QPixmap>& images = {});
    // For 0 <= index <= count: inserts the item there (with the picture of item 0 when the
    // items have pictures) and selects it if asked. Other indexes do nothing.
    void InsertItem(const QString& text, int index, bool select);
    // Selects item i when it exists; otherwise the selection stays.
    void SelectIndex(int index);
    // Selects the first item equal to text (exact, case-sensitive); otherwise the selection
    // stays.
    void SelectText(const QString& text);
    // The selected index, -1 when none.
    int ItemIndex() const;
    // The selected text, empty when none.
    QString SelectedText() const;
    int Count() const;

    // The inner combo box, for owners to follow its changes.
    QComboBox* InnerBox() const { return box_; }
    QLabel* Label() const { return label_; }
    // The window texts for the caption and the hint (0: none).
    void SetTextIds(std::int32_t caption, std::int32_t hint);

    bool HasImages() const { return hasImages_; }
    int TextIndent() const { return textIndent_; }
    int BoxHeight() const { return boxHeight_; }
    int MinBoxWidth() const { return minBoxWidth_; }
    // The height of a list row with pictures; 0 without pictures.
    int ItemHeight() const { return itemHeight_; }
    // The smallest width the control would take with these item texts, for owners that size
    // themselves before the items are there.
    int MinWidthFor(const QStringList& texts) const;

private:
    void Construct(const QString& caption, bool framed);
    TComboSizing Sizing() const;
    int WidestText(const QStringList& texts) const;
    QStringList ItemTexts() const;
    void ResizeToMinimum();
    // The height the box needs for its font (and pictures), never below the given height.
    int NaturalBoxHeight(int atLeast) const;
    void UpdatePopupWidth();
    int DropDownButtonWidth() const;

    QComboBox* box_ = nullptr;
    QLabel* label_ = nullptr;
    TComboItemDelegate* imageDelegate_ = nullptr;
    std::int32_t labelTextId_ = 0;
    std::int32_t hintTextId_ = 0;
    int minBoxWidth_ = kComboMinBoxWidth;
    int boxHeight_ = kComboBoxHeight;
    int extraWidth_ = 0;
    bool constructing_ = false;
    bool hasImages_ = false;
    bool labelLeft_ = true;
    int textIndent_ = 0;
    bool plainStyle_ = false;
    int itemHeight_ = 0;
};

} // namespace lexaro
