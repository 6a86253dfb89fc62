#pragma once

#include <cstdint>

namespace lexaro {

// What the exercise editor reports when it closes, and so what the main window does with the
// exercise list. The numbers are the ones the editor has always reported.
enum class TChangeKind : std::int32_t {
    Nothing = 4,  // nothing to do
    MaxWords = 5, // the maximum changed: the list is cut or filled up
    Lessons = 6,  // the chosen lessons or their pairs changed: composed anew
    LangFile = 7, // another language file: composed anew
    NoLesson = 8, // no lesson chosen: nothing to do
};

} // namespace lexaro
