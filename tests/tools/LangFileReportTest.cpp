// lexaro-lang's explained load: every kind of damage in words, and where a bad number stands.
#include "LangFileReport.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::CodedFile;

TEST(LoadLangBytes, ExplainsEveryKindOfDamage) {
    byteArray good = CodedFile({"[General]", "a@b", "[1]", "0=x@y#"});
    byteArray badChecksum = good;
    badChecksum[5] ^= 0x20;
    byteArray badMarker = good;
    badMarker[0] ^= 0x01;
    struct Case {
        byteArray stored;
        DecodeFault fault;
    };
    const Case cases[] = {{{}, DecodeFault::TooShort},
                          {{0xCD}, DecodeFault::TooShort},
                          {badMarker, DecodeFault::WrongMarker},
                          {badChecksum, DecodeFault::WrongChecksum},
                          {good, DecodeFault::None}};
    for (const auto& c : cases) {
        TLangFHandler model;
        TLangFileReport report;
        EXPECT_EQ(LoadLangBytes(c.stored, model, report), c.fault == DecodeFault::None);
        EXPECT_EQ(report.fault, c.fault);
        EXPECT_FALSE(DescribeFault(c.fault).empty());
    }
}

TEST(LoadLangBytes, FindsTheLineOfABadNumber) {
    struct Case {
        byteArray stored;
        std::int32_t line;
        std::string text;
    };
    const Case cases[] = {
        {CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "[z]", "0=q@r#"}), 5, "[z]"},
        {CodedFile({"[General]", "a@b", "[1]", "0=x@y#", "1a=x@y#"}), 5, "1a=x@y#"},
        // Lines before "[General]" are not read, so the bad header there is not the fault.
        {CodedFile({"[x]", "[General]", "a@b", "[2]", "=y#"}), 5, "=y#"},
    };
    for (const auto& c : cases) {
        TLangFHandler model;
        TLangFileReport report;
        EXPECT_FALSE(LoadLangBytes(c.stored, model, report));
        EXPECT_TRUE(report.convertFailed);
        EXPECT_EQ(report.badLine, c.line);
        EXPECT_EQ(report.badLineText, c.text);
        EXPECT_NE(report.convertMessage.find("is not a valid integer value"), std::string::npos);
    }
}

} // namespace
} // namespace lexaro
