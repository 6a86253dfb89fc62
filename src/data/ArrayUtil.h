#pragma once

#include "data/ByteVector.h"
#include "data/IntVector.h"

#include <cstdint>
#include <functional>

namespace lexaro {

// The pseudo-random generator behind the shuffles: a 32-bit linear congruential generator
// with an observable seed, so that the reseed rule below can be kept exactly.
class TRandomGen {
public:
    using Clock = std::function<std::uint32_t()>;

    explicit TRandomGen(std::uint32_t seed = 0, Clock clock = {});

    std::uint32_t seed() const { return seed_; }
    void setSeed(std::uint32_t s) { seed_ = s; }
    // A number in [0, range); 0 for a range of 0 or less.
    std::int32_t Random(std::int32_t range);
    // Reseeds from the clock until the seed differs from the current one.
    void Randomize();

    // The seed with which the previous shuffle began (the initial seed at first).
    std::uint32_t rememberedSeed = 0;

private:
    std::uint32_t seed_;
    Clock clock_;
};

// The generator that the program's shuffles use unless they are handed another.
TRandomGen& DefaultRandom();

void ShuffleInts(intArray& a);
void ShuffleInts(intArray& a, TRandomGen& rng);
byteArray DeleteBytes(const byteArray& a, std::int64_t pos, std::int64_t n);
bool IntArraysEqual(const intArray& a, const intArray& b);

} // namespace lexaro
