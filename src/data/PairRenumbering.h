#pragma once

// Where the pairs of a language file went when it was written anew. A lesson's pairs are
// numbered 0, 1, 2, ... in table order on every save, so a pair deleted, moved to another
// lesson or sorted changes the numbers of others; whatever names pairs by lesson and number
// (the exercise list, the held-back list) follows this record to keep naming the same words.

#include <compare>
#include <cstdint>
#include <map>
#include <optional>

namespace lexaro {

// A pair by its lesson number and its number in that lesson.
struct TPairKey {
    std::int32_t lesson = -1;
    std::int32_t id = -1;
    friend auto operator<=>(const TPairKey&, const TPairKey&) = default;
};

class TPairRenumbering {
public:
    // The pair that stood at from now stands at to.
    void Move(TPairKey from, TPairKey to) { places_[from] = to; }
    // The pair that stood at from is not in the file any more.
    void Remove(TPairKey from) { places_[from] = std::nullopt; }
    // Where the pair that stood at key stands now; none when it is gone. A key that was never
    // listed keeps its place: the writer lists every pair of the file as it was.
    std::optional<TPairKey> PlaceOf(TPairKey key) const {
        const auto it = places_.find(key);
        return it == places_.end() ? std::optional<TPairKey>(key) : it->second;
    }
    bool Listed(TPairKey key) const { return places_.count(key) != 0; }
    const std::map<TPairKey, std::optional<TPairKey>>& Places() const { return places_; }

private:
    std::map<TPairKey, std::optional<TPairKey>> places_;
};

} // namespace lexaro
