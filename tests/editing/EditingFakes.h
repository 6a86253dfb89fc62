#pragma once

#include "data/Lesson.h"
#include "data/Vector.h"
#include "editing/TableCanvas.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace lexaro::test {

// Records what is drawn. Every character is 7 pixels wide and text is 13 pixels high.
class RecordingCanvas : public ITableCanvas {
public:
    struct TextCall {
        int x = 0;
        int y = 0;
        std::string text;
        TCanvasColor color = TCanvasColor::WindowText;
    };
    static constexpr int kCharWidth = 7;
    static constexpr int kTextHeight = 13;

    void SetBrushColor(TCanvasColor color) override { brush = color; }
    void SetFontColor(TCanvasColor color) override { font = color; }
    void FillRect(const TRect& rect) override { fills.push_back({rect, brush}); }
    // Every character (of the UTF-8 text) is kCharWidth wide.
    int TextWidth(std::string_view text) override {
        ++measures;
        int chars = 0;
        for (const char c : text)
            chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        return chars * kCharWidth;
    }
    int TextHeight(std::string_view) override { return kTextHeight; }
    void TextOut(int x, int y, std::string_view text, const TRect&) override {
        texts.push_back({x, y, std::string(text), font});
    }
    void DrawCheckBox(const TRect& box, bool checked) override { boxes.push_back({box, checked}); }
    void DrawFocusRect(const TRect& rect) override { focus.push_back(rect); }

    TCanvasColor brush = TCanvasColor::Window;
    TCanvasColor font = TCanvasColor::WindowText;
    std::vector<std::pair<TRect, TCanvasColor>> fills;
    std::vector<TextCall> texts;
    std::vector<std::pair<TRect, bool>> boxes;
    std::vector<TRect> focus;
    int measures = 0;
};

// A cell editor control without a window: what the model did to it, and what the user
// "typed" (UTF-8).
class FakeEditor : public ITableEditor {
public:
    FakeEditor(int width, int height) : width_(width), height_(height) {}
    bool IsVisible() const override { return visible; }
    void Show() override { visible = true; }
    void Hide() override { visible = false; }
    void SetBounds(int left, int top, int width) override {
        left_ = left;
        top_ = top;
        width_ = width;
    }
    int Left() const override { return left_; }
    int Top() const override { return top_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetText(std::string_view utf8) override { entered = std::string(utf8); }
    std::string EnteredText() const override { return entered; }
    void SetValue(std::int32_t v) override { value = std::clamp(v, low, high); }
    std::int32_t Value() const override { return value; }
    void SetRange(std::int32_t lo, std::int32_t hi) override {
        low = lo;
        high = hi;
    }
    void SetFocus() override { ++focused; }
    void PlaceCursor(std::size_t utf8Offset) override { cursorAt = utf8Offset; }
    void SetHint(const std::string& text) override { hint = text; }
    bool HintsOn() const override { return hintsOn; }

    bool visible = false;
    std::string entered;
    std::int32_t value = 0;
    std::int32_t low = 0;
    std::int32_t high = 0;
    int focused = 0;
    std::size_t cursorAt = std::string::npos;
    std::string hint;
    bool hintsOn = false;

private:
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};

class FakeEditorFactory : public ITableEditorFactory {
public:
    std::unique_ptr<ITableEditor> CreateTextField(int width, int height, int) override {
        auto e = std::make_unique<FakeEditor>(width, height);
        made.push_back(e.get());
        return e;
    }
    std::unique_ptr<ITableEditor> CreateSpinBox(int width, int height) override {
        auto e = std::make_unique<FakeEditor>(width, height);
        made.push_back(e.get());
        return e;
    }
    // Text field 1, text field 2, spin box.
    std::vector<FakeEditor*> made;
};

// A pair in a lesson plan: text1, text2, use.
struct PairPlan {
    std::string text1;
    std::string text2;
    bool use = true;
    bool drawn = false;
};

inline std::shared_ptr<TVector<TLesson>>
MakeLessons(const std::vector<std::pair<int, std::vector<PairPlan>>>& plan) {
    auto lessons = std::make_shared<TVector<TLesson>>();
    for (const auto& [number, pairs] : plan) {
        auto lesson = std::make_shared<TLesson>();
        lesson->number = number;
        std::int64_t slot = 0;
        for (const PairPlan& p : pairs) {
            auto pair = lesson->NewPair(slot++);
            pair->text1 = p.text1;
            pair->text2 = p.text2;
            pair->use = p.use;
            pair->drawn = p.drawn;
        }
        lessons->Add(lesson);
    }
    return lessons;
}

} // namespace lexaro::test
