#pragma once

#include "data/VectorBase.h"

namespace lexaro {

// Stored as bytes, not std::vector<bool>, so that slots stay plain values.
class TBoolVector {
public:
    std::uint32_t Count() const { return v_.Count(); }
    std::uint32_t capacity() const { return v_.capacity(); }
    bool Get(std::int64_t index) const { return v_.Get(index) != 0; }
    bool Set(std::int64_t index, bool value) { return v_.Set(index, value ? 1 : 0); }

private:
    TVectorBase<unsigned char> v_;
};

} // namespace lexaro
