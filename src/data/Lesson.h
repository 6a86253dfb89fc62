#pragma once

#include "data/CodePage.h"
#include "data/Vector.h"
#include "data/Word_Pear.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace lexaro {

// Slot numbers above this are refused when read from a file: one stray line must not make
// the program reserve gigabytes for empty slots.
inline constexpr std::int32_t kMaxSlotNumber = 999'999;

class TLesson {
public:
    std::int32_t number = 0;
    TVector<TWordPear> pairs;
    bool modified = false;

    // Creates a pair from a stored line and puts it into slot id. Empty lines and lines whose
    // id cannot name a slot are skipped (nullptr) and leave the other pairs untouched. Throws
    // TConvertError when the id is not a decimal number.
    std::shared_ptr<TWordPear> AddPairFromLine(std::string_view line);
    std::shared_ptr<TWordPear> PairAt(std::int64_t slot) const;
    // An empty pair in the given slot, or in FirstFreeSlot for -1; nullptr for a refused slot
    // (negative or above kMaxSlotNumber: a file could not hold it).
    std::shared_ptr<TWordPear> NewPair(std::int64_t slot);
    bool PutPair(std::int64_t slot, std::shared_ptr<TWordPear> pair);
    // Moves the pairs to slots 0, 1, 2, ... in their order and gives each its slot as id: the
    // numbering a saved file has.
    void Compact();

    std::int32_t SlotCount() const { return static_cast<std::int32_t>(pairs.Count()); }
    std::int32_t PairCount() const;
    std::int32_t UsedPairCount() const;
    std::int32_t DrawnPairCount() const;
    // The lesson number when some pair's text in that language equals text ignoring case (the
    // upper case of the file's code page).
    std::int32_t FindText(std::string_view text, bool language2,
                          const TCodePage& page = TCodePage::Western()) const;
    void ClearDrawn();
    void SetModified(bool value) { modified = value; }
    bool IsModified() const { return modified; }
    std::int32_t FirstFreeSlot() const;
};

} // namespace lexaro
