#pragma once

#include "data/ByteVector.h"
#include "data/CodeDecode.h"

#include <cstddef>
#include <cstdint>

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

} // namespace lexaro::fuzz
