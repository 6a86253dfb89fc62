#include "data/StrUtil.h"

#include <algorithm>
#include <array>
#include <limits>

namespace lexaro {

TConvertError::TConvertError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value"), text_(text) {}

bool TryStrToInt(std::string_view s, std::int32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        i = 1;
    }
    if (i >= s.size())
        return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<std::int32_t>::max() ||
        v < std::numeric_limits<std::int32_t>::min())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return s.substr(s.size());
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

namespace {

char LowerAsciiChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerAsciiChar(c);
    return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAsciiChar(x) == LowerAsciiChar(y);
           });
}

std::optional<std::pair<std::string_view, std::string_view>> SplitAtFirst(std::string_view s,
                                                                          char sep) {
    const auto at = s.find(sep);
    if (at == std::string_view::npos)
        return std::nullopt;
    return std::pair{s.substr(0, at), s.substr(at + 1)};
}

std::int32_t StrToIntStrict(std::string_view s) {
    std::int32_t v = 0;
    if (!TryStrToInt(s, v))
        throw TConvertError(s);
    return v;
}

std::int32_t MatchCount(std::string_view a, std::string_view b, std::int32_t from, std::int32_t n) {
    const auto la = static_cast<std::int64_t>(a.size());
    const auto lb = static_cast<std::int64_t>(b.size());
    if (from < 0 || n < 0 || from >= la || from >= lb || (n != 0 && from >= n))
        return 0;
    std::int64_t i = from;
    std::int32_t count = 0;
    bool differed = false;
    for (; i < la && i < lb; ++i) {
        if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)]) {
            differed = true;
            break;
        }
        ++count;
    }
    if (!differed && la == lb)
        return -1;
    if (n > 0 && count == n)
        return -1;
    return count;
}

namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A; // š
    t[0x9C] = 0x8C; // œ
    t[0x9E] = 0x8E; // ž
    t[0xFF] = 0x9F; // ÿ
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) // ÷ has no case
            t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
    return t;
}

constexpr auto kUpper = MakeUpperTable();

// Collation: each byte gets a primary weight (its base letter, ignoring case and accents;
// some letters expand to two), an accent weight and a case weight.
struct Collation {
    std::array<unsigned char, 256> base{};   // base letter (upper case) or the byte itself
    std::array<unsigned char, 256> second{}; // second letter of an expansion, or 0
    std::array<unsigned char, 256> accent{}; // 0 for the plain letter
    std::array<unsigned char, 256> lower{};  // 1 for lower case letters
};

Collation MakeCollation() {
    Collation c;
    for (int b = 0; b < 256; ++b) {
        c.base[static_cast<std::size_t>(b)] = kUpper[static_cast<std::size_t>(b)];
    }
    auto letter = [&](int byte, char base, int accent) {
        c.base[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(base);
        c.accent[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(accent);
    };
    // Upper and lower case forms share the same row; accents numbered per letter.
    const struct {
        int upper;
        char base;
        int accent;
    } rows[] = {
        {0xC0, 'A', 1}, {0xC1, 'A', 2}, {0xC2, 'A', 3}, {0xC3, 'A', 4}, {0xC4, 'A', 5},
        {0xC5, 'A', 6}, {0xC7, 'C', 1}, {0xC8, 'E', 1}, {0xC9, 'E', 2}, {0xCA, 'E', 3},
        {0xCB, 'E', 4}, {0xCC, 'I', 1}, {0xCD, 'I', 2}, {0xCE, 'I', 3}, {0xCF, 'I', 4},
        {0xD0, 'D', 1}, {0xD1, 'N', 1}, {0xD2, 'O', 1}, {0xD3, 'O', 2}, {0xD4, 'O', 3},
        {0xD5, 'O', 4}, {0xD6, 'O', 5}, {0xD8, 'O', 6}, {0xD9, 'U', 1}, {0xDA, 'U', 2},
        {0xDB, 'U', 3}, {0xDC, 'U', 4}, {0xDD, 'Y', 1}, {0xDE, 'T', 1}, {0x8A, 'S', 1},
        {0x8E, 'Z', 1}, {0x9F, 'Y', 4},
    };
    for (const auto& r : rows) {
        letter(r.upper, r.base, r.accent);
        // The lower case partner: the byte whose upper case is r.upper.
        for (int b = 0; b < 256; ++b)
            if (b != r.upper && kUpper[static_cast<std::size_t>(b)] == r.upper)
                letter(b, r.base, r.accent);
    }
    // Ligatures and sharp s sort as two letters.
    auto expand = [&](int byte, char first, char then, int accent) {
        letter(byte, first, accent);
        c.second[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(then);
    };
    expand(0xC6, 'A', 'E', 7);
    expand(0xE6, 'A', 'E', 7);
    expand(0x8C, 'O', 'E', 7);
    expand(0x9C, 'O', 'E', 7);
    expand(0xDF, 'S', 'S', 7);
    for (int b = 0; b < 256; ++b) {
        const bool isLower = (b >= 'a' && b <= 'z') || b == 0x9A || b == 0x9C || b == 0x9E ||
                             b == 0xFF || b == 0xDF || (b >= 0xE0 && b != 0xF7);
        c.lower[static_cast<std::size_t>(b)] = isLower ? 1 : 0;
    }
    return c;
}

const Collation& TheCollation() {
    static const Collation c = MakeCollation();
    return c;
}

// Primary order: punctuation and symbols first (by byte), then digits, then letters.
int PrimaryClass(unsigned char base) {
    if (base >= '0' && base <= '9')
        return 1;
    if (base >= 'A' && base <= 'Z')
        return 2;
    return 0;
}

std::basic_string<unsigned short> PrimaryKey(std::string_view s) {
    const Collation& c = TheCollation();
    std::basic_string<unsigned short> key;
    key.reserve(s.size());
    for (char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        const unsigned char base = c.base[b];
        key.push_back(static_cast<unsigned short>(PrimaryClass(base) * 256 + base));
        if (c.second[b] != 0)
            key.push_back(static_cast<unsigned short>(2 * 256 + c.second[b]));
    }
    return key;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

} // namespace

char UpperChar(char ch) {
    return static_cast<char>(kUpper[static_cast<unsigned char>(ch)]);
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        ch = UpperChar(ch);
    return out;
}

bool SameTextUpper(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i]))
            return false;
    return true;
}

std::int32_t MatchCountUpper(std::string_view a, std::string_view b, std::int32_t from,
                             std::int32_t n) {
    return MatchCount(UpperCase(a), UpperCase(b), from, n);
}

int CompareStrings(std::string_view a, std::string_view b, bool ignoreCase) {
    const auto ka = PrimaryKey(a);
    const auto kb = PrimaryKey(b);
    if (ka != kb)
        return ka < kb ? -1 : 1;
    const Collation& c = TheCollation();
    // Same letters: the first accent difference decides, then the first case difference.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d =
            c.accent[static_cast<unsigned char>(a[i])] - c.accent[static_cast<unsigned char>(b[i])];
        if (d != 0)
            return Sign(d);
    }
    if (!ignoreCase) {
        for (std::size_t i = 0; i < n; ++i) {
            // Lower case sorts before upper case.
            const int d = c.lower[static_cast<unsigned char>(b[i])] -
                          c.lower[static_cast<unsigned char>(a[i])];
            if (d != 0)
                return Sign(d);
        }
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (ignoreCase)
        return 0;
    const int d = a.compare(b);
    return Sign(d);
}

std::int32_t HexDigitValue(char ch) {
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    const auto pos = kDigits.find(ch);
    return pos == std::string_view::npos ? 0 : static_cast<std::int32_t>(pos);
}

std::int32_t HexToInt(std::string_view s) {
    if (s.empty() || s.size() > 8)
        return 0;
    // An odd length counts as if a "0" stood in front, which adds nothing to the value.
    std::uint32_t v = 0;
    for (char ch : s)
        v = v * 16 + static_cast<std::uint32_t>(HexDigitValue(UpperChar(ch)));
    return static_cast<std::int32_t>(v);
}

byteArray StrToBytes(std::string_view s) {
    return byteArray(s.begin(), s.end());
}

std::string BytesToStr(const std::uint8_t* data, std::size_t size) {
    const auto* end = std::find(data, data + size, std::uint8_t{0});
    return std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(end - data));
}

std::string BytesToStr(const byteArray& bytes) {
    return BytesToStr(bytes.data(), bytes.size());
}

std::u16string RemoveEnclosed(std::u16string_view text, const DelimiterPairs& pairs) {
    std::u16string out;
    out.reserve(text.size());
    int counter = 0;
    for (char16_t ch : text) {
        for (const auto& p : pairs) {
            if (ch == p.first || ch == p.second) {
                ++counter;
                break;
            }
            if (counter == 2)
                counter = 0;
        }
        if (counter == 0)
            out += ch;
    }
    return out;
}

std::string StackChars(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += s[i];
    }
    return out;
}

} // namespace lexaro
