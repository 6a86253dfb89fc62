#include "app/MainWndLogic.h"

#include "data/CodeDecode.h"
#include "data/FileVersions.h"
#include "exercise/ExerciseHelpFunc.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RecordingSink;
using test::WriteFileBytes;

std::set<std::pair<int, int>> PairsOf(const ArrayWordData& list) {
    std::set<std::pair<int, int>> out;
    for (const ExerciseEntry& e : list)
        out.insert({e.lesson, e.pairId});
    return out;
}

TRandomGen FixedRandom() {
    return TRandomGen(1, [] { return 12345u; });
}

void WriteLangFile(const fs::path& path, const std::vector<test::LessonPlan>& lessons) {
    ASSERT_TRUE(test::GeneratedLangFile(lessons).Save(path));
}

// A temporary application folder: the shipped Text.Db, Lexaro.Ini and language files.
class MainLogicTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path app = dir.path();
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    TRandomGen rng = FixedRandom();

    void SetUp() override { fs::copy_file(LEXARO_TEXTDB_FILE, app / "Text.Db"); }

    // Lexaro.Ini naming the language file by its stored (Windows-1252) text.
    void WriteIni(const std::string& langFile, const std::vector<int>& lessons,
                  const std::vector<std::string>& entries = {},
                  const std::string& language = "EN") {
        std::string ini = "[Exercise]\r\nLangFileName=" + langFile +
                          "\r\nLang1=English\r\nLang2=Deutsch\r\nMaxWords=300\r\n"
                          "[AvailableUnits]\r\n";
        for (std::size_t i = 0; i < lessons.size(); ++i)
            ini += std::to_string(i) + "=" + std::to_string(lessons[i]) + "\r\n";
        ini += "NbrUnits=" + std::to_string(lessons.size()) + "\r\n[ExerciseWords]\r\n";
        for (std::size_t i = 0; i < entries.size(); ++i)
            ini += std::to_string(i) + "=" + entries[i] + "\r\n";
        ini += "NbrWords=" + std::to_string(entries.size()) +
               "\r\n[Application]\r\nLanguage=" + language + "\r\n";
        WriteFileBytes((app / "Lexaro.Ini").string(), ini);
    }

    std::unique_ptr<TMainWndLogic> Start() {
        auto logic = std::make_unique<TMainWndLogic>(app, sink);
        EXPECT_EQ(logic->State(), TMainState::Starting);
        logic->FirstShow();
        return logic;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& shown : sink->shown)
            out.push_back(shown.text);
        return out;
    }
};

TEST(StartDecision, Table) {
    using K = TStartKind;
    const struct {
        bool possible, visible, editorList, empty, newCompose;
        K kind;
    } cases[] = {
        {false, false, false, false, false, K::NotPossible},
        {false, true, true, true, true, K::NotPossible},
        {true, true, true, true, true, K::ShowAgain}, // never composed under a running list
        {true, true, false, false, false, K::ShowAgain},
        {true, false, true, true, true, K::UseEditorList}, // even with "New Compose"
        {true, false, false, true, false, K::ComposeNew},
        {true, false, false, false, true, K::ComposeNew},
        {true, false, false, false, false, K::Continue},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideStart(c.possible, c.visible, c.editorList, c.empty, c.newCompose), c.kind)
            << c.possible << c.visible << c.editorList << c.empty << c.newCompose;
}

TEST_F(MainLogicTest, StartsComposeSaveTheDrawnMarksAndContinue) {
    fs::create_directories(app / "LangFiles");
    WriteLangFile(app / "LangFiles" / "x.lang", {{1, 4}, {2, 3}});
    WriteIni("LangFiles/x.lang", {1, 2});
    auto logic = Start();
    ASSERT_TRUE(logic->ExercisePossible());
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::ComposeNew);
    const ArrayWordData& list = logic->Settings()->exercise.ExerciseWords;
    EXPECT_EQ(list.size(), 7u);
    // The marks are on disk.
    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(app / "LangFiles" / "x.lang"));
    EXPECT_TRUE(disk.LessonAt(2)->PairAt(2)->drawn);

    ASSERT_TRUE(logic->StartExercise(true, false, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::ShowAgain);
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::Continue);
    EXPECT_TRUE(sink->shown.empty()) << Texts()[0];
}

TEST_F(MainLogicTest, AListThatNoLongerFitsIsComposedAnewWithANewHeldBackList) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    // Entries of another file: lesson 5 does not exist here.
    WriteIni("x.lang", {1}, {"5-0-0", "5-1-3"});
    auto logic = Start();
    logic->Settings()->heldBack = {{5, 2, 4, false}};
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::Continue);
    for (const ExerciseEntry& e : logic->Settings()->exercise.ExerciseWords)
        EXPECT_EQ(e.lesson, 1);
    EXPECT_EQ(logic->Settings()->exercise.ExerciseWords.size(), 3u);
    EXPECT_TRUE(logic->Settings()->heldBack.empty());
}

TEST_F(MainLogicTest, AnInvalidListNeverSurvives) {
    // After a change to a file without used pairs, the old entries name unrelated pairs of the
    // new file's lesson 1 ("not more use" on such a card would clear the wrong pair).
    WriteLangFile(app / "x.lang", {{1, 3, false}});
    WriteIni("x.lang", {1}, {"1-7-0", "1-8-0"});
    auto logic = Start();
    EXPECT_FALSE(logic->StartExercise(false, false, false, rng));
    EXPECT_TRUE(logic->Settings()->exercise.ExerciseWords.empty());
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(sink->shown[0].text, logic->Text(112));
    EXPECT_EQ(sink->shown[0].caption, logic->Text(0));
}

TEST_F(MainLogicTest, RaisingTheMaximumWorksOnTheFileAsItIsOnDisk) {
    WriteLangFile(app / "x.lang", {{1, 6}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    logic->Settings()->exercise.MaxWords = 2;
    ASSERT_TRUE(logic->StartExercise(false, true, false, rng));
    ASSERT_EQ(logic->Settings()->exercise.ExerciseWords.size(), 2u);

    // Meanwhile the exercise editor saved the file with a changed word and a new pair.
    {
        TLangFHandler editor;
        ASSERT_TRUE(editor.Load(app / "x.lang"));
        editor.LessonAt(1)->PairAt(0)->text1 = "edited";
        auto added = editor.LessonAt(1)->NewPair(-1);
        added->text1 = "new";
        added->text2 = "neu";
        added->use = true;
        ASSERT_TRUE(editor.Save(app / "x.lang"));
    }
    logic->Settings()->exercise.MaxWords = 10;
    logic->EditorClosed(true, TChangeKind::MaxWords, std::nullopt, rng);
    EXPECT_EQ(logic->Settings()->exercise.ExerciseWords.size(), 7u);

    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(app / "x.lang"));
    EXPECT_EQ(disk.LessonAt(1)->PairAt(0)->text1, "edited") << "the edit was undone";
    ASSERT_EQ(disk.LessonAt(1)->PairCount(), 7);
    for (std::int32_t k = 0; k < 7; ++k)
        EXPECT_TRUE(disk.LessonAt(1)->PairAt(k)->drawn) << k;

    // Lowering it cuts the list.
    logic->Settings()->exercise.MaxWords = 3;
    logic->EditorClosed(true, TChangeKind::MaxWords, std::nullopt, rng);
    EXPECT_EQ(logic->Settings()->exercise.ExerciseWords.size(), 3u);
}

// Whatever writes the language file starts from the file as it is on disk: the exercise hands
// over only the marks it changed. An edit saved after the main window's copy was loaded (here
// an editor closed with OK and nothing else changed, then the editor's own composition, which
// reads nothing) stays, and the copy the exercise shows becomes the file on disk.
TEST_F(MainLogicTest, TheExerciseSavesItsMarksIntoTheFileAsItIsOnDisk) {
    WriteLangFile(app / "x.lang", {{1, 3}, {2, 3}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    logic->EditorClosed(true, TChangeKind::Lessons, std::nullopt, rng);
    {
        TLangFHandler editor;
        ASSERT_TRUE(editor.Load(app / "x.lang"));
        editor.LessonAt(2)->PairAt(1)->text1 = "edited";
        ASSERT_TRUE(editor.Save(app / "x.lang"));
    }
    logic->EditorClosed(true, TChangeKind::Nothing, std::nullopt, rng);
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    ASSERT_EQ(logic->LastStart(), TStartKind::UseEditorList);
    const ExerciseEntry first = logic->Settings()->exercise.ExerciseWords.at(0);

    const TWindowContext context = logic->Context();
    ASSERT_TRUE(context.saveMarks({{{first.lesson, first.pairId}, false, false}}));
    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(app / "x.lang"));
    EXPECT_EQ(disk.LessonAt(2)->PairAt(1)->text1, "edited") << "the exercise undid the edit";
    const auto given = disk.LessonAt(first.lesson)->PairAt(first.pairId);
    EXPECT_FALSE(given->use || given->drawn);
    EXPECT_EQ(logic->LangFile()->LessonAt(2)->PairAt(1)->text1, "edited");
    EXPECT_TRUE(sink->shown.empty()) << Texts()[0];

    // A file that cannot be read now is told and never written.
    const std::string damaged = "not a language file";
    WriteFileBytes((app / "x.lang").string(), damaged);
    EXPECT_FALSE(context.saveMarks({{{first.lesson, first.pairId}, false, false}}));
    EXPECT_EQ(ReadFileBytes((app / "x.lang").string()), damaged);
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_NE(sink->shown[0].text.find("x.lang"), std::string::npos) << sink->shown[0].text;
}

// The exercise editor wrote the file with its pairs numbered anew: both lists keep naming the
// same pairs, an entry whose pair is gone leaves, and the shared copy is the file on disk.
TEST_F(MainLogicTest, AfterTheEditorRenumberedTheFileTheListsNameTheSamePairs) {
    WriteLangFile(app / "x.lang", {{1, 4}, {2, 2}});
    WriteIni("x.lang", {1, 2}, {"1-0-0", "1-1-0", "1-2-3", "2-1-0"});
    auto logic = Start();
    logic->Settings()->heldBack = {{1, 3, 2, false}};
    // The learner deleted pair 1-1 and moved 1-2 to lesson 2; the editor saved.
    {
        TLangFHandler editor;
        ASSERT_TRUE(editor.Load(app / "x.lang"));
        editor.LessonAt(1)->PairAt(0)->text1 = "renamed";
        ASSERT_TRUE(editor.Save(app / "x.lang"));
    }
    TPairRenumbering renumbering;
    renumbering.Move({1, 0}, {1, 0});
    renumbering.Remove({1, 1});
    renumbering.Move({1, 2}, {2, 2});
    renumbering.Move({1, 3}, {1, 1});
    renumbering.Move({2, 0}, {2, 0});
    renumbering.Move({2, 1}, {2, 1});
    logic->EditorClosed(false, TChangeKind::Nothing, renumbering, rng);
    EXPECT_EQ(logic->Settings()->exercise.ExerciseWords,
              (ArrayWordData{{1, 0, 0, false}, {2, 2, 3, false}, {2, 1, 0, false}}));
    EXPECT_EQ(logic->Settings()->heldBack, (ArrayWordData{{1, 1, 2, false}}));
    EXPECT_EQ(logic->LangFile()->LessonAt(1)->PairAt(0)->text1, "renamed");
}

TEST_F(MainLogicTest, TheEditorsCompositionIsShownOnce) {
    WriteLangFile(app / "x.lang", {{1, 5}, {2, 5}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    logic->Settings()->exercise.AvailableUnits = {2};
    logic->EditorClosed(true, TChangeKind::Lessons, std::nullopt, rng);
    EXPECT_TRUE(logic->ComposedByEditor());
    const ArrayWordData composed = logic->Settings()->exercise.ExerciseWords;
    for (const ExerciseEntry& e : composed)
        EXPECT_EQ(e.lesson, 2);
    ASSERT_TRUE(logic->StartExercise(false, true, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::UseEditorList);
    EXPECT_EQ(logic->Settings()->exercise.ExerciseWords, composed);
    ASSERT_TRUE(logic->StartExercise(false, true, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::ComposeNew);
}

#ifndef _WIN32
TEST_F(MainLogicTest, AFailedSaveOfTheDrawnMarksIsReportedAndTheExerciseRuns) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1});
    // The write fails half way in a child process (a file size limit works even as root).
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto logic = Start();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool runs = logic->StartExercise(false, false, false, rng);
        const std::string expected =
            FillText(logic->Text(139), {(app / "x.lang").string(), "File too large"});
        _exit(runs && sink->shown.size() == 1 && sink->shown[0].text == expected ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "no report naming the file and the reason";
    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(app / "x.lang")) << "the file was damaged";
}
#endif

TEST_F(MainLogicTest, TheJournalOfARunIsWrittenBesideTheFileAndItsProblemsAreTold) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    const auto day = std::chrono::sys_days{std::chrono::year{2026} / 12 / 11};
    logic->SetJournalClock([day] { return std::chrono::system_clock::time_point(day); });
    const TWindowContext context = logic->Context();
    // A card of a pair the file holds, and one of a pair it does not hold (left out).
    const TCardResult card{{1, 0, 0}, false, "", TAnswerVerdict::Wrong, 0};
    const TCardResult gone{{1, 7, 0}, true, "", TAnswerVerdict::None, 0};
    TJournalLine line;
    line.time = day;
    line.lesson = 1;
    line.text1 = "word 1.0";
    line.presentedSide = 2;
    line.verdict = TJournalVerdict::Wrong;
    for (const TCardResult& c : {card, gone, card})
        context.recordCard(c);
    EXPECT_TRUE(sink->shown.empty());
    const std::string one = FormatJournalLine(line);
    EXPECT_EQ(ReadFileBytes(JournalPath(app / "x.lang").string()),
              std::string(kJournalHeader) + "\n" + one + one);

    // Not a journal of this program: left alone, a new one beside it, told once.
    WriteFileBytes(JournalPath(app / "x.lang").string(), "my own notes\n");
    context.recordCard(card);
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(sink->shown[0].text,
              FillText(logic->Text(208), {JournalPath(app / "x.lang").string(),
                                          JournalPath(app / "x.lang", 2).string()}));
    context.recordCard(card);
    EXPECT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(ReadFileBytes(JournalPath(app / "x.lang").string()), "my own notes\n");

    // A journal that cannot be written: the path and the reason.
    fs::remove(JournalPath(app / "x.lang", 2));
    fs::create_directory(JournalPath(app / "x.lang", 2));
    for (int n = 3; n <= kMaxJournalFiles; ++n)
        fs::create_directory(JournalPath(app / "x.lang", n));
    context.recordCard(card);
    ASSERT_EQ(sink->shown.size(), 2u);
    EXPECT_EQ(sink->shown[1].text,
              FillText(logic->Text(209), {JournalPath(app / "x.lang").string(), logic->Text(145)}) +
                  "\n\n" + logic->Text(217));
}

TEST_F(MainLogicTest, EachCardIsWrittenAsItEndsWithItsOwnTime) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    auto now = std::chrono::sys_days{std::chrono::year{2026} / 12 / 11} + std::chrono::hours{23} +
               std::chrono::minutes{59};
    logic->SetJournalClock([&now] { return std::chrono::system_clock::time_point(now); });
    const TWindowContext context = logic->Context();
    const fs::path journal = JournalPath(app / "x.lang");
    const auto lineOf = [](std::chrono::sys_seconds time, std::int32_t pair) {
        TJournalLine line;
        line.time = time;
        line.lesson = 1;
        line.pairId = pair;
        line.text1 = "word 1." + std::to_string(pair);
        line.verdict = TJournalVerdict::Right;
        line.priorityChosen = 2;
        return FormatJournalLine(line);
    };
    // Written at once, each with the time it ended, also past midnight.
    context.recordCard({{1, 0, 0}, true, "", TAnswerVerdict::Right, 2});
    const std::string first = lineOf(now, 0);
    EXPECT_EQ(ReadFileBytes(journal.string()), std::string(kJournalHeader) + "\n" + first);
    now += std::chrono::minutes{2};
    context.recordCard({{1, 1, 0}, true, "", TAnswerVerdict::Right, 2});
    const std::string second = lineOf(now, 1);
    EXPECT_EQ(ReadFileBytes(journal.string()), std::string(kJournalHeader) + "\n" + first + second);
    EXPECT_TRUE(sink->shown.empty());

    // The journal cannot be written: told once, not per card; the cards wait.
    const std::string before = ReadFileBytes(journal.string());
    fs::rename(journal, app / "moved.tsv");
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        fs::create_directory(JournalPath(app / "x.lang", n));
    now += std::chrono::minutes{1};
    const std::string third = lineOf(now, 2);
    context.recordCard({{1, 2, 0}, true, "", TAnswerVerdict::Right, 2});
    now += std::chrono::minutes{1};
    const std::string fourth = lineOf(now, 0);
    context.recordCard({{1, 0, 0}, true, "", TAnswerVerdict::Right, 2});
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(sink->shown[0].text,
              FillText(logic->Text(209), {journal.string(), logic->Text(145)}) + "\n\n" +
                  logic->Text(217));
    // It works again: the waiting cards go first, with their own times; a new fault is told.
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        fs::remove(JournalPath(app / "x.lang", n));
    fs::rename(app / "moved.tsv", journal);
    now += std::chrono::minutes{1};
    context.recordCard({{1, 1, 0}, true, "", TAnswerVerdict::Right, 2});
    EXPECT_EQ(ReadFileBytes(journal.string()), before + third + fourth + lineOf(now, 1));
    EXPECT_EQ(sink->shown.size(), 1u);
    fs::rename(journal, app / "moved.tsv");
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        fs::create_directory(JournalPath(app / "x.lang", n));
    context.recordCard({{1, 1, 0}, true, "", TAnswerVerdict::Right, 2});
    EXPECT_EQ(sink->shown.size(), 2u);
}

// "Due words first": the pairs and directions the journal says are being forgotten come first,
// the most forgotten first, then pairs never practised; the learner's priorities still hold
// pairs back. Journal lines that cannot be read are told of once; with nothing to practise the
// learner learns when the next word is due and nothing changes.
TEST_F(MainLogicTest, DueWordsComeFirstFromTheJournal) {
    WriteLangFile(app / "x.lang", {{1, 5}});
    // The last exercise: the learner chose "not use three times" for pair 4.
    WriteIni("x.lang", {1}, {"1-4-3"});
    auto logic = Start();
    auto now = std::chrono::sys_days{std::chrono::year{2026} / 12 / 1} + std::chrono::hours{9};
    logic->SetJournalClock([&now] { return std::chrono::system_clock::time_point(now); });
    const TWindowContext context = logic->Context();
    // Ten days ago: pair 0 right from the first side, pair 1 wrong from the second; pair 2
    // right an hour ago. Pair 3 never practised.
    context.recordCard({{1, 0, 0}, true, "", TAnswerVerdict::Right, 0});
    context.recordCard({{1, 1, 0}, false, "", TAnswerVerdict::Wrong, 0});
    now += std::chrono::days{10};
    context.recordCard({{1, 2, 0}, true, "", TAnswerVerdict::Right, 0});
    now += std::chrono::hours{1};
    std::string journal = ReadFileBytes(JournalPath(app / "x.lang").string());
    WriteFileBytes(JournalPath(app / "x.lang").string(), journal + "not a line of practice\n");

    logic->SetDueWordsFirst(true);
    EXPECT_FALSE(logic->Controls(false, true, true, true).newCompose);
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    const TExerciseData& ex = logic->Settings()->exercise;
    std::vector<std::tuple<int, int, int>> got;
    for (const ExerciseEntry& e : ex.ExerciseWords)
        got.emplace_back(e.pairId, e.side, e.priority);
    EXPECT_EQ(got, (std::vector<std::tuple<int, int, int>>{{1, 2, 0}, {0, 1, 0}, {3, 1, 0}}));
    EXPECT_TRUE(ex.ComposedDueFirst);
    ASSERT_EQ(logic->Settings()->heldBack.size(), 1u);
    EXPECT_EQ(logic->Settings()->heldBack[0], (ExerciseEntry{1, 4, 2}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{FillText(logic->Text(234), {"1"})}));
    // The pairs composed are drawn, in the file too; the others keep their marks.
    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(app / "x.lang"));
    for (const int id : {0, 1, 3})
        EXPECT_TRUE(disk.LessonAt(1)->PairAt(id)->drawn) << id;
    EXPECT_FALSE(disk.LessonAt(1)->PairAt(2)->drawn);
    // Told once.
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_EQ(sink->shown.size(), 1u);

    // Without the tick, the usual composition: answers set priorities again.
    logic->SetDueWordsFirst(false);
    ASSERT_TRUE(logic->StartExercise(false, true, true, rng));
    EXPECT_FALSE(logic->Settings()->exercise.ComposedDueFirst);
    for (const ExerciseEntry& e : logic->Settings()->exercise.ExerciseWords)
        EXPECT_EQ(e.side, 0);
}

TEST_F(MainLogicTest, WithNothingDueTheLearnerIsToldWhenTheNextWordIs) {
    WriteLangFile(app / "x.lang", {{1, 1}});
    WriteIni("x.lang", {1}, {"1-0-0"});
    auto logic = Start();
    const auto now =
        std::chrono::sys_days{std::chrono::year{2026} / 12 / 1} + std::chrono::hours{9};
    logic->SetJournalClock([&now] { return std::chrono::system_clock::time_point(now); });
    logic->Context().recordCard({{1, 0, 0}, true, "", TAnswerVerdict::Right, 0});
    logic->Context().recordCard({{1, 0, 0}, false, "", TAnswerVerdict::Right, 0});
    logic->SetDueWordsFirst(true);
    EXPECT_FALSE(logic->StartExercise(false, false, false, rng));
    ASSERT_EQ(sink->shown.size(), 1u);
    // A first right answer holds for about three days.
    EXPECT_EQ(sink->shown[0].text, FillText(logic->Text(235), {"2026-12-04"}));
    EXPECT_EQ(logic->Settings()->exercise.ExerciseWords, (ArrayWordData{{1, 0, 0}}));
    EXPECT_FALSE(logic->Settings()->exercise.ComposedDueFirst);
}

TEST_F(MainLogicTest, AJournalWhoseLastLineWasCutIsMendedAndTheLearnerTold) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    const fs::path journal = JournalPath(app / "x.lang");
    const std::string whole = std::string(kJournalHeader) + "\n";
    WriteFileBytes(journal.string(), whole + "2026-12-11T10:00:00Z\t1\t0\tw\xC3");
    const TWindowContext context = logic->Context();
    context.recordCard({{1, 0, 0}, true, "", TAnswerVerdict::None, 0});
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(sink->shown[0].text, FillText(logic->Text(215), {journal.string(), "27"}));
    context.recordCard({{1, 1, 0}, true, "", TAnswerVerdict::None, 0});
    EXPECT_EQ(sink->shown.size(), 1u) << "told once";
    EXPECT_FALSE(fs::exists(JournalPath(app / "x.lang", 2)));
    const std::string after = ReadFileBytes(journal.string());
    EXPECT_TRUE(after.starts_with(whole + "20"));
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 3);
}

TEST_F(MainLogicTest, EachLanguageFileKeepsItsPrioritiesWhenAnotherIsChosen) {
    WriteLangFile(app / "a.lang", {{1, 4}});
    WriteLangFile(app / "b.lang", {{2, 3}});
    WriteIni("a.lang", {1});
    auto logic = Start();
    TExerciseData& ex = logic->Settings()->exercise;
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    // The learner's priorities after a run in a.lang: two pairs rest.
    ex.ExerciseWords = {{1, 0, 0}, {1, 1, 4}, {1, 2, 0}, {1, 3, 2}};
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    const ArrayWordData aList = ex.ExerciseWords;
    const ArrayWordData aHeld = logic->Settings()->heldBack;
    ASSERT_EQ(aHeld.size(), 2u);

    // The exercise editor chooses b.lang with its lesson: composed anew.
    const auto choose = [&](const std::string& file, int lesson) {
        ex.LangFileName = file;
        ex.AvailableUnits = {lesson};
        logic->EditorClosed(true, TChangeKind::Lessons, std::nullopt, rng);
    };
    choose("b.lang", 2);
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    for (const ExerciseEntry& e : ex.ExerciseWords)
        EXPECT_EQ(e.lesson, 2);
    EXPECT_TRUE(logic->Settings()->heldBack.empty());
    ex.ExerciseWords.front().priority = 5;

    // Back to a.lang: its lists are back as they were, and the next start continues them.
    choose("a.lang", 1);
    EXPECT_EQ(ex.ExerciseWords, aList);
    EXPECT_EQ(logic->Settings()->heldBack, aHeld);
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_EQ(logic->LastStart(), TStartKind::Continue);
    EXPECT_EQ(PairsOf(logic->Settings()->heldBack), PairsOf(aHeld)) << "still resting";
    EXPECT_TRUE(sink->shown.empty());

    // The settings keep b.lang's lists across a restart; a.lang's are the exercise section's.
    logic->Close();
    const std::string ini = ReadFileBytes((app / "Lexaro.Ini").string());
    EXPECT_NE(ini.find("[KeptExercises]\r\n0=b.lang\r\nNbrFiles=1\r\n"), std::string::npos) << ini;
    auto again = Start();
    ASSERT_EQ(again->Settings()->keptLists.size(), 1u);
    EXPECT_EQ(again->Settings()->keptLists[0].langFileName, "b.lang");
    EXPECT_EQ(again->Settings()->keptLists[0].exerciseWords.front().priority, 5);
}

TEST_F(MainLogicTest, LinesThatCouldNotBeReadAreToldOnceAndKept) {
    const byteArray original =
        test::CodedFile({"[General]", "English@Deutsch", "[1]", "0=a@b#*", "1=c@d#*",
                         "1000000=far@fern#", "[1000000]", "0=e@f#*"});
    test::WriteBytes((app / "x.lang").string(), original);
    WriteIni("x.lang", {1});
    auto logic = Start();
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    ASSERT_EQ(sink->shown.size(), 1u);
    const std::vector<TFileVersion> versions = ListVersions(app / "x.lang");
    ASSERT_EQ(versions.size(), 1u) << "the file as it was is one of its versions";
    EXPECT_EQ(sink->shown[0].text,
              FillText(logic->Text(140), {"3", "1,1000000", versions[0].path.string()}));
    EXPECT_EQ(test::ReadFileBytes(versions[0].path.string()),
              std::string(original.begin(), original.end()));
    ASSERT_TRUE(logic->StartExercise(false, true, false, rng));
    EXPECT_EQ(sink->shown.size(), 1u) << "told once";
}

TEST_F(MainLogicTest, APreviousVersionThatCannotBeKeptIsToldAndTheSaveGoesOn) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1});
    // A file where the folder of versions belongs: no version can be kept, even by root.
    WriteFileBytes((app / ".versions").string(), "not a folder");
    const std::string before = test::ReadFileBytes((app / "x.lang").string());
    auto logic = Start();
    // The drawn marks alone are not worth a version.
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_TRUE(sink->shown.empty());
    EXPECT_NE(test::ReadFileBytes((app / "x.lang").string()), before) << "the drawn marks";
    // A changed phrase is.
    logic->LangFile()->LessonAt(1)->PairAt(0)->text1 = "changed";
    EXPECT_TRUE(logic->SaveLangFile());
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(sink->shown[0].text,
              FillText(logic->Text(154), {(app / "x.lang").string(), (app / ".versions").string(),
                                          "it is not a folder"}));
}

TEST_F(MainLogicTest, ALanguageFileThatCannotBeUsedIsReportedAndNeverWritten) {
    byteArray damaged = test::CodedFile({"[General]", "English@Deutsch", "[1]", "0=a@b#*"});
    damaged[damaged.size() / 2] ^= 0x40;
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        std::int32_t reason;
    } cases[] = {
        {"damaged", [&](const fs::path& p) { test::WriteBytes(p.string(), damaged); }, 151},
        {"empty", [](const fs::path& p) { WriteFileBytes(p.string(), ""); }, 149},
        {"not a language file", [](const fs::path& p) { WriteFileBytes(p.string(), "hello"); },
         150},
        {"a folder", [](const fs::path& p) { fs::create_directories(p / "inner"); }, 143},
#ifndef _WIN32
        {"a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, 143},
#endif
    };
    for (const Case& c : cases) {
        const fs::path file = app / (std::string(c.name) + ".lang");
        c.make(file);
        const auto before = fs::is_regular_file(file) ? ReadFileBytes(file.string()) : "";
        WriteIni(file.filename().string(), {1});
        sink->shown.clear();
        auto logic = Start();
        ASSERT_EQ(logic->State(), TMainState::Ready) << c.name;
        EXPECT_FALSE(logic->LangFileFound()) << c.name;
        EXPECT_FALSE(logic->ExercisePossible()) << c.name;
        EXPECT_EQ(logic->LangFileView().panel, logic->Text(133)) << c.name;
        ASSERT_EQ(sink->shown.size(), 1u) << c.name;
        EXPECT_EQ(sink->shown[0].text,
                  FillText(logic->Text(138), {file.string(), logic->Text(c.reason)}))
            << c.name;
        EXPECT_FALSE(logic->StartExercise(false, true, false, rng)) << c.name;
        EXPECT_FALSE(logic->SaveLangFile()) << c.name;
        logic->Close();
        if (fs::is_regular_file(file) && !fs::is_symlink(file)) {
            EXPECT_EQ(ReadFileBytes(file.string()), before) << c.name;
        }
    }
    EXPECT_TRUE(fs::is_character_file("/dev/zero"));
}

TEST_F(MainLogicTest, AMissingLanguageFileOnlyShowsThePlaceholders) {
    WriteIni("missing.lang", {1});
    auto logic = Start();
    EXPECT_FALSE(logic->LangFileFound());
    EXPECT_TRUE(sink->shown.empty());
    const TLangFileView view = logic->LangFileView();
    EXPECT_EQ(view.panel, logic->Text(133));
    EXPECT_EQ(view.firstLang, logic->Text(134));
    EXPECT_EQ(view.lessons, logic->Text(46) + logic->Text(47));
}

TEST_F(MainLogicTest, ATextDatabaseThatCannotBeUsedEndsTheProgramWithItsFault) {
    WriteIni("x.lang", {1});
    const struct {
        const char* name;
        std::function<void()> make;
        const char* problem;
    } cases[] = {
        {"cut short",
         [&] {
             std::string db = ReadFileBytes((app / "Text.Db").string());
             WriteFileBytes((app / "Text.Db").string(), db.substr(0, db.size() / 2));
         },
         "the file is damaged"},
        {"empty", [&] { WriteFileBytes((app / "Text.Db").string(), ""); }, "the file is empty"},
#ifndef _WIN32
        {"a device",
         [&] {
             fs::remove(app / "Text.Db");
             fs::create_symlink("/dev/zero", app / "Text.Db");
         },
         "it is not a regular file"},
#endif
    };
    for (const auto& c : cases) {
        fs::remove(app / "Text.Db");
        fs::copy_file(LEXARO_TEXTDB_FILE, app / "Text.Db");
        c.make();
        sink->shown.clear();
        TMainWndLogic logic(app, sink);
        EXPECT_FALSE(logic.FirstShow()) << c.name;
        EXPECT_EQ(logic.State(), TMainState::Ended) << c.name;
        ASSERT_EQ(sink->shown.size(), 1u) << c.name;
        EXPECT_NE(
            sink->shown[0].text.find((app / "Text.Db").string() + " cannot be used: " + c.problem),
            std::string::npos)
            << sink->shown[0].text;
    }
}

// The installed form: the settings come from the learner's settings folder, the language file
// they name relatively from the learner's data folder, Text.Db from the program's own folder,
// and a damaged Text.Db there is told as in the portable form; the close writes the settings
// where they came from.
TEST_F(MainLogicTest, TheInstalledFormReadsEachFileFromItsOwnFolder) {
    TAppFolders folders;
    folders.form = TAppForm::Installed;
    folders.resources = app / "share";
    folders.settings = app / "config";
    folders.data = app / "data";
    for (const fs::path& f : {folders.resources, folders.settings, folders.data / "LangFiles"})
        fs::create_directories(f);
    fs::copy_file(LEXARO_TEXTDB_FILE, folders.resources / "Text.Db");
    WriteLangFile(folders.data / "LangFiles" / "x.lang", {{1, 3}});
    WriteIni("LangFiles/x.lang", {1});
    fs::rename(app / "Lexaro.Ini", folders.settings / "Lexaro.Ini");
    {
        TMainWndLogic logic(folders, sink);
        ASSERT_TRUE(logic.FirstShow());
        EXPECT_TRUE(logic.LangFileFound());
        ASSERT_TRUE(logic.StartExercise(false, false, false, rng));
        logic.Close();
    }
    EXPECT_NE(ReadFileBytes((folders.settings / "Lexaro.Ini").string()).find("NbrWords=3"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(app / "Lexaro.Ini"));
    EXPECT_TRUE(sink->shown.empty()) << Texts()[0];

    WriteFileBytes((folders.resources / "Text.Db").string(), "damaged");
    TMainWndLogic damaged(folders, sink);
    EXPECT_FALSE(damaged.FirstShow());
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_NE(
        sink->shown[0].text.find((folders.resources / "Text.Db").string() + " cannot be used"),
        std::string::npos)
        << sink->shown[0].text;
}

// The language names are shown through the code page of the settings: Cyrillic names stored
// in 1251 reach the window as the words they are.
TEST_F(MainLogicTest, TheLanguageNamesAreShownThroughTheCodePage) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteFileBytes((app / "Lexaro.Ini").string(),
                   "[Exercise]\r\nLangFileName=x.lang\r\nLang1=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n"
                   "Lang2=English\r\n[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n"
                   "[Application]\r\nLanguage=EN\r\nCodePage=1251\r\n");
    auto logic = Start();
    const TLangFileView view = logic->LangFileView();
    EXPECT_EQ(view.firstLang, "Русский");
    EXPECT_EQ(view.panel, "Русский - English");
    EXPECT_EQ(view.lessons, logic->Text(46) + " : 1");

    // Two right-to-left names keep the first language at the left: marks between them keep
    // the pair from reading as one right-to-left run.
    WriteFileBytes((app / "Lexaro.Ini").string(),
                   "[Exercise]\r\nLangFileName=x.lang\r\nLang1=العربية\r\nLang2=فارسی\r\n"
                   "[AvailableUnits]\r\n0=1\r\nNbrUnits=1\r\n"
                   "[Application]\r\nLanguage=EN\r\nCodePage=65001\r\n");
    EXPECT_EQ(Start()->LangFileView().panel, "\u200Eالعربية\u200E - \u200Eفارسی");
}

// A file whose texts read clearly better in another code page is said once, with the page to
// choose (Unicode for UTF-8 text); the file stays as it is (until an exercise marks its pairs),
// and a file read in its own page is quiet.
TEST_F(MainLogicTest, AFileThatReadsBetterInAnotherCodePageIsSaidOnce) {
    const auto langFile = [&](const fs::path& path, const std::vector<std::string>& texts) {
        TLangFHandler model;
        model.SetLanguageNames("Lang", "Deutsch");
        auto lesson = std::make_shared<TLesson>();
        lesson->number = 1;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            auto pair = lesson->NewPair(static_cast<std::int64_t>(i));
            pair->text1 = texts[i];
            pair->text2 = "Wort";
            pair->use = true;
        }
        model.PutLesson(lesson);
        ASSERT_TRUE(model.Save(path));
    };
    langFile(app / "ja.lang", {"水", "火", "こんにちは", "ありがとう"});
    langFile(app / "ru.lang", {"\xEA\xEE\xF8\xEA\xE0", "\xF1\xEE\xE1\xE0\xEA\xE0", "\xE4\xEE\xEC",
                               "\xE6\xB8\xEB\xF2\xFB\xE9"});
    const struct {
        std::string file;
        int codePage;
        std::string said; // empty: nothing
    } cases[] = {
        {"ja.lang", 1252, "read like the code page Unicode (UTF-8), not Western European (1252)"},
        {"ja.lang", 65001, ""},
        {"ru.lang", 65001, "read like the code page Cyrillic (1251), not Unicode (UTF-8)"},
        {"ru.lang", 1251, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(c.codePage));
        WriteIni(c.file, {1});
        const std::string ini = ReadFileBytes((app / "Lexaro.Ini").string());
        WriteFileBytes((app / "Lexaro.Ini").string(),
                       ini + "CodePage=" + std::to_string(c.codePage) + "\r\n");
        const std::string before = ReadFileBytes((app / c.file).string());
        sink->shown.clear();
        auto logic = Start();
        EXPECT_EQ(ReadFileBytes((app / c.file).string()), before);
        ASSERT_EQ(sink->shown.size(), c.said.empty() ? 0u : 1u)
            << ::testing::PrintToString(Texts());
        if (!c.said.empty()) {
            EXPECT_NE(sink->shown[0].text.find(c.said), std::string::npos) << sink->shown[0].text;
            EXPECT_NE(sink->shown[0].text.find(c.file), std::string::npos);
            // The next load of the same file says nothing more.
            EXPECT_TRUE(logic->StartExercise(false, true, false, rng));
            EXPECT_EQ(sink->shown.size(), 1u) << ::testing::PrintToString(Texts());
        }
    }
}

TEST_F(MainLogicTest, AFailedSettingsWriteNamesTheReasonInTheUiLanguage) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1}, {}, "DE");
    auto logic = Start();
    ASSERT_EQ(logic->UiLanguage(), "DE");
    // The file is replaced by a folder while the program runs.
    fs::remove(app / "Lexaro.Ini");
    fs::create_directories(app / "Lexaro.Ini" / "inner");
    logic->Close();
    ASSERT_EQ(sink->shown.size(), 1u);
    EXPECT_EQ(sink->shown[0].text, "Die Einstellungen konnten nicht in " +
                                       (app / "Lexaro.Ini").string() +
                                       " gespeichert werden: es ist keine gew\xF6hnliche Datei.");
    EXPECT_EQ(logic->State(), TMainState::Closed);
    logic->Close();
    EXPECT_EQ(sink->shown.size(), 1u) << "the close runs once";
}

TEST_F(MainLogicTest, TheFirstLanguageHasOneOwner) {
    WriteLangFile(app / "x.lang", {{1, 3}});
    WriteIni("x.lang", {1});
    auto logic = Start();
    const TWindowContext context = logic->Context();
    EXPECT_TRUE(context.firstLanguage());
    logic->SetFirstLanguage(false);
    EXPECT_FALSE(context.firstLanguage());
    EXPECT_FALSE(logic->LangFileView().firstChecked);
    EXPECT_FALSE(logic->Settings()->exercise.FirstLang);
}

TEST_F(MainLogicTest, AnApplicationFolderAndLanguageFileWithUmlautsAndBlanks) {
    // The bundle copied to "Übungen für Jürgen/Lexaro", the file "Wörter Ä.lang" named
    // relatively, as the stored text of the settings has it (Windows-1252).
    app = dir.path() / fs::path(u8"\u00DCbungen f\u00FCr J\u00FCrgen") / "Lexaro";
    fs::create_directories(app / "LangFiles");
    fs::copy_file(LEXARO_TEXTDB_FILE, app / "Text.Db");
    WriteLangFile(app / "LangFiles" / fs::path(u8"W\u00F6rter \u00C4.lang"), {{1, 3}});
    WriteIni("LangFiles\\W\xF6rter \xC4.lang", {1});
    auto logic = Start();
    ASSERT_EQ(logic->State(), TMainState::Ready) << (sink->shown.empty() ? "" : Texts()[0]);
    EXPECT_TRUE(logic->LangFileFound());
    ASSERT_TRUE(logic->StartExercise(false, false, false, rng));
    EXPECT_TRUE(sink->shown.empty());
    TLangFHandler disk;
    ASSERT_TRUE(disk.Load(app / "LangFiles" / fs::path(u8"W\u00F6rter \u00C4.lang")));
    EXPECT_TRUE(disk.LessonAt(1)->PairAt(0)->drawn);
    logic->Close();
    EXPECT_NE(ReadFileBytes((app / "Lexaro.Ini").string())
                  .find("LangFileName=LangFiles\\W\xF6rter \xC4.lang"),
              std::string::npos)
        << "the stored text stays as it was";
}

} // namespace
} // namespace lexaro
