#include "data/CodeDecode.h"

#include <algorithm>
#include <array>

namespace lexaro {

void ScrambleInPlace(std::uint8_t* data, std::size_t size) {
    // The key runs 1, 2, ..., 254 and starts again at 1. XOR-ing whole blocks with that
    // pattern gives the same bytes and lets the compiler work on many bytes at once.
    static constexpr std::array<std::uint8_t, 254> kPattern = [] {
        std::array<std::uint8_t, 254> p{};
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = static_cast<std::uint8_t>(i + 1);
        return p;
    }();
    for (std::size_t i = 0; i < size; i += kPattern.size()) {
        const std::size_t n = std::min(kPattern.size(), size - i);
        std::uint8_t* block = data + i;
        for (std::size_t j = 0; j < n; ++j)
            block[j] ^= kPattern[j];
    }
}

byteArray ScrambleBytes(const byteArray& data) {
    byteArray out(data);
    ScrambleInPlace(out.data(), out.size());
    return out;
}

bool Checksum(byteArray& data, bool store) {
    if (data.empty())
        return false;
    std::uint8_t x = data[0];
    for (std::size_t k = 1; k + 1 < data.size(); ++k)
        x ^= data[k];
    if (store)
        data.back() = x;
    return x == data.back();
}

byteArray EncodeLines(const TStrVector& lines) {
    std::size_t total = 2;
    for (const auto& line : lines)
        total += line.size() + 2;
    byteArray out;
    out.reserve(total);
    out.push_back(kCodedMarker);
    for (const auto& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back(13);
        out.push_back(10);
    }
    out.push_back(0);
    Checksum(out, true);
    ScrambleInPlace(out.data(), out.size());
    return out;
}

DecodeFault CheckPlain(byteArray& plain) {
    if (plain.size() < 2)
        return DecodeFault::TooShort;
    if (plain[0] != kCodedMarker)
        return DecodeFault::WrongMarker;
    if (!Checksum(plain, false))
        return DecodeFault::WrongChecksum;
    return DecodeFault::None;
}

DecodeFault CheckCoded(byteArray& data, std::size_t& first, std::size_t& last) {
    ScrambleInPlace(data.data(), data.size());
    const DecodeFault fault = CheckPlain(data);
    if (fault == DecodeFault::None) {
        first = 1;
        last = data.size() - 1;
    }
    return fault;
}

bool DecodeLines(const byteArray& stored, TStrVector& lines) {
    byteArray plain(stored);
    std::size_t first = 0;
    std::size_t last = 0;
    if (CheckCoded(plain, first, last) != DecodeFault::None)
        return false;
    ForEachLine(plain.data() + first, last - first,
                [&](std::string_view line) { lines.Add(std::string(line)); });
    return true;
}

bool DecodeBytes(byteArray& data, bool unscrambleFirst) {
    if (unscrambleFirst)
        ScrambleInPlace(data.data(), data.size());
    if (CheckPlain(data) != DecodeFault::None)
        return false;
    data = byteArray(data.begin() + 1, data.end() - 1);
    return true;
}

} // namespace lexaro
