#pragma once

#include "data/PairRenumbering.h"
#include "data/Word_Pear.h"

#include <cstdint>
#include <optional>

namespace lexaro {

// A pair together with the number of the lesson it came from: a row of the lesson table and
// the editors' cut-and-paste buffer.
struct rWordPairData {
    rWordPear pair;
    std::int32_t lesson = -1;
    // Where the pair stood in the exercise's language file when the exercise editor opened;
    // none for a pair made since. It travels with the row (sorts, moves, cut and paste), so
    // that the editor can tell where each pair of that file went.
    std::optional<TPairKey> origin;
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
