#include "exercise/ExerciseHelpFunc.h"

#include "support/TestFiles.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

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

class CompositionTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string langPath = dir.file("en-de.lang");
    std::string iniPath = dir.file("Lexaro.Ini");
    std::unique_ptr<TAppIniFile> settings;
    TLangFHandler lang;
    TRandomGen rng = FixedRandom();

    void SetUp() override {
        std::ofstream(iniPath, std::ios::binary) << "";
        settings = std::make_unique<TAppIniFile>(dir.path().string(), nullptr);
        settings->ReadExerciseSection();
        settings->exercise.LangFileName = langPath;
        settings->exercise.Lang1 = "English";
        settings->exercise.Lang2 = "Deutsch";
    }

    // Lesson number -> pairs (use, drawn); an empty slot where use is -1.
    struct PairSpec {
        int use;
        bool drawn = false;
    };
    void WriteLangFile(const std::map<std::int32_t, std::vector<PairSpec>>& lessons) {
        TLangFHandler out;
        out.SetLanguageNames("English", "Deutsch");
        for (const auto& [number, pairs] : lessons) {
            auto lesson = std::make_shared<TLesson>();
            lesson->number = number;
            for (std::size_t slot = 0; slot < pairs.size(); ++slot) {
                if (pairs[slot].use < 0)
                    continue;
                auto pair = lesson->NewPair(static_cast<std::int64_t>(slot));
                pair->text1 = "w" + std::to_string(number) + "_" + std::to_string(slot);
                pair->text2 = "t" + std::to_string(slot);
                pair->use = pairs[slot].use != 0;
                pair->drawn = pairs[slot].drawn;
            }
            out.PutLesson(lesson);
        }
        ASSERT_TRUE(out.Save(langPath));
    }

    // The drawn marks as stored in the file.
    std::set<Pair> DrawnOnDisk() {
        TLangFHandler in;
        EXPECT_TRUE(in.Load(langPath));
        std::set<Pair> out;
        for (const auto& lesson : in.lessons)
            if (lesson)
                for (const auto& pair : lesson->pairs)
                    if (pair && pair->drawn)
                        out.insert({lesson->number, pair->id});
        return out;
    }
};

TEST_F(CompositionTest, ComposeNewCutsToMaxWordsAndMarksOnlyThoseDrawn) {
    WriteLangFile({{1, {{1, true}, {1}, {1}, {1}, {1}}}});
    settings->exercise.AvailableUnits = {1};
    settings->exercise.MaxWords = 3;
    settings->exercise.ExerciseWords = {{9, 9, 4, false}};
    composeNew(*settings, lang, rng);

    const ArrayWordData& list = settings->exercise.ExerciseWords;
    ASSERT_EQ(list.size(), 3u);
    for (const auto& e : list) {
        EXPECT_EQ(e.lesson, 1);
        EXPECT_EQ(e.priority, 0);
        EXPECT_FALSE(e.transient);
    }
    EXPECT_EQ(PairsOf(list).size(), 3u);
    // Exactly the three drawn pairs carry the mark, in memory and on disk; the mark the
    // first pair had before is gone unless it was drawn again.
    EXPECT_EQ(DrawnOnDisk(), PairsOf(list));
    std::set<Pair> inMemory;
    for (const auto& pair : lang.LessonAt(1)->pairs)
        if (pair && pair->drawn)
            inMemory.insert({1, pair->id});
    EXPECT_EQ(inMemory, PairsOf(list));
}

TEST_F(CompositionTest, ComposeNewFollowsTheStepsExactly) {
    std::map<std::int32_t, std::vector<PairSpec>> lessons;
    for (std::int32_t n = 1; n <= 4; ++n)
        lessons[n] = std::vector<PairSpec>(25, PairSpec{1});
    WriteLangFile(lessons);
    settings->exercise.AvailableUnits = {4, 2, 3};
    settings->exercise.MaxWords = 40;
    composeNew(*settings, lang, rng);

    // The same generator through the named steps gives the same list.
    TLangFHandler loaded;
    loaded.Load(langPath);
    ArrayWordData expected = collectSelected(*settings, loaded);
    TRandomGen same = FixedRandom();
    shuffleEntries(expected, same);
    TAppIniFile manual("", nullptr);
    manual.exercise = settings->exercise;
    manual.exercise.ExerciseWords.clear();
    appendUpTo(manual, expected);
    EXPECT_EQ(settings->exercise.ExerciseWords, manual.exercise.ExerciseWords);
    EXPECT_EQ(settings->exercise.ExerciseWords.size(), 40u);
}

TEST_F(CompositionTest, ComposeNewTakesUsedPairsOfChosenLessonsOnly) {
    WriteLangFile({{1, {{1}, {0}, {1}}}, {2, {{1}, {1}}}, {3, {{1}}}});
    settings->exercise.AvailableUnits = {3, 1, 7};
    composeNew(*settings, lang, rng);
    EXPECT_EQ(PairsOf(settings->exercise.ExerciseWords), (std::set<Pair>{{3, 0}, {1, 0}, {1, 2}}));
    EXPECT_EQ(settings->exercise.ExerciseWords.size(), 3u);
}

TEST_F(CompositionTest, NothingToComposeLeavesTheListAsItWas) {
    const ArrayWordData before{{1, 0, 3, false}, {1, 1, 0, false}};
    struct Case {
        const char* name;
        std::map<std::int32_t, std::vector<PairSpec>> lessons;
        intArray units;
    } cases[] = {
        {"no pair in use", {{1, {{0}, {0}}}}, {1}},
        {"chosen lesson missing", {{1, {{1}}}}, {4}},
        {"no lesson chosen", {{1, {{1}}}}, {}},
    };
    for (const auto& c : cases) {
        WriteLangFile(c.lessons);
        settings->exercise.AvailableUnits = c.units;
        settings->exercise.ExerciseWords = before;
        composeNew(*settings, lang, rng);
        EXPECT_EQ(settings->exercise.ExerciseWords, before) << c.name;
        fillFresh(*settings, lang, rng);
        EXPECT_EQ(settings->exercise.ExerciseWords, before) << c.name;
    }
    // A language file that cannot be loaded adds nothing either.
    settings->exercise.LangFileName = dir.file("missing.lang");
    settings->exercise.AvailableUnits = {1};
    composeNew(*settings, lang, rng);
    EXPECT_EQ(settings->exercise.ExerciseWords, before);
    EXPECT_EQ(lang.SlotCount(), 0);
}

TEST_F(CompositionTest, ContinueAgesPrioritiesAndHoldsBack) {
    WriteLangFile({{1, {{1, true}, {1, true}, {1, true}, {1, true}}}});
    settings->exercise.AvailableUnits = {1};
    settings->exercise.MaxWords = 4;
    settings->exercise.ExerciseWords = {
        {1, 0, 0, false}, {1, 1, 1, false}, {1, 2, 2, false}, {1, 3, 9, false}};
    settings->heldBack = {{5, 5, 5, false}};
    composeContinue(*settings, lang, false, rng);

    ArrayWordData list = settings->exercise.ExerciseWords;
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.pairId < b.pairId; });
    EXPECT_EQ(list, (ArrayWordData{{1, 0, 0, false}, {1, 1, 0, false}}));
    EXPECT_EQ(settings->heldBack, (ArrayWordData{{1, 2, 1, false}}));
}

TEST_F(CompositionTest, ContinueWithResetKeepsEveryEntryAndTheHeldBackList) {
    WriteLangFile({{1, {{1, true}, {1, true}, {1, true}, {1, true}}}});
    settings->exercise.AvailableUnits = {1};
    settings->exercise.MaxWords = 4;
    settings->exercise.ExerciseWords = {
        {1, 0, 0, false}, {1, 1, 1, false}, {1, 2, 2, false}, {1, 3, 9, false}};
    settings->heldBack = {{5, 5, 5, false}};
    composeContinue(*settings, lang, true, rng);

    ArrayWordData list = settings->exercise.ExerciseWords;
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return a.pairId < b.pairId; });
    EXPECT_EQ(list, (ArrayWordData{
                        {1, 0, 0, false}, {1, 1, 0, false}, {1, 2, 0, false}, {1, 3, 9, false}}));
    EXPECT_EQ(settings->heldBack, (ArrayWordData{{5, 5, 5, false}}));
}

TEST_F(CompositionTest, SecondContinuedCompositionReplacesTheHeldBackList) {
    WriteLangFile({{1, {{1, true}, {1, true}, {1, true}, {1, true}}}});
    settings->exercise.AvailableUnits = {1};
    settings->exercise.MaxWords = 4;
    settings->exercise.ExerciseWords = {
        {1, 0, 3, false}, {1, 1, 0, false}, {1, 2, 0, false}, {1, 3, 0, false}};
    composeContinue(*settings, lang, false, rng);
    EXPECT_EQ(settings->heldBack, (ArrayWordData{{1, 0, 2, false}}));

    // The user gives two other entries a priority during the next exercise.
    for (auto& e : settings->exercise.ExerciseWords)
        if (e.pairId == 1 || e.pairId == 3)
            e.priority = 4;
    composeContinue(*settings, lang, false, rng);
    EXPECT_EQ(PairsOf(settings->heldBack), (std::set<Pair>{{1, 1}, {1, 3}}));
    for (const auto& e : settings->heldBack)
        EXPECT_EQ(e.priority, 3);
}

TEST_F(CompositionTest, TopUpIsTransientInLessonOrderAndNeverStored) {
    // Lesson 2 and 1 are chosen in that order; pairs 2/1 and 1/0, 1/2 are fresh.
    WriteLangFile({{1, {{1}, {1, true}, {1}}}, {2, {{1, true}, {1}}}});
    settings->exercise.AvailableUnits = {2, 1};
    settings->exercise.MaxWords = 3;
    settings->exercise.ExerciseWords = {{1, 1, 0, false}, {2, 0, 2, false}, {1, 0, 0, false}};
    // pair 1/0 is fresh but already in the list: the list is full, so no fill happens.
    composeContinue(*settings, lang, false, rng);

    // 2/0 went to the held-back list; the top-up takes the first fresh pair in lesson order.
    std::set<Pair> transient;
    for (const auto& e : settings->exercise.ExerciseWords)
        if (e.transient)
            transient.insert({e.lesson, e.pairId});
    EXPECT_EQ(transient, (std::set<Pair>{{2, 1}}));
    EXPECT_EQ(settings->exercise.ExerciseWords.size(), 3u);
    // The top-up neither marks nor saves.
    EXPECT_EQ(DrawnOnDisk(), (std::set<Pair>{{1, 1}, {2, 0}}));

    settings->WriteAll("EN");
    TAppIniFile again(dir.path().string(), nullptr);
    again.ReadExerciseSection();
    EXPECT_EQ(PairsOf(again.exercise.ExerciseWords), (std::set<Pair>{{1, 1}, {1, 0}, {2, 0}}));
    for (const auto& e : again.exercise.ExerciseWords)
        EXPECT_FALSE(e.transient);
}

TEST_F(CompositionTest, TopUpTakesPairsInLessonAndSlotOrder) {
    WriteLangFile({{1, {{1, true}, {1, true}, {1, true}, {1}}}, {2, {{1}, {1}}}});
    settings->exercise.AvailableUnits = {2, 1};
    settings->exercise.MaxWords = 3;
    // The list is full, so nothing is filled before the split frees two places.
    settings->exercise.ExerciseWords = {{1, 0, 0, false}, {1, 1, 3, false}, {1, 2, 5, false}};
    composeContinue(*settings, lang, false, rng);
    EXPECT_EQ(PairsOf(settings->exercise.ExerciseWords), (std::set<Pair>{{1, 0}, {2, 0}, {2, 1}}));
    for (const auto& e : settings->exercise.ExerciseWords)
        EXPECT_EQ(e.transient, e.lesson == 2);
    EXPECT_EQ(settings->heldBack, (ArrayWordData{{1, 1, 2, false}, {1, 2, 4, false}}));
}

TEST_F(CompositionTest, FillFreshAppendsUndrawnPairsUpToMaxWords) {
    WriteLangFile({{1, {{1, true}, {1}, {1}, {1, true}, {1}}}});
    settings->exercise.AvailableUnits = {1};
    settings->exercise.MaxWords = 4;
    settings->exercise.ExerciseWords = {{1, 0, 2, false}, {1, 3, 0, false}};
    fillFresh(*settings, lang, rng);

    const ArrayWordData& list = settings->exercise.ExerciseWords;
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], (ExerciseEntry{1, 0, 2, false}));
    EXPECT_EQ(list[1], (ExerciseEntry{1, 3, 0, false}));
    for (std::size_t i = 2; i < 4; ++i) {
        EXPECT_FALSE(list[i].transient);
        EXPECT_TRUE(list[i].pairId == 1 || list[i].pairId == 2 || list[i].pairId == 4);
    }
    EXPECT_EQ(DrawnOnDisk(), PairsOf(list));
}

TEST_F(CompositionTest, EntriesValidAndMarkDrawnSkipWhatIsGone) {
    // Built in memory: a saved file would close the gap in lesson 1.
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
        settings->exercise.ExerciseWords = {{1, 2, 0, false}, c.entry};
        EXPECT_EQ(entriesValid(*settings, lang), c.valid)
            << c.entry.lesson << "-" << c.entry.pairId;
        markDrawn(*settings, lang, true); // must not fail on the entry that names nothing
    }
    EXPECT_TRUE(lang.LessonAt(1)->PairAt(2)->drawn);
    settings->exercise.ExerciseWords.clear();
    EXPECT_TRUE(entriesValid(*settings, lang));
}

TEST(CompositionSteps, SplitHeldBack) {
    TAppIniFile s("", nullptr);
    s.heldBack = {{7, 7, 7, false}};
    s.exercise.ExerciseWords = {{1, 0, 0, false}, {1, 1, 9, false}, {1, 2, 12, false}};
    splitHeldBack(s);
    EXPECT_EQ(s.exercise.ExerciseWords, (ArrayWordData{{1, 0, 0, false}}));
    EXPECT_EQ(s.heldBack, (ArrayWordData{{7, 7, 7, false}})); // nothing held: kept

    s.exercise.ExerciseWords = {{1, 0, 1, false}, {1, 1, 0, false}, {1, 2, 8, true}};
    splitHeldBack(s);
    EXPECT_EQ(s.exercise.ExerciseWords, (ArrayWordData{{1, 1, 0, false}}));
    EXPECT_EQ(s.heldBack, (ArrayWordData{{1, 0, 1, false}, {1, 2, 8, true}}));
}

TEST(CompositionSteps, PriorityAgeingAndReset) {
    ArrayWordData aged{{0, 0, 0}, {0, 1, 1}, {0, 2, 8}, {0, 3, 9}};
    ArrayWordData reset = aged;
    agePriorities(aged);
    resetPriorities(reset);
    EXPECT_EQ(aged, (ArrayWordData{{0, 0, 0}, {0, 1, 0}, {0, 2, 7}, {0, 3, 9}}));
    EXPECT_EQ(reset, (ArrayWordData{{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 9}}));
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
    TAppIniFile s("", nullptr);
    s.exercise.MaxWords = 3;
    s.exercise.ExerciseWords = {{1, 0, 0, false}};
    appendUpTo(s, {{2, 0, 0, false}, {2, 1, 0, false}, {2, 2, 0, false}});
    EXPECT_EQ(s.exercise.ExerciseWords,
              (ArrayWordData{{1, 0, 0, false}, {2, 0, 0, false}, {2, 1, 0, false}}));
    s.exercise.MaxWords = -1;
    appendUpTo(s, {{3, 0, 0, false}});
    EXPECT_EQ(s.exercise.ExerciseWords.size(), 3u);
}

} // namespace
} // namespace lexaro
