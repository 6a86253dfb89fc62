#include "data/CodePageGuess.h"

#include "data/Charset.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace lexaro {

namespace {

// The accented and special letters (lower case) of the languages written in these code
// pages. A word's accented letters that no one of them has together were not written in the
// code page they are read in.
constexpr std::string_view kAlphabets[] = {
    "äöüß",                  // German
    "àâæçéèêëîïôœùûüÿ",      // French
    "áéíñóúü",               // Spanish
    "áâãàçéêíóôõú",          // Portuguese
    "àèéìíîòóùú",            // Italian
    "àçéèíïòóúü",            // Catalan
    "áéíóúàèëïöü",           // Dutch
    "æøåéó",                 // Danish, Norwegian
    "åäöé",                  // Swedish
    "äöåšž",                 // Finnish
    "áðéíóúýþæö",            // Icelandic
    "áðíóúýæø",              // Faroese
    "âêîôûàèìòùáéíóúäëïöüÿ", // Welsh
    "õäöüšž",                // Estonian
    "çë",                    // Albanian
    "ąćęłńóśźż",             // Polish
    "áčďéěíňóřšťúůýž",       // Czech
    "áäčďéíĺľňóôŕšťúýž",     // Slovak
    "áéíóöőúüű",             // Hungarian
    "čćđšž",                 // Slovenian, Croatian, Bosnian
    "ăâîşţ",                 // Romanian
    "çğıöşüâîûİ",            // Turkish (İ: its small letter is i)
    "ąčęėįšųūž",             // Lithuanian
    "āčēģīķļņšūž",           // Latvian
};
static_assert(std::size(kAlphabets) <= 32, "an alphabet is a bit of a 32-bit mask");

enum class Kind : unsigned char { Other, Latin, Greek, Cyrillic, Undefined };

struct TByteClass {
    Kind kind = Kind::Other;
    bool lower = false;     // a small letter
    bool special = false;   // a Latin letter outside ASCII
    bool accented = false;  // a letter with a mark
    bool oddSymbol = false; // a symbol outside ASCII that words do not carry
    bool superscript = false;
    bool finalSigma = false;
    bool vowel = false;          // a Greek vowel
    bool dialytika = false;      // a Greek vowel with dialytika, which only follows a vowel
    bool tonos = false;          // a Greek vowel with an accent
    std::uint32_t alphabets = 0; // the alphabets that have a special letter

    bool Letter() const {
        return kind == Kind::Latin || kind == Kind::Greek || kind == Kind::Cyrillic;
    }
};

using TPageClasses = std::array<TByteClass, 256>;

// Symbols outside ASCII that stand next to words in ordinary text.
bool WordPunctuation(char32_t cp) {
    static constexpr std::u32string_view kAllowed =
        U"\u00A0\u00A1\u00BF\u00AB\u00BB\u2039\u203A\u201E\u201C\u201D\u2018\u2019\u201A"
        U"\u2026\u2013\u2014\u00B7\u00B0\u00B4\u00AD\u20AC\u00B5\u2122\u00AE\u00A9\u00A7"
        U"\u00B6\u2020\u2021\u2022\u2030";
    return kAllowed.find(cp) != std::u32string_view::npos;
}

std::uint32_t AlphabetsOf(char32_t lower) {
    std::uint32_t mask = 0;
    for (std::size_t a = 0; a < std::size(kAlphabets); ++a) {
        const std::string_view alphabet = kAlphabets[a];
        for (std::size_t pos = 0; pos < alphabet.size();) {
            char32_t cp = 0;
            if (!Utf8CharAt(alphabet, pos, cp))
                break;
            if (cp == lower)
                mask |= 1u << a;
            pos += Utf8Length(cp);
        }
    }
    return mask;
}

TPageClasses Classify(const TCodePage& page) {
    TPageClasses classes;
    for (int b = 0; b < 256; ++b) {
        const TCodePageRow& row = page.Row(static_cast<unsigned char>(b));
        TByteClass& c = classes[static_cast<std::size_t>(b)];
        const char32_t cp = row.unicode;
        if ((cp >= 0x80 && cp <= 0x9F) || cp >= 0xF700) {
            c.kind = Kind::Undefined;
            continue;
        }
        if (row.primary >= 0x200) {
            c.kind = row.primary < 0x300   ? Kind::Latin
                     : row.primary < 0x340 ? Kind::Greek
                                           : Kind::Cyrillic;
            c.lower = row.lower != 0;
            c.accented = row.accent != 0;
            c.finalSigma = cp == 0x03C2;
            if (c.kind == Kind::Greek) {
                // Α Ε Η Ι Ο Υ Ω in the order of the sort weights.
                static constexpr std::array<int, 7> kVowels{0, 4, 6, 8, 14, 19, 23};
                c.vowel =
                    std::find(kVowels.begin(), kVowels.end(), row.primary - 0x300) != kVowels.end();
                const bool dialytikaOnly =
                    cp == 0x03CA || cp == 0x03CB || cp == 0x03AA || cp == 0x03AB;
                c.dialytika = dialytikaOnly || cp == 0x0390 || cp == 0x03B0;
                // A word has one accent; the dialytika is no accent.
                c.tonos = c.accented && !dialytikaOnly;
            }
            c.special = c.kind == Kind::Latin && b >= 0x80;
            if (c.special) {
                // The alphabets hold small letters: a capital counts as its small letter.
                char32_t small = cp;
                if (!c.lower) {
                    for (int l = 0x80; l < 256; ++l) {
                        const TCodePageRow& other = page.Row(static_cast<unsigned char>(l));
                        if (other.lower != 0 && other.upper == b)
                            small = other.unicode;
                    }
                }
                c.alphabets = AlphabetsOf(small);
            }
            continue;
        }
        const bool digit = row.primary >= 0x100;
        if (b >= 0x80 && !digit && !WordPunctuation(cp)) {
            c.oddSymbol = true;
            c.superscript = cp == 0xB9 || cp == 0xB2 || cp == 0xB3;
        }
    }
    return classes;
}

// The classes of every code page, in the order of TCodePage::kNumbers (Unicode's are those of
// its ASCII).
const std::array<TPageClasses, TCodePage::kNumbers.size()>& AllClasses() {
    static const auto all = [] {
        std::array<TPageClasses, TCodePage::kNumbers.size()> pages{};
        for (std::size_t i = 0; i < pages.size(); ++i)
            pages[i] = Classify(TCodePage::Get(TCodePage::kNumbers[i]));
        return pages;
    }();
    return all;
}

// The place of a code page in TCodePage::kNumbers, or the size for a number not there.
std::size_t IndexOf(int number) {
    const auto at = std::find(TCodePage::kNumbers.begin(), TCodePage::kNumbers.end(), number);
    return static_cast<std::size_t>(at - TCodePage::kNumbers.begin());
}

std::int64_t Count(const TPageClasses& classes, std::string_view text) {
    const std::size_t n = text.size();
    auto at = [&](std::size_t i) -> const TByteClass& {
        return classes[static_cast<unsigned char>(text[i])];
    };
    auto letterAt = [&](std::size_t i) { return i < n && at(i).Letter(); };
    std::int64_t odd = 0;
    std::size_t i = 0;
    while (i < n) {
        const TByteClass& c = at(i);
        if (!c.Letter()) {
            if (c.kind == Kind::Undefined)
                odd += 2;
            else if (c.oddSymbol && (c.superscript ? letterAt(i + 1)
                                                   : letterAt(i + 1) || (i > 0 && letterAt(i - 1))))
                ++odd;
            ++i;
            continue;
        }
        // A word: its letters one by one, then as a whole.
        const std::size_t start = i;
        std::int64_t latin = 0, special = 0, greekAccents = 0;
        std::uint32_t alphabets = ~0u;
        for (; letterAt(i); ++i) {
            const TByteClass& letter = at(i);
            if (i > start) {
                const TByteClass& before = at(i - 1);
                odd += letter.kind != before.kind;
                odd += !letter.lower && before.lower;
                odd += before.finalSigma;
                odd += letter.dialytika && !before.vowel;
            }
            latin += letter.kind == Kind::Latin;
            if (letter.special) {
                ++special;
                alphabets &= letter.alphabets;
            }
            greekAccents += letter.tonos;
        }
        const auto length = static_cast<std::int64_t>(i - start);
        if (length >= 3 && latin == length && special == length)
            odd += length;
        if (special >= 2 && alphabets == 0)
            ++odd;
        if (greekAccents > 1)
            odd += greekAccents - 1;
    }
    return odd;
}

// Text read as UTF-8: each byte that is no part of a character is odd (twice, as a byte a
// code page leaves undefined); every other character outside ASCII stands for a plain small
// letter, so that the words around it are weighed as in any code page.
std::int64_t CountUtf8(const TPageClasses& classes, std::string_view text) {
    thread_local std::string plain; // one buffer for the many texts of a file
    plain.clear();
    std::int64_t odd = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x80) {
            plain += text[pos++];
            continue;
        }
        char32_t cp = 0;
        if (Utf8CharAt(text, pos, cp)) {
            plain += 'a';
            pos += Utf8Length(cp);
        } else {
            odd += 2;
            plain += ' ';
            ++pos;
        }
    }
    return odd + Count(classes, plain);
}

std::int64_t CountIn(std::size_t p, std::string_view text) {
    const TPageClasses& classes = AllClasses()[p];
    return TCodePage::kNumbers[p] == TCodePage::kUtf8 ? CountUtf8(classes, text)
                                                      : Count(classes, text);
}

} // namespace

std::int64_t CountOddities(const TCodePage& page, std::string_view text) {
    const std::size_t p = IndexOf(page.Number());
    return p < TCodePage::kNumbers.size() ? CountIn(p, text) : 0;
}

void TCodePageGuess::Add(std::string_view text, std::size_t column) {
    auto& counts = bytes_[std::min(column, kColumns - 1)];
    bool ascii = true;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        ++counts[b];
        ascii = ascii && b < 0x80;
    }
    const auto& all = AllClasses();
    // ASCII is the same in every code page: such a text (the English side of many files) is
    // counted once.
    const std::int64_t same = ascii ? Count(all[0], text) : 0;
    for (std::size_t p = 0; p < oddities_.size(); ++p)
        oddities_[p] += ascii ? same : CountIn(p, text);
}

std::int64_t TCodePageGuess::Oddities(int number) const {
    const std::size_t p = IndexOf(number);
    if (p == TCodePage::kNumbers.size())
        return 0;
    std::int64_t odd = oddities_[p];
    if (number == TCodePage::kUtf8)
        return odd; // its bytes above 0x7F are parts of characters, not letters
    // Each column's accented Latin letters that the alphabet fitting it best lacks.
    const TPageClasses& classes = AllClasses()[p];
    for (const auto& counts : bytes_) {
        std::array<std::int64_t, std::size(kAlphabets)> lacking{};
        for (std::size_t b = 0x80; b < 256; ++b) {
            if (counts[b] == 0 || !classes[b].special)
                continue;
            for (std::size_t a = 0; a < lacking.size(); ++a)
                if ((classes[b].alphabets >> a & 1u) == 0)
                    lacking[a] += counts[b];
        }
        odd += *std::min_element(lacking.begin(), lacking.end());
    }
    return odd;
}

const TCodePage* TCodePageGuess::ClearlyBetterThan(const TCodePage& current) const {
    const std::int64_t own = Oddities(current.Number());
    const TCodePage* best = nullptr;
    std::int64_t fewest = own;
    auto consider = [&](int number) {
        if (const std::int64_t n = Oddities(number); n < fewest) {
            fewest = n;
            best = &TCodePage::Get(number);
        }
    };
    consider(TCodePage::kDefault);
    for (const int number : TCodePage::kNumbers)
        consider(number);
    if (best == nullptr || own - fewest < kMinMargin || fewest * 2 > own)
        return nullptr;
    return best;
}

TCodePageGuess GuessOfFile(const TLangFHandler& file, std::size_t maxBytes) {
    TCodePageGuess guess;
    guess.Add(file.GetLang1Name(), 0);
    guess.Add(file.GetLang2Name(), 1);
    std::size_t sampled = 0;
    for (const auto& lesson : file.lessons) {
        if (!lesson)
            continue;
        for (const auto& pair : lesson->pairs) {
            if (sampled >= maxBytes)
                return guess;
            if (!pair)
                continue;
            guess.Add(pair->text1, 0);
            guess.Add(pair->text2, 1);
            sampled += pair->text1.size() + pair->text2.size();
        }
    }
    return guess;
}

} // namespace lexaro
