// lexaro-textdb: builds the UI text database Text.Db from the readable text sources.
//
//   lexaro-textdb OUTPUT CODE=SOURCE [CODE=SOURCE ...]
//
// Each source is a UTF-8 file of "n=text" lines (with '#' comments and blank lines) that
// must define every text number of the program exactly once. The sections are stored in the
// order given. On any fault every problem is printed as "file:line: message", the output is
// removed (so no stale database outlives a broken source) and the exit status is 1.

#include "TextDbBuild.h"

#include "app/AppLangHandl.h"
#include "data/FileUtil.h"
#include "data/StrUtil.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs("usage: lexaro-textdb OUTPUT CODE=SOURCE [CODE=SOURCE ...]\n"
               "  CODE is a two-letter language code such as EN or DE\n",
               stderr);
    return 2;
}

bool IsCode(const std::string& code) {
    if (code.size() != 2)
        return false;
    for (const char c : code)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

// The database as the program reads it must answer every number with the source's text.
bool ReadsBack(const lexaro::byteArray& stored, const std::vector<lexaro::TTextSection>& sections,
               std::string& problem) {
    lexaro::TAppLangHandler reader;
    if (!reader.OpenTextDbBytes(stored)) {
        problem = "the written database does not open";
        return false;
    }
    for (const auto& section : sections) {
        try {
            if (!reader.SelectLanguage(section.code)) {
                problem = "section " + section.code + " is not found";
                return false;
            }
        } catch (const lexaro::TConvertError& e) {
            problem = "section " + section.code + ": " + e.what();
            return false;
        }
        for (std::size_t n = 0; n < section.texts.size(); ++n)
            if (reader.GetText(static_cast<std::int32_t>(n)) !=
                (section.texts[n].empty() ? lexaro::kMissingText : section.texts[n])) {
                problem =
                    "section " + section.code + " reads text " + std::to_string(n) + " back wrong";
                return false;
            }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string output = argv[1];

    std::vector<std::string> reserved{lexaro::kSectionEnd};
    std::vector<std::pair<std::string, std::string>> inputs;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos || !IsCode(arg.substr(0, eq)) || eq + 1 == arg.size())
            return Usage();
        inputs.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
        reserved.push_back(lexaro::SectionHeader(inputs.back().first));
    }

    std::vector<std::string> errors;
    std::vector<lexaro::TTextSection> sections;
    for (const auto& [code, path] : inputs) {
        for (const auto& section : sections)
            if (section.code == code)
                errors.push_back(path + ": language " + code + " is given twice");
        if (!lexaro::CheckFileExists(path)) {
            errors.push_back(path + ": the file does not exist");
            continue;
        }
        const lexaro::byteArray bytes = lexaro::ReadWholeFile(path);
        const std::string content(bytes.begin(), bytes.end());
        lexaro::TTextSection section{code, {}};
        lexaro::ReadTextSource(content, path, lexaro::kTextCount, reserved, section.texts, errors);
        sections.push_back(std::move(section));
    }

    std::string problem;
    lexaro::byteArray stored;
    if (errors.empty()) {
        stored = lexaro::TextDbFromSections(sections);
        if (!ReadsBack(stored, sections, problem))
            errors.push_back(output + ": " + problem);
    }
    if (errors.empty() && !lexaro::WriteWholeFile(output, stored, true))
        errors.push_back(output + ": cannot be written");

    if (!errors.empty()) {
        for (const auto& error : errors)
            std::fprintf(stderr, "%s\n", error.c_str());
        std::fprintf(stderr, "lexaro-textdb: %zu error(s); %s not written\n", errors.size(),
                     output.c_str());
        lexaro::DeleteFileAt(output);
        return 1;
    }
    return 0;
}
