// lexaro-lang stats: the lessons' figures and the practice per week, as tables for scripts.
#include "LangTool.h"

#include "progress/Journal.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <cstdlib>
#include <ctime>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::TempDir;
using test::WriteFileBytes;

class LangStats : public ::testing::Test {
protected:
    void SetUp() override {
        // Weeks are the learner's; the test's learner lives at UTC.
        setenv("TZ", "UTC", 1);
        tzset();
        // Lesson 1: four pairs, 0 and 1 drawn; lesson 2: two retired pairs.
        TLangFHandler model =
            test::GeneratedLangFile({{1, 4, true}, {2, 2, false}}, {{1, 0}, {1, 1}});
        ASSERT_TRUE(model.Save(lang).ok());
    }
    int Run(std::vector<std::string> args, const TLangToolEnv& env = {}) {
        out.str({});
        err.str({});
        return RunLangTool(args, out, err, env);
    }
    TempDir dir{"lexaro_stats_"};
    std::filesystem::path lang = dir.path() / "words.tsv";
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(LangStats, LessonTableWithTotal) {
    ASSERT_EQ(Run({"stats", lang.string()}), kLangToolOk) << err.str();
    EXPECT_EQ(out.str(), "lesson\twaiting\tpractised\theld back\tretired\tdue\n"
                         "1\t2\t2\t0\t0\t0\n"
                         "2\t0\t0\t0\t2\t0\n"
                         "total\t2\t2\t0\t2\t0\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(LangStats, HeldBackComesFromTheSettingsWhenTheyAreForThisFile) {
    const auto settings = dir.path() / "app";
    std::filesystem::create_directory(settings);
    const std::string ini = "[Exercise]\nLangFileName=" + lang.string() +
                            "\nLang1=English\nLang2=Deutsch\n[ExerciseWords]\nNbrWords=2\n"
                            "0=1-1-4\n1=1-3-0\n";
    WriteFileBytes((settings / "Lexaro.Ini").string(), ini);
    TLangToolEnv env;
    env.settingsFolder = settings;
    ASSERT_EQ(Run({"stats", lang.string()}, env), kLangToolOk) << err.str();
    EXPECT_NE(out.str().find("\n1\t2\t1\t1\t0\t0\n"), std::string::npos) << out.str();

    // Settings for another file hold back nothing here.
    WriteFileBytes((settings / "Lexaro.Ini").string(),
                   "[Exercise]\nLangFileName=" + (dir.path() / "other.tsv").string() +
                       "\n[ExerciseWords]\nNbrWords=1\n0=1-1-4\n");
    ASSERT_EQ(Run({"stats", lang.string()}, env), kLangToolOk);
    EXPECT_NE(out.str().find("\n1\t2\t2\t0\t0\t0\n"), std::string::npos) << out.str();
}

TEST_F(LangStats, JournalGivesPracticePerWeekAndSaysWhatItSkipped) {
    WriteFileBytes(JournalPath(lang).string(),
                   std::string(kJournalHeader) + "\n" +
                       "2026-11-29T10:00:00Z\t1\t0\tword 1.0\t1\tright\t0\n" // a Sunday
                       "2026-12-07T10:00:00Z\t1\t1\tword 1.1\t2\twrong\t3\n" // a Monday
                       "2026-12-11T10:00:00Z\t1\t1\tword 1.1\t1\t\t0\n"
                       "not a line\n");
    TLangToolEnv env;
    env.now = [] { return std::int64_t{1796990400}; }; // 2026-12-11T12:00:00Z
    ASSERT_EQ(Run({"stats", lang.string(), "--journal"}, env), kLangToolOk) << err.str();
    // Both pairs answered are due by now: 1.0 right two weeks ago, 1.1 wrong four days ago.
    EXPECT_NE(out.str().find("total\t2\t2\t0\t2\t2\n\n"
                             "week\tcards\ttyped right\ttyped wrong\n"
                             "2026-11-23\t1\t1\t0\n"
                             "2026-11-30\t0\t0\t0\n"
                             "2026-12-07\t2\t0\t1\n"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(err.str(), "journal lines skipped that do not read as practice: 1\n");

    // A foreign journal is named and not read.
    WriteFileBytes(JournalPath(lang).string(), "something else\n");
    ASSERT_EQ(Run({"stats", lang.string(), "--journal"}), kLangToolOk);
    EXPECT_TRUE(out.str().ends_with("week\tcards\ttyped right\ttyped wrong\n"));
    EXPECT_NE(err.str().find("not a journal of Lexaro"), std::string::npos);
}

// due: the pairs and sides below the target chance of recall, lowest first, from the memory
// model replayed from the journal; --target sets the chance.
TEST_F(LangStats, DueListsWhatIsAboutToBeForgottenLowestFirst) {
    WriteFileBytes(JournalPath(lang).string(),
                   std::string(kJournalHeader) + "\n" +
                       "2026-12-01T10:00:00Z\t1\t0\tword 1.0\t1\tright\t2\n"
                       "2026-12-10T10:00:00Z\t1\t1\tword 1.1\t2\twrong\t0\n"
                       "2026-12-10T10:00:00Z\t1\t2\tword 1.2\t1\t\t4\n"
                       "garbage\n");
    TLangToolEnv env;
    env.now = [] { return std::int64_t{1796990400}; }; // 2026-12-11T12:00:00Z
    ASSERT_EQ(Run({"due", lang.string()}, env), kLangToolOk) << err.str();
    // 1.0 remembered ten days ago (stability 3.2 days); 1.1 shown from side 2 and forgotten a
    // day ago (0.4 days); 1.2's priority a day ago: not due yet.
    EXPECT_EQ(out.str(), "lesson\tpair id\tside\ttext\trecall\n"
                         "1\t0\t1\tword 1.0\t75.7%\n"
                         "1\t1\t2\tWort 1.1\t78.3%\n");
    EXPECT_EQ(err.str(), "journal lines skipped that do not read as practice: 1\n");
    ASSERT_EQ(Run({"due", lang.string(), "--target", "77"}, env), kLangToolOk);
    EXPECT_EQ(out.str(), "lesson\tpair id\tside\ttext\trecall\n"
                         "1\t0\t1\tword 1.0\t75.7%\n");
    for (const char* bad : {"0", "100", "x"})
        EXPECT_EQ(Run({"due", lang.string(), "--target", bad}, env), kLangToolUsage) << bad;
    EXPECT_EQ(Run({"due"}, env), kLangToolUsage);
}

TEST_F(LangStats, UsageAndMissingFiles) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"stats"}, {"stats", "a", "b"}, {"stats", "a", "--force"}}) {
        EXPECT_EQ(Run(args), kLangToolUsage);
        EXPECT_NE(err.str().find("stats takes one FILE"), std::string::npos) << err.str();
    }
    EXPECT_EQ(Run({"stats", dir.file("missing.tsv")}), kLangToolBadData);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
    EXPECT_EQ(Run({"stats", lang.string(), "--journal"}), kLangToolOk);
    EXPECT_NE(err.str().find("no journal yet"), std::string::npos);
}

} // namespace
} // namespace lexaro
