#include "app/AppFolders.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"

#include <cstdlib>
#include <system_error>
#include <vector>

namespace lexaro {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLangFilesFolder = "LangFiles";
constexpr const char* kPresetsFolder = "presets";

// The XDG folder named by the variable, else home + fallback; empty when neither is absolute.
fs::path XdgFolder(const TEnvironment& environment, const char* variable, const char* fallback) {
    if (const std::optional<std::string> value = environment(variable)) {
        const fs::path folder(*value);
        // The XDG rules ignore a relative path.
        if (!value->empty() && folder.is_absolute())
            return folder;
    }
    if (const std::optional<std::string> home = environment("HOME")) {
        const fs::path folder(*home);
        if (!home->empty() && folder.is_absolute())
            return folder / fallback;
    }
    return {};
}

// What PrepareLearnerFolders made, so that a failure can take it back.
class TMade {
public:
    ~TMade() {
        if (done_)
            return;
        std::error_code ec;
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            fs::remove(*it, ec);
    }
    // Makes the folder and the missing ones above it.
    std::optional<TFolderFault> Folder(const fs::path& folder) {
        std::vector<fs::path> missing;
        std::error_code ec;
        for (fs::path p = folder; !p.empty() && !fs::exists(fs::symlink_status(p, ec));
             p = p.parent_path()) {
            missing.push_back(p);
            if (p == p.parent_path())
                break;
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (!fs::create_directory(*it, ec) || ec)
                return TFolderFault{*it, ec ? ec.message() : "it could not be made"};
            made_.push_back(*it);
        }
        if (!fs::is_directory(folder, ec))
            return TFolderFault{folder, "it is not a folder"};
        return std::nullopt;
    }
    // Copies a file where none is.
    std::optional<TFolderFault> Copy(const fs::path& from, const fs::path& to) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(to, ec)))
            return std::nullopt;
        if (!fs::copy_file(from, to, fs::copy_options::skip_existing, ec) || ec)
            return TFolderFault{to, ec ? ec.message() : "it could not be copied"};
        made_.push_back(to);
        return std::nullopt;
    }
    void Keep() { done_ = true; }

private:
    std::vector<fs::path> made_;
    bool done_ = false;
};

} // namespace

TAppFolders TAppFolders::Portable(const fs::path& folder) {
    return {TAppForm::Portable, folder, folder, folder, folder / kPresetsFolder};
}

std::optional<std::string> ProcessEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

std::optional<TAppFolders> FindAppFolders(const fs::path& programFolder,
                                          const TEnvironment& environment, std::string* why) {
    // Text.Db is the program's own and never installed beside it; Lexaro.Ini still tells a
    // bundled folder whose Text.Db was lost, so that the program names the missing file there.
    std::error_code ec;
    for (const char* name : {kTextDbName, kIniFileName})
        if (fs::is_regular_file(programFolder / name, ec))
            return TAppFolders::Portable(programFolder);
    TAppFolders folders;
    folders.form = TAppForm::Installed;
    folders.resources = (programFolder / ".." / "share" / "lexaro").lexically_normal();
    folders.presets = folders.resources;
    const fs::path config = XdgFolder(environment, "XDG_CONFIG_HOME", ".config");
    const fs::path data = XdgFolder(environment, "XDG_DATA_HOME", ".local/share");
    if (config.empty() || data.empty()) {
        if (why != nullptr)
            *why = "neither XDG_CONFIG_HOME, XDG_DATA_HOME nor HOME names an absolute folder";
        return std::nullopt;
    }
    folders.settings = config / "lexaro";
    folders.data = data / "lexaro";
    return folders;
}

std::optional<TFolderFault> PrepareLearnerFolders(const TAppFolders& folders) {
    TMade made;
    if (folders.form == TAppForm::Installed)
        for (const fs::path& folder : {folders.settings, folders.data})
            if (auto fault = made.Folder(folder))
                return fault;
    // A start without settings: the starter language files, then the settings that name them,
    // last, so that a start that fails half way is such a start again. Without a preset the
    // settings object says that Lexaro.Ini is missing, as it would anyway.
    std::error_code ec;
    const fs::path settings = folders.settings / kIniFileName;
    const fs::path preset = folders.presets / kIniFileName;
    if (!fs::exists(fs::symlink_status(settings, ec)) && fs::is_regular_file(preset, ec)) {
        const fs::path starters = folders.presets / kLangFilesFolder;
        if (fs::is_directory(starters, ec)) {
            if (auto fault = made.Folder(folders.data / kLangFilesFolder))
                return fault;
            for (fs::directory_iterator it(starters, ec), end; !ec && it != end; it.increment(ec))
                if (it->is_regular_file(ec))
                    if (auto fault = made.Copy(it->path(), folders.data / kLangFilesFolder /
                                                               it->path().filename()))
                        return fault;
        }
        if (auto fault = made.Copy(preset, settings))
            return fault;
    }
    made.Keep();
    return std::nullopt;
}

} // namespace lexaro
