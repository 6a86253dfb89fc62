#include "exercise/AnswerCheck.h"

#include "data/StrUtil.h"
#include "data/TextSteps.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace lexaro {

namespace {

// The longest alignment worked out letter by letter; a longer pair of texts gets every typed
// letter marked instead (the answer field holds far less).
constexpr std::size_t kMaxAlignment = std::size_t{1} << 20;

// The length of the blank (space, tab, no-break space) that starts text at i; 0 for none. In
// UTF-8 the no-break space takes two bytes (the byte 0xA0 alone is part of another character).
std::size_t BlankAt(std::string_view text, std::size_t i, bool utf8) {
    const char ch = text[i];
    if (ch == ' ' || ch == '\t')
        return 1;
    if (!utf8)
        return static_cast<unsigned char>(ch) == 0xA0 ? 1 : 0;
    return text.substr(i, 2) == "\xC2\xA0" ? 2 : 0;
}

// The brackets whose text may be typed or left out, as the speech leaves it out.
const DelimiterPairs& Brackets() {
    static const DelimiterPairs kBrackets{{u'[', u']'}, {u'(', u')'}};
    return kBrackets;
}

// The brackets are ASCII in every code page, so the bytes pass through UTF-16 one to one.
std::u16string Wide(std::string_view text) {
    std::u16string wide(text.size(), u'\0');
    std::transform(text.begin(), text.end(), wide.begin(),
                   [](char ch) { return static_cast<char16_t>(static_cast<unsigned char>(ch)); });
    return wide;
}

using TParts = std::vector<std::pair<std::size_t, std::size_t>>;

TParts Enclosed(std::string_view text) {
    return EnclosedParts(Wide(text), Brackets());
}

// The text without its enclosed parts.
std::string WithoutEnclosed(std::string_view text) {
    std::string out;
    std::size_t from = 0;
    for (const auto& [first, last] : Enclosed(text)) {
        out.append(text.substr(from, first - from));
        from = last + 1;
    }
    out.append(text.substr(from));
    return out;
}

// No blanks at either end, one blank for each run of them.
std::string Tidy(std::string_view text, bool utf8) {
    std::string out;
    bool blank = false;
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t n = BlankAt(text, i, utf8); n > 0) {
            blank = !out.empty();
            i += n;
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += text[i++];
    }
    return out;
}

// The alternatives of a text: its pieces between ";" (and "," when a comma separates too) that
// stand outside brackets; pieces of nothing but blanks left out.
std::vector<std::string_view> Alternatives(std::string_view text, bool commaSeparates, bool utf8) {
    const TParts enclosed = Enclosed(text);
    auto part = enclosed.begin();
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (part != enclosed.end() && i == part->first) {
            i = part->second;
            ++part;
            continue;
        }
        if (i < text.size() && text[i] != ';' && !(commaSeparates && text[i] == ','))
            continue;
        const std::string_view piece = text.substr(begin, i - begin);
        if (!Tidy(piece, utf8).empty())
            pieces.push_back(piece);
        begin = i + 1;
    }
    return pieces;
}

// The most enclosed parts of one alternative that are each typed or left out on their own;
// with more, all are typed or all left out.
constexpr std::size_t kMaxOptionalParts = 6;

// The forms of one alternative that are right, tidied: each enclosed part left out, or typed
// without its brackets (what it encloses in turn left out). None of nothing but blanks.
std::vector<std::string> Forms(std::string_view text, bool utf8) {
    const TParts enclosed = Enclosed(text);
    const std::size_t n = enclosed.size();
    std::vector<std::uint32_t> choices;
    if (n <= kMaxOptionalParts) {
        for (std::uint32_t typed = 0; typed < (std::uint32_t{1} << n); ++typed)
            choices.push_back(typed);
    } else {
        choices = {0, ~std::uint32_t{0}};
    }
    std::vector<std::string> forms;
    for (const std::uint32_t typed : choices) {
        std::string form;
        std::size_t from = 0;
        bool keptBefore = false;
        for (std::size_t p = 0; p < n; ++p) {
            const auto [first, last] = enclosed[p];
            // Parts side by side are words of their own: "(ugs.)[Am.]" typed is "ugs. Am.".
            if (first == from && keptBefore)
                form += ' ';
            form.append(text.substr(from, first - from));
            keptBefore = (typed >> std::min<std::size_t>(p, 31) & 1) != 0;
            if (keptBefore)
                form += WithoutEnclosed(text.substr(first + 1, last - first - 1));
            from = last + 1;
        }
        form.append(text.substr(from));
        form = Tidy(form, utf8);
        if (!form.empty() && std::find(forms.begin(), forms.end(), form) == forms.end())
            forms.push_back(std::move(form));
    }
    return forms;
}

// The same letter as the check compares them.
bool SameLetter(const TCodePage& page, char a, char b, bool ignoreAccents) {
    return ignoreAccents ? page.Row(static_cast<unsigned char>(a)).primary ==
                               page.Row(static_cast<unsigned char>(b)).primary
                         : page.SameLetterIgnoringCase(a, b);
}

// Marks the letters 0 .. n - 1 of the typed text that lie outside the longest common
// subsequence with the m letters of the target (same(i, j): typed letter i is target letter
// j); returns the subsequence's length.
template <typename Same>
std::size_t Align(std::size_t n, std::size_t m, const Same& same, std::vector<bool>& differs) {
    differs.assign(n, true);
    if (n == 0 || m == 0 || n * m > kMaxAlignment)
        return 0;
    // lengths[i][j]: the subsequence of typed[i..] and target[j..].
    std::vector<std::uint16_t> lengths((n + 1) * (m + 1), 0);
    const auto at = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lengths[at(i, j)] = same(i, j)
                                    ? static_cast<std::uint16_t>(lengths[at(i + 1, j + 1)] + 1)
                                    : std::max(lengths[at(i + 1, j)], lengths[at(i, j + 1)]);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n && j < m) {
        if (same(i, j)) {
            differs[i] = false;
            ++i;
            ++j;
        } else if (lengths[at(i + 1, j)] >= lengths[at(i, j + 1)]) {
            ++i;
        } else {
            ++j;
        }
    }
    return lengths[at(0, 0)];
}

// --- Unicode text (UTF-8) -------------------------------------------------------------------

// The marks that "Ignore accents" leaves out: the accents of the Latin, Greek and Cyrillic
// letters, the Arabic vowel marks (harakat, the small alef) and the Hebrew points and
// cantillation marks, which learners type without. The vowel signs and viramas of the Indic
// scripts, the Japanese voicing marks and the like are letters' parts that change the word:
// they always count.
bool IgnorableMark(UChar32 c) {
    if (u_charType(c) != U_NON_SPACING_MARK)
        return false;
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x0483 && c <= 0x0487) ||
           (c >= 0x0591 && c <= 0x05C7) || (c >= 0x064B && c <= 0x065F) || c == 0x0670 ||
           (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

// What two UTF-8 texts are compared by: composed (NFC), case folded as Unicode folds it (so
// "Straße" and "STRASSE" are the same), with ignoreAccents also without the ignorable marks.
// Invalid bytes become U+FFFD.
std::u16string Utf8Key(std::string_view text, bool ignoreAccents) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString s = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    if (U_FAILURE(status))
        return {s.getBuffer(), static_cast<std::size_t>(s.length())};
    if (ignoreAccents) {
        icu::UnicodeString decomposed = nfd->normalize(s, status);
        icu::UnicodeString kept;
        for (std::int32_t i = 0; i < decomposed.length();) {
            const UChar32 c = decomposed.char32At(i);
            if (!IgnorableMark(c))
                kept.append(c);
            i += U16_LENGTH(c);
        }
        s = std::move(kept);
    }
    s.foldCase();
    icu::UnicodeString key = nfc->normalize(s, status);
    if (U_FAILURE(status))
        key = s;
    return {key.getBuffer(), static_cast<std::size_t>(key.length())};
}

// The characters (grapheme clusters) of UTF-8 text: where each starts, and its key.
struct TUtf8Letters {
    std::vector<std::size_t> starts;
    std::vector<std::u16string> keys;
};

TUtf8Letters Utf8Letters(std::string_view text, bool ignoreAccents) {
    TUtf8Letters letters;
    letters.starts = Utf8CharacterStarts(text);
    letters.keys.reserve(letters.starts.size());
    for (std::size_t k = 0; k < letters.starts.size(); ++k) {
        const std::size_t end = k + 1 < letters.starts.size() ? letters.starts[k + 1] : text.size();
        letters.keys.push_back(
            Utf8Key(text.substr(letters.starts[k], end - letters.starts[k]), ignoreAccents));
    }
    return letters;
}

} // namespace

TAnswerCheck CheckAnswer(std::string_view solution, std::string_view typed, const TCodePage& page,
                         bool ignoreAccents, bool commaSeparates) {
    const bool utf8 = page.IsUtf8();
    TAnswerCheck check;
    // The forms that are right on their own: those of each alternative and of the whole.
    std::vector<std::string> forms;
    const auto add = [&forms, utf8](std::string_view text) {
        for (std::string& form : Forms(text, utf8))
            if (std::find(forms.begin(), forms.end(), form) == forms.end())
                forms.push_back(std::move(form));
    };
    const std::vector<std::string_view> alternatives = Alternatives(solution, commaSeparates, utf8);
    for (const std::string_view alternative : alternatives)
        add(alternative);
    if (alternatives.size() > 1)
        add(solution);

    // Unicode text is compared by its keys, each form's made once.
    std::vector<std::u16string> formKeys;
    if (utf8)
        for (const std::string& form : forms)
            formKeys.push_back(Utf8Key(form, ignoreAccents));
    const auto known = [&](std::string_view text) {
        const std::vector<std::string> typedForms = Forms(text, utf8);
        return std::any_of(typedForms.begin(), typedForms.end(), [&](const std::string& t) {
            if (utf8) {
                const std::u16string key = Utf8Key(t, ignoreAccents);
                return std::find(formKeys.begin(), formKeys.end(), key) != formKeys.end();
            }
            return std::any_of(forms.begin(), forms.end(), [&](const std::string& f) {
                return ignoreAccents ? page.LetterKey(t) == page.LetterKey(f)
                                     : page.SameTextUpper(t, f);
            });
        });
    };
    const std::vector<std::string_view> typedAlternatives =
        Alternatives(typed, commaSeparates, utf8);
    check.right =
        !typedAlternatives.empty() &&
        (known(typed) || std::all_of(typedAlternatives.begin(), typedAlternatives.end(), known));
    if (check.right) {
        check.differs.assign(typed.size(), false);
        return check;
    }
    // The letters that differ from the nearest form; the whole solution when there is none.
    if (forms.empty())
        forms.push_back(Tidy(solution, utf8));
    std::size_t best = 0;
    check.differs.assign(typed.size(), true);
    std::vector<bool> differs;
    if (!utf8) {
        for (const std::string& form : forms) {
            const auto same = [&](std::size_t i, std::size_t j) {
                return SameLetter(page, typed[i], form[j], ignoreAccents);
            };
            const std::size_t common = Align(typed.size(), form.size(), same, differs);
            if (common > best) {
                best = common;
                check.differs = differs;
            }
        }
        return check;
    }
    // Unicode: letter by letter as the learner sees them, each of its bytes marked alike.
    const TUtf8Letters typedLetters = Utf8Letters(typed, ignoreAccents);
    for (const std::string& form : forms) {
        const TUtf8Letters formLetters = Utf8Letters(form, ignoreAccents);
        const auto same = [&](std::size_t i, std::size_t j) {
            return typedLetters.keys[i] == formLetters.keys[j];
        };
        const std::size_t common =
            Align(typedLetters.keys.size(), formLetters.keys.size(), same, differs);
        if (common > best) {
            best = common;
            for (std::size_t k = 0; k < typedLetters.starts.size(); ++k) {
                const std::size_t end =
                    k + 1 < typedLetters.starts.size() ? typedLetters.starts[k + 1] : typed.size();
                for (std::size_t b = typedLetters.starts[k]; b < end; ++b)
                    check.differs[b] = differs[k];
            }
        }
    }
    return check;
}

} // namespace lexaro
