#include "exercise/ExerciseHelpFunc.h"

#include <algorithm>
#include <map>
#include <set>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using Pair = std::pair<std::int32_t, std::int32_t>;

// A generator whose order is fixed: its clock always gives the same seed.
TRandomGen FixedRandom() {
    return TRandomGen(1, [] { return 12345u; });
}

std::set<Pair> PairsOf(const ArrayWordData& list) {
    std::set<Pair> out;
    for (const auto& e : list)
        out.insert({e.lesson, e.pairId});
    return out;
}

ArrayWordData SortedByPair(ArrayWordData list) {
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return std::pair(a.lesson, a.pairId) < std::pair(b.lesson, b.pairId);
    });
    return list;
}

// Composition works on the language file as loaded: the tests build it in memory.
class CompositionTest : public ::testing::Test {
protected:
    TExerciseData ex;
    ArrayWordData heldBack;
    TLangFHandler lang;
    TRandomGen rng = FixedRandom();

    // Lesson number -> pairs (use, drawn); an empty slot where use is -1.
    struct PairSpec {
        int use;
        bool drawn = false;
    };
    void Lessons(const std::map<std::int32_t, std::vector<PairSpec>>& lessons) {
        lang.Clear();
        for (const auto& [number, pairs] : lessons) {
            auto lesson = std::make_shared<TLesson>();
            lesson->number = number;
            for (std::size_t slot = 0; slot < pairs.size(); ++slot) {
                if (pairs[slot].use < 0)
                    continue;
                auto pair = lesson->NewPair(static_cast<std::int64_t>(slot));
                pair->use = pairs[slot].use != 0;
                pair->drawn = pairs[slot].drawn;
            }
            lang.PutLesson(lesson);
        }
    }

    std::set<Pair> Drawn() const {
        std::set<Pair> out;
        for (const auto& lesson : lang.lessons)
            if (lesson)
                for (std::int32_t slot = 0; slot < lesson->SlotCount(); ++slot)
                    if (const auto pair = lesson->PairAt(slot); pair && pair->drawn)
                        out.insert({lesson->number, slot});
        return out;
    }

    void ExpectNoPairTwice(const char* when) const {
        const std::set<Pair> both = PairsOf(ex.ExerciseWords);
        EXPECT_EQ(both.size(), ex.ExerciseWords.size()) << when << ": a pair stands twice";
        for (const auto& e : heldBack)
            EXPECT_EQ(both.count({e.lesson, e.pairId}), 0u)
                << when << ": " << e.lesson << "-" << e.pairId << " is listed and held back";
    }
};

TEST_F(CompositionTest, ComposeNewCutsToMaxWordsAndMarksOnlyThoseDrawn) {
    Lessons({{1, {{1, true}, {1}, {1}, {1}, {1}}}});
    ex.AvailableUnits = {1};
    ex.MaxWords = 3;
    ex.ExerciseWords = {{9, 9, 4, false}};
    EXPECT_TRUE(composeNew(ex, heldBack, lang, rng)) << "the drawn marks are to be saved";

    const ArrayWordData& list = ex.ExerciseWords;
    ASSERT_EQ(list.size(), 3u);
    for (const auto& e : list) {
        EXPECT_EQ(e.lesson, 1);
        EXPECT_EQ(e.priority, 0);
        EXPECT_FALSE(e.transient);
    }
    ExpectNoPairTwice("new");
    // Exactly the three drawn pairs carry the mark; the mark the first pair had before is
    // gone unless it was drawn again.
    EXPECT_EQ(Drawn(), PairsOf(list));
}

TEST_F(CompositionTest, ComposeNewGivesTheSelectedPairsInAnOrderOfTheGenerator) {
    std::map<std::int32_t, std::vector<PairSpec>> lessons;
    for (std::int32_t n = 1; n <= 4; ++n)
        lessons[n] = std::vector<PairSpec>(25, PairSpec{1});
    lessons[2][7].use = 0;
    Lessons(lessons);
    ex.AvailableUnits = {4, 2, 3};
    ex.MaxWords = 40;
    ASSERT_TRUE(composeNew(ex, heldBack, lang, rng));
    const ArrayWordData first = ex.ExerciseWords;
    ASSERT_EQ(first.size(), 40u);
    ExpectNoPairTwice("new");
    for (const auto& e : first) {
        EXPECT_NE(e.lesson, 1) << "lesson 1 is not chosen";
        EXPECT_FALSE(e.lesson == 2 && e.pairId == 7) << "a pair out of use is never drawn";
    }
    // Shuffled: not the collection order, but the same order for the same generator.
    const ArrayWordData collected = collectSelected(ex, lang);
    EXPECT_NE(first, ArrayWordData(collected.begin(), collected.begin() + 40));
    TRandomGen same = FixedRandom();
    ASSERT_TRUE(composeNew(ex, heldBack, lang, same));
    EXPECT_EQ(ex.ExerciseWords, first);
}

TEST_F(CompositionTest, ComposeNewTakesUsedPairsOfChosenLessonsOnceEach) {
    Lessons({{1, {{1}, {0}, {1}}}, {2, {{1}, {1}}}, {3, {{1}}}});
    // A lesson chosen twice (a hand-edited settings file) still gives each pair once.
    ex.AvailableUnits = {3, 1, 7, 3};
    ASSERT_TRUE(composeNew(ex, heldBack, lang, rng));
    EXPECT_EQ(PairsOf(ex.ExerciseWords), (std::set<Pair>{{3, 0}, {1, 0}, {1, 2}}));
    EXPECT_EQ(ex.ExerciseWords.size(), 3u);
}

TEST_F(CompositionTest, NothingToComposeLeavesTheListsAsTheyWere) {
    const ArrayWordData before{{1, 0, 3, false}, {1, 1, 0, false}};
    const ArrayWordData held{{1, 2, 4, false}};
    struct Case {
        const char* name;
        std::map<std::int32_t, std::vector<PairSpec>> lessons;
        intArray units;
    } cases[] = {
        {"no pair in use", {{1, {{0}, {0}}}}, {1}},
        {"chosen lesson missing", {{1, {{1}}}}, {4}},
        {"no lesson chosen", {{1, {{1}}}}, {}},
        {"no lesson at all (a file that could not be loaded)", {}, {1}},
    };
    for (const auto& c : cases) {
        Lessons(c.lessons);
        ex.AvailableUnits = c.units;
        ex.ExerciseWords = before;
        heldBack = held;
        EXPECT_FALSE(composeNew(ex, heldBack, lang, rng)) << c.name;
        EXPECT_EQ(ex.ExerciseWords, before) << c.name;
        EXPECT_EQ(heldBack, held) << c.name;
        EXPECT_FALSE(fillFresh(ex, heldBack, lang, rng)) << c.name;
        EXPECT_EQ(ex.ExerciseWords, before) << c.name;
    }
}

TEST_F(CompositionTest, ANewCompositionStartsANewHeldBackList) {
    // What the last composition held back names pairs of that composition, perhaps of another
    // file: written after the new list it would bring a held pair back twice.
    Lessons({{1, {{1}, {1}, {1}}}});
    ex.AvailableUnits = {1};
    heldBack = {{1, 0, 3, false}, {8, 8, 2, false}};
    ASSERT_TRUE(composeNew(ex, heldBack, lang, rng));
    EXPECT_TRUE(heldBack.empty());
    EXPECT_EQ(PairsOf(ex.ExerciseWords), (std::set<Pair>{{1, 0}, {1, 1}, {1, 2}}));
}

TEST_F(CompositionTest, ContinueAgesPrioritiesAndHoldsBack) {
    Lessons({{1, {{1, true}, {1, true}, {1, true}, {1, true}}}});
    ex.AvailableUnits = {1};
    ex.MaxWords = 4;
    ex.ExerciseWords = {{1, 0, 0, false}, {1, 1, 1, false}, {1, 2, 2, false}, {1, 3, 9, false}};
    heldBack = {{5, 5, 5, false}};
    EXPECT_FALSE(composeContinue(ex, heldBack, lang, false, rng)) << "no mark changed";

    EXPECT_EQ(SortedByPair(ex.ExerciseWords), (ArrayWordData{{1, 0, 0, false}, {1, 1, 0, false}}));
    EXPECT_EQ(heldBack, (ArrayWordData{{1, 2, 1, false}}));
}

TEST_F(CompositionTest, ContinueWithResetBringsTheHeldBackPairsBack) {
    // Pair 4 was held back and pair 5 filled its place; pair 6 is held back but retired since,
    // and 5-5 names no pair of this file.
    Lessons({{1, {{1, true}, {1, true}, {1, true}, {1, true}, {1, true}, {1}, {0, true}}}});
    ex.AvailableUnits = {1};
    ex.MaxWords = 5;
    ex.ExerciseWords = {
        {1, 0, 0, false}, {1, 1, 1, false}, {1, 2, 2, false}, {1, 3, 9, false}, {1, 5, 0, true}};
    heldBack = {{1, 4, 5, false}, {1, 6, 2, false}, {5, 5, 5, false}};
    composeContinue(ex, heldBack, lang, true, rng);

    EXPECT_EQ(SortedByPair(ex.ExerciseWords), (ArrayWordData{{1, 0, 0, false},
                                                             {1, 1, 0, false},
                                                             {1, 2, 0, false},
                                                             {1, 3, 9, false},
                                                             {1, 4, 0, false}}));
    EXPECT_TRUE(heldBack.empty()) << "no pair is held back";
    ExpectNoPairTwice("reset");

    // With a maximum lowered meanwhile the list keeps to it.
    ex.MaxWords = 3;
    ex.ExerciseWords = {{1, 0, 0, false}, {1, 1, 0, false}, {1, 2, 0, false}};
    heldBack = {{1, 4, 5, false}};
    composeContinue(ex, heldBack, lang, true, rng);
    EXPECT_EQ(ex.ExerciseWords.size(), 3u);
    EXPECT_TRUE(heldBack.empty());
    ExpectNoPairTwice("lowered maximum");
}

TEST(CompositionSteps, HeldBackAtTheNextCompositionAgreesWithTheComposition) {
    // Priority in the exercise list -> held back by the next exercise: aged first, so 1 is not.
    const std::vector<std::pair<std::int32_t, bool>> table = {{0, false}, {1, false}, {2, true},
                                                              {3, true},  {8, true},  {9, false}};
    for (const auto& [priority, held] : table) {
        SCOPED_TRACE(priority);
        const ArrayWordData list = {{1, 0, 0, false}, {1, 1, priority, false}};
        const ArrayWordData before = {{1, 7, 1, false}};
        const ArrayWordData figure = heldBackAtNextComposition(list, before);
        EXPECT_EQ(PairsOf(figure).count({1, 1}) != 0, held);
        // The same as the composition itself.
        TLangFHandler lang;
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (int slot = 0; slot < 8; ++slot)
            lesson->NewPair(slot)->drawn = true;
        lang.PutLesson(lesson);
        TExerciseData ex;
        ex.AvailableUnits = {1};
        ex.MaxWords = 2;
        ex.ExerciseWords = list;
        ArrayWordData composed = before;
        TRandomGen rng = FixedRandom();
        composeContinue(ex, composed, lang, false, rng);
        EXPECT_EQ(PairsOf(figure), PairsOf(composed));
    }
    // What the last composition held back stays held back while nothing new is held back,
    // whatever its priority; an empty list is composed anew and holds nothing back.
    EXPECT_EQ(PairsOf(heldBackAtNextComposition({{1, 0, 1, false}}, {{1, 7, 1, false}})),
              (std::set<Pair>{{1, 7}}));
    EXPECT_TRUE(heldBackAtNextComposition({}, {{1, 7, 1, false}}).empty());
}

TEST_F(CompositionTest, SecondContinuedCompositionReplacesTheHeldBackList) {
    Lessons({{1, {{1, true}, {1, true}, {1, true}, {1, true}}}});
    ex.AvailableUnits = {1};
    ex.MaxWords = 4;
    ex.ExerciseWords = {{1, 0, 3, false}, {1, 1, 0, false}, {1, 2, 0, false}, {1, 3, 0, false}};
    composeContinue(ex, heldBack, lang, false, rng);
    EXPECT_EQ(heldBack, (ArrayWordData{{1, 0, 2, false}}));

    // The user gives two other entries a priority during the next exercise.
    for (auto& e : ex.ExerciseWords)
        if (e.pairId == 1 || e.pairId == 3)
            e.priority = 4;
    composeContinue(ex, heldBack, lang, false, rng);
    EXPECT_EQ(PairsOf(heldBack), (std::set<Pair>{{1, 1}, {1, 3}}));
    for (const auto& e : heldBack)
        EXPECT_EQ(e.priority, 3);
}

TEST_F(CompositionTest, NoPairStandsTwiceAfterContinuedCompositionsInOneRun) {
    // Top-up pairs are not marked drawn, so each later composition finds them fresh again;
    // they must not come in a second time, neither through the fill nor through the top-up.
    Lessons({{1, {{1, true}, {1, true}, {1, true}, {1, true}, {1}, {1}, {1}}}});
    ex.AvailableUnits = {1};
    ex.MaxWords = 4;
    ex.ExerciseWords = {{1, 0, 0, false}, {1, 1, 0, false}, {1, 2, 3, false}, {1, 3, 3, false}};
    for (int run = 0; run < 4; ++run) {
        composeContinue(ex, heldBack, lang, false, rng);
        ExpectNoPairTwice("continued");
        EXPECT_EQ(ex.ExerciseWords.size(), 4u);
        // During the exercise the learner takes one pair out for good.
        ex.ExerciseWords.front().priority = 9;
    }
    // A settings file that already holds a pair twice is mended by the next composition.
    ex.ExerciseWords = {{1, 0, 0, false}, {1, 0, 0, false}, {1, 1, 0, false}};
    heldBack.clear();
    composeContinue(ex, heldBack, lang, true, rng);
    ExpectNoPairTwice("mended");
}

TEST_F(CompositionTest, TopUpIsTransientInLessonOrderAndUnmarked) {
    Lessons({{1, {{1, true}, {1, true}, {1, true}, {1}}}, {2, {{1}, {1}}}});
    ex.AvailableUnits = {2, 1};
    ex.MaxWords = 3;
    // The list is full, so nothing is filled before the split frees two places.
    ex.ExerciseWords = {{1, 0, 0, false}, {1, 1, 3, false}, {1, 2, 5, false}};
    EXPECT_FALSE(composeContinue(ex, heldBack, lang, false, rng));
    EXPECT_EQ(PairsOf(ex.ExerciseWords), (std::set<Pair>{{1, 0}, {2, 0}, {2, 1}}));
    for (const auto& e : ex.ExerciseWords)
        EXPECT_EQ(e.transient, e.lesson == 2);
    EXPECT_EQ(heldBack, (ArrayWordData{{1, 1, 2, false}, {1, 2, 4, false}}));
    EXPECT_EQ(Drawn(), (std::set<Pair>{{1, 0}, {1, 1}, {1, 2}})) << "the top-up marks nothing";
}

TEST_F(CompositionTest, FillFreshAppendsUndrawnPairsUpToMaxWords) {
    Lessons({{1, {{1, true}, {1}, {1}, {1, true}, {1}, {1}}}});
    ex.AvailableUnits = {1};
    ex.MaxWords = 4;
    ex.ExerciseWords = {{1, 0, 2, false}, {1, 3, 0, false}};
    // Pair 5 is held back this run: not drawn, but not fresh for this list either.
    heldBack = {{1, 5, 2, false}};
    EXPECT_TRUE(fillFresh(ex, heldBack, lang, rng));

    const ArrayWordData& list = ex.ExerciseWords;
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], (ExerciseEntry{1, 0, 2, false}));
    EXPECT_EQ(list[1], (ExerciseEntry{1, 3, 0, false}));
    for (std::size_t i = 2; i < 4; ++i) {
        EXPECT_FALSE(list[i].transient);
        EXPECT_TRUE(list[i].pairId == 1 || list[i].pairId == 2 || list[i].pairId == 4);
    }
    ExpectNoPairTwice("filled");
    EXPECT_EQ(Drawn(), PairsOf(list));
}

TEST_F(CompositionTest, EntriesValidAndMarkDrawnSkipWhatIsGone) {
    for (const std::int32_t number : {1, 3}) {
        auto lesson = std::make_shared<TLesson>();
        lesson->number = number;
        lesson->NewPair(0)->use = true;
        if (number == 1)
            lesson->NewPair(2)->use = true;
        lang.PutLesson(lesson);
    }
    const struct {
        ExerciseEntry entry;
        bool valid;
    } cases[] = {
        {{1, 0, 0, false}, true},   {{3, 0, 0, false}, true},
        {{1, 1, 0, false}, false},  {{2, 0, 0, false}, false},
        {{1, 3, 0, false}, false},  {{-1, -1, -1, false}, false},
        {{1, -1, 0, false}, false}, {{2147483647, 0, 0, false}, false},
    };
    for (const auto& c : cases) {
        const ArrayWordData list{{1, 2, 0, false}, c.entry};
        EXPECT_EQ(entriesValid(list, lang), c.valid) << c.entry.lesson << "-" << c.entry.pairId;
        markDrawn(list, lang, true); // must not fail on the entry that names nothing
    }
    EXPECT_TRUE(lang.LessonAt(1)->PairAt(2)->drawn);
    EXPECT_TRUE(entriesValid({}, lang));
}

TEST(CompositionSteps, SplitHeldBack) {
    ArrayWordData list{{1, 0, 0, false}, {1, 1, 9, false}, {1, 2, 12, false}};
    ArrayWordData held{{7, 7, 7, false}};
    splitHeldBack(list, held);
    EXPECT_EQ(list, (ArrayWordData{{1, 0, 0, false}}));
    EXPECT_EQ(held, (ArrayWordData{{7, 7, 7, false}})); // nothing held: kept

    list = {{1, 0, 1, false}, {1, 1, 0, false}, {1, 2, 8, true}};
    splitHeldBack(list, held);
    EXPECT_EQ(list, (ArrayWordData{{1, 1, 0, false}}));
    EXPECT_EQ(held, (ArrayWordData{{1, 0, 1, false}, {1, 2, 8, true}}));
}

TEST(CompositionSteps, PriorityAgeingResetAndDoubles) {
    ArrayWordData aged{{0, 0, 0}, {0, 1, 1}, {0, 2, 8}, {0, 3, 9}};
    ArrayWordData reset = aged;
    agePriorities(aged);
    resetPriorities(reset);
    EXPECT_EQ(aged, (ArrayWordData{{0, 0, 0}, {0, 1, 0}, {0, 2, 7}, {0, 3, 9}}));
    EXPECT_EQ(reset, (ArrayWordData{{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 9}}));

    ArrayWordData doubles{{1, 0, 2}, {2, 0, 0}, {1, 0, 5}, {1, 1, 0}, {2, 0, 9}};
    removeDoubles(doubles);
    EXPECT_EQ(doubles, (ArrayWordData{{1, 0, 2}, {2, 0, 0}, {1, 1, 0}})) << "the first stays";
}

TEST(CompositionSteps, ShuffleIsAPermutationFixedByTheGenerator) {
    ArrayWordData entries;
    for (std::int32_t i = 0; i < 101; ++i)
        entries.push_back({1, i, 0, false});
    ArrayWordData a = entries;
    ArrayWordData b = entries;
    TRandomGen r1 = FixedRandom();
    TRandomGen r2 = FixedRandom();
    shuffleEntries(a, r1);
    shuffleEntries(b, r2);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, entries);
    EXPECT_EQ(PairsOf(a), PairsOf(entries));

    ArrayWordData one{{3, 4, 5, true}};
    shuffleEntries(one, r1);
    EXPECT_EQ(one, (ArrayWordData{{3, 4, 5, true}}));
    ArrayWordData none;
    shuffleEntries(none, r1);
    EXPECT_TRUE(none.empty());
}

TEST(CompositionSteps, AppendUpToStopsAtMaxWords) {
    TExerciseData ex;
    ex.MaxWords = 3;
    ex.ExerciseWords = {{1, 0, 0, false}};
    appendUpTo(ex, {{2, 0, 0, false}, {2, 1, 0, false}, {2, 2, 0, false}});
    EXPECT_EQ(ex.ExerciseWords,
              (ArrayWordData{{1, 0, 0, false}, {2, 0, 0, false}, {2, 1, 0, false}}));
    ex.MaxWords = -1;
    appendUpTo(ex, {{3, 0, 0, false}});
    EXPECT_EQ(ex.ExerciseWords.size(), 3u);
}

} // namespace
} // namespace lexaro
