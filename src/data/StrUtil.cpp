#include "data/StrUtil.h"

#include "data/CodePage.h"

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

char UpperChar(char ch) {
    return TCodePage::Western().Upper(ch);
}

std::string UpperCase(std::string_view s) {
    return TCodePage::Western().UpperCase(s);
}

bool SameTextUpper(std::string_view a, std::string_view b) {
    return TCodePage::Western().SameTextUpper(a, b);
}

std::int32_t MatchCountUpper(std::string_view a, std::string_view b, std::int32_t from,
                             std::int32_t n) {
    return MatchCount(UpperCase(a), UpperCase(b), from, n);
}

int CompareStrings(std::string_view a, std::string_view b, bool ignoreCase) {
    return TCodePage::Western().Compare(a, b, ignoreCase);
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

std::vector<std::pair<std::size_t, std::size_t>> EnclosedParts(std::u16string_view text,
                                                               const DelimiterPairs& pairs) {
    // A closing delimiter closes the innermost open part of its pair (and every part opened
    // within that); one that closes nothing encloses nothing, nor does an opening delimiter
    // never closed. Each part is opened and closed once: linear in the text.
    std::vector<std::pair<std::size_t, std::size_t>> parts;
    std::vector<std::pair<std::size_t, std::size_t>> open; // where, and which pair
    std::vector<std::size_t> openOfPair(pairs.size(), 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        std::size_t pair = 0;
        while (pair < pairs.size() && !(pairs[pair].second == ch && openOfPair[pair] > 0))
            ++pair;
        if (pair < pairs.size()) {
            while (open.back().second != pair) {
                --openOfPair[open.back().second];
                open.pop_back();
            }
            const std::size_t first = open.back().first;
            --openOfPair[pair];
            open.pop_back();
            // The parts it holds are inside it: only the outermost are kept.
            while (!parts.empty() && parts.back().first > first)
                parts.pop_back();
            parts.emplace_back(first, i);
            continue;
        }
        for (pair = 0; pair < pairs.size(); ++pair) {
            if (pairs[pair].first == ch) {
                open.emplace_back(i, pair);
                ++openOfPair[pair];
                break;
            }
        }
    }
    return parts;
}

std::u16string RemoveEnclosed(std::u16string_view text, const DelimiterPairs& pairs) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (const auto& [first, last] : EnclosedParts(text, pairs)) {
        out.append(text.substr(from, first - from));
        from = last + 1;
    }
    out.append(text.substr(from));
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
