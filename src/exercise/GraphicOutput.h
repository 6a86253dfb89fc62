#pragma once

// The card table of the exercise window: a card that flies onto the background picture and
// grows to full size, a wipe that dissolves the previous card in random squares, and two lines
// of text on the card, written all at once or one letter per call with a simple word wrap.
// Everything is drawn through ICardCanvas, which the Qt window implements (QtCardCanvas) and
// tests fake, so this part needs no toolkit.

#include "data/ArrayUtil.h"
#include "data/CodePage.h"
#include "exercise/ExerciseData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

struct TCardPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TCardPoint&, const TCardPoint&) = default;
};

struct TCardSize {
    int w = 0;
    int h = 0;
    friend bool operator==(const TCardSize&, const TCardSize&) = default;
};

// A rectangle by its top-left corner and size; it covers x .. x + w - 1, y .. y + h - 1.
struct TCardRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    friend bool operator==(const TCardRect&, const TCardRect&) = default;
};

struct TRgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const TRgb&, const TRgb&) = default;
};

inline constexpr TRgb kCardWhite{255, 255, 255};
// The wipe's colour, the window's own.
inline constexpr TRgb kWipeSilver{192, 192, 192};

// The pictures the card table draws on and from. Window is the window's drawing surface; the
// background picture (440 x 190) lies on it at BackgroundOrigin(); Card is the card picture
// that the card control shows; Work and SmallCard are the fly-in's own pictures.
enum class TCardPicture { Window, Background, Card, Work, SmallCard };

// The card font: name as stored (Windows-1252), height in pixels, style.
struct TCardFont {
    std::string name;
    int height = 0;
    bool bold = true;
    bool italic = false;
    friend bool operator==(const TCardFont&, const TCardFont&) = default;
};

// What the card table needs of a toolkit. Coordinates are pixels of the picture drawn on.
class ICardCanvas {
public:
    virtual ~ICardCanvas() = default;

    // What the window fixed; read at every set-up.
    virtual int PixelsPerInch() const = 0;
    virtual TCardPoint BackgroundOrigin() const = 0;
    virtual TCardSize CardPictureSize() const = 0;

    // Work and SmallCard: created (empty) at set-up, sized by the fly-in, freed at release.
    virtual void CreateWorkPictures() = 0;
    virtual void ResizePicture(TCardPicture which, TCardSize size) = 0;
    virtual void ReleaseWorkPictures() = 0;

    virtual void CopyRect(TCardPicture from, TCardRect source, TCardPicture to, TCardPoint at) = 0;
    // The whole picture (or the whole but its last row) stretched into the target rectangle.
    virtual void Stretch(TCardPicture from, bool withoutLastRow, TCardPicture to,
                         TCardRect target) = 0;
    virtual void FillRect(TCardPicture on, TCardRect rect, TRgb colour) = 0;
    virtual void SetFont(const TCardFont& font) = 0;
    // Draws one Windows-1252 character in the current font with the top-left of its cell at
    // `at`, and gives the pen's x afterwards: the right end of the drawn character (the pen's
    // y stays at.y).
    virtual int DrawChar(TCardPicture on, TCardPoint at, unsigned char ch, TRgb colour) = 0;
    // Unicode text: valid UTF-8 of whole characters, shaped as one run (joined letters, marks
    // on their letters, fallback fonts for the scripts the card font lacks) in the base
    // direction given. TextWidth gives its width in the current font. DrawText draws it with
    // the top of its line at at.y, from at.x rightwards, or for a right-to-left text leftwards
    // from at.x (its right end); it gives the other end.
    // BeginText names the whole text that the following calls measure and draw parts of: the
    // canvas may fit its font to it, so that all of it (letters of fallback fonts, marks above
    // and below) stays within the card font's line height and every part stands on one
    // baseline.
    virtual void BeginText(std::string_view utf8, bool rightToLeft) = 0;
    virtual int TextWidth(std::string_view utf8, bool rightToLeft) = 0;
    virtual int DrawText(TCardPicture on, TCardPoint at, std::string_view utf8, bool rightToLeft,
                         TRgb colour) = 0;

    // The card control, which shows the card picture; its geometry is in window pixels.
    virtual void HideCard() = 0;
    virtual void SetCardSize(TCardSize size) = 0;
    virtual void MoveCard(TCardPoint at) = 0;
    virtual void ShowCard() = 0;
    virtual TCardRect CardGeometry() const = 0;

    // Lets the window's pending messages run (each fly-in frame begins with it).
    virtual void ProcessPendingMessages() = 0;
    // What was drawn since the last call may be shown now: called once at the end of every
    // operation of the card table, so a canvas can repaint the window once per tick.
    virtual void Present() = 0;
};

// The sizes that follow from the window's pixel density. The scale s is the density / 100
// above 110 pixels per inch, otherwise exactly 1; each size is rounded to the nearest integer
// with halves going to the even neighbour.
struct TCardMetrics {
    // 100 for s = 1, otherwise the window's density: s is kept as this exact fraction of 100,
    // so that a size like 25 x 1.3 is an exact half (32.5) and rounds to even, not by the
    // accident of a binary fraction.
    int percent = 100;
    int dyStep = 8;
    int dxStep = 16;
    int margin = 16;
    int yLow = 55;
    int xRun = 17;
    int textLeft = 25;
    int line1Base = 57;
    int line2Base = 102;
    int pad = 4;
    int rightGap = 27;
    int cell = 3;
    int xLast = 5;

    double Scale() const { return percent / 100.0; }
    // A size of the unscaled card table (a font size too) at this scale.
    int Scaled(std::int64_t size) const;
};

TCardMetrics CardMetrics(int pixelsPerInch);

// Where the table's pictures go at a pixel density, for a card picture of that size.
struct TCardTableLayout {
    // The background picture's size: 440 x 190 at 100 per cent, scaled with the card table
    // and kept large enough that the whole flight, and the card at rest, lie on it with the
    // room they have at 100 per cent (the flight's start and first steps are not scaled, the
    // card pictures come in three sizes only).
    TCardSize background;
    // The card at rest, relative to the background.
    TCardRect restingCard;
    // Everything the fly-in draws, relative to the background.
    TCardRect flight;
};
TCardTableLayout CardTableLayout(int pixelsPerInch, TCardSize card);
// Index of the text colour table; any other index gives blue.
TRgb TextColour(std::int32_t index);

// The one card table, belonging to the one exercise window and drawing on its canvas.
//
// Order of use: Setup at every show of the window; then for each card any of WipeStep,
// ClearCardLine, WriteCardText, StartFlyIn and FlyInFrame; Release at the window's close.
// The wipe's cells and their shuffled order are built at the first Setup and kept for the
// object's life; as the exercise window keeps its card table for the whole program run, that
// is once per run.
class TCardGraphics {
public:
    static constexpr int kFlyInDone = 25;
    static constexpr std::size_t kCellsPerWipeStep = 180;

    // The canvas and the generator must outlive the card table.
    explicit TCardGraphics(ICardCanvas& canvas, TRandomGen& rng = DefaultRandom());

    void Setup();
    void Release();
    bool IsSetUp() const { return setUp_; }

    // Font name, height Size x s, bold (Style 0) or bold italic, colour from the table.
    void SetCardFont(const TFontProperty& font);
    // The code page of the texts written (Windows-1252 until set). Unicode text (65001) is
    // written shaped and in its own direction, a character as the learner sees it (a grapheme
    // cluster) at a time: each step draws the text written so far anew, so Arabic letters are
    // joined as they stand and a mark never stands alone. A right-to-left text (its first
    // strong character decides) ends at the right limit and grows leftwards.
    void SetCodePage(const TCodePage& page) {
        page_ = &page;
        unicode_.prepared = false;
    }
    // Clears line 1 or 2 and the line above it (where a wrapped text starts), from 5 pixels
    // left of the text to 7 (scaled) short of the card's right edge, which covers a last
    // character that reaches beyond the right limit.
    void ClearCardLine(int line);

    void StartFlyIn();
    // One frame; the fly-in state afterwards, kFlyInDone when the card lies on the table.
    // The frame that lays the card down first puts the background back over everything the
    // flight drew: at densities above 110 the grow frames and the step from the last move
    // to the first grow frame leave a row or two of the card behind, which this takes away
    // (at 100 per cent every frame already covers the one before).
    int FlyInFrame();

    // Immediate: resets the card at once. Otherwise fills the next cells (each square cut to
    // the card, so nothing beside it turns silver) and resets the card once all are filled.
    // True when the card was reset.
    bool WipeStep(bool immediate);

    // Writes on line 1 or 2 (any other value is line 1) the whole text, or its next letter.
    // True when done: after the last character, or when the pen reached the right limit (the
    // rest is not written). After a call that reports done the letter cursor is back at the
    // text's start. An empty text is done at once, letter by letter too, so the exercise goes
    // on. Positions are plain sizes: texts of any length (a 300-character solution too) are
    // laid out the same way, with nothing wrapping around at 256.
    bool WriteCardText(const std::string& text, int line, bool allAtOnce);
    // Lays the text out ahead for WriteCardText on that line, while the card waits for it:
    // under Unicode, shaping and fitting the whole text is the dearest part of writing it, and
    // done here it leaves every letter's frame alike. The next WriteCardText of the same text
    // and line starts from this layout; one of another text, or a new font or code page,
    // drops it.
    void PrepareCardText(const std::string& text, int line);
    // Whether the Unicode text being written (or last written) runs right to left.
    bool WritingRightToLeft() const { return unicode_.rightToLeft; }

    const TCardMetrics& Metrics() const { return metrics_; }
    // What the last fly-in drew on the window, relative to the background.
    TCardRect FlightArea() const { return fly_.drawn; }
    int FontHeight() const { return fontHeight_; }
    TRgb TextColourInUse() const { return textColour_; }
    int FlyInState() const { return fly_.state; }
    // Cells of the wipe (including the unused places, which hold (0, 0)) and how many of them
    // the running wipe has filled.
    std::size_t WipeCellCount() const { return cellOrder_.size(); }
    std::size_t WipeProgress() const { return wipeProgress_; }

private:
    struct FlyIn {
        int state = kFlyInDone;
        int x = 0;
        int y = 0;
        int w = 0;
        int h = 0;
        int xLimit = 0;
        TCardSize work;
        // Everything the flight drew on the window, relative to the background, so that the
        // frame that lays the card down can give the table back around it.
        TCardRect drawn;
    };

    void ApplyFont();
    void BuildCells();
    // Notes a rectangle (relative to the background) that the flight drew on the window.
    void FlightDrew(TCardRect onBackground);
    void ResetCard();
    void MoveStep(int dx, int dy);
    void Unfold();
    void Grow();
    int TopOfLine(int line) const;
    int RightLimit() const { return card_.w - metrics_.rightGap; }
    void Measure(const std::string& text, int top);
    TCardPoint PositionAtCursor(const std::string& text, int line);
    void DrawAtCursor(const std::string& text, int line);
    // Unicode text: laid out at its first character, then drawn one step at a time.
    bool WriteUnicodeText(const std::string& text, int line, bool allAtOnce);
    void LayOutUnicode(const std::string& text, int line);
    // The largest count of characters from first on whose width w keeps textLeft + w left of
    // the right limit (at most the characters there are).
    std::size_t FittingCharacters(std::size_t first);
    std::string_view UnicodeRun(std::size_t first, std::size_t end) const;
    // How far above and below its line the drawing of Unicode text is cleared: a third of the
    // line, at most half the gap between the two lines.
    int UnicodeMargin() const;
    // Draws characters first .. end - 1 of the text on one line of the card, that line's old
    // drawing cleared first.
    void DrawUnicodeRun(std::size_t first, std::size_t end, int top);

    ICardCanvas& canvas_;
    TRandomGen& rng_;
    bool setUp_ = false;

    TCardMetrics metrics_;
    TCardPoint origin_;
    TCardSize card_;
    TCardPoint parking_;
    bool parkingKnown_ = false;

    FlyIn fly_;

    std::vector<TCardPoint> cells_;
    intArray cellOrder_;
    TCardSize cellsFor_;
    int cellSideFor_ = 0;
    std::size_t wipeProgress_ = 0;

    bool haveFont_ = false;
    TFontProperty font_;
    int fontHeight_ = 0;
    TRgb textColour_{0, 0, 255};

    // 1-based index of the next character; fit count and wrap point of the text being
    // written. Plain sizes: a text of any length is laid out without wrapping around.
    std::size_t cursor_ = 1;
    std::size_t fitCount_ = 0;
    std::size_t wrapPoint_ = 0;
    // Where the canvas's pen stands after the last character drawn on the card.
    TCardPoint pen_;

    const TCodePage* page_ = &TCodePage::Western();
    // The Unicode text being written: as UTF-8, where its characters start, its direction, and
    // its one or two lines (characters [first, end) at the top given).
    struct UnicodeLine {
        std::size_t first = 0;
        std::size_t end = 0;
        int top = 0;
        // The columns drawn on so far (none while drawnTo <= drawnFrom).
        int drawnFrom = 0;
        int drawnTo = 0;
        // Letter by letter in a text of one direction: the word being written (its first
        // character, how far from the line's start it begins) and the columns drawn for it.
        std::size_t word = 0;
        int wordOffset = 0;
        bool wordStarted = false;
        int wordFrom = 0;
        int wordTo = 0;
        // The run drawn last: where it ended and how wide it was.
        std::size_t lastEnd = 0;
        int lastWidth = 0;
    };
    struct UnicodeText {
        std::string utf8;
        std::vector<std::size_t> starts;
        bool rightToLeft = false;
        // All of it runs in one direction (no embedded text of the other): a step then draws
        // only the word being written anew, the words before it standing as they are.
        bool oneDirection = false;
        std::vector<UnicodeLine> lines;
        // Laid out ahead (PrepareCardText) for this stored text on this line, nothing drawn.
        bool prepared = false;
        std::string source;
        int line = 0;
    };
    UnicodeText unicode_;

    // Letter by letter in a text of one direction: characters of line up to end - 1, of which
    // only the word being written is drawn anew.
    void DrawUnicodeWord(UnicodeLine& line, std::size_t end);
};

} // namespace lexaro
