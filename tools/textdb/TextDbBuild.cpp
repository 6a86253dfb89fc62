#include "TextDbBuild.h"

#include "app/AppLangHandl.h"
#include "data/Charset.h"
#include "data/CodeDecode.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <map>

namespace lexaro {

namespace {

std::string At(const std::string& fileName, std::int32_t line, const std::string& message) {
    return fileName + ":" + std::to_string(line) + ": " + message;
}

bool IsDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (const char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Control characters, the C1 ones that the code page's five unused bytes stand for included.
bool IsControl(unsigned char byte) {
    const char32_t cp = Cp1252ToUnicode(byte);
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

} // namespace

std::string SectionHeader(std::string_view code) {
    return "[" + std::string(code) + "]";
}

bool ReadTextSource(std::string_view content, const std::string& fileName, std::int32_t count,
                    const std::vector<std::string>& reserved, std::vector<std::string>& texts,
                    std::vector<std::string>& errors) {
    const std::size_t errorsBefore = errors.size();
    texts.assign(static_cast<std::size_t>(count), std::string());
    std::map<std::int32_t, std::int32_t> definedOn;

    if (content.substr(0, 3) == "\xEF\xBB\xBF")
        content.remove_prefix(3);

    std::int32_t lineNo = 0;
    ForEachTextLine(content, [&](std::string_view line, std::string_view) {
        ++lineNo;
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == '#')
            return;

        const std::size_t eq = line.find('=');
        const std::string_view numberText =
            eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
        std::int32_t n = 0;
        if (!IsDigits(numberText)) {
            errors.push_back(At(fileName, lineNo, "expected a line of the form number=text"));
            return;
        }
        if (!TryStrToInt(numberText, n) || n >= count) {
            errors.push_back(At(fileName, lineNo,
                                "text number " + std::string(numberText) + " is outside 0.." +
                                    std::to_string(count - 1)));
            return;
        }
        const std::string label = "text " + std::to_string(n);
        if (const auto seen = definedOn.find(n); seen != definedOn.end()) {
            errors.push_back(At(fileName, lineNo,
                                label + " is defined twice (first on line " +
                                    std::to_string(seen->second) + ")"));
            return;
        }
        definedOn.emplace(n, lineNo);

        const std::string_view utf8 = line.substr(eq + 1);
        if (utf8.empty()) {
            errors.push_back(At(fileName, lineNo, label + " is empty"));
            return;
        }
        std::string cp1252;
        std::size_t badPos = 0;
        if (!Utf8ToCp1252(utf8, cp1252, &badPos)) {
            errors.push_back(At(fileName, lineNo,
                                label +
                                    " is not Windows-1252: invalid UTF-8 or a character the "
                                    "code page cannot hold at column " +
                                    std::to_string(eq + 2 + badPos)));
            return;
        }
        bool ok = true;
        for (const char c : cp1252)
            if (IsControl(static_cast<unsigned char>(c))) {
                errors.push_back(At(fileName, lineNo, label + " contains a control character"));
                ok = false;
                break;
            }
        for (const auto& marker : reserved)
            if (ok && cp1252.find(marker) != std::string::npos) {
                errors.push_back(At(fileName, lineNo,
                                    label + " contains \"" + marker +
                                        "\", which the reader takes for a section marker"));
                ok = false;
            }
        if (ok)
            texts[static_cast<std::size_t>(n)] = std::move(cp1252);
    });

    for (std::int32_t n = 0; n < count; ++n)
        if (!definedOn.contains(n))
            errors.push_back(At(fileName, std::max(lineNo, 1),
                                "text " + std::to_string(n) +
                                    " is missing (every number from 0 to " +
                                    std::to_string(count - 1) + " needs a text)"));
    return errors.size() == errorsBefore;
}

byteArray TextDbFromContent(std::string_view content) {
    byteArray plain;
    plain.reserve(content.size() + 3);
    plain.push_back(kCodedMarker);
    plain.insert(plain.end(), content.begin(), content.end());
    plain.push_back(0);
    Checksum(plain, true);
    plain.push_back(0);
    ScrambleInPlace(plain.data(), plain.size());
    return plain;
}

byteArray TextDbFromSections(const std::vector<TTextSection>& sections) {
    std::string content;
    for (const auto& section : sections) {
        content += SectionHeader(section.code) + "\r\n";
        // A number kept free has no text and no line.
        for (std::size_t n = 0; n < section.texts.size(); ++n)
            if (!section.texts[n].empty())
                content += std::to_string(n) + "=" + section.texts[n] + "\r\n";
        content += std::string(kSectionEnd) + "\r\n";
    }
    return TextDbFromContent(content);
}

} // namespace lexaro
