// lexaro-lang: checks, dumps, exports, imports and speaks language files and brings back their
// versions (see LangTool.h).
#include "LangTool.h"
#include "app/AppFolders.h"

#ifdef LEXARO_HAVE_ESPEAK
#include "speech/EspeakControl.h"
#endif

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

namespace {

// The folder of this program.
std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, 32768);
    if (length > 0 && length < 32768)
        return std::filesystem::path(std::wstring(buffer, length)).parent_path();
#else
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
#endif
    if (argv0 == nullptr)
        return {};
    const std::filesystem::path program = std::filesystem::canonical(argv0, ec);
    return ec ? std::filesystem::path() : program.parent_path();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    lexaro::TLangToolEnv env;
    // The settings as the program finds them, in either form (AppFolders.h), unless
    // LEXARO_NO_SETTINGS is set (not empty): build steps and scripts that must not depend on
    // what a learner chose.
    const auto noSettings = lexaro::ProcessEnvironment("LEXARO_NO_SETTINGS");
    if (!noSettings || noSettings->empty())
        if (const auto folders = lexaro::FindAppFolders(ProgramFolder(argc > 0 ? argv[0] : nullptr),
                                                        lexaro::ProcessEnvironment, nullptr)) {
            env.settingsFolder = folders->settings;
            env.dataFolder = folders->data;
        }
#ifdef LEXARO_HAVE_ESPEAK
    env.speechControl = [](std::shared_ptr<lexaro::TAudioOutput> output) {
        return std::make_unique<lexaro::TEspeakControl>(std::move(output));
    };
#endif
    env.errIsTerminal = isatty(STDERR_FILENO) != 0;
    const int status = lexaro::RunLangTool(args, std::cout, std::cerr, env);
    std::cout.flush();
    return status;
}
