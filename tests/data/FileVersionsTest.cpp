// Versions kept on save: the newest ten per file, named by the time of the save, beside the
// file in ".versions"; a folder that cannot take them does not stop a save.
#include "data/FileVersions.h"

#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "support/LangFiles.h"
#include "support/TestFiles.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

std::string Text(const fs::path& path) {
    return test::ReadFileBytes(path.string());
}

std::vector<std::string> Contents(const std::vector<TFileVersion>& versions) {
    std::vector<std::string> out;
    for (const auto& v : versions)
        out.push_back(Text(v.path));
    return out;
}

TEST(FileVersions, TenSavesKeepTenVersionsAndTheEleventhDropsTheOldest) {
    test::TempDir dir;
    const fs::path file = dir.path() / "words.lang";
    TLangFHandler lang = test::GeneratedLangFile({{1, 2}});
    std::vector<std::string> saved;
    for (int save = 0; save <= 11; ++save) {
        lang.LessonAt(1)->PairAt(0)->text2 = "Fassung " + std::to_string(save);
        ASSERT_TRUE(lang.Save(file));
        EXPECT_FALSE(lang.TakeVersionFault().has_value());
        saved.push_back(Text(file));
        // The first save replaced nothing; each later one kept the file it replaced.
        const std::vector<TFileVersion> versions = ListVersions(file);
        const std::size_t expected = std::min<std::size_t>(save, kVersionsKept);
        ASSERT_EQ(versions.size(), expected) << "after save " << save;
        EXPECT_EQ(Contents(versions),
                  std::vector<std::string>(saved.end() - 1 - static_cast<long>(expected),
                                           saved.end() - 1))
            << "oldest first, after save " << save;
    }
    // A save that changes nothing replaces nothing and keeps no version.
    const std::vector<TFileVersion> before = ListVersions(file);
    ASSERT_TRUE(lang.Save(file));
    EXPECT_EQ(Contents(ListVersions(file)), Contents(before));
}

TEST(FileVersions, NamesCarryTheTimeAndOnlyThisFilesVersionsAreCountedOrDropped) {
    test::TempDir dir;
    const fs::path file = dir.path() / "words.lang";
    const fs::path folder = dir.path() / ".versions";
    fs::create_directory(folder);
    // Look-alikes that belong to other files, or to nobody, stay untouched.
    const std::vector<std::string> strangers = {
        "other.2020-01-01_00-00-00.lang", "words.2020-01-01_00-00-00.lang.txt",
        "words.2020-01-01_00-00-0x.lang", "words.2020-01-01_00-00-00_1.lang", "words.lang"};
    for (const auto& name : strangers)
        test::WriteFileBytes((folder / name).string(), "stranger");

    // 2021-03-04 05:06:07 in local time, then versions a second and a day apart.
    std::tm local{};
    local.tm_year = 121;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 5;
    local.tm_min = 6;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    const Clock::time_point t0 = Clock::from_time_t(std::mktime(&local));
    const Clock::time_point times[] = {t0, t0, t0 + std::chrono::seconds(1), t0,
                                       t0 + std::chrono::hours(24)};
    std::vector<fs::path> kept;
    for (std::size_t i = 0; i < std::size(times); ++i) {
        test::WriteFileBytes(file.string(), "content " + std::to_string(i));
        const TKeptVersion version = KeepVersion(file, nullptr, times[i]);
        ASSERT_TRUE(version.result) << version.result.reason;
        EXPECT_EQ(version.folder, folder);
        kept.push_back(version.keptAs);
    }
    EXPECT_EQ(kept[0].filename(), "words.2021-03-04_05-06-07.lang");
    EXPECT_EQ(kept[1].filename(), "words.2021-03-04_05-06-07_2.lang");
    EXPECT_EQ(kept[2].filename(), "words.2021-03-04_05-06-08.lang");
    EXPECT_EQ(kept[3].filename(), "words.2021-03-04_05-06-07_3.lang");
    EXPECT_EQ(kept[4].filename(), "words.2021-03-05_05-06-07.lang");
    const std::vector<TFileVersion> versions = ListVersions(file);
    ASSERT_EQ(versions.size(), 5u);
    EXPECT_EQ(versions[0].when, "2021-03-04 05:06:07");
    EXPECT_EQ(versions[1].sequence, 2);
    EXPECT_EQ(Contents(versions), (std::vector<std::string>{"content 0", "content 1", "content 3",
                                                            "content 2", "content 4"}));

    // Far more versions than are kept: only this file's oldest go.
    for (int i = 0; i < 20; ++i) {
        test::WriteFileBytes(file.string(), "more " + std::to_string(i));
        ASSERT_TRUE(KeepVersion(file, nullptr, t0 + std::chrono::hours(48)).result);
    }
    EXPECT_EQ(ListVersions(file).size(), kVersionsKept);
    for (const auto& name : strangers)
        EXPECT_EQ(Text(folder / name), "stranger") << name;

    // Nothing to keep: no file, or a file that already holds what is about to be written.
    const fs::path missing = dir.path() / "missing.lang";
    EXPECT_TRUE(KeepVersion(missing).result);
    EXPECT_TRUE(KeepVersion(missing).keptAs.empty());
    const std::string now = Text(file);
    const byteArray same(now.begin(), now.end());
    EXPECT_TRUE(KeepVersion(file, &same).keptAs.empty());
}

TEST(FileVersions, ARestoreKeepsTheFileInAdditionAndNeverTwice) {
    test::TempDir dir;
    const fs::path file = dir.path() / "words.lang";
    const Clock::time_point t0 = Clock::now();
    for (std::size_t i = 0; i < kVersionsKept; ++i) {
        test::WriteFileBytes(file.string(), "saved " + std::to_string(i));
        ASSERT_TRUE(KeepVersion(file, nullptr, t0).result);
    }
    test::WriteFileBytes(file.string(), "current");
    const byteArray oldest = ReadWholeFile(ListVersions(file).front().path);
    const TKeptVersion kept = KeepVersionBeforeRestore(file, oldest, t0);
    ASSERT_TRUE(kept.result) << kept.result.reason;
    EXPECT_FALSE(kept.earlier);
    ASSERT_EQ(ListVersions(file).size(), kVersionsKept + 1);
    EXPECT_EQ(Text(ListVersions(file).front().path), "saved 0");
    EXPECT_EQ(Text(kept.keptAs), "current");

    // Back again: the file it replaces is that oldest version, which is named, not copied.
    ASSERT_TRUE(WriteWholeFile(file, oldest, true));
    const byteArray current = ReadWholeFile(kept.keptAs);
    const TKeptVersion back = KeepVersionBeforeRestore(file, current, t0);
    EXPECT_TRUE(back.earlier);
    EXPECT_EQ(back.keptAs, ListVersions(file).front().path);
    EXPECT_EQ(ListVersions(file).size(), kVersionsKept + 1);
    // The file holds what is restored already: nothing to keep.
    EXPECT_TRUE(KeepVersionBeforeRestore(file, oldest, t0).keptAs.empty());

    // A save trims to the newest ten.
    test::WriteFileBytes(file.string(), "saved again");
    ASSERT_TRUE(KeepVersion(file, nullptr, t0).result);
    EXPECT_EQ(ListVersions(file).size(), kVersionsKept);
}

#ifndef _WIN32
TEST(FileVersions, ALinkKeepsTheVersionsOfTheFileItNames) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "real");
    const fs::path target = dir.path() / "real" / "words.lang";
    test::WriteFileBytes(target.string(), "old");
    const fs::path link = dir.path() / "link.lang";
    fs::create_symlink(target, link);
    const TKeptVersion version = KeepVersion(link);
    ASSERT_TRUE(version.result);
    EXPECT_EQ(version.keptAs.parent_path(), dir.path() / "real" / ".versions");
    EXPECT_EQ(ListVersions(link).size(), 1u);
    EXPECT_EQ(ListVersions(target).size(), 1u);
}

TEST(FileVersions, AReadOnlyFolderOfVersionsDoesNotStopTheSave) {
    test::TempDir dir;
    const fs::path file = dir.path() / "words.lang";
    TLangFHandler lang = test::GeneratedLangFile({{1, 2}});
    ASSERT_TRUE(lang.Save(file));
    const fs::path folder = dir.path() / ".versions";
    fs::create_directory(folder);
    test::RunWithoutPrivileges(dir.path(), folder, [&] {
        lang.LessonAt(1)->PairAt(0)->text1 = "changed";
        const bool saved = static_cast<bool>(lang.Save(file));
        const auto fault = lang.TakeVersionFault();
        TLangFHandler back;
        return saved && fault && fault->folder == folder &&
               fault->why.reason == "Permission denied" && back.Load(file) &&
               back.LessonAt(1)->PairAt(0)->text1 == "changed" && ListVersions(file).empty();
    });

    // A file whose load skipped lines is not replaced without its copy.
    const byteArray skipping =
        test::CodedFile({"[General]", "a@b", "[1]", "0=one@eins#*", "-1=lost@verloren#"});
    ASSERT_TRUE(WriteWholeFile(file, skipping, true));
    test::RunWithoutPrivileges(dir.path(), folder, [&] {
        TLangFHandler partial;
        if (!partial.Load(file) || partial.SkippedLines() != 1)
            return false;
        const TFileResult saved = partial.Save(file);
        return !saved && saved.reason == "Permission denied" && ReadWholeFile(file) == skipping;
    });
}
#endif

} // namespace
} // namespace lexaro
