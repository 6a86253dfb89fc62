#include "progress/Journal.h"

#include "support/TestFiles.h"

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using namespace std::chrono_literals;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const std::string kHeader = std::string(kJournalHeader) + "\n";

std::chrono::sys_seconds At(int year, int month, int day, int hour, int minute) {
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute};
}

TJournalLine Line(std::string text1, TJournalVerdict verdict = TJournalVerdict::None,
                  std::chrono::sys_seconds time = At(2026, 12, 11, 14, 3)) {
    TJournalLine line;
    line.time = time;
    line.lesson = 3;
    line.pairId = 17;
    line.text1 = std::move(text1);
    line.presentedSide = 2;
    line.verdict = verdict;
    line.priorityChosen = 4;
    return line;
}

TEST(JournalFormat, LineReadsBackAndStaysOneLine) {
    const std::vector<TJournalLine> cases = {
        Line("cat"),
        Line("tab\there, new\nline, cr\r, back\\slash \\t", TJournalVerdict::Right),
        Line("Straße ü €", TJournalVerdict::Wrong),
        Line(""),
    };
    for (const TJournalLine& line : cases) {
        const std::string text = FormatJournalLine(line);
        ASSERT_TRUE(text.ends_with('\n'));
        EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 6) << text;
        const auto back = ParseJournalLine(std::string_view(text).substr(0, text.size() - 1));
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(*back, line);
    }
    EXPECT_EQ(FormatJournalLine(Line("a\tb", TJournalVerdict::Right)),
              "2026-12-11T14:03:00Z\t3\t17\ta\\tb\t2\tright\t4\n");
}

TEST(JournalFormat, InvalidUtf8IsReplacedSoTheJournalStaysText) {
    const std::string text = FormatJournalLine(Line("caf\xE9"));
    EXPECT_NE(text.find("caf\xEF\xBF\xBD"), std::string::npos);
    EXPECT_TRUE(ParseJournalLine(text.substr(0, text.size() - 1)));
}

TEST(JournalFormat, ALongText1IsCutBetweenCharactersSoTheLineStaysALine) {
    // Two bytes per letter, escapes that double, a letter with a combining accent, a four-byte
    // character: whatever falls on the limit, the line stays within it, is UTF-8 and parses.
    const std::string e = "e\xCC\x81"; // e + combining acute
    const std::vector<std::string> pieces = {"\xC3\xA4", "\\", "\t", e, "\xF0\x9F\x98\x80", "a"};
    for (const std::string& piece : pieces) {
        for (std::size_t shift = 0; shift < 4; ++shift) {
            std::string text(shift, 'x');
            while (text.size() < 3 * kMaxJournalLineBytes)
                text += piece;
            SCOPED_TRACE(piece + " after " + std::to_string(shift));
            const std::string formatted = FormatJournalLine(Line(text));
            ASSERT_TRUE(formatted.ends_with('\n'));
            const std::string_view row(formatted.data(), formatted.size() - 1);
            EXPECT_LE(row.size(), kMaxJournalLineBytes);
            EXPECT_GE(row.size(), kMaxJournalLineBytes - 8) << "cut no more than needed";
            const auto back = ParseJournalLine(row);
            ASSERT_TRUE(back);
            EXPECT_TRUE(text.starts_with(back->text1));
            EXPECT_EQ(FormatJournalLine(*back), formatted) << "the cut text is valid UTF-8";
            if (piece == e) {
                // Never a base letter without its accent.
                EXPECT_TRUE(back->text1.ends_with(e)) << back->text1.substr(back->text1.size() - 4);
            }
        }
    }
    // A text that fits is not touched.
    const std::string fits(kMaxJournalLineBytes - 100, 'y');
    EXPECT_EQ(ParseJournalLine(
                  FormatJournalLine(Line(fits)).substr(0, FormatJournalLine(Line(fits)).size() - 1))
                  ->text1,
              fits);
}

TEST(JournalFormat, LinesThatDoNotParse) {
    const char* bad[] = {
        "",
        "2026-12-11T14:03:00Z\t3\t17\tcat\t1\t\t0\textra",
        "2026-12-11T14:03:00Z\t3\t17\tcat\t1\t",
        "2026-12-11 14:03:00\t3\t17\tcat\t1\t\t0",
        "2026-02-30T14:03:00Z\t3\t17\tcat\t1\t\t0",
        "2026-12-11T24:03:00Z\t3\t17\tcat\t1\t\t0",
        "1999-12-31T23:59:59Z\t3\t17\tcat\t1\t\t0",
        "2026-12-11T14:03:00Z\t-3\t17\tcat\t1\t\t0",
        "2026-12-11T14:03:00Z\t3\t1000000\tcat\t1\t\t0",
        "2026-12-11T14:03:00Z\t03\t17\tcat\t1\t\t0",
        "2026-12-11T14:03:00Z\t3\t17\tcat\t3\t\t0",
        "2026-12-11T14:03:00Z\t3\t17\tcat\t1\tmaybe\t0",
        "2026-12-11T14:03:00Z\t3\t17\tcat\t1\t\t10",
        "2026-12-11T14:03:00Z\t3\t17\tca\\xt\t1\t\t0",
        "2026-12-11T14:03:00Z\t3\t17\tcat\\\t1\t\t0",
        "2026-12-11T14:03:00Z\t3\t17\tcaf\xE9\t1\t\t0",
    };
    for (const char* line : bad)
        EXPECT_FALSE(ParseJournalLine(line)) << line;
    EXPECT_TRUE(ParseJournalLine("2024-02-29T00:00:00Z\t0\t0\tx\t1\twrong\t9\r"));
}

class JournalWriterTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path lang = dir.path() / "English-Deutsch.tsv";
    std::filesystem::path journal = JournalPath(lang);
};

TEST_F(JournalWriterTest, NewJournalGetsTheHeaderAndRunsAppend) {
    auto clock = [t = At(2026, 12, 11, 14, 3)]() mutable {
        const auto now = t;
        t += 1min;
        return std::chrono::system_clock::time_point(now);
    };
    TJournalWriter writer(lang, clock);
    writer.Add(ExerciseEntry{1, 2, 0}, true, "caf\xE9", TCodePage::Western(),
               TJournalVerdict::Right, 3);
    writer.Add(ExerciseEntry{1, 5, 0}, false, "tea", TCodePage::Western(), TJournalVerdict::None,
               0);
    const TJournalAppend first = writer.Close();
    ASSERT_TRUE(first.result.ok()) << first.result.reason;
    EXPECT_EQ(first.written, journal);
    EXPECT_FALSE(first.setAside);
    EXPECT_TRUE(writer.Lines().empty());
    EXPECT_EQ(ReadFileBytes(journal.string()),
              kHeader + "2026-12-11T14:03:00Z\t1\t2\tcaf\xC3\xA9\t1\tright\t3\n"
                        "2026-12-11T14:04:00Z\t1\t5\ttea\t2\t\t0\n");

    writer.Add(Line("dog"));
    ASSERT_TRUE(writer.Close().result.ok());
    const std::string after = ReadFileBytes(journal.string());
    EXPECT_EQ(after.find(std::string(kJournalHeader)), 0u);
    EXPECT_EQ(after.rfind(std::string(kJournalHeader)), 0u) << "one header only";
    EXPECT_TRUE(after.ends_with("\tdog\t2\t\t4\n"));

    // A run without cards writes nothing.
    EXPECT_TRUE(writer.Close().result.ok());
    EXPECT_EQ(ReadFileBytes(journal.string()), after);
    EXPECT_EQ(JournalPath(lang, 2).filename(), "English-Deutsch.tsv.journal-2.tsv");
}

TEST_F(JournalWriterTest, AJournalWithoutFinalLineEndGetsOneBeforeTheRun) {
    WriteFileBytes(journal.string(), kHeader + "2026-12-10T10:00:00Z\t1\t1\tx\t1\t\t0");
    ASSERT_TRUE(AppendJournal(lang, {Line("y")}).result.ok());
    EXPECT_EQ(ReadFileBytes(journal.string()),
              kHeader + "2026-12-10T10:00:00Z\t1\t1\tx\t1\t\t0\n" + FormatJournalLine(Line("y")));
}

TEST_F(JournalWriterTest, EmptyFileBecomesAJournal) {
    WriteFileBytes(journal.string(), "");
    const TJournalAppend result = AppendJournal(lang, {Line("y")});
    ASSERT_TRUE(result.result.ok());
    EXPECT_FALSE(result.setAside);
    EXPECT_EQ(ReadFileBytes(journal.string()), kHeader + FormatJournalLine(Line("y")));
}

TEST_F(JournalWriterTest, DamagedOrForeignJournalIsLeftAloneAndANewOneStartedBeside) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
    };
    const std::vector<Case> cases = {
        {"other header", [](const auto& p) { WriteFileBytes(p.string(), "a\tb\n1\t2\n"); }},
        {"header cut", [](const auto& p) { WriteFileBytes(p.string(), "time\tlesson\n"); }},
        {"binary end",
         [](const auto& p) {
             WriteFileBytes(p.string(), kHeader + std::string("\x00\x01\xFF\xFE", 4) + "\n");
         }},
        {"not UTF-8",
         [](const auto& p) { WriteFileBytes(p.string(), kHeader + "caf\xE9 au lait\n"); }},
        {"folder", [](const auto& p) { std::filesystem::create_directory(p); }},
        {"fifo", [](const auto& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"dangling link",
         [](const auto& p) { std::filesystem::create_symlink(p.string() + ".gone", p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(journal);
        std::filesystem::remove_all(JournalPath(lang, 2));
        c.make(journal);
        const bool regular = std::filesystem::is_regular_file(journal);
        const std::string before = regular ? ReadFileBytes(journal.string()) : "";
        EXPECT_EQ(InspectJournal(journal), TJournalState::Foreign);

        const TJournalAppend first = AppendJournal(lang, {Line("one")});
        ASSERT_TRUE(first.result.ok()) << first.result.reason;
        EXPECT_EQ(first.written, JournalPath(lang, 2));
        ASSERT_TRUE(first.setAside);
        EXPECT_EQ(*first.setAside, journal);
        // Told once: the next run goes to the new journal without a word.
        const TJournalAppend second = AppendJournal(lang, {Line("two")});
        ASSERT_TRUE(second.result.ok());
        EXPECT_EQ(second.written, JournalPath(lang, 2));
        EXPECT_FALSE(second.setAside);
        EXPECT_EQ(ReadFileBytes(JournalPath(lang, 2).string()),
                  kHeader + FormatJournalLine(Line("one")) + FormatJournalLine(Line("two")));
        if (regular) {
            EXPECT_EQ(ReadFileBytes(journal.string()), before);
        }
    }
}

TEST_F(JournalWriterTest, ALastLineCutPartWayIsDroppedAndTheJournalGoesOn) {
    const std::string whole = kHeader + FormatJournalLine(Line("kept"));
    const std::string cut = FormatJournalLine(Line("Stra\xC3\x9F"
                                                   "e"));
    struct Case {
        const char* name;
        std::string content; // the journal as the crash left it
        std::string kept;    // what stays of it
    };
    const std::vector<Case> cases = {
        {"no line end", whole + cut.substr(0, 30), whole},
        {"a character cut", whole + cut.substr(0, cut.find("\xC3\x9F") + 1), whole},
        {"zeros after a power cut", whole + std::string(300, '\0'), whole},
        {"cut after the header", kHeader + "2026-12-1", kHeader},
        {"the header itself cut", std::string(kJournalHeader.substr(0, 20)), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(journal);
        std::filesystem::remove(JournalPath(lang, 2));
        WriteFileBytes(journal.string(), c.content);
        EXPECT_EQ(InspectJournal(journal), TJournalState::Journal);
        const TJournalAppend first = AppendJournal(lang, {Line("one")});
        ASSERT_TRUE(first.result.ok()) << first.result.reason;
        EXPECT_EQ(first.written, journal);
        EXPECT_FALSE(first.setAside);
        EXPECT_EQ(first.droppedBytes, c.content.size() - c.kept.size());
        // Told once: the journal is whole now.
        const TJournalAppend second = AppendJournal(lang, {Line("two")});
        ASSERT_TRUE(second.result.ok());
        EXPECT_EQ(second.droppedBytes, 0u);
        EXPECT_EQ(ReadFileBytes(journal.string()), (c.kept.empty() ? kHeader : c.kept) +
                                                       FormatJournalLine(Line("one")) +
                                                       FormatJournalLine(Line("two")));
        EXPECT_FALSE(std::filesystem::exists(JournalPath(lang, 2)));
    }
}

TEST_F(JournalWriterTest, AnEndWithoutALineEndInReachOfALineIsForeign) {
    // Longer than any line this program writes: somebody else's file, left alone.
    const std::string content = kHeader + std::string(kMaxJournalLineBytes + 10, 'x');
    WriteFileBytes(journal.string(), content);
    EXPECT_EQ(InspectJournal(journal), TJournalState::Foreign);
    const TJournalAppend result = AppendJournal(lang, {Line("one")});
    ASSERT_TRUE(result.result.ok());
    EXPECT_EQ(result.written, JournalPath(lang, 2));
    EXPECT_TRUE(ReadFileBytes(journal.string()) == content);
}

TEST_F(JournalWriterTest, TheRecorderKeepsWhatItCouldNotWriteAndTellsOnce) {
    TJournalRecorder recorder;
    // Every journal name taken by a folder: nothing can be written.
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        std::filesystem::create_directory(JournalPath(lang, n));
    const TJournalRecord first = recorder.Record(lang, Line("one"));
    EXPECT_FALSE(first.append.result.ok());
    EXPECT_TRUE(first.newFailure);
    EXPECT_EQ(first.kept, 1u);
    const TJournalRecord second = recorder.Record(lang, Line("two"));
    EXPECT_FALSE(second.append.result.ok());
    EXPECT_FALSE(second.newFailure) << "told once";
    EXPECT_EQ(second.kept, 2u);
    // The fault goes away: the kept lines come first, in their order, with their own times.
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        std::filesystem::remove(JournalPath(lang, n));
    const TJournalLine third = Line("three", TJournalVerdict::Right, At(2026, 12, 11, 14, 9));
    const TJournalRecord ok = recorder.Record(lang, third);
    ASSERT_TRUE(ok.append.result.ok()) << ok.append.result.reason;
    EXPECT_EQ(ok.kept, 0u);
    EXPECT_EQ(ReadFileBytes(journal.string()), kHeader + FormatJournalLine(Line("one")) +
                                                   FormatJournalLine(Line("two")) +
                                                   FormatJournalLine(third));
    // A new fault after a write that succeeded is told again.
    std::filesystem::remove(journal);
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        std::filesystem::create_directory(JournalPath(lang, n));
    EXPECT_TRUE(recorder.Record(lang, Line("four")).newFailure);
}

TEST_F(JournalWriterTest, JournalsAreCopiedForANewNameNeverOverAnother) {
    const std::string first = kHeader + FormatJournalLine(Line("one"));
    const std::string second = kHeader + FormatJournalLine(Line("two"));
    WriteFileBytes(journal.string(), "foreign\n"); // not ours: not copied
    WriteFileBytes(JournalPath(lang, 2).string(), first);
    WriteFileBytes(JournalPath(lang, 3).string(), second);
    const auto copy = dir.path() / "copy.tsv";
    const TJournalCopy made = CopyJournals(lang, copy);
    ASSERT_TRUE(made.result.ok()) << made.result.reason;
    EXPECT_EQ(made.copied, 2);
    EXPECT_EQ(ReadFileBytes(JournalPath(copy).string()), first);
    EXPECT_EQ(ReadFileBytes(JournalPath(copy, 2).string()), second);
    EXPECT_EQ(ReadFileBytes(JournalPath(lang, 2).string()), first) << "the old one stays";
    // The new name has journals now: nothing is copied over them.
    WriteFileBytes(JournalPath(lang, 2).string(), second);
    EXPECT_EQ(CopyJournals(lang, copy).copied, 0);
    EXPECT_EQ(ReadFileBytes(JournalPath(copy).string()), first);

    // A folder nobody may write to: the path and the reason, nothing left behind.
    const auto folder = dir.path() / "locked";
    std::filesystem::create_directory(folder);
    test::RunWithoutPrivileges(dir.path(), folder, [&] {
        const TJournalCopy failed = CopyJournals(lang, folder / "x.tsv");
        return !failed.result.ok() && failed.result.reason == "Permission denied" &&
               failed.failed == JournalPath(folder / "x.tsv") && failed.copied == 0 &&
               std::filesystem::is_empty(folder);
    });
}

TEST_F(JournalWriterTest, AJournalReachedThroughALinkIsAppendedTo) {
    const auto target = dir.path() / "elsewhere.tsv";
    WriteFileBytes(target.string(), kHeader);
    std::filesystem::create_symlink(target, journal);
    ASSERT_TRUE(AppendJournal(lang, {Line("x")}).result.ok());
    EXPECT_TRUE(std::filesystem::is_symlink(journal));
    EXPECT_EQ(ReadFileBytes(target.string()), kHeader + FormatJournalLine(Line("x")));
}

TEST_F(JournalWriterTest, NoFreeJournalNameFailsWithoutTouchingAnything) {
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        WriteFileBytes(JournalPath(lang, n).string(), "foreign\n");
    const TJournalAppend result = AppendJournal(lang, {Line("x")});
    EXPECT_FALSE(result.result.ok());
    EXPECT_FALSE(result.result.reason.empty());
    for (int n = 1; n <= kMaxJournalFiles; ++n)
        EXPECT_EQ(ReadFileBytes(JournalPath(lang, n).string()), "foreign\n");
}

TEST_F(JournalWriterTest, FailedWriteNamesThePathAndTheReason) {
    // A folder nobody may write to: the journal cannot be made.
    const auto folder = dir.path() / "locked";
    std::filesystem::create_directory(folder);
    const auto lockedLang = folder / "x.tsv";
    test::RunWithoutPrivileges(dir.path(), folder, [&] {
        const TJournalAppend result = AppendJournal(lockedLang, {Line("x")});
        return !result.result.ok() && result.result.fault == FileFault::System &&
               result.result.reason == "Permission denied" &&
               result.written == JournalPath(lockedLang) &&
               !std::filesystem::exists(JournalPath(lockedLang));
    });
}

TEST_F(JournalWriterTest, AWriteThatStopsPartWayLeavesTheJournalAsItWas) {
    const std::string before = kHeader + FormatJournalLine(Line("kept"));
    WriteFileBytes(journal.string(), before);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The file may grow by a few bytes only: the write stops part way (EFBIG).
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(before.size() + 10),
                           static_cast<rlim_t>(before.size() + 10)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(3);
        const TJournalAppend result =
            AppendJournal(lang, std::vector<TJournalLine>(50, Line("lost")));
        _exit(!result.result.ok() && result.result.reason == "File too large" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(journal.string()), before);
}

} // namespace
} // namespace lexaro
