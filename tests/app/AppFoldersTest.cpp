#include "app/AppFolders.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace lexaro {
namespace {

namespace fs = std::filesystem;

TEnvironment Env(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    test::WriteFileBytes(file.string(), text);
}

// Text.Db beside the program makes it portable, with or without Lexaro.Ini (which the learner
// deletes to reset the settings), and so does Lexaro.Ini alone; otherwise the XDG folders (or
// their defaults below HOME) hold the learner's files and ../share/lexaro the program's own.
TEST(AppFolders, TheFormAndTheFoldersFollowFromWhereTheProgramIs) {
    test::TempDir dir;
    const fs::path bin = dir.path() / "root" / "usr" / "bin";
    fs::create_directories(bin);
    const fs::path share = dir.path() / "root" / "usr" / "share" / "lexaro";

    std::string why;
    for (const auto& beside : std::vector<std::vector<const char*>>{
             {"Text.Db", "Lexaro.Ini"}, {"Text.Db"}, {"Lexaro.Ini"}}) {
        const fs::path bundle =
            dir.path() / ("Lexaro-" + std::to_string(beside.size()) + beside.front());
        for (const char* name : beside)
            Write(bundle / name, "x");
        Write(share / "Text.Db", "texts");
        const auto portable = FindAppFolders(bundle, Env({{"HOME", "/home/anna"}}), &why);
        ASSERT_TRUE(portable);
        EXPECT_EQ(portable->form, TAppForm::Portable) << bundle;
        EXPECT_EQ(portable->settings, bundle);
        EXPECT_EQ(portable->data, bundle);
        EXPECT_EQ(portable->resources, bundle);
        EXPECT_EQ(portable->presets, bundle / "presets");
    }

    const struct {
        std::map<std::string, std::string> env;
        const char* settings;
        const char* data;
    } cases[] = {
        {{{"HOME", "/home/anna"}}, "/home/anna/.config/lexaro", "/home/anna/.local/share/lexaro"},
        {{{"HOME", "/home/anna"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/d"}},
         "/cfg/lexaro",
         "/d/lexaro"},
        // Relative or empty XDG values are ignored, as the XDG rules say.
        {{{"HOME", "/home/anna"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_DATA_HOME", ""}},
         "/home/anna/.config/lexaro",
         "/home/anna/.local/share/lexaro"},
        {{{"XDG_CONFIG_HOME", "/cfg"}}, nullptr, nullptr},
        {{{"HOME", "relative"}}, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto installed = FindAppFolders(bin, Env(c.env), &why);
        if (c.settings == nullptr) {
            EXPECT_FALSE(installed);
            EXPECT_NE(why.find("HOME"), std::string::npos);
            continue;
        }
        ASSERT_TRUE(installed);
        EXPECT_EQ(installed->form, TAppForm::Installed);
        EXPECT_EQ(installed->settings, fs::path(c.settings));
        EXPECT_EQ(installed->data, fs::path(c.data));
        EXPECT_EQ(installed->resources, share.lexically_normal());
        EXPECT_EQ(installed->presets, share.lexically_normal());
    }
}

class LearnerFoldersTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TAppFolders folders;

    void SetUp() override {
        folders.form = TAppForm::Installed;
        folders.resources = dir.path() / "share" / "lexaro";
        folders.presets = folders.resources;
        folders.settings = dir.path() / "home" / ".config" / "lexaro";
        folders.data = dir.path() / "home" / ".local" / "share" / "lexaro";
        Write(folders.resources / "Lexaro.Ini", "preset");
        Write(folders.resources / "Lexaro.Reg", "voices");
        Write(folders.resources / "LangFiles" / "English-Deutsch.lang", "starter");
        Write(folders.resources / "LangFiles" / "English-Deutsch.Bmp", "picture");
        Write(folders.resources / "Text.Db", "texts");
    }
    std::string Read(const fs::path& file) { return test::ReadFileBytes(file.string()); }
};

// The first start copies the presets; later starts never copy over the learner's files, and
// a starter file the learner deleted stays deleted. The read-only data (Text.Db, the registry
// store with the voices and sample sentences) is read where it is installed, so that an
// upgrade's arrives: never copied.
TEST_F(LearnerFoldersTest, TheFirstStartCopiesThePresetsAndNothingIsEverCopiedOver) {
    ASSERT_FALSE(PrepareLearnerFolders(folders));
    EXPECT_EQ(Read(folders.settings / "Lexaro.Ini"), "preset");
    EXPECT_EQ(Read(folders.data / "LangFiles" / "English-Deutsch.lang"), "starter");
    EXPECT_EQ(Read(folders.data / "LangFiles" / "English-Deutsch.Bmp"), "picture");
    for (const char* readOnly : {"Text.Db", "Lexaro.Reg"})
        EXPECT_FALSE(fs::exists(folders.data / readOnly)) << readOnly;

    Write(folders.settings / "Lexaro.Ini", "the learner's");
    fs::remove(folders.data / "LangFiles" / "English-Deutsch.lang");
    ASSERT_FALSE(PrepareLearnerFolders(folders));
    EXPECT_EQ(Read(folders.settings / "Lexaro.Ini"), "the learner's");
    EXPECT_FALSE(fs::exists(folders.data / "LangFiles" / "English-Deutsch.lang"));

    // Settings deleted to reset them come back as the preset; the learner's files stay.
    Write(folders.data / "LangFiles" / "English-Deutsch.Bmp", "the learner's picture");
    fs::remove(folders.settings / "Lexaro.Ini");
    ASSERT_FALSE(PrepareLearnerFolders(folders));
    EXPECT_EQ(Read(folders.settings / "Lexaro.Ini"), "preset");
    EXPECT_EQ(Read(folders.data / "LangFiles" / "English-Deutsch.lang"), "starter");
    EXPECT_EQ(Read(folders.data / "LangFiles" / "English-Deutsch.Bmp"), "the learner's picture");

    // The portable form makes no folder of its own.
    const TAppFolders portable = TAppFolders::Portable(dir.path() / "nowhere");
    EXPECT_FALSE(PrepareLearnerFolders(portable));
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
}

// A bundled folder whose Lexaro.Ini the learner deleted stays portable and gets it anew from
// its presets/, with a starter language file where it is missing; the settings in the
// learner's home are never looked at. Without a preset nothing is made (the settings object
// then says that Lexaro.Ini is missing).
TEST_F(LearnerFoldersTest, ABundledFolderWithoutSettingsGetsThePresetAnew) {
    const fs::path bundle = dir.path() / "Lexaro";
    Write(bundle / "Text.Db", "texts");
    Write(bundle / "presets" / "Lexaro.Ini", "preset");
    Write(bundle / "presets" / "LangFiles" / "English-Deutsch.lang", "starter");
    Write(bundle / "presets" / "LangFiles" / "English-Deutsch.Bmp", "picture");
    Write(bundle / "LangFiles" / "English-Deutsch.lang", "the learner's words");
    const fs::path home = dir.path() / "anna";
    Write(home / ".config" / "lexaro" / "Lexaro.Ini", "the installed program's settings");

    std::string why;
    const auto found = FindAppFolders(bundle, Env({{"HOME", home.string()}}), &why);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->form, TAppForm::Portable);
    ASSERT_FALSE(PrepareLearnerFolders(*found));
    EXPECT_EQ(Read(bundle / "Lexaro.Ini"), "preset");
    EXPECT_EQ(Read(bundle / "LangFiles" / "English-Deutsch.lang"), "the learner's words");
    EXPECT_EQ(Read(bundle / "LangFiles" / "English-Deutsch.Bmp"), "picture");
    EXPECT_FALSE(fs::exists(home / ".local"));

    Write(bundle / "Lexaro.Ini", "the learner's settings");
    ASSERT_FALSE(PrepareLearnerFolders(*found));
    EXPECT_EQ(Read(bundle / "Lexaro.Ini"), "the learner's settings");

    fs::remove(bundle / "Lexaro.Ini");
    fs::remove_all(bundle / "presets");
    ASSERT_FALSE(PrepareLearnerFolders(*found));
    EXPECT_FALSE(fs::exists(bundle / "Lexaro.Ini"));
}

// A folder that cannot be made is named with the system's reason, and nothing made on the
// way is left behind.
TEST_F(LearnerFoldersTest, AFolderThatCannotBeMadeIsNamedAndNothingHalfMadeStays) {
    Write(dir.path() / "home" / ".local", "a file where a folder should be");
    const auto fault = PrepareLearnerFolders(folders);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->folder, dir.path() / "home" / ".local" / "share");
    EXPECT_FALSE(fault->reason.empty());
    EXPECT_FALSE(fs::exists(dir.path() / "home" / ".config")) << "made before the fault";
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "home" / ".local"));
}

} // namespace
} // namespace lexaro
