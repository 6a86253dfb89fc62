#include "exercise/GraphicOutput.h"

#include "data/TextSteps.h"

#include <unicode/ubidi.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>

namespace lexaro {

namespace {

// num / den (den > 0) rounded to the nearest integer, halves to the even neighbour.
std::int64_t RoundHalfEven(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) {
        q -= 1;
        r += den;
    }
    if (2 * r > den || (2 * r == den && q % 2 != 0))
        ++q;
    return q;
}

int ToInt(std::int64_t v) {
    return static_cast<int>(v);
}

constexpr std::array<TRgb, 13> kTextColours{{
    {0x00, 0x00, 0x00}, // black
    {0x00, 0x00, 0x80}, // navy
    {0x00, 0x00, 0xFF}, // blue
    {0x00, 0x80, 0x00}, // green
    {0x00, 0xFF, 0x00}, // lime
    {0x80, 0x00, 0x80}, // purple
    {0xFF, 0x00, 0xFF}, // fuchsia
    {0x80, 0x00, 0x00}, // maroon
    {0xFF, 0x00, 0x00}, // red
    {0x00, 0x80, 0x80}, // teal
    {0x00, 0xFF, 0xFF}, // aqua
    {0x80, 0x80, 0x00}, // olive
    {0xFF, 0xFF, 0x00}, // yellow
}};

// Where the fly-in starts and how the card unfolds, in background pixels (not scaled).
constexpr int kStartX = 42;
constexpr int kStartY = 79;
constexpr int kStartW = 56;
constexpr int kUnfoldLimit = 29;
constexpr int kUnfoldStep = 10;
constexpr int kLiftTop = 46;
constexpr int kLiftStep = 8;
constexpr int kClimbTop = 20;
constexpr int kParkedSize = 10;
// Where a cleared line ends, short of the card's right edge (at 100 per cent).
constexpr int kClearRightGap = 7;

} // namespace

int TCardMetrics::Scaled(std::int64_t size) const {
    return ToInt(RoundHalfEven(size * percent, 100));
}

TCardMetrics CardMetrics(int pixelsPerInch) {
    TCardMetrics m;
    m.percent = pixelsPerInch > 110 ? pixelsPerInch : 100;
    m.dyStep = m.Scaled(8);
    m.dxStep = m.Scaled(16);
    m.margin = m.Scaled(16);
    m.yLow = m.Scaled(55);
    m.xRun = m.Scaled(17);
    m.textLeft = m.Scaled(25);
    m.line1Base = m.Scaled(57);
    m.line2Base = m.Scaled(102);
    m.pad = m.Scaled(4);
    m.rightGap = m.Scaled(27);
    // (s + 0.1) x 3
    m.cell = ToInt(RoundHalfEven(3 * (static_cast<std::int64_t>(m.percent) + 10), 100));
    m.xLast = m.percent == 100 ? 5 : 0;
    return m;
}

namespace {

// A canvas that draws nothing: the card table's geometry without pictures.
class TGeometryCanvas final : public ICardCanvas {
public:
    TGeometryCanvas(int ppi, TCardSize card) : ppi_(ppi), card_(card) {}
    int PixelsPerInch() const override { return ppi_; }
    TCardPoint BackgroundOrigin() const override { return {0, 0}; }
    TCardSize CardPictureSize() const override { return card_; }
    void CreateWorkPictures() override {}
    void ResizePicture(TCardPicture, TCardSize) override {}
    void ReleaseWorkPictures() override {}
    void CopyRect(TCardPicture, TCardRect, TCardPicture, TCardPoint) override {}
    void Stretch(TCardPicture, bool, TCardPicture, TCardRect) override {}
    void FillRect(TCardPicture, TCardRect, TRgb) override {}
    void SetFont(const TCardFont&) override {}
    int DrawChar(TCardPicture, TCardPoint at, unsigned char, TRgb) override { return at.x; }
    void BeginText(std::string_view, bool) override {}
    int TextWidth(std::string_view, bool) override { return 0; }
    int DrawText(TCardPicture, TCardPoint at, std::string_view, bool, TRgb) override {
        return at.x;
    }
    void HideCard() override {}
    void SetCardSize(TCardSize size) override {
        control_.w = size.w;
        control_.h = size.h;
    }
    void MoveCard(TCardPoint at) override {
        control_.x = at.x;
        control_.y = at.y;
    }
    void ShowCard() override {}
    TCardRect CardGeometry() const override { return control_; }
    void ProcessPendingMessages() override {}
    void Present() override {}

private:
    int ppi_;
    TCardSize card_;
    TCardRect control_{0, 0, 10, 10};
};

// The room right of and below the flight on the 440 x 190 background at 100 per cent.
constexpr int kTableWidth = 440;
constexpr int kTableHeight = 190;
constexpr int kRoomRight = 16;
constexpr int kRoomBelow = 13;

} // namespace

TCardTableLayout CardTableLayout(int pixelsPerInch, TCardSize card) {
    TGeometryCanvas canvas(pixelsPerInch, card);
    TRandomGen rng(1, [] { return 1u; });
    TCardGraphics cards(canvas, rng);
    cards.Setup();
    cards.StartFlyIn();
    for (int frame = 0; frame < 1000 && cards.FlyInFrame() != TCardGraphics::kFlyInDone; ++frame) {
    }
    TCardTableLayout layout;
    layout.restingCard = canvas.CardGeometry();
    layout.flight = cards.FlightArea();
    const TCardMetrics& m = cards.Metrics();
    // The scale as a fraction of 100, raised until the flight has its room.
    const std::int64_t right = layout.flight.x + layout.flight.w + m.Scaled(kRoomRight);
    const std::int64_t bottom = layout.flight.y + layout.flight.h + m.Scaled(kRoomBelow);
    std::int64_t percent = m.percent;
    percent = std::max(percent, (right * 100 + kTableWidth - 1) / kTableWidth);
    percent = std::max(percent, (bottom * 100 + kTableHeight - 1) / kTableHeight);
    layout.background = {ToInt(RoundHalfEven(kTableWidth * percent, 100)),
                         ToInt(RoundHalfEven(kTableHeight * percent, 100))};
    return layout;
}

TRgb TextColour(std::int32_t index) {
    if (index < 0 || index >= static_cast<std::int32_t>(kTextColours.size()))
        return kTextColours[2];
    return kTextColours[static_cast<std::size_t>(index)];
}

TCardGraphics::TCardGraphics(ICardCanvas& canvas, TRandomGen& rng) : canvas_(canvas), rng_(rng) {}

void TCardGraphics::Setup() {
    metrics_ = CardMetrics(canvas_.PixelsPerInch());
    origin_ = canvas_.BackgroundOrigin();
    card_ = canvas_.CardPictureSize();
    // The parking place is where the window put the card control; taken once, because a
    // window closed while a card lay on the table leaves the control there.
    if (!parkingKnown_) {
        const TCardRect at = canvas_.CardGeometry();
        parking_ = {at.x, at.y};
        parkingKnown_ = true;
    }
    canvas_.CreateWorkPictures();
    // Built once; a different card (never within one run of the program, whose density and
    // card picture are fixed) needs cells of its own.
    if (cellOrder_.empty() || cellsFor_ != card_ || cellSideFor_ != metrics_.cell)
        BuildCells();
    cursor_ = 1;
    wipeProgress_ = 0;
    unicode_.prepared = false;
    setUp_ = true;
    // The height depends on the scale, which is known only now.
    if (haveFont_)
        ApplyFont();
}

void TCardGraphics::Release() {
    if (setUp_)
        canvas_.ReleaseWorkPictures();
    setUp_ = false;
    unicode_.prepared = false;
}

void TCardGraphics::BuildCells() {
    const int side = metrics_.cell;
    const std::size_t room =
        static_cast<std::size_t>(card_.h / side + 1) * static_cast<std::size_t>(card_.w / side + 1);
    cells_.assign(room, TCardPoint{});
    std::size_t i = 0;
    for (int x = 0; x < card_.w; x += side)
        for (int y = 0; y < card_.h; y += side)
            cells_[i++] = {x, y};
    cellOrder_.resize(room);
    for (std::size_t k = 0; k < room; ++k)
        cellOrder_[k] = static_cast<std::int32_t>(k);
    ShuffleInts(cellOrder_, rng_);
    cellsFor_ = card_;
    cellSideFor_ = side;
}

void TCardGraphics::SetCardFont(const TFontProperty& font) {
    font_ = font;
    haveFont_ = true;
    ApplyFont();
}

void TCardGraphics::ApplyFont() {
    fontHeight_ = metrics_.Scaled(font_.Size);
    textColour_ = TextColour(font_.Color);
    canvas_.SetFont({font_.Font, fontHeight_, true, font_.Style != 0});
    unicode_.prepared = false;
}

// --- Wipe -----------------------------------------------------------------------------------

void TCardGraphics::ResetCard() {
    canvas_.HideCard();
    canvas_.SetCardSize({kParkedSize, kParkedSize});
    canvas_.MoveCard(parking_);
    wipeProgress_ = 0;
}

bool TCardGraphics::WipeStep(bool immediate) {
    if (!setUp_)
        return true;
    if (!immediate) {
        const TCardRect card = canvas_.CardGeometry();
        const int side = metrics_.cell;
        const std::size_t end = std::min(cellOrder_.size(), wipeProgress_ + kCellsPerWipeStep);
        for (; wipeProgress_ < end; ++wipeProgress_) {
            const TCardPoint cell = cells_[static_cast<std::size_t>(cellOrder_[wipeProgress_])];
            // Cut to the card: where its size is no multiple of the cell, the last column and
            // row of squares would reach past it and leave a silver line on the table.
            canvas_.FillRect(TCardPicture::Window,
                             {card.x + cell.x, card.y + cell.y, std::min(side, card.w - cell.x),
                              std::min(side, card.h - cell.y)},
                             kWipeSilver);
        }
        // The reset comes in the tick that fills the last cells, so no tick passes idle.
        if (wipeProgress_ < cellOrder_.size()) {
            canvas_.Present();
            return false;
        }
    }
    ResetCard();
    canvas_.Present();
    return true;
}

// --- Fly-in ---------------------------------------------------------------------------------

void TCardGraphics::StartFlyIn() {
    fly_ = FlyIn{};
    fly_.state = 0;
    fly_.x = kStartX;
    fly_.y = kStartY;
    fly_.w = kStartW;
    fly_.h = 0;
    fly_.drawn = {};
}

void TCardGraphics::FlightDrew(TCardRect r) {
    if (r.w <= 0 || r.h <= 0)
        return;
    TCardRect& box = fly_.drawn;
    if (box.w <= 0 || box.h <= 0) {
        box = r;
        return;
    }
    const int right = std::max(box.x + box.w, r.x + r.w);
    const int bottom = std::max(box.y + box.h, r.y + r.h);
    box.x = std::min(box.x, r.x);
    box.y = std::min(box.y, r.y);
    box.w = right - box.x;
    box.h = bottom - box.y;
}

// The background under the work picture, the small card on it at (dx, dy), and the whole
// work picture onto the window: one rectangle on the window, which also erases the card of
// the step before (the work picture is larger than the card by the margin).
void TCardGraphics::MoveStep(int dx, int dy) {
    const TCardSize work = fly_.work;
    canvas_.CopyRect(TCardPicture::Background, {fly_.x, fly_.y, work.w, work.h}, TCardPicture::Work,
                     {0, 0});
    canvas_.CopyRect(TCardPicture::SmallCard, {0, 0, fly_.w, fly_.h}, TCardPicture::Work, {dx, dy});
    canvas_.CopyRect(TCardPicture::Work, {0, 0, work.w, work.h}, TCardPicture::Window,
                     {origin_.x + fly_.x, origin_.y + fly_.y});
    FlightDrew({fly_.x, fly_.y, work.w, work.h});
}

void TCardGraphics::Unfold() {
    if (fly_.h <= kUnfoldLimit) {
        canvas_.Stretch(TCardPicture::Card, true, TCardPicture::Window,
                        {origin_.x + fly_.x, origin_.y + fly_.y - fly_.h, fly_.w, fly_.h});
        FlightDrew({fly_.x, fly_.y - fly_.h, fly_.w, fly_.h});
        fly_.h += kUnfoldStep;
    }
    if (fly_.h >= kUnfoldLimit) {
        fly_.state = 1;
        fly_.y -= kUnfoldLimit;
        fly_.work = {fly_.w + metrics_.margin, fly_.h + metrics_.margin};
        canvas_.ResizePicture(TCardPicture::Work, fly_.work);
        canvas_.ResizePicture(TCardPicture::SmallCard, {fly_.w, fly_.h});
        canvas_.Stretch(TCardPicture::Card, false, TCardPicture::SmallCard, {0, 0, fly_.w, fly_.h});
    }
}

void TCardGraphics::Grow() {
    if (fly_.h >= card_.h && fly_.w >= card_.w) {
        // The table as it was wherever the flight went; the card then lies on it.
        const TCardRect& box = fly_.drawn;
        if (box.w > 0 && box.h > 0)
            canvas_.CopyRect(TCardPicture::Background, box, TCardPicture::Window,
                             {origin_.x + box.x, origin_.y + box.y});
        canvas_.MoveCard({origin_.x + fly_.x, origin_.y + fly_.y});
        canvas_.SetCardSize(card_);
        canvas_.ShowCard();
        fly_.state = kFlyInDone;
        return;
    }
    if (fly_.h + 11 < card_.h) {
        fly_.h += 11;
        fly_.y -= 2;
    } else {
        fly_.h = card_.h;
        fly_.y -= 3;
    }
    if (fly_.w + 24 < card_.w) {
        fly_.w += 24;
        fly_.x -= 7;
    } else {
        fly_.w = card_.w;
        fly_.x -= metrics_.xLast;
    }
    canvas_.Stretch(TCardPicture::Card, false, TCardPicture::Window,
                    {origin_.x + fly_.x, origin_.y + fly_.y, fly_.w, fly_.h});
    FlightDrew({fly_.x, fly_.y, fly_.w, fly_.h});
}

int TCardGraphics::FlyInFrame() {
    if (!setUp_ || fly_.state == kFlyInDone)
        return kFlyInDone;
    canvas_.ProcessPendingMessages();
    // The messages may have closed the window and released the card table.
    if (!setUp_)
        return kFlyInDone;
    const TCardMetrics& m = metrics_;
    switch (fly_.state) {
    case 0:
        Unfold();
        break;
    case 1: // lift
        if (fly_.y >= kLiftTop) {
            MoveStep(0, 0);
            fly_.y -= kLiftStep;
        }
        if (fly_.y <= kLiftTop)
            fly_.state = 2;
        break;
    case 2: // climb
        if (fly_.y >= kClimbTop) {
            MoveStep(m.dxStep, 0);
            fly_.y -= m.dyStep;
            fly_.x += m.dxStep;
        }
        if (fly_.y <= kClimbTop) {
            fly_.state = 3;
            fly_.xLimit = fly_.x + m.xRun;
        }
        break;
    case 3: // glide
        if (fly_.x <= fly_.xLimit) {
            MoveStep(m.dxStep, m.dyStep);
            fly_.x += m.dxStep;
        }
        if (fly_.x >= fly_.xLimit)
            fly_.state = 4;
        break;
    case 4: // descend
        if (fly_.y <= m.yLow) {
            MoveStep(m.dxStep, m.dxStep);
            fly_.y += m.dyStep;
            fly_.x += m.dxStep;
        }
        if (fly_.y >= m.yLow)
            fly_.state = 5;
        break;
    default:
        Grow();
        break;
    }
    canvas_.Present();
    return fly_.state;
}

// --- Text -----------------------------------------------------------------------------------

int TCardGraphics::TopOfLine(int line) const {
    return (line == 2 ? metrics_.line2Base : metrics_.line1Base) - fontHeight_;
}

void TCardGraphics::ClearCardLine(int line) {
    if (!setUp_)
        return;
    const int top = TopOfLine(line);
    const int left = metrics_.textLeft - 5;
    // To just inside the card's edge: a character begun left of the right limit reaches past
    // card width - 20, and would stay on the next card.
    const int right = card_.w - metrics_.Scaled(kClearRightGap);
    const int upper = top - fontHeight_ - metrics_.pad;
    // Unicode text may reach below its line by the margin of its drawing.
    const int lower = top + fontHeight_ + (page_->IsUtf8() ? UnicodeMargin() : 0);
    canvas_.FillRect(TCardPicture::Card, {left, upper, right - left, lower - upper}, kCardWhite);
    canvas_.Present();
}

// Lays the text out by drawing it in white where it will go, so that the layout uses exactly
// the positions of the later drawing. Fit count: the leading characters after which the next
// position stays left of the right limit. Wrap point: the last blank at 2 .. fit count + 1,
// otherwise the fit count.
void TCardGraphics::Measure(const std::string& text, int top) {
    const int limit = RightLimit();
    int x = metrics_.textLeft;
    fitCount_ = 0;
    for (std::size_t i = 0; i < text.size() && x < limit; ++i) {
        pen_ = {canvas_.DrawChar(TCardPicture::Card, {x, top}, static_cast<unsigned char>(text[i]),
                                 kCardWhite),
                top};
        x = pen_.x + 1;
        if (x < limit)
            fitCount_ = i + 1;
    }
    wrapPoint_ = fitCount_;
    for (std::size_t p = std::min(fitCount_ + 1, text.size()); p >= 2; --p)
        if (text[p - 1] == ' ') {
            wrapPoint_ = p;
            break;
        }
}

TCardPoint TCardGraphics::PositionAtCursor(const std::string& text, int line) {
    const int top = TopOfLine(line);
    if (cursor_ == 1) {
        Measure(text, top);
        // A text that does not fit starts one line higher and wraps onto its own line.
        return {metrics_.textLeft, fitCount_ < text.size() ? top - fontHeight_ : top};
    }
    if (fitCount_ < text.size() && cursor_ == wrapPoint_)
        return {metrics_.textLeft, top};
    return {pen_.x + 1, pen_.y};
}

void TCardGraphics::DrawAtCursor(const std::string& text, int line) {
    const TCardPoint at = PositionAtCursor(text, line);
    pen_ = {canvas_.DrawChar(TCardPicture::Card, at, static_cast<unsigned char>(text[cursor_ - 1]),
                             textColour_),
            at.y};
}

bool TCardGraphics::WriteCardText(const std::string& text, int line, bool allAtOnce) {
    if (!setUp_) {
        cursor_ = 1;
        return true;
    }
    if (page_->IsUtf8())
        return WriteUnicodeText(text, line, allAtOnce);
    const int limit = RightLimit();
    bool done = true;
    if (allAtOnce) {
        // The pen of an earlier text says nothing about this one: the first character is
        // always written.
        while (cursor_ <= text.size() && (cursor_ == 1 || pen_.x <= limit)) {
            DrawAtCursor(text, line);
            ++cursor_;
        }
    } else if (cursor_ <= text.size()) {
        DrawAtCursor(text, line);
        done = cursor_ == text.size() || pen_.x >= limit;
    }
    // Otherwise nothing is left to write (an empty text): done at once, so the run goes on.
    cursor_ = done ? 1 : cursor_ + 1;
    canvas_.Present();
    return done;
}

// --- Unicode text ---------------------------------------------------------------------------

namespace {

// True when the whole text runs in its base direction: no word of the other direction, no
// digits inside right-to-left text, nothing the bidirectional order would move.
bool OneDirection(std::string_view utf8, bool rightToLeft) {
    const icu::UnicodeString s = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<std::int32_t>(utf8.size())));
    UErrorCode status = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_openSized(s.length(), 0, &status);
    if (U_FAILURE(status) || bidi == nullptr)
        return false;
    ubidi_setPara(bidi, s.getBuffer(), s.length(), rightToLeft ? 1 : 0, nullptr, &status);
    const bool one = U_SUCCESS(status) && ubidi_getDirection(bidi) != UBIDI_MIXED;
    ubidi_close(bidi);
    return one;
}

} // namespace

std::string_view TCardGraphics::UnicodeRun(std::size_t first, std::size_t end) const {
    const std::vector<std::size_t>& starts = unicode_.starts;
    const std::size_t from = first < starts.size() ? starts[first] : unicode_.utf8.size();
    const std::size_t to = end < starts.size() ? starts[end] : unicode_.utf8.size();
    return std::string_view(unicode_.utf8).substr(from, to - from);
}

std::size_t TCardGraphics::FittingCharacters(std::size_t first) {
    const int room = RightLimit() - metrics_.textLeft;
    const bool rtl = unicode_.rightToLeft;
    // The widths grow with the characters: the largest count that fits, by halving.
    std::size_t low = 0;
    std::size_t high = unicode_.starts.size() - std::min(first, unicode_.starts.size());
    if (canvas_.TextWidth(UnicodeRun(first, first + high), rtl) < room)
        return high;
    while (high - low > 1) {
        const std::size_t mid = low + (high - low) / 2;
        if (canvas_.TextWidth(UnicodeRun(first, first + mid), rtl) < room)
            low = mid;
        else
            high = mid;
    }
    return low;
}

// As the text of a code page is laid out (Measure, PositionAtCursor), by characters: a text
// that does not fit starts one line higher and goes on, on its own line, from the last blank
// of its fitting part (or from its last fitting character); the second line ends with the
// character that reaches the right limit.
void TCardGraphics::LayOutUnicode(const std::string& text, int line) {
    UnicodeText& u = unicode_;
    u.prepared = false;
    // Valid UTF-8 for the canvas: bytes that are none become U+FFFD.
    u.utf8 = page_->ToUtf8(text);
    u.starts = Utf8CharacterStarts(u.utf8);
    u.rightToLeft = RunsRightToLeft(u.utf8);
    u.oneDirection = OneDirection(u.utf8, u.rightToLeft);
    u.lines.clear();
    canvas_.BeginText(u.utf8, u.rightToLeft);
    const int top = TopOfLine(line);
    const std::size_t count = u.starts.size();
    const std::size_t fit = FittingCharacters(0);
    if (fit >= count) {
        u.lines.push_back({0, count, top});
        return;
    }
    std::size_t wrap = fit;
    for (std::size_t p = std::min(fit + 1, count); p >= 2; --p)
        if (UnicodeRun(p - 1, p) == " ") {
            wrap = p;
            break;
        }
    if (wrap < 2) {
        // Not even one character fits before the wrap: one line, as far as it goes.
        u.lines.push_back({0, std::min(count, fit + 1), top});
        return;
    }
    u.lines.push_back({0, wrap - 1, top - fontHeight_});
    const std::size_t second = FittingCharacters(wrap - 1);
    u.lines.push_back({wrap - 1, std::min(count, wrap - 1 + second + 1), top});
}

int TCardGraphics::UnicodeMargin() const {
    const int gap = metrics_.line2Base - metrics_.line1Base - fontHeight_;
    return std::max(0, std::min(fontHeight_ / 3, gap / 2));
}

void TCardGraphics::DrawUnicodeRun(std::size_t first, std::size_t end, int top) {
    const int left = metrics_.textLeft - 5;
    const int right = card_.w - metrics_.Scaled(kClearRightGap);
    const bool rtl = unicode_.rightToLeft;
    const std::string_view run = UnicodeRun(first, end);
    const int width = canvas_.TextWidth(run, rtl);
    const TCardPoint at{rtl ? RightLimit() : metrics_.textLeft, top};
    // What this line showed before and what it shows now, cleared first, with room for
    // overhanging glyphs beside and a margin above and below: a letter's form in the text
    // written so far (an Arabic final form, say) may reach further than in the whole text,
    // which the canvas fitted to the line.
    UnicodeLine* line = nullptr;
    for (UnicodeLine& l : unicode_.lines)
        if (l.first == first && l.top == top)
            line = &l;
    int from = rtl ? at.x - width : at.x;
    int to = rtl ? at.x : at.x + width;
    if (line != nullptr && line->drawnTo > line->drawnFrom) {
        from = std::min(from, line->drawnFrom);
        to = std::max(to, line->drawnTo);
    }
    const int slack = fontHeight_ / 2;
    from = std::max(left, from - slack);
    to = std::min(right, to + slack);
    const int margin = UnicodeMargin();
    if (to > from)
        canvas_.FillRect(TCardPicture::Card,
                         {from, top - margin, to - from, fontHeight_ + 2 * margin}, kCardWhite);
    const int other = canvas_.DrawText(TCardPicture::Card, at, run, rtl, textColour_);
    if (line != nullptr) {
        line->drawnFrom = std::min(at.x, other);
        line->drawnTo = std::max(at.x, other);
    }
    pen_ = {rtl ? at.x : other, top};
}

void TCardGraphics::DrawUnicodeWord(UnicodeLine& line, std::size_t end) {
    // The word being written starts after the last blank before its newest character.
    std::size_t word = end - 1;
    while (word > line.first && UnicodeRun(word - 1, word) != " ")
        --word;
    const bool rtl = unicode_.rightToLeft;
    if (!line.wordStarted || word != line.word) {
        // A new word begins where the run drawn last (the word before with its blank) ended;
        // measured anew only when the letters did not come one by one from the line's start.
        if (word == line.first)
            line.wordOffset = 0;
        else if (line.wordStarted && line.lastEnd == word)
            line.wordOffset += line.lastWidth;
        else
            line.wordOffset = canvas_.TextWidth(UnicodeRun(line.first, word), rtl);
        line.word = word;
        line.wordStarted = true;
        line.wordFrom = 0;
        line.wordTo = 0;
    }
    const std::string_view run = UnicodeRun(word, end);
    const int width = canvas_.TextWidth(run, rtl);
    line.lastEnd = end;
    line.lastWidth = width;
    const TCardPoint at{rtl ? RightLimit() - line.wordOffset : metrics_.textLeft + line.wordOffset,
                        line.top};
    // The word's earlier drawing and its new one, with room for overhanging glyphs on the side
    // it grows to (not on the other: the word before it stands there).
    int from = rtl ? at.x - width : at.x;
    int to = rtl ? at.x : at.x + width;
    if (line.wordTo > line.wordFrom) {
        from = std::min(from, line.wordFrom);
        to = std::max(to, line.wordTo);
    }
    const int slack = fontHeight_ / 2;
    const int left = metrics_.textLeft - 5;
    const int right = card_.w - metrics_.Scaled(kClearRightGap);
    if (rtl)
        from = std::max(left, from - slack);
    else
        to = std::min(right, to + slack);
    const int margin = UnicodeMargin();
    if (to > from)
        canvas_.FillRect(TCardPicture::Card,
                         {from, line.top - margin, to - from, fontHeight_ + 2 * margin},
                         kCardWhite);
    const int other = canvas_.DrawText(TCardPicture::Card, at, run, rtl, textColour_);
    line.wordFrom = std::min(at.x, other);
    line.wordTo = std::max(at.x, other);
    pen_ = {rtl ? at.x : other, line.top};
}

void TCardGraphics::PrepareCardText(const std::string& text, int line) {
    if (!setUp_ || !page_->IsUtf8() || cursor_ != 1)
        return;
    LayOutUnicode(text, line);
    unicode_.prepared = true;
    unicode_.source = text;
    unicode_.line = line;
}

bool TCardGraphics::WriteUnicodeText(const std::string& text, int line, bool allAtOnce) {
    if (cursor_ == 1) {
        if (!unicode_.prepared || unicode_.source != text || unicode_.line != line)
            LayOutUnicode(text, line);
        unicode_.prepared = false;
    }
    const std::vector<UnicodeLine>& lines = unicode_.lines;
    const std::size_t total = lines.empty() ? 0 : lines.back().end;
    bool done = true;
    if (total == 0) {
        // Nothing to write (an empty text): done at once, so the run goes on.
    } else if (allAtOnce) {
        for (const UnicodeLine& l : lines)
            if (l.end > l.first)
                DrawUnicodeRun(l.first, l.end, l.top);
    } else {
        // Character cursor_ - 1 (0-based) joins the line it belongs to, drawn anew up to it.
        const std::size_t c = cursor_ - 1;
        for (UnicodeLine& l : unicode_.lines)
            if (c >= l.first && c < l.end) {
                if (unicode_.oneDirection)
                    DrawUnicodeWord(l, c + 1);
                else
                    DrawUnicodeRun(l.first, c + 1, l.top);
                break;
            }
        done = c + 1 >= total;
    }
    cursor_ = done ? 1 : cursor_ + 1;
    canvas_.Present();
    return done;
}

} // namespace lexaro
