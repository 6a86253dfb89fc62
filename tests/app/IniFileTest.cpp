#include "app/IniFileHandler.h"

#include "support/TestFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

tIniFileHandler FromText(std::string_view text) {
    tIniFileHandler ini;
    ini.LoadText(text);
    return ini;
}

TEST(IniFile, NamesMatchWithoutRegardToCase) {
    const auto ini = FromText("[exercise]\r\nmaxwords=12\r\n[Other]\r\nKey = spaced value \r\n");
    EXPECT_EQ(ini.ReadInteger("Exercise", "MaxWords", 0), 12);
    EXPECT_EQ(ini.ReadInteger("EXERCISE", "MAXWORDS", 0), 12);
    EXPECT_EQ(ini.ReadString("other", "key", "x"), "spaced value");
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_TRUE(ini.ValueExists("Other", "KEY"));
    EXPECT_FALSE(ini.ValueExists("Other", "Missing"));
    EXPECT_EQ(ini.ReadString("Missing", "Key", "def"), "def");
}

TEST(IniFile, KeysBeforeTheFirstSectionAndCommentsAreNoKeys) {
    const auto ini = FromText("Loose=1\r\n[S]\r\n;A=2\r\nno equals sign\r\n=3\r\nA=4\r\n");
    EXPECT_FALSE(ini.ValueExists("", "Loose"));
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 4);
    EXPECT_EQ(ini.KeyCount("S"), 1u);
}

TEST(IniFile, DuplicateSectionsAndKeysReadTheFirst) {
    auto ini = FromText("[S]\nA=1\nA=2\n[s]\nA=3\nB=4\n");
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1);
    EXPECT_FALSE(ini.ValueExists("S", "B"));
    ini.WriteInteger("S", "A", 9);
    EXPECT_EQ(ini.Text(), "[S]\nA=9\nA=2\n[s]\nA=3\nB=4\n");
    // Erasing removes every section of the name.
    ini.EraseSection("S");
    EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, ReplacesInPlaceAndKeepsEverythingElse) {
    const std::string before = "; comment line\r\n"
                               "[Unknown]\r\n"
                               "weird key = x=y\r\n"
                               "\r\n"
                               "[Font]\r\n"
                               "  size = 14\r\n"
                               "Color=2\r\n";
    auto ini = FromText(before);
    ini.WriteInteger("FONT", "Size", 20);
    EXPECT_EQ(ini.Text(), "; comment line\r\n"
                          "[Unknown]\r\n"
                          "weird key = x=y\r\n"
                          "\r\n"
                          "[Font]\r\n"
                          "  size = 20\r\n"
                          "Color=2\r\n");
    EXPECT_EQ(ini.ReadString("Unknown", "weird key", ""), "x=y");
    EXPECT_TRUE(ini.Dirty());
}

TEST(IniFile, NewKeysGoToTheEndOfTheirSectionBeforeBlankLines) {
    auto ini = FromText("[A]\r\nx=1\r\n\r\n\r\n[B]\r\ny=2\r\n");
    ini.WriteString("a", "Z", "3");
    ini.WriteString("A", "W", "4");
    EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\nZ=3\r\nW=4\r\n\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(IniFile, NewSectionsAreAppendedInTheOrderWritten) {
    auto ini = FromText("");
    ini.WriteString("First", "a", "1");
    ini.WriteString("Second", "b", "2");
    ini.WriteString("First", "c", "3");
    EXPECT_EQ(ini.Text(), "[First]\r\na=1\r\nc=3\r\n[Second]\r\nb=2\r\n");
}

TEST(IniFile, NewLinesFollowTheFileAndALastLineGetsItsEnd) {
    auto lf = FromText("[A]\nx=1");
    lf.WriteString("A", "y", "2");
    lf.WriteString("B", "z", "3");
    EXPECT_EQ(lf.Text(), "[A]\nx=1\ny=2\n[B]\nz=3\n");

    auto crlf = FromText("[A]\r\nx=1");
    crlf.WriteString("B", "z", "3");
    EXPECT_EQ(crlf.Text(), "[A]\r\nx=1\r\n[B]\r\nz=3\r\n");
}

TEST(IniFile, UntouchedTextComesBackByteForByte) {
    const std::string text = "\xEF\xBB\xBF; odd\r\n[A]\nk=\xE4\xF6\xFC\x80\rmixed\r\n"
                             "\t[ B ]\t\r\nempty=\r\n\r\n";
    auto ini = FromText(text);
    EXPECT_EQ(ini.Text(), text);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "\xE4\xF6\xFC\x80");
    EXPECT_TRUE(ini.ValueExists("b", "EMPTY"));
    // Writing the value it already holds changes nothing.
    ini.WriteString("A", "k", "\xE4\xF6\xFC\x80");
    EXPECT_FALSE(ini.Dirty());
    EXPECT_EQ(ini.Text(), text);
}

TEST(IniFile, EraseSectionRemovesItsKeysAndLines) {
    auto ini = FromText("[A]\r\nx=1\r\n[Words]\r\n0=1-2-0\r\n1=1-3-0\r\n[C]\r\nz=3\r\n");
    ini.EraseSection("words");
    EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\n[C]\r\nz=3\r\n");
    EXPECT_FALSE(ini.SectionExists("Words"));
    // Written again in the same session it comes back where it stood, so that a file that is
    // erased and rewritten at every close keeps its order.
    ini.WriteString("Words", "0", "5-5-5");
    ini.WriteString("New", "k", "v");
    EXPECT_EQ(ini.Text(), "[A]\r\nx=1\r\n[Words]\r\n0=5-5-5\r\n[C]\r\nz=3\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadString("C", "z", ""), "3");
}

TEST(IniFile, ValuesNeverCarryLineBreaks) {
    auto ini = FromText("[A]\r\nx=1\r\n");
    ini.WriteString("A", "x", "two\r\nlines\nand\rmore");
    ini.WriteString("A", "y", "\n[Injected]\r\nk=v");
    EXPECT_EQ(ini.Text(), "[A]\r\nx=two  lines and more\r\ny= [Injected]  k=v\r\n");
    EXPECT_FALSE(ini.SectionExists("Injected"));
    // Blanks around a value are not kept by the file.
    EXPECT_EQ(ini.ReadString("A", "y", ""), "[Injected]  k=v");
}

TEST(IniFile, StringsAreReadUpTo2047Characters) {
    auto ini = FromText("");
    ini.WriteString("A", "long", std::string(3000, 'x'));
    EXPECT_EQ(ini.ReadString("A", "long", "").size(), 2047u);
    EXPECT_NE(ini.Text().find(std::string(3000, 'x')), std::string::npos);
}

TEST(IniFile, IntegerForms) {
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"12", 12},
        {"-7", -7},
        {"0x20", 32},
        {"0X1f", 31},
        {" 42 ", 42},
        {"abc", 300},
        {"12abc", 300},
        {"", 300},
        {"0x", 300},
        {"0xG1", 300},
        {"2147483647", 2147483647},
        {"2147483648", 300},
        {"0x7FFFFFFF", 2147483647},
        {"0x80000000", 300},
        {"1.5", 300},
        {"--1", 300},
    };
    for (const auto& c : cases) {
        const auto ini = FromText(std::string("[E]\r\nMaxWords=") + c.text + "\r\n");
        EXPECT_EQ(ini.ReadInteger("E", "MaxWords", 300), c.expected) << c.text;
    }
    tIniFileHandler ini;
    ini.WriteInteger("E", "n", -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("E", "n", 0), -2147483647 - 1);
}

TEST(IniFile, BooleanForms) {
    const struct {
        const char* text;
        bool def;
        bool expected;
    } cases[] = {
        {"true", false, true},  {"TRUE", false, true},  {"True", false, true},
        {"false", true, false}, {"FaLsE", true, false}, {"1", false, false},
        {"1", true, true},      {"yes", false, false},  {"", true, true},
    };
    for (const auto& c : cases) {
        const auto ini = FromText(std::string("[G]\r\nFlag=") + c.text + "\r\n");
        EXPECT_EQ(ini.ReadBool("G", "Flag", c.def), c.expected) << c.text;
    }
    tIniFileHandler ini;
    ini.WriteBool("G", "a", true);
    ini.WriteBool("G", "b", false);
    EXPECT_EQ(ini.Text(), "[G]\r\na=True\r\nb=False\r\n");
}

TEST(IniFile, NumberedLists) {
    const auto ini = FromText("[Units]\r\n0=4\r\n1=x\r\n3=0x10\r\n03=9\r\nNbrUnits=5\r\n"
                              "[Words]\r\n0=a\r\n1=b\r\n2=\r\n3=d\r\nNbrWords=2\r\n");
    EXPECT_EQ(ini.ReadIntList("Units", "NbrUnits"), (intArray{4, -1, -1, 16, -1}));
    EXPECT_EQ(ini.ReadStringList("Words", "NbrWords"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ini.CountNumberedKeys("Words"), 2);
    EXPECT_EQ(ini.CountNumberedKeys("Missing"), 0);
    EXPECT_TRUE(ini.ReadIntList("Missing", "NbrUnits").empty());

    tIniFileHandler out;
    out.WriteIntList("U", {7, 8});
    out.WriteStringList("W", {"x", "y"});
    EXPECT_EQ(out.Text(), "[U]\r\n0=7\r\n1=8\r\n[W]\r\n0=x\r\n1=y\r\n");
}

TEST(IniFile, HostileCountsStayBounded) {
    const auto ini = FromText("[U]\r\n0=1\r\nNbrUnits=2147483647\r\n"
                              "[N]\r\nNbrUnits=-5\r\n0=1\r\n");
    const intArray big = ini.ReadIntList("U", "NbrUnits");
    ASSERT_FALSE(big.empty());
    EXPECT_LE(big.size(), 1'000'000u);
    EXPECT_EQ(big[0], 1);
    EXPECT_TRUE(ini.ReadIntList("N", "NbrUnits").empty());
}

TEST(IniFile, ReadsAFileAndFlushesOnlyChanges) {
    test::TempDir dir;
    const std::string path = dir.file("Lexaro.Ini");
    WriteFileBytes(path, "[A]\nx=1\n");
    tIniFileHandler ini(path);
    EXPECT_EQ(ini.FileName(), path);
    EXPECT_EQ(ini.ReadInteger("a", "X", 0), 1);
    ini.Flush();
    EXPECT_EQ(ReadFileBytes(path), "[A]\nx=1\n");
    ini.WriteInteger("A", "x", 2);
    ini.Flush();
    EXPECT_FALSE(ini.Dirty());
    EXPECT_EQ(ReadFileBytes(path), "[A]\nx=2\n");

    tIniFileHandler missing(dir.file("none.ini"));
    EXPECT_EQ(missing.Text(), "");
}

TEST(IniFile, AFailedFlushThrowsAndLeavesTheDiskAsItWas) {
    test::TempDir dir;
    // A folder where the file should be: the rename over it fails, even for root.
    const std::string path = dir.file("Lexaro.Ini");
    std::filesystem::create_directories(path);
    WriteFileBytes(dir.file("Lexaro.Ini/keep"), "kept");
    tIniFileHandler ini(path);
    ini.WriteString("A", "x", "1");
    try {
        ini.Flush();
        FAIL() << "no error";
    } catch (const TIniWriteError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write to " + path + ": it is not a regular file");
        EXPECT_EQ(e.failure().fault, FileFault::NotRegular);
    }
    EXPECT_TRUE(ini.Dirty());
    EXPECT_EQ(ReadFileBytes(dir.file("Lexaro.Ini/keep")), "kept");
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    tIniFileHandler noFolder(dir.file("missing/Lexaro.Ini"));
    noFolder.WriteString("A", "x", "1");
    EXPECT_THROW(noFolder.Flush(), TIniWriteError);
}

} // namespace
} // namespace lexaro
