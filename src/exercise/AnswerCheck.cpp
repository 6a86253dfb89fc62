#include "exercise/AnswerCheck.h"

#include "data/StrUtil.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace lexaro {

namespace {

// The longest alignment worked out letter by letter; a longer pair of texts gets every typed
// letter marked instead (the answer field holds far less).
constexpr std::size_t kMaxAlignment = std::size_t{1} << 20;

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || static_cast<unsigned char>(ch) == 0xA0;
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
std::string Tidy(std::string_view text) {
    std::string out;
    bool blank = false;
    for (const char ch : text) {
        if (IsBlank(ch)) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += ch;
    }
    return out;
}

// The alternatives of a text: its pieces between ";" (and "," when a comma separates too) that
// stand outside brackets; pieces of nothing but blanks left out.
std::vector<std::string_view> Alternatives(std::string_view text, bool commaSeparates) {
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
        if (!Tidy(piece).empty())
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
std::vector<std::string> Forms(std::string_view text) {
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
        form = Tidy(form);
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

// Marks the letters of typed outside the longest common subsequence with target; returns the
// subsequence's length.
std::size_t Align(std::string_view typed, std::string_view target, const TCodePage& page,
                  bool ignoreAccents, std::vector<bool>& differs) {
    differs.assign(typed.size(), true);
    const std::size_t n = typed.size();
    const std::size_t m = target.size();
    if (n == 0 || m == 0 || n * m > kMaxAlignment)
        return 0;
    const auto same = [&](std::size_t i, std::size_t j) {
        return SameLetter(page, typed[i], target[j], ignoreAccents);
    };
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

} // namespace

TAnswerCheck CheckAnswer(std::string_view solution, std::string_view typed, const TCodePage& page,
                         bool ignoreAccents, bool commaSeparates) {
    TAnswerCheck check;
    // The forms that are right on their own: those of each alternative and of the whole.
    std::vector<std::string> forms;
    const auto add = [&forms](std::string_view text) {
        for (std::string& form : Forms(text))
            if (std::find(forms.begin(), forms.end(), form) == forms.end())
                forms.push_back(std::move(form));
    };
    const std::vector<std::string_view> alternatives = Alternatives(solution, commaSeparates);
    for (const std::string_view alternative : alternatives)
        add(alternative);
    if (alternatives.size() > 1)
        add(solution);

    const auto same = [&](const std::string& a, const std::string& b) {
        return ignoreAccents ? page.LetterKey(a) == page.LetterKey(b) : page.SameTextUpper(a, b);
    };
    const auto known = [&](std::string_view text) {
        const std::vector<std::string> typedForms = Forms(text);
        return std::any_of(typedForms.begin(), typedForms.end(), [&](const std::string& t) {
            return std::any_of(forms.begin(), forms.end(),
                               [&](const std::string& f) { return same(t, f); });
        });
    };
    const std::vector<std::string_view> typedAlternatives = Alternatives(typed, commaSeparates);
    check.right =
        !typedAlternatives.empty() &&
        (known(typed) || std::all_of(typedAlternatives.begin(), typedAlternatives.end(), known));
    if (check.right) {
        check.differs.assign(typed.size(), false);
        return check;
    }
    // The letters that differ from the nearest form; the whole solution when there is none.
    if (forms.empty())
        forms.push_back(Tidy(solution));
    std::size_t best = 0;
    check.differs.assign(typed.size(), true);
    std::vector<bool> differs;
    for (const std::string& form : forms) {
        const std::size_t common = Align(typed, form, page, ignoreAccents, differs);
        if (common > best) {
            best = common;
            check.differs = differs;
        }
    }
    return check;
}

} // namespace lexaro
