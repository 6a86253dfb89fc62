#include "data/Lesson.h"
#include "data/StrUtil.h"
#include "data/T_MWordPairData.h"
#include "data/Word_Pear.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

TEST(WordPear, LineFormAndFlags) {
    TWordPear p;
    p.id = 3;
    p.text1 = "dog";
    p.text2 = "Hund";
    EXPECT_EQ(p.ToLine(), "3=dog@Hund#");
    p.use = true;
    EXPECT_EQ(p.ToLine(), "3=dog@Hund#*");
    p.drawn = true;
    EXPECT_EQ(p.ToLine(), "3=dog@Hund#\xA7");
    p.use = false;
    EXPECT_EQ(p.ToLine(), "3=dog@Hund#") << "drawn counts only with use";

    const TWordPear empty;
    EXPECT_EQ(empty.ToLine(), "0=@#");
    EXPECT_EQ(static_cast<const rWordPear&>(TWordPear("0=@#")),
              static_cast<const rWordPear&>(empty));
}

TEST(WordPear, FromLineCases) {
    struct Case {
        const char* line;
        int id;
        const char* text1;
        const char* text2;
        bool use, drawn;
    } cases[] = {
        {"12=a*b@z#*", 12, "a*b", "z", true, false},
        {"5=x@y", 5, "", "", false, false},
        {"5=xy#", 5, "", "xy", false, false},
        {"7=a@b@z#", 7, "a", "b@z", false, false},
        {"4=x@y*#", 4, "x", "y*", false, false},
        {"1=house@Haus#\xA7", 1, "house", "Haus", true, true},
        {"2=say \"hi\"@sag \"hallo\"#*", 2, "say \"hi\"", "sag \"hallo\"", true, false},
        {"3=#a@b", 3, "", "", false, false},
    };
    for (const auto& c : cases) {
        const TWordPear p(c.line);
        EXPECT_EQ(p.id, c.id) << c.line;
        EXPECT_EQ(p.text1, c.text1) << c.line;
        EXPECT_EQ(p.text2, c.text2) << c.line;
        EXPECT_EQ(p.use, c.use) << c.line;
        EXPECT_EQ(p.drawn, c.drawn) << c.line;
    }
    EXPECT_THROW(TWordPear("x=a@b#"), TConvertError);
    EXPECT_THROW(TWordPear("no equals sign"), TConvertError);
}

TEST(WordPear, TextProblems) {
    EXPECT_EQ(PairTextProblem("Haus", false), nullptr);
    EXPECT_EQ(PairTextProblem("a@b", true), nullptr);
    EXPECT_NE(PairTextProblem("a@b", false), nullptr);
    EXPECT_NE(PairTextProblem("a#b", true), nullptr);
    EXPECT_NE(PairTextProblem("a\nb", true), nullptr);
}

TEST(Lesson, SlotsAndCounts) {
    TLesson lesson;
    lesson.number = 4;
    lesson.AddPairFromLine("0=a@A#*");
    lesson.AddPairFromLine("2=c@C#");
    EXPECT_EQ(lesson.SlotCount(), 3);
    EXPECT_EQ(lesson.PairCount(), 2);
    EXPECT_EQ(lesson.UsedPairCount(), 1);
    EXPECT_EQ(lesson.PairAt(1), nullptr);
    EXPECT_EQ(lesson.PairAt(99), nullptr);

    const auto fresh = lesson.NewPair(-1);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->id, 1);
    EXPECT_EQ(lesson.PairAt(1), fresh);
    const auto next = lesson.NewPair(-1);
    EXPECT_EQ(next->id, 3) << "all slots full: the slot after the last";
    EXPECT_EQ(lesson.FirstFreeSlot(), 4);

    // Lines that cannot name a slot, and empty lines, never replace slot 0.
    EXPECT_EQ(lesson.AddPairFromLine(""), nullptr);
    EXPECT_EQ(lesson.AddPairFromLine("-1=x@y#"), nullptr);
    EXPECT_EQ(lesson.AddPairFromLine("99999999=x@y#"), nullptr);
    EXPECT_EQ(lesson.PairAt(0)->text1, "a");
    EXPECT_EQ(lesson.SlotCount(), 4);

    TLesson unused;
    unused.AddPairFromLine("0=a@b#");
    EXPECT_EQ(unused.PairCount(), 1);
    EXPECT_EQ(unused.UsedPairCount(), 0);
}

TEST(Lesson, FindTextAndClearDrawn) {
    TLesson lesson;
    lesson.number = 7;
    lesson.AddPairFromLine("0=house@Haus#\xA7");
    lesson.AddPairFromLine("1=tree@B\xE4um#\xA7");
    EXPECT_EQ(lesson.FindText("HAUS", true), 7);
    EXPECT_EQ(lesson.FindText("B\xC4UM", true), 7);
    EXPECT_EQ(lesson.FindText("HAUS", false), -1);
    EXPECT_EQ(lesson.FindText("", true), -1);
    lesson.ClearDrawn();
    EXPECT_FALSE(lesson.PairAt(0)->drawn);
    EXPECT_TRUE(lesson.PairAt(0)->use);
}

TEST(MWordPairData, EmptyUntilALessonAboveZero) {
    TMWordPairData clip;
    EXPECT_TRUE(clip.IsEmpty());
    EXPECT_EQ(clip.GetData().lesson, -1);
    rWordPairData d;
    d.pair.text1 = "a";
    d.lesson = 2;
    clip.SetData(d);
    EXPECT_FALSE(clip.IsEmpty());
    EXPECT_EQ(clip.GetData().pair.text1, "a");
}

} // namespace
} // namespace lexaro
