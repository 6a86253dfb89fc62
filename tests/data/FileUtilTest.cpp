#include "data/FileUtil.h"
#include "data/Charset.h"

#include "support/TestFiles.h"

#include <fstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lexaro {
namespace {

using test::RecordingSink;
using test::WriteFileBytes;

TEST(FileUtil, WindowsPathParts) {
    const std::string exe = R"(C:\Prog\App\x.exe)";
    EXPECT_EQ(LastBackslashPos(exe), 12);
    EXPECT_EQ(LastBackslashPos(R"(\x)"), 0);
    EXPECT_EQ(LastBackslashPos("x"), 0);
    EXPECT_EQ(DrivePart(exe), "C:");
    EXPECT_EQ(DrivePart(R"(Prog\x)"), "");
    EXPECT_EQ(DirectoryPart(exe), R"(Prog\App)");
    EXPECT_EQ(DirectoryPart(R"(C:\x.exe)"), "");
    EXPECT_EQ(AppFolderOf(exe), R"(C:\Prog\App)");
    EXPECT_EQ(AppFolderOf(R"(C:\x.exe)"), R"(C:\)");
    EXPECT_EQ(FileNamePart(R"(C:\Prog\Vocab.LANG)"), "vocab.lang");
    EXPECT_EQ(ExtensionPart(R"(C:\Prog\Vocab.LANG)"), "lang");
    EXPECT_EQ(ExtensionPart("NoDot"), "nodot");
    EXPECT_EQ(BaseNamePart(R"(C:\Prog\Vocab.lang)"), "vocab");
    EXPECT_EQ(BaseNamePart(R"(C:\Prog\vocab)"), R"(C:\Prog\vocab)");
    EXPECT_EQ(BaseNamePart("Plain.Txt"), "plain");
    EXPECT_EQ(FileNamePart(""), "");
    EXPECT_EQ(DirectoryPart(""), "");
    EXPECT_EQ(JoinPath(R"(C:\Prog)", "Lexaro.Ini"), R"(C:\Prog\Lexaro.Ini)");
}

TEST(FileUtil, UnixPathParts) {
    const std::string lang = "/home/user/Lexaro/LangFiles/x.lang";
    EXPECT_EQ(DrivePart(lang), "");
    EXPECT_EQ(DirectoryPart(lang), "home/user/Lexaro/LangFiles");
    EXPECT_EQ(FileNamePart(lang), "x.lang");
    EXPECT_EQ(ExtensionPart("/home/user.name/Vocab.Lang"), "lang");
    EXPECT_EQ(BaseNamePart(lang), "x");
    EXPECT_EQ(AppFolderOf("/home/user/Lexaro/Lexaro"), "/home/user/Lexaro");
    EXPECT_EQ(AppFolderOf("/a/Lexaro"), "/a");
    EXPECT_EQ(AppFolderOf("/Lexaro"), "/");
    EXPECT_EQ(JoinPath("/home/user/Lexaro", "Lexaro.Ini"), "/home/user/Lexaro/Lexaro.Ini");
    EXPECT_EQ(JoinPath("/", "x"), "/x");
    EXPECT_EQ(SiblingWithExtension("/d/My.Words.lang", ".Bmp"), "/d/My.Bmp");
    EXPECT_EQ(SiblingWithExtension("/d.x/Words", ".Bmp"), "/d.x/Words.Bmp");
}

TEST(FileUtil, MissingFileWarning) {
    test::TempDir dir;
    RecordingSink sink;
    const std::string missing = dir.file("Lexaro.Ini");
    EXPECT_FALSE(CheckFileExists(missing));
    EXPECT_FALSE(CheckFileExists(missing, "", &sink));
    EXPECT_FALSE(CheckFileExists(missing, "Lexaro V2.02", nullptr));
    EXPECT_TRUE(sink.shown.empty()) << "only a caption together with an owner warns";

    EXPECT_FALSE(CheckFileExists(missing, "Lexaro V2.02", &sink));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].caption, "Lexaro V2.02");
    EXPECT_EQ(sink.shown[0].text, "lexaro.ini - Dosn't exists  ");
    EXPECT_EQ(sink.shown[0].icon, IMessageSink::Icon::Warning);

    EXPECT_EQ(MissingFileText(R"(C:\App\Text.Db)"), "text.db - Dosn't exists  ");
    EXPECT_EQ(MissingFileText("Text.Db"), "Text.Db - Dosn't exists  ");
    EXPECT_EQ(MissingFileText(""), "An application file  - Dosn't exists  ");

    EXPECT_TRUE(CheckFileExists(dir.path().string())) << "a folder counts too";
}

TEST(FileUtil, WriteAndReadWholeFiles) {
    test::TempDir dir;
    const std::string path = dir.file("data.bin");
    byteArray big(1'000'000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(WriteWholeFile(path, big, false));
    EXPECT_EQ(ReadWholeFile(path), big);

    EXPECT_FALSE(WriteWholeFile(path, byteArray{1}, false)) << "no overwrite";
    EXPECT_EQ(ReadWholeFile(path), big);

    ASSERT_TRUE(WriteWholeFile(path, byteArray{}, true));
    EXPECT_TRUE(ReadWholeFile(path).empty());
    EXPECT_TRUE(ReadWholeFile(dir.file("missing")).empty());
    EXPECT_TRUE(ReadWholeFile(dir.path().string()).empty()) << "a folder reads as nothing";

    EXPECT_TRUE(DeleteFileAt(path));
    EXPECT_FALSE(DeleteFileAt(path));
    // No temporary file is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(FileUtil, ReadOnlyFilesAreNeverReplaced) {
    // Whoever runs the program: the administrator, whom the system would let replace it, too.
    test::TempDir dir;
    const byteArray old{1, 2, 3};
    const std::string readOnly = dir.file("read-only.lang");
    ASSERT_TRUE(WriteWholeFile(readOnly, old, true));
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    const TFileResult refused = WriteWholeFile(readOnly, byteArray{7}, true);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.fault, FileFault::System);
    EXPECT_FALSE(refused.reason.empty());
    EXPECT_EQ(ReadWholeFile(readOnly), old);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_TRUE(WriteWholeFile(readOnly, byteArray{7}, true)) << "writable again";
}

TEST(FileUtil, FailedWritesLeaveTheOldFile) {
    test::TempDir dir;
    const std::string path = dir.file("keep.lang");
    const byteArray old{1, 2, 3};
    ASSERT_TRUE(WriteWholeFile(path, old, true));

    EXPECT_FALSE(WriteWholeFile(dir.file("no/such/folder/x.lang"), old, true));
    const std::string fileAsFolder = path + "/x.lang";
    EXPECT_FALSE(WriteWholeFile(fileAsFolder, old, true));

    std::filesystem::create_directories(dir.path() / "occupied" / "inner");
    EXPECT_FALSE(WriteWholeFile(dir.file("occupied"), old, true)) << "a folder is not replaced";
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "occupied" / "inner"));

#ifndef _WIN32
    // A write error half way (the file size limit) must not touch the old file, even as root.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const TFileResult wrote = WriteWholeFile(path, byteArray(100000, 9), true);
        _exit(wrote || wrote.reason != "File too large" ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write reported success or no reason";
#endif
    EXPECT_EQ(ReadWholeFile(path), old);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2u) << "only the file and the folder, no temporary left";
}

TEST(FileUtil, FoldersAndFilesWithUmlautsAndBlanks) {
    test::TempDir dir;
    // "Übungen für Jürgen/Wörter Ä.lang" as the system spells it (UTF-8).
    const std::filesystem::path folder =
        dir.path() / std::filesystem::path(u8"\u00DCbungen f\u00FCr J\u00FCrgen");
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / std::filesystem::path(u8"W\u00F6rter \u00C4.lang");
    const byteArray bytes{1, 2, 3};
    ASSERT_TRUE(WriteWholeFile(file, bytes, false));
    EXPECT_EQ(ReadWholeFile(file), bytes);
    EXPECT_TRUE(CheckFileExists(file));

    // The settings keep the path as Windows-1252 text; it names the same file.
    char32_t bad = 0;
    const std::optional<std::string> stored = StoredFromPath(file, {}, &bad);
    ASSERT_TRUE(stored.has_value());
    EXPECT_NE(stored->find("\xDC"
                           "bungen f\xFCr J\xFCrgen/W\xF6rter \xC4.lang"),
              std::string::npos);
    EXPECT_EQ(PathFromStored(*stored), file);
    // Inside the application folder the stored form is relative, so the folder can move.
    const std::optional<std::string> relative = StoredFromPath(file, folder);
    ASSERT_TRUE(relative.has_value());
    EXPECT_EQ(*relative, "W\xF6rter \xC4.lang");
    EXPECT_EQ(PathFromStored(*relative, folder), file);
    EXPECT_EQ(PathFromStored("LangFiles\\x.lang", "/app"),
              std::filesystem::path("/app/LangFiles/x.lang"));
    EXPECT_EQ(PathFromStored("/abs/x.lang", "/app"), std::filesystem::path("/abs/x.lang"));
    EXPECT_TRUE(PathFromStored("", "/app").empty());

    RecordingSink sink;
    EXPECT_FALSE(CheckFileExists(folder / "Lexaro.Ini", "Lexaro V2.02", &sink));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "lexaro.ini - Dosn't exists  ");
}

// A path Windows-1252 cannot hold (a Cyrillic, Greek or Japanese folder) is stored as UTF-8
// and read back as such; one that fits stays Windows-1252, byte for byte as before. Only
// bytes that are not UTF-8, and a path whose Windows-1252 form would read back as UTF-8, are
// refused, with the character named.
TEST(FileUtil, PathsAreStoredAsWindows1252WhenTheyFitElseAsUtf8) {
    struct Case {
        const char* path; // UTF-8
        std::optional<std::string> stored;
        char32_t bad;
    };
    const std::vector<Case> cases = {
        {"/home/anna/x.lang", "/home/anna/x.lang", 0},
        {"/home/j\xC3\xBCrgen/\xC3\x9C"
         "1.lang",
         "/home/j\xFCrgen/\xDC"
         "1.lang",
         0},
        {"/home/anna/\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B/"
         "x.lang",
         "/home/anna/\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B/"
         "x.lang",
         0},
        {"/tmp/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.lang",
         "/tmp/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.lang", 0},
        // A Greek folder with a German file: all of it UTF-8.
        {"/\xCE\x91/\xC3\xBC.lang", "/\xCE\x91/\xC3\xBC.lang", 0},
        // "Ã¼" in Windows-1252 would read back as "ü".
        {"/tmp/\xC3\x83\xC2\xBC.lang", std::nullopt, U'\u00C3'},
#ifndef _WIN32
        {"/tmp/\xFF.lang", std::nullopt, U'\uFFFD'},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string text = c.path;
        const std::filesystem::path path(std::u8string(text.begin(), text.end()));
        char32_t bad = 0;
        const std::optional<std::string> stored = StoredFromPath(path, {}, &bad);
        EXPECT_EQ(stored, c.stored);
        if (stored) {
            EXPECT_EQ(PathFromStored(*stored), path);
            EXPECT_EQ(Utf8FromStoredPath(*stored), text);
        } else {
            EXPECT_EQ(bad, c.bad);
        }
    }
    // Shown in a message a path keeps its shape, never stored.
    EXPECT_EQ(DisplayPath(std::filesystem::path(u8"/tmp/\u65E5\u672C\u8A9E.lang")),
              "/tmp/???.lang");
}

#ifndef _WIN32
TEST(FileUtil, SpecialFilesAreNeitherReadNorReplaced) {
    test::TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string dangling = dir.file("dangling");
    std::filesystem::create_symlink(dir.file("nowhere"), dangling);
    const std::string toNull = dir.file("null-link");
    std::filesystem::create_symlink("/dev/null", toNull);
    const std::string big = dir.file("big");
    WriteFileBytes(big, std::string(1000, 'x'));

    struct Case {
        std::string path;
        FileFault read;
        FileFault write; // with overwrite
    };
    const Case cases[] = {
        {"/dev/zero", FileFault::NotRegular, FileFault::NotRegular},
        {"/dev/null", FileFault::NotRegular, FileFault::NotRegular},
        {fifo, FileFault::NotRegular, FileFault::NotRegular},
        {toNull, FileFault::NotRegular, FileFault::NotRegular},
        {dangling, FileFault::NotFound, FileFault::DanglingLink},
        {dir.path().string(), FileFault::NotRegular, FileFault::NotRegular},
        {dir.file("missing"), FileFault::NotFound, FileFault::None},
    };
    for (const Case& c : cases) {
        byteArray out{7};
        EXPECT_EQ(ReadFileBounded(c.path, 1 << 20, out).fault, c.read) << c.path;
        EXPECT_TRUE(out.empty()) << c.path;
        const TFileResult written = WriteWholeFile(c.path, byteArray{1}, true);
        EXPECT_EQ(written.fault, c.write) << c.path;
        EXPECT_EQ(written.ok(), written.reason.empty()) << c.path;
    }
    struct stat st {};
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "/dev/null was replaced";
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(WriteWholeFile(dangling, byteArray{1}, false).fault, FileFault::Exists)
        << "a dangling link counts as existing";

    byteArray out;
    EXPECT_EQ(ReadFileBounded(big, 999, out).fault, FileFault::TooLarge);
    EXPECT_TRUE(ReadFileBounded(big, 1000, out));
    EXPECT_EQ(out.size(), 1000u);
}

TEST(FileUtil, StaleTemporaryFilesAreRemovedByTheNextWrite) {
    test::TempDir dir;
    const std::string path = dir.file("Lexaro.Ini");
    // Left by a process that has ended (no process has such a large id) and by one that runs.
    const std::string stale = path + ".99999999-3.tmp";
    const std::string running = path + "." + std::to_string(getppid()) + "-0.tmp";
    const std::string other = dir.file("Other.Ini.99999999-0.tmp");
    for (const std::string& f : {stale, running, other})
        WriteFileBytes(f, "half");
    ASSERT_TRUE(WriteWholeFile(path, byteArray{1}, true));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(running)) << "another program may be writing it";
    EXPECT_TRUE(std::filesystem::exists(other)) << "it belongs to another file";
}

TEST(FileUtil, AnInterruptedWriteLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.file("big.lang");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Large enough that the parent sees the temporary file before the write ends.
        const byteArray data(512u << 20, 7);
        WriteWholeFile(path, data, true);
        _exit(0);
    }
    bool seen = false;
    for (int i = 0; i < 20000 && !seen; ++i) {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            seen = seen || e.path().extension() == ".tmp";
        if (!seen)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(seen) << "the write ended before it could be interrupted";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the write ended before the signal";
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        ADD_FAILURE() << "left behind: " << e.path();
}
#endif

} // namespace
} // namespace lexaro
