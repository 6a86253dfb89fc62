#include "data/Word_Pear.h"

#include "data/StrUtil.h"

#include <charconv>

namespace lexaro {

TWordPear::TWordPear(std::string_view line) {
    if (!line.empty())
        FromLine(line);
}

void TWordPear::AppendLine(std::string& out) const {
    char digits[16];
    const auto res = std::to_chars(digits, digits + sizeof digits, id);
    out.append(digits, res.ptr);
    out += '=';
    out += text1;
    out += '@';
    out += text2;
    out += '#';
    if (use)
        out += drawn ? kMarkDrawn : kMarkUse;
}

std::string TWordPear::ToLine() const {
    std::string out;
    out.reserve(text1.size() + text2.size() + 16);
    AppendLine(out);
    return out;
}

void TWordPear::FromLine(std::string_view line) {
    const auto eq = line.find('=');
    id = StrToIntStrict(line.substr(0, eq == std::string_view::npos ? line.size() : eq));
    if (!line.empty() && line.back() == kMarkUse) {
        use = true;
        drawn = false;
    } else if (!line.empty() && line.back() == kMarkDrawn) {
        use = true;
        drawn = true;
    }
    std::string_view part;
    const auto hash = line.find('#');
    if (eq != std::string_view::npos && hash != std::string_view::npos && hash > eq)
        part = line.substr(eq + 1, hash - eq - 1);
    // Without "@" the whole part is the second language's text.
    const auto texts = SplitAtFirst(part, '@');
    text1.assign(texts ? texts->first : std::string_view());
    text2.assign(texts ? texts->second : part);
}

const char* PairTextProblem(std::string_view text, bool language2) {
    for (char c : text) {
        if (c == '#')
            return "\"#\" cannot be stored in a word pair";
        if (c == '@' && !language2)
            return "\"@\" cannot be stored in the first language's text";
        if (c == '\r' || c == '\n')
            return "a line break cannot be stored in a word pair";
        if (c == '\0')
            return "a zero character cannot be stored in a word pair";
    }
    return nullptr;
}

} // namespace lexaro
