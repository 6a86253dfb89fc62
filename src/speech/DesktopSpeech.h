#pragma once

#include <filesystem>
#include <memory>

namespace lexaro {

class TSpeechEngine;

// The program's speech engine: espeak-ng voices played through Lexaro's own audio output,
// with the registry store read from the application folder.
std::unique_ptr<TSpeechEngine> MakeDesktopSpeechEngine(const std::filesystem::path& appFolder);

} // namespace lexaro
