#pragma once

// What the About box says, decided without the toolkit: what Lexaro is, its version, where it
// keeps its settings and language files, and the libraries it uses.

#include "app/AppFolders.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lexaro {

// The texts of the About box, by number.
namespace about_text {
inline constexpr std::int32_t kWhat = 224;
inline constexpr std::int32_t kVersion = 225;
inline constexpr std::int32_t kPortable = 226;
inline constexpr std::int32_t kInstalled = 227;
inline constexpr std::int32_t kSettings = 228;
inline constexpr std::int32_t kLangFiles = 229;
inline constexpr std::int32_t kLibraries = 230;
inline constexpr std::int32_t kTitle = 231;
} // namespace about_text

struct TAboutFacts {
    std::string program; // "Lexaro"
    std::string version; // "2.02"
    TAppFolders folders; // as the main window found them
    // Each library with its version ("Qt 6.4.2"), in the order given; empty ones are left out.
    std::vector<std::string> libraries;
};

// The About box's lines, in UTF-8.
struct TAboutText {
    std::string title;     // "About Lexaro"
    std::string what;      // what Lexaro is
    std::string version;   // "Version 2.02"
    std::string form;      // portable or installed, and what that means
    std::string settings;  // "Settings: <folder>"
    std::string langFiles; // "Language files: <folder>"
    std::string libraries; // "Libraries used: Qt 6.4.2, espeak-ng 1.51"
};

// texts gives a UI text by number in Windows-1252 (the texts' own form).
TAboutText MakeAboutText(const std::function<std::string(std::int32_t)>& texts,
                         const TAboutFacts& facts);

} // namespace lexaro
