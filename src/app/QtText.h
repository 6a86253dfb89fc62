#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace lexaro {

class TCodePage;

// The one place where stored text meets Qt's strings (single-byte text, or UTF-8 under
// Unicode, 65001). The program's own texts
// (Text.Db) and the settings' keys are Windows-1252; the phrases and language names of the
// language files are in the code page the settings choose (data/CodePage.h).

// Stored text of that code page shown on a widget.
QString QtFromStored(std::string_view text, const TCodePage& page);
// Widget text to stored form; false (out unchanged) when a character has no form in the code
// page; badPos then receives the character's index in text.
bool StoredFromQt(const QString& text, const TCodePage& page, std::string& out,
                  qsizetype* badPos = nullptr);
// UTF-8 (as the core hands over texts that mix the program's and a file's) on a widget.
QString QtFromUtf8(std::string_view utf8);

// Windows-1252 text (the program's own) shown on a widget.
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
