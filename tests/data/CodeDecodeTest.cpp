#include "data/CodeDecode.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

TStrVector Lines(std::initializer_list<const char*> items) {
    TStrVector v;
    for (const char* s : items)
        v.Add(s);
    return v;
}

TEST(CodeDecode, WorkedExample) {
    const byteArray stored = EncodeLines(Lines({"abc"}));
    EXPECT_EQ(stored, (byteArray{0xCD, 0x63, 0x61, 0x67, 0x08, 0x0C, 0xAC}));
    TStrVector back;
    ASSERT_TRUE(DecodeLines(stored, back));
    ASSERT_EQ(back.Count(), 1u) << "no empty line after the final CR LF";
    EXPECT_EQ(back.Get(0), "abc");

    EXPECT_EQ(EncodeLines(TStrVector{}), (byteArray{0xCD, 0xCE}));
    TStrVector none;
    EXPECT_TRUE(DecodeLines(byteArray{0xCD, 0xCE}, none));
    EXPECT_EQ(none.Count(), 0u);
}

TEST(CodeDecode, RefusesDamagedData) {
    TStrVector out;
    out.Add("keep");
    EXPECT_FALSE(DecodeLines(byteArray{}, out));
    EXPECT_FALSE(DecodeLines(byteArray{0xCD}, out));
    EXPECT_FALSE(DecodeLines(byteArray{0x00, 0xCE}, out)) << "wrong marker";
    byteArray stored = EncodeLines(Lines({"one", "two"}));
    for (std::size_t i = 1; i < stored.size(); ++i) {
        byteArray damaged = stored;
        damaged[i] ^= 0x10;
        EXPECT_FALSE(DecodeLines(damaged, out)) << "byte " << i;
    }
    EXPECT_EQ(out.Count(), 1u) << "the list is unchanged on failure";
}

TEST(CodeDecode, KeysRestartAfter254) {
    const byteArray zeros(300, 0);
    const byteArray keys = ScrambleBytes(zeros);
    EXPECT_EQ(keys[0], 1);
    EXPECT_EQ(keys[253], 254);
    EXPECT_EQ(keys[254], 1);
    EXPECT_EQ(ScrambleBytes(keys), zeros);
}

TEST(CodeDecode, LinesComeBackExactly) {
    const TStrVector lines = Lines({"", "a\"b", "\xE4\xF6\xFC\xDF", "last"});
    TStrVector back;
    ASSERT_TRUE(DecodeLines(EncodeLines(lines), back));
    ASSERT_EQ(back.Count(), 4u);
    for (std::uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(back.Get(i), lines.Get(i));

    TStrVector withZero;
    withZero.Add(std::string("ab\0cd", 5));
    TStrVector cut;
    ASSERT_TRUE(DecodeLines(EncodeLines(withZero), cut));
    EXPECT_EQ(cut.Get(0), "ab");
}

TEST(CodeDecode, DecodeBytesAndChecksum) {
    byteArray data = ScrambleBytes(byteArray{0xCC, 'x', 0xCC ^ 'x'});
    ASSERT_TRUE(DecodeBytes(data, true));
    EXPECT_EQ(data, byteArray{'x'});

    byteArray bad{0xCC, 'x', 0};
    EXPECT_FALSE(DecodeBytes(bad, false));
    EXPECT_EQ(bad, (byteArray{0xCC, 'x', 0})) << "left as it was";
    EXPECT_TRUE(Checksum(bad, true));
    EXPECT_EQ(bad[2], 0xCC ^ 'x');
}

} // namespace
} // namespace lexaro
