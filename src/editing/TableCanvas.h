#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lexaro {

// A rectangle in pixels; right and bottom lie outside it, as on every canvas of the program.
struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The colours a table draws with; the canvas maps them to the system's colours.
enum class TCanvasColor {
    Window,        // background of data cells
    WindowText,    // text of data cells
    Highlight,     // background of the current row
    HighlightText, // text of the current row
    Header,        // background of the header row
    HeaderText,    // text of the header row
    GridLine,      // the lines between cells
};

// What the tables draw on. Text is UTF-8 (the cells turn their stored text of the file's code
// page into it); the canvas measures and draws it in its current font. Implemented with QPainter by
// the views and by recorders in tests.
class ITableCanvas {
public:
    virtual ~ITableCanvas() = default;
    virtual void SetBrushColor(TCanvasColor color) = 0;
    virtual void SetFontColor(TCanvasColor color) = 0;
    // Fills the rectangle with the brush colour.
    virtual void FillRect(const TRect& rect) = 0;
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;
    // Draws text in the font colour with its top-left corner at (x, y), clipped to clip.
    virtual void TextOut(int x, int y, std::string_view text, const TRect& clip) = 0;
    // A flat check box filling box (14 by 14 pixels), ticked or not.
    virtual void DrawCheckBox(const TRect& box, bool checked) = 0;
    // The frame that shows the keyboard's current cell.
    virtual void DrawFocusRect(const TRect& rect) = 0;
};

// An in-place editor control of a column: a text field or a spin box. The model creates it
// through an ITableEditorFactory and places it; the view holds the control as its child.
class ITableEditor {
public:
    virtual ~ITableEditor() = default;
    virtual bool IsVisible() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetBounds(int left, int top, int width) = 0;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Text fields: the text to show and what the user entered, both UTF-8 (the model converts
    // with the file's code page, so that characters the file cannot hold reach it and can be
    // named).
    virtual void SetText(std::string_view utf8) = 0;
    virtual std::string EnteredText() const = 0;
    // Spin boxes: the value and the range it wraps in.
    virtual void SetValue(std::int32_t value) = 0;
    virtual std::int32_t Value() const = 0;
    virtual void SetRange(std::int32_t low, std::int32_t high) = 0;
    virtual void SetFocus() = 0;
    // Text fields: the cursor goes before the character at that byte of the entered text.
    virtual void PlaceCursor(std::size_t utf8Offset) { (void)utf8Offset; }
    virtual void SetHint(const std::string& hint) = 0;
    virtual bool HintsOn() const = 0;
};

// Makes the editor controls of a model (hidden at first).
class ITableEditorFactory {
public:
    virtual ~ITableEditorFactory() = default;
    virtual std::unique_ptr<ITableEditor> CreateTextField(int width, int height, int maxLength) = 0;
    virtual std::unique_ptr<ITableEditor> CreateSpinBox(int width, int height) = 0;
};

// A UI text by number (Text.Db in the program).
using TTextSource = std::function<std::string(std::int32_t)>;

} // namespace lexaro
