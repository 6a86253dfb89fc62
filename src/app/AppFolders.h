#pragma once

// Where Lexaro keeps what. Two forms, one rule: when Lexaro.Ini stands beside the program (the
// bundled application folder), Lexaro is portable and everything is in that folder. Otherwise
// it is installed: the settings in $XDG_CONFIG_HOME/lexaro (~/.config/lexaro), the learner's
// language files and everything written in $XDG_DATA_HOME/lexaro (~/.local/share/lexaro), and
// the program's own read-only data (Text.Db, help, the presets) in ../share/lexaro beside the
// program's folder, so an unpacked package works from any root. This object decides the form
// and hands out the folders; nothing else asks.

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
    // Text.Db, help and the presets of a first start.
    std::filesystem::path resources;

    // Everything in one folder.
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
// The installed form's first start (and every start after it): makes the settings and data
// folders when they are missing and copies the presets into them, never over a file that is
// there: Lexaro.Ini into the settings folder, the registry store and LangFiles (the starter
// language file and its picture) into the data folder. On a failure nothing it made is left
// behind, and the fault names the folder or file and the system's reason. Does nothing for
// the portable form.
std::optional<TFolderFault> PrepareLearnerFolders(const TAppFolders& folders);

} // namespace lexaro
