// lexaro-textdb: reading the text sources, the stored form it writes, and the tool itself.

#include "TextDbBuild.h"

#include "app/AppLangHandl.h"
#include "data/CodeDecode.h"
#include "data/FileUtil.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef LEXARO_TEXTDB_TOOL
#error "LEXARO_TEXTDB_TOOL must name the lexaro-textdb program"
#endif

namespace lexaro {
namespace {

const std::vector<std::string> kReserved{"[##]", "[EN]", "[DE]"};

// Reads a source of three texts (0..2) named src.txt.
std::vector<std::string> Errors(std::string_view content,
                                std::vector<std::string>* texts = nullptr) {
    std::vector<std::string> out;
    std::vector<std::string> read;
    ReadTextSource(content, "src.txt", 3, kReserved, read, out);
    if (texts != nullptr)
        *texts = read;
    return out;
}

TEST(TextDbSource, CommentsBlankLinesAndLineEndsAreAccepted) {
    std::vector<std::string> texts;
    const auto errors = Errors("\xEF\xBB\xBF# a comment\r\n"
                               "\r\n"
                               "  # indented comment\n"
                               "   \n"
                               "0= padded \r\n"
                               "1=a=b\n"
                               "2=\xC3\x9C"
                               "ber \xE2\x82\xAC",
                               &texts);
    EXPECT_TRUE(errors.empty()) << errors.front();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], " padded ");
    EXPECT_EQ(texts[1], "a=b");
    EXPECT_EQ(texts[2], "\xDC"
                        "ber \x80");
}

TEST(TextDbSource, FaultsNameFileAndLine) {
    const std::string ok = "0=a\n1=b\n2=c\n";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"0=a\nfoo\n1=b\n2=c\n", "src.txt:2: expected a line of the form number=text"},
        {"0=a\n=b\n1=b\n2=c\n", "src.txt:2: expected a line of the form number=text"},
        {"0=a\n-1=b\n1=b\n2=c\n", "src.txt:2: expected a line of the form number=text"},
        {"0=a\n 1=b\n2=c\n", "src.txt:2: expected a line of the form number=text"},
        {ok + "3=d\n", "src.txt:4: text number 3 is outside 0..2"},
        {ok + "99999999999=d\n", "src.txt:4: text number 99999999999 is outside 0..2"},
        {ok + "1=again\n", "src.txt:4: text 1 is defined twice (first on line 2)"},
        {"0=a\n1=\n2=c\n", "src.txt:2: text 1 is empty"},
        {"0=a\n1=\xC4\x80\n2=c\n", "src.txt:2: text 1 is not Windows-1252"},
        {"0=a\n1=ab\xFF\n2=c\n", "src.txt:2: text 1 is not Windows-1252"},
        {"0=a\n1=a\tb\n2=c\n", "src.txt:2: text 1 contains a control character"},
        {"0=a\n1=a\xC2\x81\n2=c\n", "src.txt:2: text 1 contains a control character"},
        {"0=a\n1=see [##]\n2=c\n", "src.txt:2: text 1 contains \"[##]\""},
        {"0=a\n1=b\n2=x[DE]\n", "src.txt:3: text 2 contains \"[DE]\""},
        {"0=a\n2=c\n", "src.txt:2: text 1 is missing"},
        {"", "src.txt:1: text 0 is missing"},
    };
    EXPECT_TRUE(Errors(ok).empty());
    for (const auto& [source, expected] : cases) {
        const auto errors = Errors(source);
        ASSERT_FALSE(errors.empty()) << source;
        EXPECT_EQ(errors.front().rfind(expected, 0), 0u) << errors.front();
    }
}

TEST(TextDbSource, EveryFaultIsReported) {
    const auto errors = Errors("0=a\nbad\n0=again\n");
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], "src.txt:2: expected a line of the form number=text");
    EXPECT_EQ(errors[1], "src.txt:3: text 0 is defined twice (first on line 1)");
    EXPECT_EQ(errors[2].rfind("src.txt:3: text 1 is missing", 0), 0u);
    EXPECT_EQ(errors[3].rfind("src.txt:3: text 2 is missing", 0), 0u);
}

TEST(TextDbStoredForm, SectionsInTheExactStoredLayout) {
    const byteArray stored = TextDbFromSections({{"EN", {"Hi", "x"}}, {"DE", {"Hallo", "y"}}});
    byteArray plain = ScrambleBytes(stored);
    const std::string expected =
        "[EN]\r\n0=Hi\r\n1=x\r\n[##]\r\n[DE]\r\n0=Hallo\r\n1=y\r\n[##]\r\n";
    ASSERT_EQ(plain.size(), expected.size() + 3);
    EXPECT_EQ(plain.front(), kCodedMarker);
    EXPECT_EQ(plain.back(), 0) << "one terminating zero byte";
    EXPECT_EQ(std::string(plain.begin() + 1, plain.end() - 2), expected);
    plain.pop_back();
    EXPECT_TRUE(Checksum(plain, false));

    TAppLangHandler texts;
    ASSERT_TRUE(texts.OpenTextDbBytes(stored));
    ASSERT_TRUE(texts.SelectLanguage("DE"));
    EXPECT_EQ(texts.GetText(0), "Hallo");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    EXPECT_EQ(texts.GetText(1), "x");
}

// ---- The program ----

class TextDbTool : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& content) {
        std::ofstream(dir_.file(name), std::ios::binary) << content;
    }
    // Runs the tool; gives its exit status and what it wrote to stderr.
    int Run(const std::string& args, std::string& err) {
        const std::string errFile = dir_.file("stderr.txt");
        const std::string command =
            "\"" + std::string(LEXARO_TEXTDB_TOOL) + "\" " + args + " 2>\"" + errFile + "\"";
        const int status = std::system(command.c_str());
        std::stringstream s;
        s << std::ifstream(errFile).rdbuf();
        err = s.str();
        return status;
    }
    static std::string Source(const std::string& prefix) {
        std::string out;
        for (std::int32_t n = 0; n < kTextCount; ++n)
            out += std::to_string(n) + "=" + prefix + " " + std::to_string(n) + "\n";
        return out;
    }
    test::TempDir dir_;
};

TEST_F(TextDbTool, WritesADatabaseTheProgramReads) {
    Write("en.txt", Source("text"));
    Write("de.txt", "# deutsch\n" + Source("Text \xC3\xA4"));
    std::string err;
    const std::string out = dir_.file("Text.Db");
    ASSERT_EQ(
        Run("\"" + out + "\" EN=\"" + dir_.file("en.txt") + "\" DE=\"" + dir_.file("de.txt") + "\"",
            err),
        0)
        << err;
    TAppLangHandler texts;
    ASSERT_TRUE(texts.OpenTextDb(out, "Lexaro", nullptr));
    ASSERT_TRUE(texts.SelectLanguage("DE"));
    EXPECT_EQ(texts.GetText(137), "Text \xE4 137");
    ASSERT_TRUE(texts.SelectLanguage("EN"));
    EXPECT_EQ(texts.GetText(0), "text 0");
}

TEST_F(TextDbTool, FailsWithFileAndLineAndLeavesNoDatabase) {
    Write("en.txt", Source("text"));
    Write("de.txt", "0=a\n0=b\n");
    const std::string out = dir_.file("Text.Db");
    Write("Text.Db", "stale");
    std::string err;
    const std::string de = dir_.file("de.txt");
    EXPECT_NE(Run("\"" + out + "\" EN=\"" + dir_.file("en.txt") + "\" DE=\"" + de + "\"", err), 0);
    EXPECT_NE(err.find(de + ":2: text 0 is defined twice (first on line 1)"), std::string::npos)
        << err;
    EXPECT_NE(err.find(de + ":2: text 137 is missing"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(out)) << "a stale database must not outlive the fault";

    EXPECT_NE(Run("\"" + out + "\" EN=\"" + dir_.file("none.txt") + "\"", err), 0);
    EXPECT_NE(err.find("none.txt: the file does not exist"), std::string::npos) << err;
    EXPECT_NE(Run("\"" + out + "\"", err), 0) << "no source";
}

} // namespace
} // namespace lexaro
