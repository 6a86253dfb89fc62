// lexaro-lang's command line run in process: what the user sees and what is written.
#include "LangTool.h"

#include "data/FileUtil.h"
#include "data/FileVersions.h"
#include "data/LangFHandler.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::CodedFile;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteBytes;
using test::WriteFileBytes;

class LangToolRun : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunLangTool(args, out, err);
    }
    // True when err holds exactly one line that says both parts.
    bool OneLineSaying(const std::string& part1, const std::string& part2) const {
        const std::string message = err.str();
        return std::count(message.begin(), message.end(), '\n') == 1 &&
               message.find(part1) != std::string::npos && message.find(part2) != std::string::npos;
    }
    std::ostringstream out;
    std::ostringstream err;
    TempDir dir{"lexaro_langtool_"};
};

TEST_F(LangToolRun, BadUsageGivesStatus2AndOneLineThatPointsToHelp) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "x"},
        {"check"},
        {"check", "a", "b"},
        {"check", "a", "--force"},
        {"dump", "a", "--lang1", "x"},
        {"import", "a.tsv", "b.lang", "--lang1", "E"},
        {"import", "a.tsv", "b.lang", "--lang1", "E", "--lang2"},
        {"import", "a.tsv", "--lang1", "E", "--lang2", "D"},
        {"import", "a.tsv", "b.lang", "--lang1", "E", "--lang1", "F", "--lang2", "D"},
        {"import", "a.tsv", "b.lang", "--lang1", "E", "--lang2", "D", "--overwrite"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Run(args), kLangToolUsage) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(OneLineSaying("lexaro-lang: ", "; lexaro-lang --help says more")) << err.str();
        EXPECT_EQ(err.str().find("usage:"), std::string::npos) << "not the whole help";
        EXPECT_TRUE(out.str().empty());
    }
    EXPECT_EQ(Run({"import", "a.tsv", "b.lang", "--lang1", "E"}), kLangToolUsage);
    EXPECT_EQ(err.str(), "lexaro-lang: import needs --lang1 NAME and --lang2 NAME; lexaro-lang "
                         "--help says more\n");
    for (const char* help : {"--help", "-h"}) {
        EXPECT_EQ(Run({"import", help}), kLangToolOk);
        EXPECT_NE(out.str().find("lexaro-lang import SOURCE OUT"), std::string::npos);
    }
}

TEST_F(LangToolRun, InputThatIsNoRegularFileOrFarTooLargeIsRefusedUnread) {
    // /dev/zero would never end and a pipe might never start; neither is opened.
    const std::string folder = dir.file("folder");
    std::filesystem::create_directory(folder);
    const std::string huge = dir.file("huge");
    WriteFileBytes(huge, "");
    // Sparse: larger than any real language file or table without taking the disk.
    std::filesystem::resize_file(huge, std::max(kMaxLangFileBytes, kMaxTableBytes) + 1);
    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<Case> cases = {{folder, "not a regular file"},
                               {huge, "far larger than any file of its kind"}};
#ifndef _WIN32
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cases.push_back({fifo, "not a regular file"});
    cases.push_back({"/dev/zero", "not a regular file"});
#endif
    const std::string lang = dir.file("out.lang");
    for (const auto& c : cases) {
        for (const std::string command : {"check", "dump", "export"}) {
            EXPECT_EQ(Run({command, c.path}), kLangToolBadData) << command << " " << c.path;
            EXPECT_TRUE(out.str().empty());
            EXPECT_TRUE(OneLineSaying(c.path + ": ", c.reason)) << command << ": " << err.str();
        }
        EXPECT_EQ(Run({"import", c.path, lang, "--lang1", "E", "--lang2", "D"}), kLangToolBadData);
        EXPECT_TRUE(OneLineSaying(c.path + ": ", c.reason)) << "import: " << err.str();
        EXPECT_FALSE(CheckFileExists(lang));
    }
}

TEST_F(LangToolRun, ImportRefusesBadRowsAndWritesNothing) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("out.lang");
    WriteFileBytes(tsv, "lesson\ttext1\ttext2\n1\tgood\tgut\n1\ta@b\tc\n0\tzero\tnull\n");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "English", "--lang2", "Deutsch"}),
              kLangToolBadData);
    EXPECT_FALSE(CheckFileExists(lang));
    EXPECT_NE(err.str().find("in.tsv:3: text1"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("in.tsv:4: lesson"), std::string::npos) << err.str();

    // --skip-bad writes the good row and still lists the bad ones.
    EXPECT_EQ(Run({"import", tsv, lang, "--skip-bad", "--lang1=English", "--lang2=Deutsch"}),
              kLangToolOk);
    EXPECT_NE(err.str().find("in.tsv:3:"), std::string::npos);
    EXPECT_NE(out.str().find("1 pair(s) in 1 lesson(s) from a table, 2 bad row(s) left out"),
              std::string::npos)
        << out.str();
    TLangFHandler model;
    ASSERT_TRUE(model.Load(lang));
    EXPECT_EQ(model.LessonAt(1)->PairCount(), 1);
}

TEST_F(LangToolRun, ImportRefusesBadNamesEmptyTablesAndExistingFiles) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("out.lang");
    WriteFileBytes(tsv, "1\tdog\tHund\n");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "Eng@lish", "--lang2", "D", "--skip-bad"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("--lang1:"), std::string::npos);
    EXPECT_FALSE(CheckFileExists(lang));

    WriteFileBytes(dir.file("empty.tsv"), "lesson\ttext1\ttext2\n\n");
    EXPECT_EQ(Run({"import", dir.file("empty.tsv"), lang, "--lang1", "E", "--lang2", "D"}),
              kLangToolBadData);
    EXPECT_NE(err.str().find("no word pair"), std::string::npos);
    EXPECT_FALSE(CheckFileExists(lang));

    EXPECT_EQ(Run({"import", dir.file("missing.tsv"), lang, "--lang1", "E", "--lang2", "D"}),
              kLangToolBadData);

    WriteFileBytes(lang, "precious");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D"}), kLangToolBadData);
    EXPECT_NE(err.str().find("--force"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(lang), "precious");
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D", "--force"}), kLangToolOk);
    TLangFHandler model;
    EXPECT_TRUE(model.Load(lang));
}

TEST_F(LangToolRun, ImportNeverReplacesSpecialFilesDanglingLinksOrItsOwnTable) {
    namespace fs = std::filesystem;
    const std::string tsv = dir.file("in.tsv");
    const std::string table = "1\tdog\tHund\n";
    WriteFileBytes(tsv, table);
    const std::string folder = dir.file("folder");
    fs::create_directory(folder);
    const std::string dangling = dir.file("dangling.lang");
    fs::create_symlink(dir.file("nowhere.lang"), dangling);
    const std::string linkToTable = dir.file("link.lang");
    fs::create_symlink(tsv, linkToTable);
    const std::string hardLink = dir.file("hard.lang");
    fs::create_hard_link(tsv, hardLink);
    struct Case {
        std::string out;
        std::string reason;
    };
    std::vector<Case> cases = {
        {folder, "it is not a regular file"},
        {dangling, "it is a link to a file that does not exist"},
        {tsv, "it is the source being imported"},
        {(dir.path() / "." / "in.tsv").string(), "it is the source being imported"},
        {linkToTable, "it is the source being imported"},
        {hardLink, "it is the source being imported"},
    };
#ifndef _WIN32
    // A pipe stands for every special file: /dev/null was once replaced by a regular file.
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cases.push_back({fifo, "it is not a regular file"});
#endif
    for (const auto& c : cases) {
        for (const bool force : {false, true}) {
            std::vector<std::string> args = {"import", tsv, c.out, "--lang1", "E", "--lang2", "D"};
            if (force)
                args.push_back("--force");
            EXPECT_EQ(Run(args), kLangToolBadData) << c.out << (force ? " --force" : "");
            EXPECT_TRUE(OneLineSaying(c.out + ": cannot be written: ", c.reason)) << err.str();
            EXPECT_TRUE(out.str().empty());
        }
    }
    EXPECT_EQ(ReadFileBytes(tsv), table);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dangling)));
    EXPECT_FALSE(fs::exists(dir.file("nowhere.lang")));
    EXPECT_TRUE(fs::is_directory(folder));
#ifndef _WIN32
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
#endif
}

TEST_F(LangToolRun, AFailedWriteNamesThePathAndTheSystemsReason) {
    const std::string tsv = dir.file("in.tsv");
    WriteFileBytes(tsv, "1\tdog\tHund\n");
    WriteFileBytes(dir.file("plain"), "a file, not a folder");
    // The system refuses even the superuser here.
    const std::string lang = dir.file("plain") + "/out.lang";
    EXPECT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D"}), kLangToolBadData);
    EXPECT_TRUE(OneLineSaying(lang + ": cannot be written: ", "Not a directory")) << err.str();
}

TEST_F(LangToolRun, ReplacedFilesAreKeptAsVersionsAndRestoreBringsThemBack) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("words.lang");
    auto import = [&](const std::string& table) {
        WriteFileBytes(tsv, table);
        return Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D", "--force"});
    };
    ASSERT_EQ(import("1\tone\teins\n"), kLangToolOk) << err.str();
    const std::string first = ReadFileBytes(lang);
    ASSERT_EQ(import("1\tone\teins\n2\ttwo\tzwei\n"), kLangToolOk) << err.str();
    const std::string second = ReadFileBytes(lang);
    ASSERT_EQ(import("1\tone\teins\n2\ttwo\tzwei\n"), kLangToolOk);
    EXPECT_TRUE(err.str().empty()) << "an import that changes nothing keeps no version";

    EXPECT_EQ(Run({"versions", lang}), kLangToolOk);
    const std::vector<TFileVersion> versions = ListVersions(lang);
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_NE(out.str().find("1 version(s) in " + dir.file(".versions")), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find(versions[0].path.filename().string() + "  1 pair(s) in 1 lesson(s)"),
              std::string::npos)
        << out.str();

    // A restore keeps the file it replaces, so two restores give the file back unchanged.
    EXPECT_EQ(Run({"restore", lang, "1"}), kLangToolOk) << err.str();
    EXPECT_EQ(ReadFileBytes(lang), first);
    const std::vector<TFileVersion> after = ListVersions(lang);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(ReadFileBytes(after[1].path.string()), second);
    EXPECT_NE(out.str().find("kept as " + after[1].path.filename().string()), std::string::npos);
    EXPECT_EQ(Run({"restore", lang, after[1].path.string()}), kLangToolOk) << err.str();
    EXPECT_EQ(ReadFileBytes(lang), second);
    EXPECT_EQ(ListVersions(lang).size(), 2u) << "the first is kept already";
    EXPECT_EQ(Run({"restore", lang, after[1].path.filename().string()}), kLangToolOk);
    EXPECT_NE(out.str().find("nothing written"), std::string::npos);

    // A version that does not exist, or is no language file, is never restored.
    EXPECT_EQ(Run({"restore", lang, "9"}), kLangToolBadData);
    EXPECT_TRUE(OneLineSaying("there is no version 9", "versions " + lang)) << err.str();
    WriteFileBytes(after[0].path.string(), "damaged");
    EXPECT_EQ(Run({"restore", lang, "2"}), kLangToolBadData);
    EXPECT_TRUE(OneLineSaying("not restored", "not a valid language file")) << err.str();
    EXPECT_EQ(ReadFileBytes(lang), second);
    EXPECT_EQ(Run({"versions", dir.file("none.lang")}), kLangToolOk);
    EXPECT_NE(out.str().find("no versions kept"), std::string::npos);
}

TEST_F(LangToolRun, ARestoreNeverCostsAVersionOnlyASaveTrims) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("words.lang");
    auto import = [&](int n) {
        WriteFileBytes(tsv, "1\tone\teins " + std::to_string(n) + "\n");
        return Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D", "--force"});
    };
    for (int n = 0; n <= static_cast<int>(kVersionsKept); ++n)
        ASSERT_EQ(import(n), kLangToolOk) << err.str();
    auto contents = [&] {
        std::vector<std::string> kept;
        for (const auto& v : ListVersions(lang))
            kept.push_back(ReadFileBytes(v.path.string()));
        return kept;
    };
    const std::vector<std::string> ten = contents();
    ASSERT_EQ(ten.size(), kVersionsKept);
    const std::string current = ReadFileBytes(lang);

    // A look at the oldest version, and back: every version stays, the file it replaced too.
    ASSERT_EQ(Run({"restore", lang, std::to_string(kVersionsKept)}), kLangToolOk) << err.str();
    EXPECT_EQ(ReadFileBytes(lang), ten.front());
    std::vector<std::string> eleven = ten;
    eleven.push_back(current);
    EXPECT_EQ(contents(), eleven);
    ASSERT_EQ(Run({"restore", lang, "1"}), kLangToolOk) << err.str();
    EXPECT_EQ(ReadFileBytes(lang), current);
    EXPECT_EQ(contents(), eleven) << "the oldest version is kept already; it is not copied again";
    EXPECT_NE(out.str().find("is already kept as"), std::string::npos) << out.str();

    // An ordinary save trims to the newest ten again.
    ASSERT_EQ(import(99), kLangToolOk) << err.str();
    EXPECT_EQ(ListVersions(lang).size(), kVersionsKept);
}

#ifndef _WIN32
TEST_F(LangToolRun, AVersionThatCannotBeKeptIsSaidAndOnlyARestoreStops) {
    const std::string tsv = dir.file("in.tsv");
    const std::string lang = dir.file("words.lang");
    WriteFileBytes(tsv, "1\tone\teins\n");
    ASSERT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "D"}), kLangToolOk);
    ASSERT_EQ(Run({"import", tsv, lang, "--lang1", "E", "--lang2", "Deutsch", "--force"}),
              kLangToolOk);
    const std::string second = ReadFileBytes(lang);
    const std::string folder = dir.file(".versions");
    ASSERT_EQ(ListVersions(lang).size(), 1u);
    test::RunWithoutPrivileges(dir.path(), folder, [&] {
        std::ostringstream importOut, importErr;
        const int imported =
            RunLangTool({"import", tsv, lang, "--lang1", "English", "--lang2", "D", "--force"},
                        importOut, importErr);
        const std::string third = ReadFileBytes(lang);
        const bool written =
            imported == kLangToolOk && third != second &&
            importErr.str() == lang + ": note: the file as it was could not be kept in " + folder +
                                   ": Permission denied; it is replaced all the same\n";
        // A restore never loses the file it would replace.
        std::ostringstream restoreOut, restoreErr;
        const int restored = RunLangTool({"restore", lang, "1"}, restoreOut, restoreErr);
        return written && restored == kLangToolBadData &&
               restoreErr.str() == lang +
                                       ": not restored: the file as it is could not be kept in " +
                                       folder + ": Permission denied\n" &&
               ReadFileBytes(lang) == third;
    });
}
#endif

TEST_F(LangToolRun, CheckReportsContentsOrOneClearLine) {
    const std::string lang = dir.file("a.lang");
    // A negative pair number is skipped by the reader and counted.
    WriteBytes(lang, CodedFile({"[General]",
                                "English@Fran\xE7"
                                "ais",
                                "[1]", "0=dog@chien#*", "1=cat@chat#\xA7", "-1=x@y#", "[2]", "[3]",
                                "0=a@b#", "[7]", "0=c@d#"}));
    EXPECT_EQ(Run({"check", lang}), kLangToolOk) << err.str();
    const std::string report = out.str();
    for (const char* part : {"valid language file", "English",
                             "Fran\xC3\xA7"
                             "ais",
                             "lessons:       4 (1-3, 7)", "pairs:         4", "pairs in use:  2",
                             "pairs drawn:   1", "lines skipped: 1"})
        EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;

    struct Case {
        byteArray stored;
        std::string expected;
    };
    byteArray damaged = CodedFile({"[General]", "a@b", "[1]", "0=x@y#"});
    damaged[3] ^= 1;
    const Case cases[] = {
        {{}, "too short"},
        {{0x00, 0x01, 0x02}, "wrong marker"},
        {damaged, "wrong checksum"},
        {CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "[1x]"}),
         "line 5: '1x' is not a valid integer value"},
        {CodedFile({"just", "lines"}), "no \"[General]\" line"},
    };
    for (const auto& c : cases) {
        WriteBytes(lang, c.stored);
        EXPECT_EQ(Run({"check", lang}), kLangToolBadData);
        EXPECT_TRUE(out.str().empty());
        EXPECT_NE(err.str().find(c.expected), std::string::npos) << err.str();
        const std::string message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
    EXPECT_EQ(Run({"check", dir.file("missing.lang")}), kLangToolBadData);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos);
}

TEST_F(LangToolRun, DumpShowsLinesInUtf8WithControlsEscaped) {
    const std::string lang = dir.file("a.lang");
    WriteBytes(lang, CodedFile({"[General]", "a@b", "0=T\xFCr\x1B[2J@x#\xA7"}));
    EXPECT_EQ(Run({"dump", lang}), kLangToolOk);
    EXPECT_EQ(out.str(), "[General]\na@b\n0=T\xC3\xBCr\\x1B[2J@x#\xC2\xA7\n");
    WriteBytes(lang, {0xCD});
    EXPECT_EQ(Run({"dump", lang}), kLangToolBadData);
    EXPECT_NE(err.str().find("too short"), std::string::npos);
}

TEST_F(LangToolRun, ExportRefusesDamagedFiles) {
    const std::string lang = dir.file("a.lang");
    WriteBytes(lang, CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "z=q@r#"}));
    EXPECT_EQ(Run({"export", lang}), kLangToolBadData);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("line 5"), std::string::npos);
}

} // namespace
} // namespace lexaro
