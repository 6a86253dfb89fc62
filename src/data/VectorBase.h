#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lexaro {

// Shared machinery of the vector family. Callers rely on reading past the end giving the empty
// value and on writing past the end growing the vector, so both are ordinary operations here.
// The capacity that callers see follows the classic "index + 10" rule, while the storage
// underneath grows geometrically so that long runs of Add stay linear.
template <typename T> class TVectorBase {
public:
    static constexpr std::uint32_t InitialCapacity = 10;
    // Indices from 2^31 - 10 on (every negative index among them) are refused.
    static constexpr std::int64_t IndexLimit = 2147483638;

    TVectorBase() { slots_.resize(InitialCapacity); }

    std::uint32_t Count() const { return count_; }
    std::uint32_t capacity() const { return capacity_; }

    T Get(std::int64_t index) const {
        if (index < 0 || index >= static_cast<std::int64_t>(count_))
            return T{};
        return slots_[static_cast<std::size_t>(index)];
    }

    bool Set(std::int64_t index, T value) {
        if (index < 0 || index >= IndexLimit)
            return false;
        const auto i = static_cast<std::size_t>(index);
        if (index >= static_cast<std::int64_t>(capacity_)) {
            capacity_ = static_cast<std::uint32_t>(index + 10);
        }
        if (i >= slots_.size()) {
            std::size_t grown = slots_.size() * 2;
            if (grown < static_cast<std::size_t>(capacity_))
                grown = capacity_;
            slots_.resize(grown);
        }
        slots_[i] = std::move(value);
        if (index >= static_cast<std::int64_t>(count_))
            count_ = static_cast<std::uint32_t>(index + 1);
        return true;
    }

    bool Add(T value) { return Set(count_, std::move(value)); }

    void Clear() {
        slots_.clear();
        slots_.resize(InitialCapacity);
        count_ = 0;
        capacity_ = InitialCapacity;
    }

    // Direct access to the slots in use, for loops that walk the whole vector.
    const T* begin() const { return slots_.data(); }
    const T* end() const { return slots_.data() + count_; }

protected:
    std::vector<T> slots_;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = InitialCapacity;
};

} // namespace lexaro
