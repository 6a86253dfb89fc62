#pragma once

// The program as it runs: the main window with every window it opens joined to it. main.cpp
// and the end-to-end scenarios build it the same way.

#include "app/AppFolders.h"
#include "app/MainWnd.h"

#include <filesystem>
#include <memory>

namespace lexaro {

// The main window for the application folder with the desktop speech engine; the other
// windows are joined once the window has not ended at its creation.
std::unique_ptr<tMainWindow> MakeProgramWindow(const std::filesystem::path& appFolder);
std::unique_ptr<tMainWindow> MakeProgramWindow(const TAppFolders& folders);
// Joins the exercise window, the exercise editor and the settings dialog to the main window.
void InstallProgramWindows(tMainWindow& window);

} // namespace lexaro
