#include "exercise_window/QtCardCanvas.h"

#include "data/Charset.h"
#include "data/TextSteps.h"

#include <QDir>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

// Pictures whose every pixel tells where it came from, so a misplaced copy shows.
QImage Pattern(int w, int h, int blue) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (blue + x / 256) % 256));
    return image;
}

// The card table at 100 per cent on a window of the exercise window's size, not shown.
class QtCardCanvasTest : public ::testing::Test {
protected:
    static constexpr QPoint kOrigin{12, 46};

    QWidget window;
    TRandomGen rng{1, [] { return 99u; }};
    std::unique_ptr<TQtCardCanvas> canvas;
    std::unique_ptr<TCardGraphics> cards;

    void SetUp() override {
        window.resize(635, 335);
        canvas = std::make_unique<TQtCardCanvas>(window, Pattern(440, 190, 40), kOrigin,
                                                 Pattern(290, 140, 200), 96, QPoint(500, 300));
        cards = std::make_unique<TCardGraphics>(*canvas, rng);
        cards->Setup();
        cards->SetCardFont(TFontProperty{"DejaVu Sans", 0, 0, 20});
    }

    void FlyIn() {
        cards->StartFlyIn();
        for (int frame = 0; frame < 100; ++frame)
            if (cards->FlyInFrame() == TCardGraphics::kFlyInDone)
                return;
        FAIL() << "the fly-in does not end";
    }

    static QRect RestingCard() { return {kOrigin.x() + 134, kOrigin.y() + 37, 290, 140}; }
};

// Pixels that differ between two images of one size, inside and outside a rectangle.
struct Changed {
    int inside = 0;
    int outside = 0;
};
Changed Compare(const QImage& a, const QImage& b, const QRect& box) {
    Changed c;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++(box.contains(x, y) ? c.inside : c.outside);
    return c;
}

TEST_F(QtCardCanvasTest, AfterTheFlyInTheCardLiesAtRestAndNothingElseChanged) {
    const QImage before = canvas->WindowImage().copy();
    FlyIn();
    EXPECT_EQ(canvas->WindowImage().copy(RestingCard()), canvas->CardImage());
    EXPECT_TRUE(canvas->CardVisible());
    // Elsewhere the window shows the background as before: the flight left no trail.
    EXPECT_EQ(Compare(before, canvas->WindowImage(), RestingCard()).outside, 0);
}

// At 120 and 144 pixels per inch, on the table laid out for them: the card comes to rest on
// the background and the flight leaves nothing of itself around it.
TEST(QtCardCanvasDensityTest, TheFlightLeavesNoTrailAtHigherDensities) {
    struct Row {
        int ppi;
        TCardSize card;
    };
    for (const Row& row : {Row{120, {362, 175}}, Row{144, {435, 210}}}) {
        const TCardTableLayout layout = CardTableLayout(row.ppi, row.card);
        QWidget window;
        window.resize(layout.background.w, layout.background.h);
        TRandomGen rng{1, [] { return 5u; }};
        TQtCardCanvas canvas(window, Pattern(layout.background.w, layout.background.h, 40),
                             QPoint(0, 0), Pattern(row.card.w, row.card.h, 200), row.ppi,
                             QPoint(0, 0));
        TCardGraphics cards(canvas, rng);
        cards.Setup();
        const QImage before = canvas.WindowImage().copy();
        cards.StartFlyIn();
        for (int frame = 0; frame < 100 && cards.FlyInFrame() != TCardGraphics::kFlyInDone;
             ++frame) {
        }
        const TCardRect r = layout.restingCard;
        const QRect rest(r.x, r.y, r.w, r.h);
        EXPECT_EQ(canvas.WindowImage().copy(rest), canvas.CardImage()) << row.ppi;
        EXPECT_EQ(Compare(before, canvas.WindowImage(), rest).outside, 0) << row.ppi;
    }
}

// Unicode cards on a white card, in the fonts the system has: each letter step is saved to
// $LEXARO_SCREENSHOT_DIR (when set) for a look by eye.
class UnicodeCardTest : public ::testing::Test {
protected:
    QWidget window;
    TRandomGen rng{1, [] { return 99u; }};
    std::unique_ptr<TQtCardCanvas> canvas;
    std::unique_ptr<TCardGraphics> cards;

    void SetUp() override {
        window.resize(635, 335);
        QImage white(290, 140, QImage::Format_RGB32);
        white.fill(Qt::white);
        canvas = std::make_unique<TQtCardCanvas>(window, Pattern(440, 190, 40), QPoint(12, 46),
                                                 white, 96, QPoint(500, 300));
        cards = std::make_unique<TCardGraphics>(*canvas, rng);
        cards->Setup();
        cards->SetCodePage(TCodePage::Get(TCodePage::kUtf8));
        cards->SetCardFont(TFontProperty{"DejaVu Sans", 0, 0, 24});
    }

    // The columns of the card's line 2 band that hold ink: first and last (-1 for none).
    std::pair<int, int> InkColumns() const {
        const QImage& card = canvas->CardImage();
        const int top = cards->Metrics().line2Base - cards->FontHeight();
        int first = -1;
        int last = -1;
        for (int x = 0; x < card.width(); ++x)
            for (int y = std::max(top - 8, 0); y < std::min(top + cards->FontHeight() + 8, 140);
                 ++y)
                if (card.pixel(x, y) != qRgb(255, 255, 255)) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }

    // Writes the text on line 2 letter by letter; the ink's columns after each step.
    std::vector<std::pair<int, int>> WriteSeries(const std::string& text, const char* name) {
        std::vector<std::pair<int, int>> ink;
        cards->ClearCardLine(2);
        const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
        for (int step = 1; step < 100; ++step) {
            const bool done = cards->WriteCardText(text, 2, false);
            ink.push_back(InkColumns());
            if (!dir.isEmpty()) {
                EXPECT_TRUE(canvas->CardImage().save(
                    QDir(dir).filePath(QStringLiteral("card-%1-%2.png").arg(name).arg(step))));
            }
            if (done)
                break;
        }
        return ink;
    }
};

// A right-to-left text ends at the right limit (card width - 27) and grows leftwards; a
// left-to-right one starts at the text's left (25) and grows rightwards; one step per
// character as the learner sees it. (A step may narrow the text a little: an Arabic letter
// that gets a neighbour takes its shorter joined form.) Nothing of the text reaches beyond
// its cleared line, so clearing the line takes all of it away.
TEST_F(UnicodeCardTest, LettersGrowFromTheTextsOwnSide) {
    struct Row {
        const char* name;
        std::string text;
        std::size_t steps;
        bool rightToLeft;
    };
    const std::vector<Row> rows = {
        {"arabic", "كِتَابٌ جَمِيلٌ", 9, true},
        {"hindi", "नमस्ते दुनिया", 0, false},
        {"hebrew", "שָׁלוֹם", 4, true},
        {"japanese", "ありがとう日本", 7, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto ink = WriteSeries(row.text, row.name);
        QImage white(canvas->CardImage().size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        const std::size_t characters = CharacterCount(row.text, TCodePage::Get(TCodePage::kUtf8));
        EXPECT_EQ(ink.size(), characters);
        if (row.steps != 0) {
            EXPECT_EQ(ink.size(), row.steps);
        }
        ASSERT_FALSE(ink.empty());
        for (std::size_t i = 0; i < ink.size(); ++i) {
            ASSERT_GE(ink[i].first, 0) << "step " << i;
            if (row.rightToLeft) {
                EXPECT_NEAR(ink[i].second, 290 - 27, 3) << "step " << i;
                if (i > 0) {
                    EXPECT_LE(ink[i].first, ink[i - 1].first + 8) << "step " << i;
                }
            } else {
                EXPECT_NEAR(ink[i].first, 25, 3) << "step " << i;
                if (i > 0) {
                    EXPECT_GE(ink[i].second, ink[i - 1].second - 8) << "step " << i;
                }
            }
        }
        cards->ClearCardLine(2);
        EXPECT_TRUE(canvas->CardImage() == white) << "something stayed beside the cleared line";
    }
}

TEST_F(QtCardCanvasTest, AWrittenCharacterChangesOnlyItsLineOnCardAndWindow) {
    FlyIn();
    cards->ClearCardLine(2);
    const QImage card = canvas->CardImage().copy();
    const QImage window = canvas->WindowImage().copy();
    EXPECT_TRUE(cards->WriteCardText("W", 2, true));

    // Line 2 of the card: from x = 25, top 102 - 20 = 82, one font height tall.
    const QRect line(25, 82, 40, 20);
    const Changed onCard = Compare(card, canvas->CardImage(), line);
    EXPECT_GT(onCard.inside, 20);
    EXPECT_EQ(onCard.outside, 0);
    // The shown card shows it on the window at once.
    const Changed onWindow =
        Compare(window, canvas->WindowImage(), line.translated(RestingCard().topLeft()));
    EXPECT_EQ(onWindow.inside, onCard.inside);
    EXPECT_EQ(onWindow.outside, 0);
}

// The wipe turns the card silver square by square and nothing beside it; the card it takes
// off the table at its end uncovers the table, so the next card flies in over the bare table.
TEST_F(QtCardCanvasTest, AWipeSilversOnlyTheCardAndItsEndUncoversTheTable) {
    const QImage table = canvas->WindowImage().copy();
    FlyIn();
    const QImage withCard = canvas->WindowImage().copy();
    bool done = false;
    int ticks = 0;
    for (; ticks < 100 && !done; ++ticks) {
        done = cards->WipeStep(false);
        if (done)
            break;
        // Each pixel of the card is the card's or silver; nothing beside it changed.
        const QImage now = canvas->WindowImage();
        int silver = 0;
        for (int y = 0; y < RestingCard().height(); ++y)
            for (int x = 0; x < RestingCard().width(); ++x) {
                const QRgb pixel = now.pixel(RestingCard().topLeft() + QPoint(x, y));
                if (pixel == qRgb(192, 192, 192))
                    ++silver;
                else
                    ASSERT_EQ(pixel, canvas->CardImage().pixel(x, y)) << x << "," << y;
            }
        EXPECT_GE(silver, ticks * 180 * 9 / 2) << "the squares of the ticks so far";
        EXPECT_EQ(Compare(withCard, now, RestingCard()).outside, 0);
    }
    ASSERT_TRUE(done);
    EXPECT_GT(ticks, 10);
    EXPECT_FALSE(canvas->CardVisible());
    EXPECT_EQ(canvas->WindowImage(), table) << "no silver block stays under the next flight";

    FlyIn();
    EXPECT_EQ(canvas->WindowImage().copy(RestingCard()), canvas->CardImage());
    EXPECT_EQ(Compare(table, canvas->WindowImage(), RestingCard()).outside, 0);
}

// The card taken off at once (a new round after "Yes", a new show) leaves the bare table, not
// the last card with both its texts.
TEST_F(QtCardCanvasTest, ACardTakenOffAtOnceUncoversTheTable) {
    const QImage table = canvas->WindowImage().copy();
    FlyIn();
    EXPECT_TRUE(cards->WriteCardText("Hund", 1, true));
    EXPECT_TRUE(cards->WriteCardText("dog", 2, true));
    EXPECT_TRUE(cards->WipeStep(true));
    EXPECT_EQ(canvas->WindowImage(), table);
}

// Clearing a card's two lines takes away every trace of its text, so that nothing of it shows
// on the next card: descenders stay within the line's height (the font's cell is the card
// font's height) and a last wide character that runs past the right limit is cleared too.
TEST_F(QtCardCanvasTest, ClearingBothLinesTakesAwayEveryTraceOfTheText) {
    const QFontMetrics metrics(canvas->Font(), &canvas->CardImage());
    EXPECT_LE(metrics.ascent() + metrics.descent(), 20);
    cards->ClearCardLine(1);
    cards->ClearCardLine(2);
    const QImage blank = canvas->CardImage().copy();
    for (const std::string text :
         {"gypjq gypjq gypjq", "jumping WWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWW qypg"}) {
        for (const int line : {1, 2})
            EXPECT_TRUE(cards->WriteCardText(text, line, true));
        EXPECT_NE(canvas->CardImage(), blank);
        cards->ClearCardLine(1);
        cards->ClearCardLine(2);
        EXPECT_EQ(canvas->CardImage(), blank) << text;
    }
}

// Copies into the work picture are only noted, and done when the work picture is copied on:
// whatever the copies, the target gets what plain copies one after the other give it.
TEST_F(QtCardCanvasTest, CopiesThroughTheWorkPictureGiveWhatPlainCopiesGive) {
    const QImage background = Pattern(440, 190, 40);
    const QImage card = Pattern(290, 140, 200);
    struct Into {
        TCardPicture from;
        TCardRect source;
        TCardPoint at;
    };
    struct Case {
        std::vector<Into> copies;
        TCardRect out; // of the work picture, onto the window at (300, 200)
        bool stretch;  // the work picture stretched onto the window instead
    };
    const std::vector<Case> cases{
        // A move step: the background under the work picture, the small card on it.
        {{{TCardPicture::Background, {40, 30, 72, 46}, {0, 0}},
          {TCardPicture::Card, {0, 0, 56, 30}, {16, 8}}},
         {0, 0, 72, 46},
         false},
        // Parts that leave the work picture's own (white) pixels showing, one past its edge,
        // and only part of the work picture copied on.
        {{{TCardPicture::Background, {0, 0, 30, 46}, {0, 0}},
          {TCardPicture::Card, {100, 50, 56, 30}, {50, 30}}},
         {10, 5, 50, 40},
         false},
        // The whole work picture read otherwise: the noted copies are done first.
        {{{TCardPicture::Background, {200, 100, 72, 46}, {0, 0}},
          {TCardPicture::Card, {0, 0, 20, 20}, {3, 4}}},
         {0, 0, 72, 46},
         true},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        canvas->ResizePicture(TCardPicture::Work, {72, 46});
        QImage work(72, 46, QImage::Format_RGB32);
        work.fill(Qt::white);
        QImage expected = canvas->WindowImage().copy();
        for (const Into& copy : c.copies) {
            canvas->CopyRect(copy.from, copy.source, TCardPicture::Work, copy.at);
            QPainter painter(&work);
            painter.drawImage(QPoint(copy.at.x, copy.at.y),
                              copy.from == TCardPicture::Card ? card : background,
                              QRect(copy.source.x, copy.source.y, copy.source.w, copy.source.h));
        }
        {
            QPainter painter(&expected);
            if (c.stretch)
                painter.drawImage(QRect(300, 200, 144, 92), work);
            else
                painter.drawImage(QPoint(300, 200), work,
                                  QRect(c.out.x, c.out.y, c.out.w, c.out.h));
        }
        if (c.stretch)
            canvas->Stretch(TCardPicture::Work, false, TCardPicture::Window, {300, 200, 144, 92});
        else
            canvas->CopyRect(TCardPicture::Work, c.out, TCardPicture::Window, {300, 200});
        EXPECT_EQ(canvas->WindowImage(), expected) << "case " << i;
    }
}

// A character is drawn by its Windows-1252 byte, as the Unicode character of that byte.
TEST_F(QtCardCanvasTest, CharactersAreDrawnAsTheirWindows1252Meaning) {
    const QFontMetrics metrics(canvas->Font(), &canvas->CardImage());
    for (const int code : {0x41, 0x80, 0x9F, 0xE4, 0xDF}) {
        const auto byte = static_cast<unsigned char>(code);
        cards->ClearCardLine(1);
        QImage expected = canvas->CardImage().copy();
        const QChar c(static_cast<char16_t>(Cp1252ToUnicode(byte)));
        {
            QPainter painter(&expected);
            painter.setFont(canvas->Font());
            painter.setPen(Qt::black);
            painter.drawText(QPoint(30, 40 + metrics.ascent()), QString(c));
        }
        const int pen = canvas->DrawChar(TCardPicture::Card, {30, 40}, byte, {0, 0, 0});
        EXPECT_EQ(canvas->CardImage(), expected) << code;
        EXPECT_EQ(pen, 30 + metrics.horizontalAdvance(c)) << code;
    }
}

} // namespace
} // namespace lexaro
