#include "data/Lesson.h"

#include "data/StrUtil.h"

namespace lexaro {

std::shared_ptr<TWordPear> TLesson::AddPairFromLine(std::string_view line) {
    if (line.empty())
        return nullptr;
    auto pair = std::make_shared<TWordPear>(line);
    if (pair->id < 0 || pair->id > kMaxSlotNumber)
        return nullptr;
    pairs.Set(pair->id, pair);
    return pair;
}

std::shared_ptr<TWordPear> TLesson::PairAt(std::int64_t slot) const {
    return pairs.Get(slot);
}

std::shared_ptr<TWordPear> TLesson::NewPair(std::int64_t slot) {
    if (slot == -1)
        slot = FirstFreeSlot();
    if (slot < 0 || slot > kMaxSlotNumber)
        return nullptr;
    auto pair = std::make_shared<TWordPear>();
    pair->id = static_cast<std::int32_t>(slot);
    if (!pairs.Set(slot, pair))
        return nullptr;
    return pair;
}

bool TLesson::PutPair(std::int64_t slot, std::shared_ptr<TWordPear> pair) {
    if (slot < 0 || slot > kMaxSlotNumber)
        return false;
    return pairs.Set(slot, std::move(pair));
}

void TLesson::Compact() {
    std::int32_t slot = 0;
    bool packed = true;
    for (const auto& p : pairs) {
        if (!p || p->id != slot) {
            packed = false;
            break;
        }
        ++slot;
    }
    if (packed)
        return;
    TVector<TWordPear> moved;
    std::int32_t k = 0;
    for (auto& p : pairs) {
        if (!p)
            continue;
        p->id = k;
        moved.Set(k++, std::move(p));
    }
    pairs = std::move(moved);
}

std::int32_t TLesson::PairCount() const {
    std::int32_t n = 0;
    for (const auto& p : pairs)
        n += p ? 1 : 0;
    return n;
}

std::int32_t TLesson::UsedPairCount() const {
    std::int32_t n = 0;
    for (const auto& p : pairs)
        n += (p && p->use) ? 1 : 0;
    return n;
}

std::int32_t TLesson::DrawnPairCount() const {
    std::int32_t n = 0;
    for (const auto& p : pairs)
        n += (p && p->use && p->drawn) ? 1 : 0;
    return n;
}

std::int32_t TLesson::FindText(std::string_view text, bool language2, const TCodePage& page) const {
    if (text.empty())
        return -1;
    for (const auto& p : pairs) {
        if (!p)
            continue;
        const std::string& own = language2 ? p->text2 : p->text1;
        if (!own.empty() && page.SameTextUpper(own, text))
            return number;
    }
    return -1;
}

void TLesson::ClearDrawn() {
    for (const auto& p : pairs)
        if (p)
            p->ClearDrawn();
}

std::int32_t TLesson::FirstFreeSlot() const {
    std::int32_t slot = 0;
    for (const auto& p : pairs) {
        if (!p)
            return slot;
        ++slot;
    }
    return slot;
}

} // namespace lexaro
