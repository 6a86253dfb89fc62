#pragma once

// lexaro-lang: checks, dumps, exports, imports and speaks language files and brings back their
// versions. This is its command line:
// it reads the arguments, calls the table module (LangTable.h) and the explained load
// (LangFileReport.h), and prints. main.cpp only hands over the arguments, so that tests run
// the whole tool in process.

#include "LangSpeak.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace lexaro {

inline constexpr int kLangToolOk = 0;
inline constexpr int kLangToolBadData = 1;
inline constexpr int kLangToolUsage = 2;

// What the tool gets from where it runs.
struct TLangToolEnv {
    // The speech control for speak (espeak-ng in the program); empty: speak is not available.
    TTrackControlFactory speechControl;
    // err is a terminal: speak shows its progress there.
    bool errIsTerminal = false;
    // The folder of the program's settings (Lexaro.Ini): beside the program in the bundled
    // application folder, else the learner's (AppFolders.h); empty: none.
    std::filesystem::path settingsFolder;
    // Where the settings' relative paths (the language file they name) start: the bundled
    // application folder, else the learner's data folder (AppFolders.h); empty: the settings
    // folder.
    std::filesystem::path dataFolder;
    // The time now in seconds since 1970 (UTC), for what is due; empty: the system's clock.
    std::function<std::int64_t()> now;
};

// The whole command line tool. args excludes the program name; returns the exit status.
int RunLangTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const TLangToolEnv& env = {});

// The usage text shown by --help.
std::string LangToolUsage();

} // namespace lexaro
