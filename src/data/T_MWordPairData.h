#pragma once

#include "data/Word_Pear.h"

#include <cstdint>

namespace lexaro {

// A pair together with the number of the lesson it came from: a row of the lesson table and
// the editors' cut-and-paste buffer.
struct rWordPairData {
    rWordPear pair;
    std::int32_t lesson = -1;
};

class TMWordPairData {
public:
    void SetData(const rWordPairData& data) { data_ = data; }
    rWordPairData GetData() const { return data_; }
    // The buffer counts as empty while its lesson is 0 or less.
    bool IsEmpty() const { return data_.lesson <= 0; }

private:
    rWordPairData data_;
};

} // namespace lexaro
