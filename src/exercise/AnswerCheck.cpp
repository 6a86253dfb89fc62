#include "exercise/AnswerCheck.h"

#include "data/StrUtil.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace lexaro {

namespace {

using TKey = std::basic_string<std::uint16_t>;

// The longest alignment worked out letter by letter; a longer pair of texts gets every typed
// letter marked instead (the answer field holds far less).
constexpr std::size_t kMaxAlignment = std::size_t{1} << 20;

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || static_cast<unsigned char>(ch) == 0xA0;
}

bool IsSeparator(char ch) {
    return ch == ';' || ch == ',';
}

// The text without its "(..)" and "[..]" parts, through the speech's own helper. The brackets
// are ASCII in every code page, so the bytes pass through UTF-16 one to one.
std::string WithoutEnclosed(std::string_view text) {
    static const DelimiterPairs kBrackets{{u'[', u']'}, {u'(', u')'}};
    std::u16string wide(text.size(), u'\0');
    std::transform(text.begin(), text.end(), wide.begin(),
                   [](char ch) { return static_cast<char16_t>(static_cast<unsigned char>(ch)); });
    const std::u16string kept = RemoveEnclosed(wide, kBrackets);
    std::string out(kept.size(), '\0');
    std::transform(kept.begin(), kept.end(), out.begin(),
                   [](char16_t ch) { return static_cast<char>(static_cast<unsigned char>(ch)); });
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

// The parts between separators, tidied; empty parts left out.
std::vector<std::string> Parts(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSeparator(text[i]))
            continue;
        std::string part = Tidy(text.substr(begin, i - begin));
        if (!part.empty())
            parts.push_back(std::move(part));
        begin = i + 1;
    }
    return parts;
}

// What is compared of one letter.
std::uint16_t LetterWeight(const TCodePage& page, char ch, bool ignoreAccents) {
    return ignoreAccents ? page.Row(static_cast<unsigned char>(ch)).primary
                         : static_cast<unsigned char>(page.Upper(ch));
}

TKey KeyOf(std::string_view text, const TCodePage& page, bool ignoreAccents) {
    if (ignoreAccents)
        return page.LetterKey(text);
    TKey key;
    for (const char ch : text)
        key.push_back(LetterWeight(page, ch, false));
    return key;
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
    // lengths[i][j]: the subsequence of typed[i..] and target[j..].
    std::vector<std::uint16_t> lengths((n + 1) * (m + 1), 0);
    const auto at = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lengths[at(i, j)] = LetterWeight(page, typed[i], ignoreAccents) ==
                                        LetterWeight(page, target[j], ignoreAccents)
                                    ? static_cast<std::uint16_t>(lengths[at(i + 1, j + 1)] + 1)
                                    : std::max(lengths[at(i + 1, j)], lengths[at(i, j + 1)]);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n && j < m) {
        if (LetterWeight(page, typed[i], ignoreAccents) ==
            LetterWeight(page, target[j], ignoreAccents)) {
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
                         bool ignoreAccents) {
    TAnswerCheck check;
    const std::string solutionText = WithoutEnclosed(solution);
    const std::string typedText = WithoutEnclosed(typed);

    // The forms that are right on their own: the whole solution and each alternative.
    std::vector<std::string> forms = Parts(solutionText);
    const std::string whole = Tidy(solutionText);
    if (forms.size() > 1)
        forms.push_back(whole);
    std::vector<TKey> keys;
    for (const std::string& form : forms)
        keys.push_back(KeyOf(form, page, ignoreAccents));

    const std::string typedWhole = Tidy(typedText);
    const std::vector<std::string> typedParts = Parts(typedText);
    const auto known = [&](const std::string& text) {
        return std::find(keys.begin(), keys.end(), KeyOf(text, page, ignoreAccents)) != keys.end();
    };
    check.right = !typedWhole.empty() &&
                  (known(typedWhole) || (!typedParts.empty() &&
                                         std::all_of(typedParts.begin(), typedParts.end(), known)));
    if (check.right) {
        check.differs.assign(typed.size(), false);
        return check;
    }
    // The letters that differ from the nearest form; the whole solution when there is none.
    if (forms.empty())
        forms.push_back(whole);
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
