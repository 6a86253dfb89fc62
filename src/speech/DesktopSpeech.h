#pragma once

#include <filesystem>
#include <memory>

namespace lexaro {

class TSpeechEngine;

// The program's speech engine: espeak-ng voices played through Lexaro's own audio output,
// with the registry store (voices, sample sentences) read from the program's read-only data
// folder: the application folder, or ../share/lexaro when installed, so that an upgrade's
// voices arrive. A copy that older versions put into the learner's folder is not read.
std::unique_ptr<TSpeechEngine> MakeDesktopSpeechEngine(const std::filesystem::path& resourceFolder);

} // namespace lexaro
