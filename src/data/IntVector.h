#pragma once

#include "data/VectorBase.h"

#include <cstdint>
#include <vector>

namespace lexaro {

using intArray = std::vector<std::int32_t>;

class TIntVector : public TVectorBase<std::int32_t> {};

} // namespace lexaro
