#include "exercise/ExerciseData.h"

#include "data/Lesson.h"
#include "data/StrUtil.h"

namespace lexaro {

bool ParseExerciseEntry(std::string_view text, ExerciseEntry& entry) {
    entry = ExerciseEntry{-1, -1, -1, false};
    const auto p = text.find('-');
    if (p == std::string_view::npos || p == 0)
        return false;
    // The priority is the last character alone; one character (the second "-") stands
    // between the pair id and it.
    const std::size_t pairEnd = text.size() >= 2 ? text.size() - 2 : 0;
    const std::string_view pairText =
        pairEnd > p + 1 ? text.substr(p + 1, pairEnd - (p + 1)) : std::string_view{};
    ExerciseEntry parsed;
    if (!TryStrToInt(text.substr(0, p), parsed.lesson) || !TryStrToInt(pairText, parsed.pairId) ||
        !TryStrToInt(text.substr(text.size() - 1), parsed.priority))
        return false;
    entry = parsed;
    return true;
}

std::string FormatExerciseEntry(const ExerciseEntry& entry) {
    return std::to_string(entry.lesson) + "-" + std::to_string(entry.pairId) + "-" +
           std::to_string(entry.priority);
}

bool EntryValid(const ExerciseEntry& entry) {
    return entry.lesson >= 0 && entry.lesson <= kMaxSlotNumber && entry.pairId >= 0 &&
           entry.pairId <= kMaxSlotNumber && entry.priority >= 0 && entry.priority <= 9;
}

} // namespace lexaro
