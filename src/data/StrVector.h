#pragma once

#include "data/ByteVector.h"
#include "data/VectorBase.h"

#include <string>
#include <vector>

namespace lexaro {

class TStrVector : public TVectorBase<std::string> {
public:
    bool AddBytes(const byteArray& bytes);
    // Splits at CR LF with the coded-file line rule and adds every line.
    bool AddLines(const byteArray& bytes);
    byteArray GetBytes(std::int64_t index) const;
    std::vector<std::string> NonEmptyItems() const;
};

} // namespace lexaro
