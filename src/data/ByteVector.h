#pragma once

#include "data/VectorBase.h"

#include <cstdint>
#include <vector>

namespace lexaro {

using byteArray = std::vector<std::uint8_t>;

class TByteVector : public TVectorBase<std::uint8_t> {
public:
    byteArray ToArray() const { return byteArray(begin(), end()); }
};

} // namespace lexaro
