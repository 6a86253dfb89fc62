#pragma once

// Where the pairs that the editors hold came from: for each pair object of the exercise
// editor's lessons that stood in the exercise's language file when the editor opened, its
// place there. The lesson editor reads the origins of the pairs it is given and records those
// of the pairs it rebuilds; the exercise editor follows them to tell the main window where
// each pair of that file went when it writes the file.

#include "data/PairRenumbering.h"
#include "data/Word_Pear.h"

#include <map>
#include <memory>
#include <optional>

namespace lexaro {

class TPairOrigins {
public:
    // None forgets the pair's origin: it is a new pair.
    void Set(const std::shared_ptr<const TWordPear>& pair, std::optional<TPairKey> origin) {
        if (!pair)
            return;
        if (origin)
            origins_[pair] = *origin;
        else
            origins_.erase(pair);
    }
    std::optional<TPairKey> Of(const std::shared_ptr<const TWordPear>& pair) const {
        const auto it = pair ? origins_.find(pair) : origins_.end();
        return it == origins_.end() ? std::nullopt : std::optional<TPairKey>(it->second);
    }

private:
    // By the pair object itself; a pair that is gone leaves an entry no other pair can match.
    std::map<std::weak_ptr<const TWordPear>, TPairKey, std::owner_less<>> origins_;
};

} // namespace lexaro
