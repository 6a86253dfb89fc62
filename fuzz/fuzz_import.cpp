// Any file handed to lexaro-lang import, as the command reads it: binary files are said as what
// they are, UTF-16 with a byte-order mark is read as text, the format is taken from the content.
// Reading must never crash, everything said is printable UTF-8 with a line, a file refused as a
// whole gives nothing else, and the pairs taken hold texts that a language file can store.
#include "LangImport.h"

#include "FuzzSupport.h"

#include "data/Word_Pear.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

using lexaro::fuzz::Check;
using lexaro::fuzz::PrintableUtf8;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const lexaro::TCodePage& page = lexaro::fuzz::CodePageOf(size);
    // The header choice by the length too: as the content shows, yes, no.
    const lexaro::THeaderChoice header =
        size % 3 == 0 ? std::nullopt : std::optional<bool>(size % 3 == 1);
    const lexaro::TImportSource source = lexaro::ReadImport(bytes, std::nullopt, page, header);
    Check(PrintableUtf8(source.fault));
    if (!source.fault.empty()) {
        Check(source.rows.empty() && source.problems.empty() && source.notes.empty());
        return 0;
    }
    for (const auto& reading : source.readings)
        Check(!reading.empty() && PrintableUtf8(reading));
    for (const auto& list : {source.problems, source.notes, source.undrawn}) {
        for (const auto& problem : list) {
            Check(!problem.message.empty() && PrintableUtf8(problem.message));
            Check(problem.line >= 0);
        }
    }
    for (const auto& row : source.rows) {
        Check(row.line >= 1);
        Check(!row.text1.empty() && !row.text2.empty());
        Check(!lexaro::PairTextProblem(row.text1, false) &&
              !lexaro::PairTextProblem(row.text2, true));
        Check(lexaro::PairTextsFit(row.text1, row.text2));
        Check(!row.drawn || row.use);
    }
    return 0;
}
