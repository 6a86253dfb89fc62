#include "data/CodePage.h"

#include "data/Charset.h"

#include <algorithm>

namespace lexaro {

namespace {

#include "data/CodePageTables.inc"

int Sign(int v) {
    return (v > 0) - (v < 0);
}

} // namespace

std::basic_string<std::uint16_t> TCodePage::LetterKey(std::string_view text) const {
    // The primary weights, a letter that sorts as two giving two.
    std::basic_string<std::uint16_t> key;
    key.reserve(text.size());
    for (const char ch : text) {
        const TCodePageRow& row = Row(static_cast<unsigned char>(ch));
        key.push_back(row.primary);
        if (row.second != 0)
            key.push_back(row.second);
    }
    return key;
}

std::string TCodePage::LatinLetters(unsigned char byte) const {
    // The primary weights of the tables: Latin letters 0x241..0x25A ("A".."Z"), Greek letters
    // from 0x300 and Cyrillic ones from 0x340 in their alphabets' order
    // (tools/codepages/make_code_page_tables.py).
    static constexpr std::array<std::string_view, 24> kGreek{
        "a", "v", "g", "d", "e", "z", "i", "th", "i", "k",  "l",  "m",
        "n", "x", "o", "p", "r", "s", "t", "y",  "f", "ch", "ps", "o"};
    static constexpr std::array<std::string_view, 43> kCyrillic{
        "a", "b",  "v",  "g",  "g",  "d",  "dj",   "e", "ye", "zh", "z", "dz", "i", "i", "j",
        "y", "k",  "l",  "lj", "m",  "n",  "nj",   "o", "p",  "r",  "s", "t",  "c", "u", "u",
        "f", "kh", "ts", "ch", "dz", "sh", "shch", "",  "y",  "",   "e", "yu", "ya"};
    const TCodePageRow& row = rows_[byte];
    std::string letters;
    if (row.primary >= 0x241 && row.primary <= 0x25A)
        letters = std::string(1, static_cast<char>(row.primary - 0x200 + ('a' - 'A')));
    else if (row.primary >= 0x300 && row.primary < 0x300 + kGreek.size())
        letters = kGreek[row.primary - 0x300];
    else if (row.primary >= 0x340 && row.primary < 0x340 + kCyrillic.size())
        letters = kCyrillic[row.primary - 0x340];
    if (row.second >= 0x241 && row.second <= 0x25A)
        letters += static_cast<char>(row.second - 0x200 + ('a' - 'A'));
    // Capital letters keep their case on the first Latin letter.
    if (!letters.empty() && row.lower == 0 && row.upper == byte)
        letters[0] = static_cast<char>(letters[0] - ('a' - 'A'));
    return letters;
}

TCodePage::TCodePage(int number, const TCodePageRow (&rows)[256]) : number_(number), rows_(rows) {
    for (int b = 0x80; b < 256; ++b)
        bytes_.emplace_back(rows[b].unicode, static_cast<unsigned char>(b));
    std::sort(bytes_.begin(), bytes_.end());
    for (int b = 0; b < 256; ++b) {
        std::string encoded;
        AppendUtf8(encoded, rows[b].unicode);
        TUtf8& entry = utf8_[static_cast<std::size_t>(b)];
        entry.size = static_cast<unsigned char>(encoded.size());
        std::copy(encoded.begin(), encoded.end(), entry.bytes);
    }
}

const TCodePage* TCodePage::Find(int number) {
    static const TCodePage pages[] = {
        {1250, kCodePage1250}, {1251, kCodePage1251}, {1252, kCodePage1252},
        {1253, kCodePage1253}, {1254, kCodePage1254}, {1257, kCodePage1257},
    };
    for (const TCodePage& page : pages)
        if (page.number_ == number)
            return &page;
    return nullptr;
}

const TCodePage& TCodePage::Get(int number) {
    const TCodePage* page = Find(number);
    return page != nullptr ? *page : *Find(kDefault);
}

int TCodePage::FromUnicode(char32_t cp) const {
    if (cp < 0x80)
        return static_cast<int>(cp);
    const auto it =
        std::lower_bound(bytes_.begin(), bytes_.end(), std::make_pair(cp, '\0'),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    return it != bytes_.end() && it->first == cp ? it->second : -1;
}

std::string TCodePage::ToUtf8(std::string_view text) const {
    // Sized first, then filled from the table: Cyrillic and Greek text takes twice its bytes.
    std::size_t size = 0;
    for (const char c : text)
        size += utf8_[static_cast<unsigned char>(c)].size;
    std::string out(size, '\0');
    char* at = out.data();
    for (const char c : text) {
        const TUtf8& entry = utf8_[static_cast<unsigned char>(c)];
        *at++ = entry.bytes[0];
        if (entry.size > 1) {
            *at++ = entry.bytes[1];
            if (entry.size > 2)
                *at++ = entry.bytes[2];
        }
    }
    return out;
}

bool TCodePage::FromUtf8(std::string_view utf8, std::string& out, std::size_t* badPos) const {
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        const int byte = Utf8CharAt(utf8, i, cp) ? FromUnicode(cp) : -1;
        if (byte < 0) {
            if (badPos != nullptr)
                *badPos = i;
            return false;
        }
        out += static_cast<char>(byte);
        i += Utf8Length(cp);
    }
    return true;
}

std::string TCodePage::FromUtf8Lossy(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!Utf8CharAt(utf8, i, cp)) {
            ++i;
            out += '?';
            continue;
        }
        const int byte = FromUnicode(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += Utf8Length(cp);
    }
    return out;
}

std::string TCodePage::UpperCase(std::string_view text) const {
    std::string out(text);
    for (char& ch : out)
        ch = Upper(ch);
    return out;
}

bool TCodePage::SameTextUpper(std::string_view a, std::string_view b) const {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

int TCodePage::Compare(std::string_view a, std::string_view b, bool ignoreCase) const {
    const auto ka = LetterKey(a);
    const auto kb = LetterKey(b);
    if (ka != kb)
        return ka < kb ? -1 : 1;
    // The same letters: the first accent difference decides, then the first case difference.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = Row(static_cast<unsigned char>(a[i])).accent -
                      Row(static_cast<unsigned char>(b[i])).accent;
        if (d != 0)
            return Sign(d);
    }
    if (!ignoreCase) {
        for (std::size_t i = 0; i < n; ++i) {
            // Lower case sorts before upper case.
            const int d = Row(static_cast<unsigned char>(b[i])).lower -
                          Row(static_cast<unsigned char>(a[i])).lower;
            if (d != 0)
                return Sign(d);
        }
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (ignoreCase)
        return 0;
    return Sign(a.compare(b));
}

} // namespace lexaro
