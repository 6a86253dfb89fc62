#pragma once

// lexaro-lang's explained load: a language file read with the program's own reader, and in
// words what stopped it. Nothing here prints.

#include "data/ByteVector.h"
#include "data/CodeDecode.h"
#include "data/LangFHandler.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lexaro {

// The reason a coded file was refused, in words.
std::string DescribeFault(DecodeFault fault);

// A decoded language file with what went wrong on the way.
struct TLangFileReport {
    bool readable = false; // the file exists and could be read
    DecodeFault fault = DecodeFault::None;
    bool hasGeneral = false;        // a "[General]" line was seen
    bool convertFailed = false;     // a lesson or pair number is not decimal
    std::int32_t badLine = 0;       // 1-based line inside the file with that number
    std::string badLineText;        // that line, as stored
    std::string convertMessage;     // the conversion error's text, the number as stored
    std::vector<std::string> lines; // the decoded lines, as stored
};

// Loads the stored bytes of a language file into a cleared model with the program's own
// reader and fills the report; true when the model holds the whole file.
bool LoadLangBytes(const byteArray& stored, TLangFHandler& model, TLangFileReport& report);

} // namespace lexaro
