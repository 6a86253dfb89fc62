#pragma once

#include "editing/TableCanvas.h"

#include <QColor>
#include <QPointer>
#include <memory>

class QPainter;
class QWidget;
class QLineEdit;

namespace lexaro {

// The table canvas on a QPainter: the system's colours from the widget's palette, UTF-8 text,
// check boxes and focus frames by the widget's style.
class TQtTableCanvas : public ITableCanvas {
public:
    TQtTableCanvas(QPainter& painter, const QWidget& widget);
    void SetBrushColor(TCanvasColor color) override;
    void SetFontColor(TCanvasColor color) override;
    void FillRect(const TRect& rect) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text, const TRect& clip) override;
    void DrawCheckBox(const TRect& box, bool checked) override;
    void DrawFocusRect(const TRect& rect) override;

private:
    QColor Color(TCanvasColor color) const;

    QPainter& painter_;
    const QWidget& widget_;
    QColor brush_;
    QColor font_;
};

// A cell editor that is a Qt control. The grid that shows the table adopts the control as
// its child; until then (and when nobody adopts it) the editor deletes it.
class TQtCellEditor : public ITableEditor {
public:
    explicit TQtCellEditor(QWidget* control);
    ~TQtCellEditor() override;
    QWidget* Control() const { return control_; }

    bool IsVisible() const override;
    void Show() override;
    void Hide() override;
    void SetBounds(int left, int top, int width) override;
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetFocus() override;
    void SetHint(const std::string& hint) override;
    bool HintsOn() const override { return false; }

    void SetText(std::string_view) override {}
    std::string EnteredText() const override { return {}; }
    void SetValue(std::int32_t) override {}
    std::int32_t Value() const override { return 0; }
    void SetRange(std::int32_t, std::int32_t) override {}

protected:
    QPointer<QWidget> control_;
};

// A text field whose limit counts the characters a learner sees (a letter with its marks, a
// CJK character, an emoji are one each), not UTF-16 units.
class TQtTextField : public TQtCellEditor {
public:
    TQtTextField(int width, int height, int maxLength);
    void SetText(std::string_view utf8) override;
    std::string EnteredText() const override;
    void PlaceCursor(std::size_t utf8Offset) override;
    QLineEdit* Field() const;

private:
    int maxLength_ = 0;
    // The limit in force: maxLength_, or the length of a longer phrase shown.
    std::shared_ptr<int> limit_ = std::make_shared<int>(0);
};

class TSpinBox;

// The controls' spin box: only its buttons and the Up and Down keys change it (not the wheel,
// not Page Up or Page Down); it wraps at both ends.
class TQtSpinBox : public TQtCellEditor {
public:
    TQtSpinBox(int width, int height);
    void SetValue(std::int32_t value) override;
    std::int32_t Value() const override;
    void SetRange(std::int32_t low, std::int32_t high) override;
    TSpinBox* Box() const;
};

class TQtEditorFactory : public ITableEditorFactory {
public:
    std::unique_ptr<ITableEditor> CreateTextField(int width, int height, int maxLength) override;
    std::unique_ptr<ITableEditor> CreateSpinBox(int width, int height) override;
};

} // namespace lexaro
