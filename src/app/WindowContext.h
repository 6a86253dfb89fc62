#pragma once

#include "exercise/ExerciseData.h"
#include "progress/Journal.h"

#include <functional>
#include <memory>
#include <vector>

namespace lexaro {

class IMessageSink;
class TAppIniFile;
class TAppLangHandler;
class TLangFHandler;
class TSpeechEngine;

// What a window that the main window opens gets to work with: the objects the program shares
// and the few services of the main window it needs. Everything is shared, so nothing dangles
// when the main window reloads its language file or closes first.
struct TWindowContext {
    std::shared_ptr<TAppIniFile> settings;
    std::shared_ptr<TAppLangHandler> texts;
    // The main window's copy of the language file, as the last composition loaded it.
    std::shared_ptr<TLangFHandler> langFile;
    // None while no speech engine is available.
    std::shared_ptr<TSpeechEngine> speech;
    // Where a window's reports to the learner go (a message box in the program).
    std::shared_ptr<IMessageSink> messages;
    // True while the first language is the presented one; asked anew for every card.
    std::function<bool()> firstLanguage;
    // Holds back the entries with priorities 1 to 8; run when the exercise window closes.
    std::function<void()> splitHeldBack;
    // Applies the pairs' marks to the language file as it is on disk at that moment and saves
    // it; the shared copy becomes that file. A failure has been reported when it gives false.
    std::function<bool(const std::vector<TPairMarks>&)> saveMarks;
    // Appends one card of an exercise run, when it has left the table, to the practice journal
    // beside the exercise's language file (progress/Journal.h), stamped with the time of the
    // call (the time it ended), in one small write. A failed write is reported once until a
    // write succeeds again; the lines not written meanwhile go with that write.
    std::function<void(const TCardResult&)> recordCard;
    // Opens the help topic of a help context.
    std::function<void(int context)> showHelp;
};

} // namespace lexaro
