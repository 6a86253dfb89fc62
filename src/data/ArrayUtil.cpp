#include "data/ArrayUtil.h"

#include <chrono>
#include <utility>

namespace lexaro {

namespace {

std::uint32_t ClockSeed() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return static_cast<std::uint32_t>(ns ^ (ns >> 32));
}

} // namespace

TRandomGen::TRandomGen(std::uint32_t seed, Clock clock)
    : rememberedSeed(seed), seed_(seed), clock_(std::move(clock)) {
    if (!clock_)
        clock_ = ClockSeed;
}

std::int32_t TRandomGen::Random(std::int32_t range) {
    seed_ = seed_ * 134775813u + 1u;
    if (range <= 0)
        return 0;
    return static_cast<std::int32_t>(
        (static_cast<std::uint64_t>(seed_) * static_cast<std::uint64_t>(range)) >> 32);
}

void TRandomGen::Randomize() {
    const std::uint32_t old = seed_;
    // A clock that stands still would never give a new seed; step on from it instead.
    for (std::uint32_t bump = 0; seed_ == old; ++bump)
        seed_ = clock_() + bump;
}

TRandomGen& DefaultRandom() {
    static TRandomGen generator;
    return generator;
}

void ShuffleInts(intArray& a) {
    ShuffleInts(a, DefaultRandom());
}

void ShuffleInts(intArray& a, TRandomGen& rng) {
    if (rng.seed() == rng.rememberedSeed)
        rng.Randomize();
    rng.rememberedSeed = rng.seed();

    const auto length = static_cast<std::int64_t>(a.size());
    const auto h = static_cast<std::int32_t>(length / 2);
    if (length == 0)
        return;
    for (std::int64_t k = 0; k < 4 * static_cast<std::int64_t>(h) + 1; ++k) {
        const auto i = static_cast<std::size_t>(rng.Random(h));
        const auto j = static_cast<std::size_t>(h + rng.Random(h));
        std::swap(a[i], a[j]);
    }
    if (length % 2 == 1)
        std::swap(a[static_cast<std::size_t>(rng.Random(h))], a[static_cast<std::size_t>(2 * h)]);
}

byteArray DeleteBytes(const byteArray& a, std::int64_t pos, std::int64_t n) {
    const auto len = static_cast<std::int64_t>(a.size());
    if (n > len || n <= 0 || pos < 0 || pos >= len)
        return a;
    const std::int64_t end = pos + n > len ? len : pos + n;
    byteArray out;
    out.reserve(static_cast<std::size_t>(len - (end - pos)));
    out.insert(out.end(), a.begin(), a.begin() + pos);
    out.insert(out.end(), a.begin() + end, a.end());
    return out;
}

bool IntArraysEqual(const intArray& a, const intArray& b) {
    return a == b;
}

} // namespace lexaro
