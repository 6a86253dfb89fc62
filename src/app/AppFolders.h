#pragma once

// Where Lexaro keeps what. Two forms, one rule: when Text.Db (or Lexaro.Ini) stands beside the
// program (the bundled application folder), Lexaro is portable and everything is in that
// folder; the learner may delete Lexaro.Ini to reset the settings, so the form never hangs on
// it. Otherwise it is installed: the settings in $XDG_CONFIG_HOME/lexaro (~/.config/lexaro),
// the learner's language files and everything written in $XDG_DATA_HOME/lexaro
// (~/.local/share/lexaro), and the program's own read-only data (Text.Db, help, the registry
// store Lexaro.Reg, the presets) in ../share/lexaro beside the program's folder, so an unpacked
// package works from any root and an upgrade's data arrives at once. This object decides the
// form and hands out the folders; nothing else asks (the program, and lexaro-lang for the
// settings it reads).

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace lexaro {

enum class TAppForm { Portable, Installed };

struct TAppFolders {
    TAppForm form = TAppForm::Portable;
    // Where Lexaro.Ini is read and written.
    std::filesystem::path settings;
    // The application folder: the settings' relative paths start here; LangFiles, the
    // registry store and whatever the program writes are here.
    std::filesystem::path data;
    // The program's read-only data: Text.Db, help and the registry store (Lexaro.Reg).
    std::filesystem::path resources;
    // What a start without settings copies: Lexaro.Ini and LangFiles/ with the starter
    // language file. The installed form's are among its resources; the portable form keeps
    // them in its folder's presets/.
    std::filesystem::path presets;

    // Everything in one folder, the presets in its presets/.
    static TAppFolders Portable(const std::filesystem::path& folder);
};

// An environment variable's value; none when it is not set.
using TEnvironment = std::function<std::optional<std::string>(const char* name)>;
// The process's own environment.
std::optional<std::string> ProcessEnvironment(const char* name);

// The folders for a program in programFolder. None, with why, when Lexaro is installed and
// neither the XDG variable nor HOME names an absolute folder.
std::optional<TAppFolders> FindAppFolders(const std::filesystem::path& programFolder,
                                          const TEnvironment& environment, std::string* why);

// Why the learner's folders could not be made.
struct TFolderFault {
    std::filesystem::path folder;
    std::string reason;
};
// Every start, before the settings are read: the installed form makes the settings and data
// folders when they are missing. When Lexaro.Ini is missing (a first start, or the learner
// deleted it to reset the settings), in either form, the presets are copied, never over a
// file that is there: LangFiles (the starter language file and its picture) into the data
// folder, then Lexaro.Ini into the settings folder. Nothing read-only is copied: it is read
// where it is installed. On a failure nothing it made is left behind, and the fault names
// the folder or file and the system's reason.
std::optional<TFolderFault> PrepareLearnerFolders(const TAppFolders& folders);

} // namespace lexaro
