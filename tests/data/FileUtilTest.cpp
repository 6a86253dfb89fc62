#include "data/FileUtil.h"

#include "support/TestFiles.h"

#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lexaro {
namespace {

using test::RecordingSink;

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
        const bool wrote = WriteWholeFile(path, byteArray(100000, 9), true);
        _exit(wrote ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write reported success";
#endif
    EXPECT_EQ(ReadWholeFile(path), old);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2u) << "only the file and the folder, no temporary left";
}

} // namespace
} // namespace lexaro
