#pragma once

#include "data/ByteVector.h"
#include "data/MessageSink.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lexaro {

byteArray ReadWholeFile(const std::string& path);
// Writes the whole file atomically: a temporary file in the same folder is written, flushed
// to disk and renamed over the target, so a failed write leaves the old file as it was.
bool WriteWholeFile(const std::string& path, const byteArray& data, bool overwrite);
// True when a file or folder of that name exists. With an owner and a caption a missing
// file is reported to the owner first.
bool CheckFileExists(const std::string& path, const std::string& caption = {},
                     IMessageSink* owner = nullptr);
// The text of the warning for a missing file.
std::string MissingFileText(const std::string& path);
bool DeleteFileAt(const std::string& path);

// Path helpers. Both '\' and '/' separate folders.
std::int32_t LastBackslashPos(std::string_view path);
std::string DrivePart(std::string_view path);
std::string DirectoryPart(std::string_view path);
std::string FileNamePart(std::string_view path);
std::string ExtensionPart(std::string_view path);
std::string BaseNamePart(std::string_view path);
// The folder of a program given its full path, without a trailing separator except for a
// drive root (C:\) or the file-system root (/).
std::string AppFolderOf(std::string_view programPath);
// The path that joins a folder and a name with the folder's own separator.
std::string JoinPath(std::string_view folder, std::string_view name);
// Folder and stem of a path with a new extension: the picture beside a language file.
std::string SiblingWithExtension(std::string_view path, std::string_view extension);

} // namespace lexaro
