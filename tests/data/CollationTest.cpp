// Each language's own alphabetical order, for stored text of the single-byte code pages.
#include "data/Collation.h"

#include <string>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

std::string Stored(const TCodePage& page, const std::string& utf8) {
    std::string stored;
    EXPECT_TRUE(page.FromUtf8(utf8, stored)) << utf8 << " in " << page.Number();
    return stored;
}

// Each pair in the language's order, and the order shared by all languages (root) putting
// them the other way round where the language's own differs from it.
TEST(Collation, EachLanguagesOwnOrderUnderItsCodePage) {
    const struct {
        int page;
        const char* locale;
        const char* first; // UTF-8
        const char* second;
        bool rootAgrees;
    } cases[] = {
        // Swedish: å, ä, ö after z, in that order.
        {1252, "sv", "zon", "åka", false},
        {1252, "sv", "åka", "ärm", true},
        {1252, "sv", "ärm", "öl", true},
        {1252, "sv", "Zon", "Öl", false},
        // German: ä beside a, ö beside o, ß as ss.
        {1252, "de", "Ärger", "Bach", true},
        {1252, "de", "Apfel", "ärgern", true},
        {1252, "de", "Ofen", "Öl", true},
        {1252, "de", "Masse", "Maßstab", true},
        // Czech: ch after h, č after c, ř after r.
        {1250, "cs", "hrad", "chata", false},
        {1250, "cs", "chata", "ihned", true},
        {1250, "cs", "cukr", "čaj", false},
        {1250, "cs", "ryba", "řeka", false},
        // Turkish: ç after c, ş after s, ı before i.
        {1254, "tr", "cuma", "çay", false},
        {1254, "tr", "çay", "dağ", true},
        {1254, "tr", "sulu", "şeker", false},
        {1254, "tr", "ılık", "iki", false},
        // Lithuanian: y beside i.
        {1257, "lt", "yra", "jis", false},
        {1257, "lt", "iki", "yra", true},
    };
    const TCollation root;
    for (const auto& c : cases) {
        const TCodePage& page = TCodePage::Get(c.page);
        const TCollation order(c.locale);
        const std::string first = Stored(page, c.first);
        const std::string second = Stored(page, c.second);
        EXPECT_LT(order.Key(first, page), order.Key(second, page))
            << c.locale << ": " << c.first << " before " << c.second;
        EXPECT_EQ(order.Compare(second, first, page), 1) << c.locale;
        EXPECT_EQ(root.Key(first, page) < root.Key(second, page), c.rootAgrees)
            << "root: " << c.first << " / " << c.second;
    }
}

TEST(Collation, AnEmptyOrUnknownLocaleGivesTheRootOrder) {
    const TCodePage& western = TCodePage::Western();
    for (const char* locale : {"", "xx", "zz-QQ", "not a locale", "!", "root"}) {
        const TCollation order(locale);
        EXPECT_TRUE(order.IsRoot()) << locale << " gave " << order.Locale();
        EXPECT_LT(order.Key(Stored(western, "åka"), western), order.Key("zon", western)) << locale;
    }
    EXPECT_FALSE(TCollation("sv").IsRoot());
    EXPECT_FALSE(TCollation("cs-CZ").IsRoot());
}

TEST(Collation, StrengthDecidesWhetherCaseAndAccentsCount) {
    const TCodePage& western = TCodePage::Western();
    const std::string tuer = Stored(western, "Tür");
    const std::string tuerLower = Stored(western, "tür");
    const struct {
        TCollationStrength strength;
        bool caseCounts;
        bool accentCounts;
    } cases[] = {
        {TCollationStrength::Letters, false, false},
        {TCollationStrength::Accents, false, true},
        {TCollationStrength::Full, true, true},
    };
    for (const auto& c : cases) {
        const TCollation order("de", c.strength);
        EXPECT_EQ(order.Compare(tuer, tuerLower, western) != 0, c.caseCounts);
        EXPECT_EQ(order.Compare(tuerLower, "tur", western) != 0, c.accentCounts);
        EXPECT_EQ(order.Compare("", "", western), 0);
        EXPECT_LT(order.Key("", western), order.Key("a", western)) << "the empty text first";
    }
}

// UTF-8 text keys alike, whatever form its accents take; bytes that are not UTF-8 are keyed
// too, never read past.
TEST(Collation, Utf8TextAndBytesThatAreNotUtf8) {
    const TCollation order("sv");
    const TCodePage& western = TCodePage::Western();
    EXPECT_EQ(order.KeyOfUtf8("a\xCC\x8A"
                              "ka"),
              order.Key(Stored(western, "åka"), western))
        << "a and a combining ring are å";
    EXPECT_LT(order.KeyOfUtf8("zon"), order.KeyOfUtf8("\xC3"));
    EXPECT_FALSE(order.KeyOfUtf8(std::string("\xFF\xFE\x00x", 4)).empty());
    const std::string longText(5000, 'a');
    EXPECT_GT(order.KeyOfUtf8(longText).size(), 5000u) << "a key longer than the first guess";
}

} // namespace
} // namespace lexaro
