#pragma once

#include "data/VectorBase.h"

#include <memory>

namespace lexaro {

// A vector of shared object references. Holders of an element keep it alive on their own,
// so a window that keeps a lesson or a pair never sees it dangle when the vector reloads.
template <typename T> class TVector : public TVectorBase<std::shared_ptr<T>> {
public:
    // Drops the references in slots n to count - 1 and sets the count to n.
    void Truncate(std::uint32_t n) {
        if (n == this->count_)
            return;
        for (std::uint32_t i = n; i < this->count_ && i < this->slots_.size(); ++i)
            this->slots_[i].reset();
        this->count_ = n;
    }
};

} // namespace lexaro
