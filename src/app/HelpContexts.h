#pragma once

#include <string_view>

namespace lexaro {

// Help contexts: the number a window or control carries, and the help topic F1 opens for it.
inline constexpr int kHelpMainWindow = 1;
inline constexpr int kHelpExercise = 2;
inline constexpr int kHelpExerciseEditor = 3;
inline constexpr int kHelpLessonEditor = 4;
inline constexpr int kHelpPriorities = 5;
inline constexpr int kHelpGeneral = 6;
inline constexpr int kHelpComposition = 7;
inline constexpr int kHelpSettings = 8;
inline constexpr int kHelpProgress = 9;

// The topic name (an anchor of the help pages) of a help context; empty for none.
constexpr std::string_view HelpTopic(int context) {
    switch (context) {
    case kHelpMainWindow:
        return "Hauptfenster";
    case kHelpExercise:
        return "Uebung";
    case kHelpExerciseEditor:
        return "EditLangLesson";
    case kHelpLessonEditor:
        return "EditLesson";
    case kHelpPriorities:
        return "Prioritaeten";
    case kHelpGeneral:
        return "Allgemeines";
    case kHelpComposition:
        return "Zusammenstellung";
    case kHelpSettings:
        return "AllgEinstell";
    case kHelpProgress:
        return "Fortschritt";
    default:
        return {};
    }
}

} // namespace lexaro
