#include "exercise/GraphicOutput.h"

#include "data/TextSteps.h"

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

// A canvas that draws nothing and records every call. Its font is 7 pixels wide for every
// character, so that a character drawn at x leaves the pen at x + 7 and the next one of a line
// goes to x + 8.
class FakeCanvas : public ICardCanvas {
public:
    enum class Kind {
        CreateWork,
        Resize,
        ReleaseWork,
        Copy,
        Stretch,
        Fill,
        Font,
        Char,
        Text,
        Hide,
        Size,
        Move,
        Show,
        Pump,
        Present
    };
    struct Op {
        Kind kind = Kind::Present;
        TCardPicture from = TCardPicture::Window;
        TCardPicture to = TCardPicture::Window;
        TCardRect rect; // copy: source; stretch, fill: target
        TCardPoint at;  // copy: target; char: position; move
        TCardSize size; // resize, card size
        bool withoutLastRow = false;
        TRgb colour;
        unsigned char ch = 0;
        std::string text; // text: the UTF-8 drawn
        bool rightToLeft = false;
    };

    static Op Make(Kind kind) {
        Op op;
        op.kind = kind;
        return op;
    }

    static constexpr int kCharWidth = 7;

    int ppi = 96;
    TCardPoint origin{12, 46};
    TCardSize card{290, 140};
    TCardRect cardControl{300, 250, 10, 10};
    bool cardVisible = false;
    TCardFont font;
    std::vector<Op> ops;
    std::function<void()> onPump;

    int PixelsPerInch() const override { return ppi; }
    TCardPoint BackgroundOrigin() const override { return origin; }
    TCardSize CardPictureSize() const override { return card; }

    void CreateWorkPictures() override { ops.push_back(Make(Kind::CreateWork)); }
    void ResizePicture(TCardPicture which, TCardSize size) override {
        Op op = Make(Kind::Resize);
        op.to = which;
        op.size = size;
        ops.push_back(op);
    }
    void ReleaseWorkPictures() override { ops.push_back(Make(Kind::ReleaseWork)); }
    void CopyRect(TCardPicture from, TCardRect source, TCardPicture to, TCardPoint at) override {
        Op op = Make(Kind::Copy);
        op.from = from;
        op.to = to;
        op.rect = source;
        op.at = at;
        ops.push_back(op);
    }
    void Stretch(TCardPicture from, bool withoutLastRow, TCardPicture to,
                 TCardRect target) override {
        Op op = Make(Kind::Stretch);
        op.from = from;
        op.to = to;
        op.rect = target;
        op.withoutLastRow = withoutLastRow;
        ops.push_back(op);
    }
    void FillRect(TCardPicture on, TCardRect rect, TRgb colour) override {
        Op op = Make(Kind::Fill);
        op.to = on;
        op.rect = rect;
        op.colour = colour;
        ops.push_back(op);
    }
    void SetFont(const TCardFont& f) override {
        font = f;
        ops.push_back(Make(Kind::Font));
    }
    int DrawChar(TCardPicture on, TCardPoint at, unsigned char ch, TRgb colour) override {
        Op op = Make(Kind::Char);
        op.to = on;
        op.at = at;
        op.ch = ch;
        op.colour = colour;
        ops.push_back(op);
        return at.x + kCharWidth;
    }
    // Unicode text: 8 pixels a code point, as a line of characters is wide here.
    static int Width(std::string_view utf8) {
        return 8 * static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
                   return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
               }));
    }
    void BeginText(std::string_view utf8, bool) override { begun.emplace_back(utf8); }
    std::vector<std::string> begun;
    int TextWidth(std::string_view utf8, bool) override { return Width(utf8); }
    int DrawText(TCardPicture on, TCardPoint at, std::string_view utf8, bool rightToLeft,
                 TRgb colour) override {
        Op op = Make(Kind::Text);
        op.to = on;
        op.at = at;
        op.text = std::string(utf8);
        op.rightToLeft = rightToLeft;
        op.colour = colour;
        ops.push_back(op);
        return rightToLeft ? at.x - Width(utf8) : at.x + Width(utf8);
    }
    void HideCard() override {
        cardVisible = false;
        ops.push_back(Make(Kind::Hide));
    }
    void SetCardSize(TCardSize size) override {
        cardControl.w = size.w;
        cardControl.h = size.h;
        Op op = Make(Kind::Size);
        op.size = size;
        ops.push_back(op);
    }
    void MoveCard(TCardPoint at) override {
        cardControl.x = at.x;
        cardControl.y = at.y;
        Op op = Make(Kind::Move);
        op.at = at;
        ops.push_back(op);
    }
    void ShowCard() override {
        cardVisible = true;
        ops.push_back(Make(Kind::Show));
    }
    TCardRect CardGeometry() const override { return cardControl; }
    void ProcessPendingMessages() override {
        ops.push_back(Make(Kind::Pump));
        if (onPump)
            onPump();
    }
    void Present() override { ops.push_back(Make(Kind::Present)); }

    std::vector<Op> Take() {
        std::vector<Op> out;
        out.swap(ops);
        return out;
    }
};

using Kind = FakeCanvas::Kind;
using Ops = std::vector<FakeCanvas::Op>;

// A generator whose order is fixed: its clock always gives the same seed.
TRandomGen FixedRandom() {
    return TRandomGen(1, [] { return 4711u; });
}

Ops OnWindow(const Ops& ops) {
    Ops out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [](const auto& op) {
        return op.to == TCardPicture::Window &&
               (op.kind == Kind::Copy || op.kind == Kind::Stretch || op.kind == Kind::Fill);
    });
    return out;
}

// The characters drawn in the given colour, as (position, character).
std::vector<std::pair<TCardPoint, char>> Written(const Ops& ops, TRgb colour) {
    std::vector<std::pair<TCardPoint, char>> out;
    for (const auto& op : ops)
        if (op.kind == Kind::Char && op.colour == colour)
            out.push_back({op.at, static_cast<char>(op.ch)});
    return out;
}

bool Contains(const TCardRect& outer, const TCardRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

class CardTableTest : public ::testing::Test {
protected:
    FakeCanvas canvas;
    TRandomGen rng = FixedRandom();
    TCardGraphics cards{canvas, rng};

    void SetUpAt(int ppi, TCardSize card) {
        canvas.ppi = ppi;
        canvas.card = card;
        cards.Setup();
        cards.SetCardFont(TFontProperty{});
        canvas.Take();
    }

    // The whole fly-in, one entry of ops per frame, with the state the frame began in.
    struct Frame {
        int stateBefore;
        int stateAfter;
        Ops ops;
    };
    std::vector<Frame> FlyIn() {
        cards.StartFlyIn();
        std::vector<Frame> frames;
        for (int guard = 0; guard < 200; ++guard) {
            const int before = cards.FlyInState();
            const int after = cards.FlyInFrame();
            frames.push_back({before, after, canvas.Take()});
            if (after == TCardGraphics::kFlyInDone)
                return frames;
        }
        ADD_FAILURE() << "the fly-in does not end";
        return frames;
    }

    // Every call of a whole wipe.
    std::vector<Ops> Wipe(bool* endedOnLast) {
        std::vector<Ops> ticks;
        *endedOnLast = false;
        for (int guard = 0; guard < 2000; ++guard) {
            const bool done = cards.WipeStep(false);
            ticks.push_back(canvas.Take());
            if (done) {
                *endedOnLast = true;
                return ticks;
            }
        }
        return ticks;
    }

    // Letter by letter until done; each call's ops appended.
    Ops WriteByLetter(const std::string& text, int line, int* calls) {
        Ops all;
        *calls = 0;
        for (int guard = 0; guard < 1000; ++guard) {
            ++*calls;
            const bool done = cards.WriteCardText(text, line, false);
            for (auto& op : canvas.Take())
                all.push_back(op);
            if (done)
                return all;
        }
        ADD_FAILURE() << "the letter output does not end";
        return all;
    }
};

// --- Scale ----------------------------------------------------------------------------------

TEST(CardMetricsTest, SizesFollowTheDensityRoundedHalfToEven) {
    struct Row {
        int ppi;
        double scale;
        std::vector<int> sizes; // dyStep dxStep margin yLow xRun textLeft line1Base line2Base
                                // pad rightGap cell xLast
    };
    const std::vector<Row> rows{
        {96, 1.0, {8, 16, 16, 55, 17, 25, 57, 102, 4, 27, 3, 5}},
        {110, 1.0, {8, 16, 16, 55, 17, 25, 57, 102, 4, 27, 3, 5}},
        {120, 1.2, {10, 19, 19, 66, 20, 30, 68, 122, 5, 32, 4, 0}},
        // Exact halves go to the even neighbour: 71.5 -> 72, 32.5 -> 32.
        {130, 1.3, {10, 21, 21, 72, 22, 32, 74, 133, 5, 35, 4, 0}},
        // 82.5 -> 82, 25.5 -> 26, 37.5 -> 38, 85.5 -> 86, 40.5 -> 40.
        {150, 1.5, {12, 24, 24, 82, 26, 38, 86, 153, 6, 40, 5, 0}},
    };
    for (const auto& row : rows) {
        const TCardMetrics m = CardMetrics(row.ppi);
        const std::vector<int> got{m.dyStep, m.dxStep,   m.margin,    m.yLow,
                                   m.xRun,   m.textLeft, m.line1Base, m.line2Base,
                                   m.pad,    m.rightGap, m.cell,      m.xLast};
        EXPECT_DOUBLE_EQ(m.Scale(), row.scale) << row.ppi << " ppi";
        EXPECT_EQ(got, row.sizes) << row.ppi << " ppi";
    }
    EXPECT_DOUBLE_EQ(CardMetrics(111).Scale(), 1.11);
}

TEST(CardMetricsTest, TextColourTableAndBlueForAnyOtherIndex) {
    EXPECT_EQ(TextColour(0), (TRgb{0, 0, 0}));
    EXPECT_EQ(TextColour(2), (TRgb{0, 0, 255}));
    EXPECT_EQ(TextColour(7), (TRgb{0x80, 0, 0}));
    EXPECT_EQ(TextColour(12), (TRgb{255, 255, 0}));
    for (const int other : {-1, 13, 1000})
        EXPECT_EQ(TextColour(other), (TRgb{0, 0, 255})) << other;
}

TEST_F(CardTableTest, CardFontNameHeightStyleAndColour) {
    struct Row {
        int ppi;
        TFontProperty property;
        TCardFont font;
        TRgb colour;
    };
    const std::vector<Row> rows{
        {96, {"Arial", 0, 8, 14}, {"Arial", 14, true, false}, {255, 0, 0}},
        {96, {"Arial", 1, 13, 14}, {"Arial", 14, true, true}, {0, 0, 255}},
        {96, {"Arial", 2, -1, 20}, {"Arial", 20, true, true}, {0, 0, 255}},
        {120, {"Times New Roman", 0, 0, 14}, {"Times New Roman", 17, true, false}, {0, 0, 0}},
        // 17.5 and 22.5: halves to even.
        {125, {"Times New Roman", 0, 0, 14}, {"Times New Roman", 18, true, false}, {0, 0, 0}},
        {150, {"Times New Roman", 0, 0, 15}, {"Times New Roman", 22, true, false}, {0, 0, 0}},
    };
    for (const auto& row : rows) {
        canvas.ppi = row.ppi;
        cards.Setup();
        cards.SetCardFont(row.property);
        EXPECT_EQ(canvas.font, row.font) << row.property.Font << " " << row.property.Size;
        EXPECT_EQ(cards.TextColourInUse(), row.colour) << row.property.Color;
    }
}

TEST_F(CardTableTest, FontSetBeforeTheFirstSetupGetsTheWindowsScale) {
    canvas.ppi = 120;
    cards.SetCardFont(TFontProperty{"Arial", 0, 2, 20});
    cards.Setup();
    EXPECT_EQ(canvas.font.height, 24);
}

// --- Fly-in ---------------------------------------------------------------------------------

TEST_F(CardTableTest, FlyInFramesPerStateAndRestingPlace) {
    SetUpAt(96, {290, 140});
    const auto frames = FlyIn();
    std::map<int, int> perState;
    for (const auto& f : frames)
        ++perState[f.stateBefore];
    EXPECT_EQ(perState, (std::map<int, int>{{0, 3}, {1, 1}, {2, 3}, {3, 2}, {4, 5}, {5, 11}}));

    // At rest at (134, 37) on the background, full size and shown.
    EXPECT_EQ(canvas.cardControl, (TCardRect{12 + 134, 46 + 37, 290, 140}));
    EXPECT_TRUE(canvas.cardVisible);
    // A finished fly-in stays finished and draws nothing.
    EXPECT_EQ(cards.FlyInFrame(), TCardGraphics::kFlyInDone);
    EXPECT_TRUE(OnWindow(canvas.Take()).empty());
}

TEST_F(CardTableTest, UnfoldDrawsHeightsZeroTenTwentyThenPreparesTheSmallCard) {
    SetUpAt(96, {290, 140});
    const auto frames = FlyIn();
    std::vector<TCardRect> unfolded;
    for (int i = 0; i < 3; ++i) {
        const Ops window = OnWindow(frames[static_cast<std::size_t>(i)].ops);
        ASSERT_EQ(window.size(), 1u);
        EXPECT_EQ(window[0].kind, Kind::Stretch);
        EXPECT_TRUE(window[0].withoutLastRow);
        unfolded.push_back(window[0].rect);
    }
    EXPECT_EQ(unfolded,
              (std::vector<TCardRect>{{54, 125, 56, 0}, {54, 115, 56, 10}, {54, 105, 56, 20}}));
    // The third frame makes the work picture (small card + margin) and the small card.
    const Ops& third = frames[2].ops;
    std::vector<std::pair<TCardPicture, TCardSize>> sized;
    for (const auto& op : third)
        if (op.kind == Kind::Resize)
            sized.push_back({op.to, op.size});
    EXPECT_EQ(sized, (std::vector<std::pair<TCardPicture, TCardSize>>{
                         {TCardPicture::Work, {72, 46}}, {TCardPicture::SmallCard, {56, 30}}}));
    EXPECT_TRUE(std::any_of(third.begin(), third.end(), [](const auto& op) {
        return op.kind == Kind::Stretch && op.to == TCardPicture::SmallCard && !op.withoutLastRow &&
               op.rect == TCardRect{0, 0, 56, 30};
    }));
}

TEST_F(CardTableTest, EachMoveFrameDrawsOneRectangleOnTheWindowAndEachGrowFrameOneCard) {
    SetUpAt(96, {290, 140});
    for (const auto& f : FlyIn()) {
        ASSERT_FALSE(f.ops.empty());
        EXPECT_EQ(f.ops.front().kind, Kind::Pump) << "messages first";
        const Ops window = OnWindow(f.ops);
        if (f.stateBefore >= 1 && f.stateBefore <= 4) {
            ASSERT_EQ(window.size(), 1u) << "state " << f.stateBefore;
            EXPECT_EQ(window[0].kind, Kind::Copy);
            EXPECT_EQ(window[0].from, TCardPicture::Work);
            EXPECT_EQ(window[0].rect, (TCardRect{0, 0, 72, 46}));
        } else if (f.stateBefore == 5 && f.stateAfter == 5) {
            ASSERT_EQ(window.size(), 1u);
            EXPECT_EQ(window[0].kind, Kind::Stretch);
            EXPECT_FALSE(window[0].withoutLastRow);
        }
    }
}

// The card's rectangle on the window in each frame, the window rectangle each frame draws, and
// what the last frame put back from the background.
struct Flight {
    std::vector<TCardRect> cardDrawn;
    std::vector<TCardRect> covered;
    std::vector<TCardRect> restored;
};

// At every density the fly-in ends with the card control at its resting place, exactly where
// the last frame drew the whole card, and leaves no trail: the frame that lays the card down
// puts the background back over every place the flight drew a card on. (At 100 per cent each
// frame already covers the card of the frame before; at 120 and 144 the unscaled grow steps
// would leave a row or two behind.)
TEST_F(CardTableTest, FlightEndsWhereTheLastCardWasDrawnAndLeavesNoTrail) {
    struct Table {
        int ppi;
        TCardSize card;
        TCardPoint rest; // on the background
    };
    const std::vector<Table> tables{
        {96, {290, 140}, {134, 37}}, {120, {362, 175}, {167, 43}}, {144, {435, 210}, {167, 55}}};
    for (const auto& [ppi, card, rest] : tables) {
        SetUpAt(ppi, card);
        const int margin = CardMetrics(ppi).margin;
        Flight flight;
        for (const auto& f : FlyIn()) {
            TCardPoint smallAt;
            for (const auto& op : f.ops) {
                if (op.kind == Kind::Copy && op.to == TCardPicture::Work &&
                    op.from == TCardPicture::SmallCard)
                    smallAt = op.at;
                if (op.to != TCardPicture::Window)
                    continue;
                if (op.kind == Kind::Copy && op.from == TCardPicture::Background) {
                    EXPECT_EQ(f.stateAfter, TCardGraphics::kFlyInDone) << ppi << " ppi";
                    // The same place of the background as of the window.
                    EXPECT_EQ(op.at, (TCardPoint{12 + op.rect.x, 46 + op.rect.y}));
                    flight.restored.push_back({op.at.x, op.at.y, op.rect.w, op.rect.h});
                } else if (op.kind == Kind::Copy) {
                    flight.covered.push_back({op.at.x, op.at.y, op.rect.w, op.rect.h});
                    flight.cardDrawn.push_back({op.at.x + smallAt.x, op.at.y + smallAt.y,
                                                op.rect.w - margin, op.rect.h - margin});
                } else if (op.kind == Kind::Stretch) {
                    flight.covered.push_back(op.rect);
                    flight.cardDrawn.push_back(op.rect);
                }
            }
        }
        ASSERT_GE(flight.covered.size(), 2u);
        const TCardRect atRest{12 + rest.x, 46 + rest.y, card.w, card.h};
        EXPECT_EQ(canvas.cardControl, atRest) << ppi << " ppi";
        EXPECT_EQ(flight.cardDrawn.back(), atRest) << ppi << " ppi";
        ASSERT_EQ(flight.restored.size(), 1u) << ppi << " ppi";
        for (std::size_t i = 0; i < flight.cardDrawn.size(); ++i)
            EXPECT_TRUE(Contains(flight.restored[0], flight.cardDrawn[i]))
                << ppi << " ppi: frame " << i << " leaves a trail";
        if (ppi != 96)
            continue;
        for (std::size_t i = 1; i < flight.covered.size(); ++i)
            EXPECT_TRUE(Contains(flight.covered[i], flight.cardDrawn[i - 1]))
                << "frame " << i << " leaves a trail";
    }
}

// The background grows with the card table, and more where the unscaled start of the flight
// and the three card sizes would otherwise run past it: the flight and the resting card stay
// on the table at every density.
TEST(CardTableLayoutTest, TheFlightStaysOnTheBackgroundAtEveryDensity) {
    struct Row {
        int ppi;
        TCardSize card;
        TCardSize background;
        TCardRect rest;
    };
    for (const Row& row : std::vector<Row>{{96, {290, 140}, {440, 190}, {134, 37, 290, 140}},
                                           {120, {362, 175}, {550, 238}, {167, 43, 362, 175}},
                                           {144, {435, 210}, {660, 285}, {167, 55, 435, 210}}}) {
        const TCardTableLayout layout = CardTableLayout(row.ppi, row.card);
        EXPECT_EQ(layout.background, row.background) << row.ppi;
        EXPECT_EQ(layout.restingCard, row.rest) << row.ppi;
    }
    for (int ppi = 72; ppi <= 288; ++ppi) {
        const TCardSize card = ppi <= 110   ? TCardSize{290, 140}
                               : ppi <= 130 ? TCardSize{362, 175}
                                            : TCardSize{435, 210};
        const TCardTableLayout layout = CardTableLayout(ppi, card);
        const TCardRect table{0, 0, layout.background.w, layout.background.h};
        EXPECT_TRUE(Contains(table, layout.flight)) << ppi << " ppi";
        EXPECT_TRUE(Contains(layout.flight, layout.restingCard)) << ppi << " ppi";
    }
}

TEST_F(CardTableTest, ClosingTheWindowDuringAFrameStopsTheFlyIn) {
    SetUpAt(96, {290, 140});
    cards.StartFlyIn();
    canvas.onPump = [this] { cards.Release(); };
    EXPECT_EQ(cards.FlyInFrame(), TCardGraphics::kFlyInDone);
    EXPECT_TRUE(OnWindow(canvas.Take()).empty());
}

// --- Wipe -----------------------------------------------------------------------------------

TEST_F(CardTableTest, WipeCoversTheCardInTicksOfAtMost180CellsThenResetsIt) {
    SetUpAt(96, {290, 140});
    FlyIn();
    const TCardRect card = canvas.cardControl;

    bool ended = false;
    const auto ticks = Wipe(&ended);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ticks.size(), (97u * 47u + 179u) / 180u);

    std::vector<bool> hit(static_cast<std::size_t>(card.w * card.h), false);
    for (std::size_t t = 0; t < ticks.size(); ++t) {
        const Ops fills = OnWindow(ticks[t]);
        EXPECT_LE(fills.size(), 180u);
        if (t + 1 < ticks.size()) {
            EXPECT_EQ(fills.size(), 180u);
        }
        for (const auto& op : fills) {
            ASSERT_EQ(op.kind, Kind::Fill);
            EXPECT_EQ(op.colour, kWipeSilver);
            // Squares of 3, those of the last column (x 288) and row (y 138) cut to the card:
            // nothing beside the card turns silver.
            EXPECT_EQ(op.rect.w, op.rect.x - card.x == 288 ? 2 : 3);
            EXPECT_EQ(op.rect.h, op.rect.y - card.y == 138 ? 2 : 3);
            EXPECT_TRUE(Contains(card, op.rect));
            for (int y = op.rect.y; y < op.rect.y + op.rect.h; ++y)
                for (int x = op.rect.x; x < op.rect.x + op.rect.w; ++x)
                    hit[static_cast<std::size_t>((y - card.y) * card.w + (x - card.x))] = true;
        }
    }
    EXPECT_EQ(std::count(hit.begin(), hit.end(), false), 0) << "pixels of the card not wiped";

    // The last tick resets the card: hidden, 10 x 10, back at its parking place.
    std::vector<Kind> reset;
    for (const auto& op : ticks.back())
        if (op.kind == Kind::Hide || op.kind == Kind::Size || op.kind == Kind::Move)
            reset.push_back(op.kind);
    EXPECT_EQ(reset, (std::vector<Kind>{Kind::Hide, Kind::Size, Kind::Move}));
    EXPECT_EQ(canvas.cardControl, (TCardRect{300, 250, 10, 10}));
    EXPECT_FALSE(canvas.cardVisible);
    EXPECT_EQ(cards.WipeProgress(), 0u);
}

TEST_F(CardTableTest, ImmediateWipeResetsWithoutFillingAndStartsTheNextWipeAfresh) {
    SetUpAt(96, {290, 140});
    FlyIn();
    EXPECT_FALSE(cards.WipeStep(false));
    EXPECT_EQ(cards.WipeProgress(), 180u);
    canvas.Take();
    EXPECT_TRUE(cards.WipeStep(true));
    const Ops ops = canvas.Take();
    EXPECT_TRUE(OnWindow(ops).empty());
    EXPECT_FALSE(canvas.cardVisible);
    EXPECT_EQ(cards.WipeProgress(), 0u);
}

// Where the card size is a multiple of the cell, the list has more places than cells; those
// places stay at (0, 0) and wipe the corner again.
TEST_F(CardTableTest, UnusedCellPlacesWipeTheCorner) {
    SetUpAt(144, {435, 210}); // cell 5: 87 x 42 cells, room for 88 x 43
    EXPECT_EQ(cards.WipeCellCount(), 88u * 43u);
    FlyIn();
    const TCardRect card = canvas.cardControl;
    bool ended = false;
    std::map<std::pair<int, int>, int> perPlace;
    for (const auto& tick : Wipe(&ended))
        for (const auto& op : OnWindow(tick))
            ++perPlace[{op.rect.x - card.x, op.rect.y - card.y}];
    EXPECT_TRUE(ended);
    EXPECT_EQ(perPlace.size(), 87u * 42u);
    EXPECT_EQ((perPlace[{0, 0}]), 88 * 43 - 87 * 42 + 1);
}

// The shuffled order is made once and kept: a later show wipes in the same order.
TEST_F(CardTableTest, WipeOrderIsShuffledOnceAndKept) {
    SetUpAt(96, {290, 140});
    auto order = [this] {
        FlyIn();
        bool ended = false;
        std::vector<TCardRect> fills;
        for (const auto& tick : Wipe(&ended))
            for (const auto& op : OnWindow(tick))
                fills.push_back(op.rect);
        return fills;
    };
    const auto first = order();
    cards.Release();
    cards.Setup();
    const auto second = order();
    EXPECT_EQ(first, second);
    // Shuffled: not column by column.
    ASSERT_GE(first.size(), 2u);
    EXPECT_FALSE(first[0].x == first[1].x && first[1].y == first[0].y + 3);
}

// --- Text -----------------------------------------------------------------------------------

// At 96 ppi with the 290-pixel card and a 14-pixel font: line 1 has its top at 57 - 14 = 43,
// line 2 at 102 - 14 = 88; characters go to 25, 33, 41, ...; the right limit is 290 - 27 =
// 263, so 29 characters fit (after the 29th the next position is 257, after the 30th 265).
class CardTextTest : public CardTableTest {
protected:
    void SetUp() override { SetUpAt(96, {290, 140}); }

    static constexpr TRgb kBlue{0, 0, 255};

    static std::vector<std::pair<TCardPoint, char>> Run(const std::string& text, int top,
                                                        std::size_t from, std::size_t to, int x0) {
        std::vector<std::pair<TCardPoint, char>> out;
        for (std::size_t i = from; i < to; ++i)
            out.push_back({{x0 + 8 * static_cast<int>(i - from), top}, text[i]});
        return out;
    }
};

TEST_F(CardTextTest, FittingTextIsWrittenOnItsLineFromTextLeft) {
    EXPECT_TRUE(cards.WriteCardText("Haus", 2, true));
    const Ops ops = canvas.Take();
    EXPECT_EQ(Written(ops, kBlue), Run("Haus", 88, 0, 4, 25));
    // The layout pass draws the same characters in white where they go.
    EXPECT_EQ(Written(ops, kCardWhite), Run("Haus", 88, 0, 4, 25));
}

// Texts that do not fit start one line higher; they go on, on their own line, from the last
// blank of the fitting part (or from the last fitting character when there is none); a text
// longer than two lines stops where the pen reaches the right limit.
TEST_F(CardTextTest, WrapTable) {
    const std::string a20(20, 'a'), b19(19, 'b');
    struct Row {
        const char* what;
        std::string text;
        std::vector<std::pair<TCardPoint, char>> expected;
    };
    std::vector<Row> rows;
    {
        const std::string t = a20 + " " + b19; // 40 characters, blank at 21
        auto e = Run(t, 29, 0, 20, 25);
        for (const auto& c : Run(t, 43, 20, 40, 25))
            e.push_back(c);
        rows.push_back({"blank inside the fitting part", t, e});
    }
    {
        const std::string t(35, 'x'); // no blank: the 29th character starts the line
        auto e = Run(t, 29, 0, 28, 25);
        for (const auto& c : Run(t, 43, 28, 35, 25))
            e.push_back(c);
        rows.push_back({"no blank", t, e});
    }
    {
        const std::string t = std::string(29, 'c') + " " + std::string(10, 'd'); // blank at 30
        auto e = Run(t, 29, 0, 29, 25);
        for (const auto& c : Run(t, 43, 29, 40, 25))
            e.push_back(c);
        rows.push_back({"blank right after the fitting part", t, e});
    }
    {
        const std::string t = " " + std::string(39, 'e'); // a leading blank is no wrap point
        auto e = Run(t, 29, 0, 28, 25);
        for (const auto& c : Run(t, 43, 28, 40, 25))
            e.push_back(c);
        rows.push_back({"leading blank", t, e});
    }
    {
        // From the blank at 21 the second line takes 30 characters: the 30th leaves the pen
        // at 25 + 29 * 8 + 7 = 264, beyond the limit.
        const std::string t = a20 + " " + std::string(59, 'z');
        auto e = Run(t, 29, 0, 20, 25);
        for (const auto& c : Run(t, 43, 20, 50, 25))
            e.push_back(c);
        rows.push_back({"longer than two lines", t, e});
    }
    {
        // Positions beyond 255 are positions like any other: the blank at 280 is no wrap
        // point, the text wraps after the fitting part and stops at the limit.
        std::string t(300, 'w');
        t[279] = ' ';
        auto e = Run(t, 29, 0, 28, 25);
        for (const auto& c : Run(t, 43, 28, 58, 25))
            e.push_back(c);
        rows.push_back({"300 characters", t, e});
    }

    for (const auto& row : rows) {
        EXPECT_TRUE(cards.WriteCardText(row.text, 1, true)) << row.what;
        EXPECT_EQ(Written(canvas.Take(), kBlue), row.expected) << row.what << ", all at once";

        // Letter by letter the same characters go to the same places, one per call.
        int calls = 0;
        const Ops ops = WriteByLetter(row.text, 1, &calls);
        EXPECT_EQ(Written(ops, kBlue), row.expected) << row.what << ", by letter";
        EXPECT_EQ(calls, static_cast<int>(row.expected.size())) << row.what;
    }
}

TEST_F(CardTextTest, LetterOutputReportsDoneOnlyAtTheEndAndRestartsAfterwards) {
    std::vector<bool> done;
    for (int i = 0; i < 3; ++i)
        done.push_back(cards.WriteCardText("abc", 2, false));
    EXPECT_EQ(done, (std::vector<bool>{false, false, true}));
    // The cursor is back at the start: the next text begins at the left of its line.
    EXPECT_FALSE(cards.WriteCardText("xy", 1, false));
    const auto written = Written(canvas.Take(), kBlue);
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written.back().first, (TCardPoint{25, 43}));
}

TEST_F(CardTextTest, EmptyTextIsDoneAtOnce) {
    EXPECT_TRUE(cards.WriteCardText("", 2, false));
    EXPECT_TRUE(cards.WriteCardText("", 1, true));
    EXPECT_TRUE(Written(canvas.Take(), kBlue).empty());
    EXPECT_FALSE(cards.WriteCardText("ab", 1, false));
    EXPECT_EQ(Written(canvas.Take(), kBlue), Run("ab", 43, 0, 1, 25));
}

TEST_F(CardTextTest, AfterATextThatRanToTheLimitTheNextStartsAtTheLeftMargin) {
    const std::string longText = std::string(20, 'a') + " " + std::string(59, 'z');
    for (const bool byLetter : {false, true}) {
        if (byLetter) {
            int calls = 0;
            WriteByLetter(longText, 2, &calls);
        } else {
            EXPECT_TRUE(cards.WriteCardText(longText, 2, true));
        }
        canvas.Take();
        EXPECT_TRUE(cards.WriteCardText("Tag", 1, true));
        EXPECT_EQ(Written(canvas.Take(), kBlue), Run("Tag", 43, 0, 3, 25))
            << (byLetter ? "after letters" : "after all at once");
    }
}

// Clearing a line removes all that a text on that line can draw, its wrapped start included,
// and nothing of the other line.
TEST_F(CardTextTest, ClearingALineCoversItsWrappedTextAndSparesTheOther) {
    const std::string t = std::string(20, 'a') + " " + std::string(59, 'z');
    std::map<int, TCardRect> cleared;
    std::map<int, Ops> drawn;
    for (const int line : {1, 2}) {
        cards.ClearCardLine(line);
        const Ops clear = canvas.Take();
        ASSERT_EQ(clear.front().kind, Kind::Fill);
        EXPECT_EQ(clear.front().to, TCardPicture::Card);
        EXPECT_EQ(clear.front().colour, kCardWhite);
        cleared[line] = clear.front().rect;
        cards.WriteCardText(t, line, true);
        drawn[line] = canvas.Take();
    }
    EXPECT_EQ(cleared[1], (TCardRect{20, 25, 263, 32}));
    EXPECT_EQ(cleared[2], (TCardRect{20, 70, 263, 32}));
    for (const int line : {1, 2})
        for (const auto& op : drawn[line]) {
            if (op.kind != Kind::Char)
                continue;
            const TCardRect cell{op.at.x, op.at.y, FakeCanvas::kCharWidth, 14};
            EXPECT_TRUE(Contains(cleared[line], cell)) << "line " << line;
            const TCardRect& other = cleared[3 - line];
            EXPECT_FALSE(cell.y < other.y + other.h && other.y < cell.y + cell.h)
                << "line " << line << " reaches into the other line";
        }
}

// --- Unicode text ---------------------------------------------------------------------------

// The Unicode texts drawn in blue, in order: (position, text, right to left).
struct TDrawnText {
    TCardPoint at;
    std::string text;
    bool rightToLeft = false;
    friend bool operator==(const TDrawnText&, const TDrawnText&) = default;
};
std::ostream& operator<<(std::ostream& out, const TDrawnText& t) {
    return out << "(" << t.at.x << ", " << t.at.y << ") \"" << t.text << "\""
               << (t.rightToLeft ? " rtl" : "");
}

std::vector<TDrawnText> TextsDrawn(const Ops& ops) {
    std::vector<TDrawnText> out;
    for (const auto& op : ops)
        if (op.kind == Kind::Text && op.colour == TRgb{0, 0, 255})
            out.push_back({op.at, op.text, op.rightToLeft});
    return out;
}

class UnicodeCardTextTest : public CardTextTest {
protected:
    void SetUp() override {
        CardTextTest::SetUp();
        cards.SetCodePage(TCodePage::Get(TCodePage::kUtf8));
    }
};

// Letter by letter a Unicode text grows by the characters the learner sees: each step draws
// the whole text written so far (so Arabic letters join as they stand, and a vowel sign or mark
// never stands alone), on its line cleared first. A right-to-left text ends at the right limit
// (263) and grows leftwards; a left-to-right one starts at the text's left (25).
TEST_F(UnicodeCardTextTest, LettersGrowByWholeCharactersInTheTextsDirection) {
    struct Row {
        const char* what;
        std::string text;
        std::vector<TDrawnText> steps;
    };
    const std::vector<Row> rows = {
        {"Arabic with vowel marks",
         "كِتَاب",
         {{{263, 88}, "كِ", true},
          {{263, 88}, "كِتَ", true},
          {{263, 88}, "كِتَا", true},
          {{263, 88}, "كِتَاب", true}}},
        {"Hindi with its vowel signs and nasal mark",
         "हिंदी",
         {{{25, 88}, "हिं", false}, {{25, 88}, "हिंदी", false}}},
        {"Japanese", "日本", {{{25, 88}, "日", false}, {{25, 88}, "日本", false}}},
        {"Hebrew with points",
         "שָׁלוֹם",
         {{{263, 88}, "שָׁ", true},
          {{263, 88}, "שָׁל", true},
          {{263, 88}, "שָׁלוֹ", true},
          {{263, 88}, "שָׁלוֹם", true}}},
        // In a text of one direction a step draws only the word being written, beside the
        // words before it (8 pixels a code point here).
        {"words left to right",
         "ab cd",
         {{{25, 88}, "a", false},
          {{25, 88}, "ab", false},
          {{25, 88}, "ab ", false},
          {{49, 88}, "c", false},
          {{49, 88}, "cd", false}}},
        {"words right to left",
         "אב גד",
         {{{263, 88}, "א", true},
          {{263, 88}, "אב", true},
          {{263, 88}, "אב ", true},
          {{239, 88}, "ג", true},
          {{239, 88}, "גד", true}}},
        {"a Latin word before Arabic: left to right",
         "TV تلفاز",
         {{{25, 88}, "T", false},
          {{25, 88}, "TV", false},
          {{25, 88}, "TV ", false},
          {{25, 88}, "TV ت", false},
          {{25, 88}, "TV تل", false},
          {{25, 88}, "TV تلف", false},
          {{25, 88}, "TV تلفا", false},
          {{25, 88}, "TV تلفاز", false}}},
    };
    for (const Row& row : rows) {
        canvas.begun.clear();
        int calls = 0;
        const Ops ops = WriteByLetter(row.text, 2, &calls);
        EXPECT_EQ(TextsDrawn(ops), row.steps) << row.what;
        EXPECT_EQ(calls, static_cast<int>(row.steps.size())) << row.what;
        // The canvas hears of the whole text once, before its first part.
        EXPECT_EQ(canvas.begun, std::vector<std::string>{row.text}) << row.what;
        EXPECT_EQ(cards.WritingRightToLeft(), row.steps.front().rightToLeft) << row.what;
        // Each step clears its line before it draws, with a margin of a third of the line above
        // and below (a form in the text so far may reach further than in the whole text).
        // It covers what the step before drew of the same word and what this one draws.
        TCardRect before;
        TCardPoint beforeAt{-1, -1};
        for (std::size_t i = 0; i + 1 < ops.size(); ++i)
            if (ops[i + 1].kind == Kind::Text) {
                const FakeCanvas::Op& text = ops[i + 1];
                const int width = FakeCanvas::Width(text.text);
                const TCardRect drawn{text.rightToLeft ? text.at.x - width : text.at.x, 88, width,
                                      14};
                EXPECT_EQ(ops[i].kind, Kind::Fill) << row.what;
                EXPECT_EQ(ops[i].colour, kCardWhite) << row.what;
                EXPECT_EQ(ops[i].rect.y, 84) << row.what;
                EXPECT_EQ(ops[i].rect.h, 22) << row.what;
                EXPECT_TRUE(Contains(ops[i].rect, drawn)) << row.what << " step " << i;
                if (text.at == beforeAt) {
                    EXPECT_TRUE(Contains(ops[i].rect, before)) << row.what;
                }
                EXPECT_GE(ops[i].rect.x, 20) << row.what;
                EXPECT_LE(ops[i].rect.x + ops[i].rect.w, 283) << row.what;
                before = drawn;
                beforeAt = text.at;
            }
        // All at once: the whole text in one drawing.
        EXPECT_TRUE(cards.WriteCardText(row.text, 2, true));
        const bool rtl = row.steps.front().rightToLeft;
        EXPECT_EQ(TextsDrawn(canvas.Take()),
                  (std::vector<TDrawnText>{{{rtl ? 263 : 25, 88}, row.text, rtl}}))
            << row.what;
    }
}

// A text laid out ahead (while the presented side is read) is written exactly as one laid out
// at its first letter, without laying it out again; another text, another line, a new font or
// code page lays out anew, and a single-byte page has nothing to lay out.
TEST_F(UnicodeCardTextTest, ATextLaidOutAheadIsWrittenAsItWouldBeWithoutIt) {
    int calls = 0;
    for (const std::string text : {"ab cd", "كِتَاب جميل"}) {
        SCOPED_TRACE(text);
        const Ops fresh = WriteByLetter(text, 2, &calls);
        canvas.begun.clear();
        cards.PrepareCardText(text, 2);
        EXPECT_EQ(canvas.begun, std::vector<std::string>{text});
        EXPECT_TRUE(canvas.Take().empty()) << "nothing is drawn ahead";
        EXPECT_EQ(TextsDrawn(WriteByLetter(text, 2, &calls)), TextsDrawn(fresh));
        EXPECT_EQ(canvas.begun, std::vector<std::string>{text}) << "laid out once";
        // Once written, the next writing lays it out again.
        WriteByLetter(text, 2, &calls);
        EXPECT_EQ(canvas.begun.size(), 2u);
    }
    const auto laidOutAgain = [&](const std::function<void()>& between, const char* written,
                                  int line) {
        cards.PrepareCardText("ab", 2);
        between();
        canvas.begun.clear();
        WriteByLetter(written, line, &calls);
        return canvas.begun == std::vector<std::string>{written};
    };
    EXPECT_TRUE(laidOutAgain([] {}, "cd", 2)) << "another text";
    EXPECT_TRUE(laidOutAgain([] {}, "ab", 1)) << "another line";
    EXPECT_TRUE(laidOutAgain([&] { cards.SetCardFont(TFontProperty{}); }, "ab", 2)) << "a new font";
    EXPECT_TRUE(laidOutAgain([&] { cards.SetCodePage(TCodePage::Get(TCodePage::kUtf8)); }, "ab", 2))
        << "the code page set again";
    EXPECT_FALSE(laidOutAgain([] {}, "ab", 2)) << "the same text and line";

    cards.SetCodePage(TCodePage::Western());
    canvas.begun.clear();
    cards.PrepareCardText("Haus", 2);
    EXPECT_TRUE(canvas.begun.empty());
    EXPECT_TRUE(canvas.Take().empty());
}

// A Unicode text that does not fit wraps as a code page's text does, by characters: it starts
// one line higher and goes on from the last blank of its fitting part; the second line stops
// with the character that reaches the limit. A right-to-left text keeps to the right on both.
TEST_F(UnicodeCardTextTest, LongTextsWrapByCharacters) {
    std::string arabic;
    for (int i = 0; i < 20; ++i)
        arabic += "بِ";
    std::string tail;
    for (int i = 0; i < 59; ++i)
        tail += "ت";
    const std::string text = arabic + " " + tail;
    EXPECT_TRUE(cards.WriteCardText(text, 1, true));
    const auto drawn = TextsDrawn(canvas.Take());
    ASSERT_EQ(drawn.size(), 2u);
    // 20 letters with their marks (40 code points, 320 pixels here) do not fit the first line
    // either: its fitting part is 14 characters of 28 code points.
    std::string firstLine;
    for (int i = 0; i < 14; ++i)
        firstLine += "بِ";
    EXPECT_EQ(drawn[0], (TDrawnText{{263, 29}, firstLine.substr(0, firstLine.size() - 4), true}));
    EXPECT_EQ(drawn[1].at, (TCardPoint{263, 43}));
    EXPECT_TRUE(drawn[1].rightToLeft);

    // With a blank inside the fitting part, the first line ends before it.
    const std::string words = "ab cd " + std::string(40, 'x');
    EXPECT_TRUE(cards.WriteCardText(words, 1, true));
    const auto wrapped = TextsDrawn(canvas.Take());
    ASSERT_EQ(wrapped.size(), 2u);
    EXPECT_EQ(wrapped[0], (TDrawnText{{25, 29}, "ab cd", false}));
    EXPECT_EQ(wrapped[1].at, (TCardPoint{25, 43}));
    EXPECT_EQ(wrapped[1].text.substr(0, 3), " xx");
    // Letter by letter: the same two lines, one character a step.
    int calls = 0;
    const auto steps = TextsDrawn(WriteByLetter(words, 1, &calls));
    EXPECT_EQ(calls, static_cast<int>(5 + CharacterCount(wrapped[1].text, TCodePage::Get(65001))));
    ASSERT_GT(steps.size(), 5u);
    // The first line's last word, beside "ab " (three code points of 8 pixels).
    EXPECT_EQ(steps[4], (TDrawnText{{49, 29}, "cd", false}));
    EXPECT_EQ(steps[5], (TDrawnText{{25, 43}, " ", false}));
    EXPECT_EQ(steps.back().at, (TCardPoint{33, 43}));
    EXPECT_EQ(" " + steps.back().text, wrapped[1].text);
}

// Clearing a line of Unicode text also takes the margin below it, which its drawing may reach.
TEST_F(UnicodeCardTextTest, ClearingALineTakesTheMarginBelowItToo) {
    cards.ClearCardLine(2);
    const Ops ops = canvas.Take();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front().rect, (TCardRect{20, 70, 263, 36}));
}

// Stored bytes that are no UTF-8 reach the canvas as U+FFFD, never as broken text; an empty
// text is done at once.
TEST_F(UnicodeCardTextTest, TheCanvasGetsValidUtf8) {
    EXPECT_TRUE(cards.WriteCardText("a\xFF", 1, true));
    EXPECT_EQ(TextsDrawn(canvas.Take()), (std::vector<TDrawnText>{{{25, 43}, "a\uFFFD", false}}));
    EXPECT_TRUE(cards.WriteCardText("", 1, false));
    EXPECT_TRUE(TextsDrawn(canvas.Take()).empty());
}

TEST_F(CardTextTest, NothingIsDrawnBeforeSetupOrAfterRelease) {
    cards.Release();
    canvas.Take();
    EXPECT_TRUE(cards.WriteCardText("abc", 1, false));
    EXPECT_TRUE(cards.WipeStep(false));
    cards.StartFlyIn();
    EXPECT_EQ(cards.FlyInFrame(), TCardGraphics::kFlyInDone);
    cards.ClearCardLine(1);
    EXPECT_TRUE(canvas.Take().empty());
}

} // namespace
} // namespace lexaro
