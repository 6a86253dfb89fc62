#include "speech/RegistryStore.h"
#include "speech/RegistryUtil.h"

#include "data/FileUtil.h"
#include "data/StrUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lexaro {
namespace {

constexpr TRegRoot HKLM = TRegRoot::LocalMachine;

std::vector<std::string> Names(const TStrVector& v) {
    return std::vector<std::string>(v.begin(), v.end());
}

TEST(RegistryStore, SyntaxOfTheStoreFile) {
    const auto store = TRegistryStore::Parse(
        "; comment\r\n"
        "orphan=before any key\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Voice]\r\n"
        "  # another comment\r\n"
        "409=The data keeps = signs and  inner  blanks \r\n"
        " Padded Name =x\r\n"
        "@=the default value\r\n"
        "Flag=dword:00000001\r\n"
        "Blob=hex:01,02\r\n"
        "Tagged=sz:dword:looks typed but is text\r\n"
        "this line has no equals sign\r\n"
        "[hkey_local_machine\\SOFTWARE\\voice\\]\n" // the same key again: merged
        "409=replaced in place\n"
        "Late=added\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Broken\n"
        "lost=with its damaged header\n");

    EXPECT_EQ(store.KeyCount(), 1u);
    TStrVector names;
    ASSERT_TRUE(GetRegValueNames(names, store, HKLM, "Software\\Voice"));
    EXPECT_EQ(Names(names), (std::vector<std::string>{"409", "Padded Name", "", "Flag", "Blob",
                                                      "Tagged", "Late"}));
    EXPECT_EQ(ReadRegString(store, HKLM, "software\\VOICE", "409"), "replaced in place");
    EXPECT_EQ(ReadRegString(store, HKLM, "Software\\Voice", "padded name"), "x");
    EXPECT_EQ(ReadRegString(store, HKLM, "Software\\Voice", ""), "the default value");
    EXPECT_EQ(ReadRegString(store, HKLM, "Software\\Voice", "Tagged"),
              "dword:looks typed but is text");
    EXPECT_EQ(ReadRegString(store, HKLM, "Software\\Voice", "absent"), "");
    EXPECT_EQ(ReadRegString(store, HKLM, "Software\\Absent", "409"), "");
    EXPECT_EQ(ReadRegString(store, TRegRoot::CurrentUser, "Software\\Voice", "409"), "");
    for (const char* typed : {"Flag", "Blob"}) {
        try {
            ReadRegString(store, HKLM, "Software\\Voice", typed);
            FAIL() << typed;
        } catch (const TRegistryError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Invalid data type for '") + typed + "'");
        }
    }
    EXPECT_FALSE(store.KeyExists(HKLM, "Software\\Broken"));
    EXPECT_FALSE(GetRegValueNames(names, store, HKLM, "Software\\Broken"));
    EXPECT_TRUE(names.Count() == 0);
}

TEST(RegistryStore, SubkeysExtendTheKeyByOneStep) {
    const auto store = TRegistryStore::Parse("[HKEY_LOCAL_MACHINE\\Base\\B]\nx=1\n"
                                             "[HKEY_LOCAL_MACHINE\\Base\\A]\nLanguage=Deutsch\n"
                                             "Eva={m}\n"
                                             "[HKEY_LOCAL_MACHINE\\Base\\A\\Deep]\ny=2\n"
                                             "[HKEY_LOCAL_MACHINE\\Basement\\C]\nz=3\n"
                                             "[HKEY_CURRENT_USER\\Base\\D]\nw=4\n");
    TStrVector keys;
    ASSERT_TRUE(GetRegKeyNames(keys, store, HKLM, "Base"));
    EXPECT_EQ(Names(keys), (std::vector<std::string>{"B", "A"})); // store order
    EXPECT_FALSE(GetRegKeyNames(keys, store, HKLM, "Nothing"));

    TVector<TRegEntryStr> entries;
    CollectRegEntries(entries, store, HKLM, "Base");
    ASSERT_EQ(entries.Count(), 3u);
    EXPECT_EQ(entries.Get(0)->KeyPath(), "Base\\B");
    EXPECT_EQ(entries.Get(1)->ValueName(), "Language");
    EXPECT_EQ(entries.Get(2)->ValueData(), "{m}");
}

TEST(RegistryStore, MissingOversizedOrBinaryFilesGiveAnEmptyOrPartialStore) {
    const auto dir = std::filesystem::temp_directory_path() / "lexaro_registry_test";
    std::filesystem::create_directories(dir);
    EXPECT_EQ(TRegistryStore::Load((dir / "absent.Reg").string()).KeyCount(), 0u);

    const auto big = (dir / "big.Reg").string();
    {
        std::ofstream out(big, std::ios::binary);
        out << "[HKEY_LOCAL_MACHINE\\Software\\Voice]\n409=x\n";
        out << std::string(TRegistryStore::MaxFileSize, ';');
    }
    EXPECT_EQ(TRegistryStore::Load(big).KeyCount(), 0u);
    std::filesystem::remove_all(dir);

    const std::string binary("[HKEY_LOCAL_MACHINE\\K]\n\0a=\xFF\x00\n\xFE\xFF[\n", 30);
    const auto store = TRegistryStore::Parse(binary);
    EXPECT_TRUE(store.KeyExists(HKLM, "K"));
}

TEST(RegistryStore, ShippedStoreHasASampleSentencePerLanguage) {
    const char* data = std::getenv("LEXARO_TEST_DATA");
    ASSERT_NE(data, nullptr);
    const auto path = JoinPath(JoinPath(JoinPath(data, ".."), ".."), "resources");
    const auto store = TRegistryStore::Load(JoinPath(JoinPath(path, "registry"), "Lexaro.Reg"));
    // English (US, UK), German, French, Spanish, Italian, Dutch, Portuguese (Brazil, Portugal).
    for (const char* key : {"409", "809", "407", "40C", "C0A", "410", "413", "416", "816"}) {
        const auto text = ReadRegString(store, HKLM, "Software\\Voice", key);
        EXPECT_GT(text.size(), 10u) << key;
        EXPECT_EQ(text.find_first_of("[]()"), std::string::npos) << key; // spoken whole
    }
    EXPECT_NE(ReadRegString(store, HKLM, "Software\\Voice", "407").find('\xFC'),
              std::string::npos); // Windows-1252 bytes: an umlaut
}

} // namespace
} // namespace lexaro
