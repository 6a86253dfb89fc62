#pragma once

#include "data/ByteVector.h"
#include "data/StrVector.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lexaro {

// The coded file: marker byte 204, lines each ended by CR LF, an XOR checksum byte, the whole
// scrambled with a rolling XOR whose keys run 1..254.
constexpr std::uint8_t kCodedMarker = 204;

byteArray EncodeLines(const TStrVector& lines);
bool DecodeLines(const byteArray& stored, TStrVector& lines);
byteArray ScrambleBytes(const byteArray& data);
void ScrambleInPlace(std::uint8_t* data, std::size_t size);
bool Checksum(byteArray& data, bool store);
bool DecodeBytes(byteArray& data, bool unscrambleFirst);

// Why a coded file was refused, for tools that explain it.
enum class DecodeFault { None, TooShort, WrongMarker, WrongChecksum };
// Checks unscrambled bytes: the marker first, the checksum last.
DecodeFault CheckPlain(byteArray& plain);
// Unscrambles data in place and checks it; on success [first, last) are the inner bytes.
DecodeFault CheckCoded(byteArray& data, std::size_t& first, std::size_t& last);

// Calls visit for every line of the inner bytes with the coded file's line rule. The views
// point into the given bytes and are cut at a zero byte inside a line.
template <typename Visit> void ForEachLine(const std::uint8_t* data, std::size_t n, Visit&& visit) {
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = i;
        while (j < n && data[j] != 13 && !(j + 1 < n && data[j + 1] == 10))
            ++j;
        std::size_t len = j - i;
        const auto* line = data + i;
        for (std::size_t k = 0; k < len; ++k)
            if (line[k] == 0) {
                len = k;
                break;
            }
        visit(std::string_view(reinterpret_cast<const char*>(line), len));
        i = j + 2;
    }
}

} // namespace lexaro
