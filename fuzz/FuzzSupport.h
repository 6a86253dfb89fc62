#pragma once

#include "data/ByteVector.h"
#include "data/Charset.h"
#include "data/CodeDecode.h"
#include "data/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lexaro::fuzz {

// A property that must hold: the fuzzer reports a crash when it does not.
inline void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// The bytes as the content of a valid coded file (marker, content, checksum, then the given
// number of zero bytes, all scrambled), so that parsers are reached past the frame checks.
inline byteArray CodedFrame(const std::uint8_t* data, std::size_t size,
                            std::size_t terminators = 0) {
    byteArray plain;
    plain.reserve(size + 2 + terminators);
    plain.push_back(kCodedMarker);
    plain.insert(plain.end(), data, data + size);
    plain.push_back(0);
    Checksum(plain, true);
    plain.insert(plain.end(), terminators, 0);
    ScrambleInPlace(plain.data(), plain.size());
    return plain;
}

// The code page a target stores text in, Unicode (65001) among them: chosen by the input's
// length, so that a run is deterministic and mutations reach every code page.
inline const TCodePage& CodePageOf(std::size_t size) {
    return TCodePage::Get(TCodePage::kNumbers[size % TCodePage::kNumbers.size()]);
}

// Valid UTF-8 without control characters: what a message may put on a terminal (text that
// would be invisible or is not UTF-8 is shown by its code).
inline bool PrintableUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        if (!Utf8CharAt(text, pos, cp) || cp < 0x20 || (cp >= 0x7F && cp <= 0x9F))
            return false;
        pos += Utf8Length(cp);
    }
    return true;
}

} // namespace lexaro::fuzz
