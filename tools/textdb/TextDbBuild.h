#pragma once

#include "data/ByteVector.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

// Building Text.Db from the readable text sources (one UTF-8 file per language, lines
// "n=text", '#' comments and blank lines allowed).

// One language of the database: its two-letter code and text n in slot n (Windows-1252).
struct TTextSection {
    std::string code;
    std::vector<std::string> texts;
};

// Reads one source. texts receives count slots; every number from 0 to count - 1 must have
// exactly one non-empty text.
// Faults are appended to errors as "fileName:line: message"; no text may contain one of the
// reserved markers (section headers and the end line), because the reader would take it for the
// start or end of a section.
bool ReadTextSource(std::string_view content, const std::string& fileName, std::int32_t count,
                    const std::vector<std::string>& reserved, std::vector<std::string>& texts,
                    std::vector<std::string>& errors);

// The stored form of a database whose content (the section lines, CR LF included) is given:
// marker, content, checksum, one zero byte, all scrambled.
byteArray TextDbFromContent(std::string_view content);

// The stored form of the given sections, each a header line, its text lines and the end line.
byteArray TextDbFromSections(const std::vector<TTextSection>& sections);

// The header line marker of a language ("[EN]") and the end line marker "[##]".
std::string SectionHeader(std::string_view code);
inline constexpr const char* kSectionEnd = "[##]";

} // namespace lexaro
