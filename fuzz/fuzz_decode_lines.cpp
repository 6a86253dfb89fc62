// Coded files come from disk and may hold anything: decoding must never crash, and whatever
// lines come out must survive another encode and decode unchanged. The input is tried as a
// stored file and as content in a valid frame, so that the line splitting is reached.
#include "data/CodeDecode.h"
#include "data/StrVector.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using lexaro::fuzz::Check;

void DecodeAndEncodeAgain(const lexaro::byteArray& stored) {
    lexaro::TStrVector lines;
    if (!lexaro::DecodeLines(stored, lines)) {
        Check(lines.Count() == 0);
        return;
    }
    // The line rule lets a line begin with a bare LF; such lines cannot be written again.
    lexaro::TStrVector clean;
    for (const auto& line : lines) {
        Check(line.find_first_of(std::string_view("\r\0", 2)) == std::string::npos);
        if (line.find('\n') == std::string::npos)
            clean.Add(line);
    }
    lexaro::TStrVector again;
    Check(lexaro::DecodeLines(lexaro::EncodeLines(clean), again));
    Check(again.Count() == clean.Count());
    for (std::uint32_t i = 0; i < clean.Count(); ++i)
        Check(again.Get(i) == clean.Get(i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeAndEncodeAgain(lexaro::byteArray(data, data + size));

    DecodeAndEncodeAgain(lexaro::fuzz::CodedFrame(data, size));
    return 0;
}
