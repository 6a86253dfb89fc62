#include "data/Vector.h"
#include "data/BoolVector.h"
#include "data/ByteVector.h"
#include "data/IntVector.h"
#include "data/StrVector.h"

#include <gtest/gtest.h>

namespace lexaro {
namespace {

struct Thing {
    int value = 0;
};

TEST(Vector, ReadingPastTheEndGivesTheEmptyValueAndChangesNothing) {
    TIntVector ints;
    TStrVector strs;
    TBoolVector bools;
    TVector<Thing> things;
    EXPECT_EQ(ints.Get(0), 0);
    EXPECT_EQ(ints.Get(-1), 0);
    EXPECT_EQ(strs.Get(5), "");
    EXPECT_FALSE(bools.Get(3));
    EXPECT_EQ(things.Get(0), nullptr);
    EXPECT_EQ(ints.Count(), 0u);
    EXPECT_EQ(ints.capacity(), 10u);
    ints.Add(7);
    EXPECT_EQ(ints.Get(1), 0);
    EXPECT_EQ(ints.Count(), 1u);
}

TEST(Vector, SetBeyondTheEndGrowsByTheIndexPlusTen) {
    TStrVector v;
    ASSERT_TRUE(v.Set(25, "x"));
    EXPECT_EQ(v.Count(), 26u);
    EXPECT_EQ(v.capacity(), 35u);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(v.Get(i), "");
    EXPECT_EQ(v.Get(25), "x");
    // Writing below the capacity keeps it.
    ASSERT_TRUE(v.Set(34, "y"));
    EXPECT_EQ(v.capacity(), 35u);
    ASSERT_TRUE(v.Set(35, "z"));
    EXPECT_EQ(v.capacity(), 45u);
}

TEST(Vector, RefusesNegativeAndHugeIndices) {
    TIntVector v;
    EXPECT_FALSE(v.Set(-1, 1));
    EXPECT_FALSE(v.Set(2147483638, 1));
    EXPECT_FALSE(v.Set(4294967295LL, 1));
    EXPECT_EQ(v.Count(), 0u);
    EXPECT_EQ(v.capacity(), 10u);
}

TEST(Vector, ClearAndTruncateOfObjectVector) {
    TVector<Thing> v;
    for (int i = 0; i < 30; ++i)
        v.Add(std::make_shared<Thing>(Thing{i}));
    auto kept = v.Get(29);
    v.Truncate(20);
    EXPECT_EQ(v.Count(), 20u);
    EXPECT_EQ(v.Get(25), nullptr);
    EXPECT_EQ(kept->value, 29) << "a holder keeps its object alive";
    v.Clear();
    EXPECT_EQ(v.Count(), 0u);
    EXPECT_EQ(v.capacity(), 10u);
    EXPECT_EQ(v.Get(0), nullptr);
}

TEST(Vector, StringHelpers) {
    TStrVector v;
    v.Add("a");
    v.Add("");
    v.Add("b");
    EXPECT_EQ(v.NonEmptyItems(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(v.GetBytes(0), (byteArray{'a'}));

    TStrVector lines;
    ASSERT_TRUE(lines.AddLines(byteArray{'x', 13, 10, 13, 10, 'y', 'z'}));
    ASSERT_EQ(lines.Count(), 3u);
    EXPECT_EQ(lines.Get(0), "x");
    EXPECT_EQ(lines.Get(1), "");
    EXPECT_EQ(lines.Get(2), "yz");

    TStrVector bytes;
    bytes.AddBytes(byteArray{'a', 'b', 0, 'c'});
    EXPECT_EQ(bytes.Get(0), "ab");
}

TEST(Vector, ByteVectorToArrayAndManyAdds) {
    TByteVector b;
    for (int i = 0; i < 100000; ++i)
        b.Add(static_cast<std::uint8_t>(i));
    const byteArray a = b.ToArray();
    ASSERT_EQ(a.size(), 100000u);
    EXPECT_EQ(a[99999], static_cast<std::uint8_t>(99999));
    EXPECT_EQ(b.capacity(), 100000u) << "the reported capacity follows the +10 rule";
}

} // namespace
} // namespace lexaro
