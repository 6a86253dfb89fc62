// Exercise entries ("lesson-pair-priority") are read from the settings file as they stand.
#include "exercise/ExerciseData.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lexaro;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ExerciseEntry entry;
    if (ParseExerciseEntry(text, entry)) {
        // A parsed entry has a one-digit priority and survives its own text form.
        if (entry.priority < 0 || entry.priority > 9)
            __builtin_trap();
        ExerciseEntry again;
        if (!ParseExerciseEntry(FormatExerciseEntry(entry), again) || !(again == entry))
            __builtin_trap();
    } else if (!(entry == ExerciseEntry{-1, -1, -1, false})) {
        __builtin_trap();
    }
    return 0;
}
