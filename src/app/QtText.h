#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace lexaro {

// The one place where stored Windows-1252 text meets Qt's strings.

// Stored text shown on a widget.
QString QtFromCp1252(std::string_view text);
// Widget text to stored form; false (out unchanged) when a character has no Windows-1252 form.
bool Cp1252FromQt(const QString& text, std::string& out);
// Widget text to stored form for texts the program itself made (captions); characters
// outside Windows-1252 become '?', which only ever shows in a message.
std::string Cp1252FromQtLossy(const QString& text);

// File names as the system spells them: a path that Qt gives (the application folder, a file
// dialog's choice) as a native path, and back. No Windows-1252 step in between.
std::filesystem::path PathFromQt(const QString& path);
QString QtFromPath(const std::filesystem::path& path);

} // namespace lexaro
