#pragma once

#include "data/ByteVector.h"
#include "data/MessageSink.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lexaro {

// File-system paths are std::filesystem::path in their native form (UTF-8 bytes on Linux),
// as the system gives them: the application folder, a file dialog's choice. Stored text
// (the settings file, messages) is Windows-1252; PathFromStored and StoredFromPath are the one
// place where the two meet.

// Why a file operation failed.
enum class FileFault {
    None,
    NotFound,      // nothing of that name
    NotRegular,    // a folder, device, pipe or socket where a file was expected
    TooLarge,      // far larger than any real file of its kind
    Exists,        // the target exists and replacing it was not allowed
    DanglingLink,  // a link that points to nothing
    Incomplete,    // the file was not read completely, so it is not written back
    NothingToSave, // the content would not make a file that loads again
    System         // the system refused; reason holds its words
};

// The outcome of a file operation: ok, or the fault with a reason in plain English (the
// system's own words for FileFault::System, e.g. "Permission denied").
struct TFileResult {
    FileFault fault = FileFault::None;
    std::string reason;

    bool ok() const { return fault == FileFault::None; }
    explicit operator bool() const { return ok(); }
    static TFileResult Failed(FileFault fault, std::string reason = {});
    // The failure of the last system call (errno), or the given fault's text when errno is 0.
    static TFileResult FromErrno(int error);
};

// Largest files the program reads, by kind: far above any real file of that kind, far
// below what would exhaust memory. A language file of a million pairs has about 33 MB.
inline constexpr std::uintmax_t kMaxLangFileBytes = 256u << 20;
inline constexpr std::uintmax_t kMaxSettingsBytes = 16u << 20;
inline constexpr std::uintmax_t kMaxTextDbBytes = 4u << 20;
inline constexpr std::uintmax_t kMaxTableBytes = 256u << 20;

// Reads a regular file of at most limit bytes. Missing files, folders, devices, pipes and
// larger files are refused (out empty) with their fault; nothing is read from them.
TFileResult ReadFileBounded(const std::filesystem::path& path, std::uintmax_t limit,
                            byteArray& out);
// The same with the language file's limit; an empty array on any failure.
byteArray ReadWholeFile(const std::filesystem::path& path,
                        std::uintmax_t limit = kMaxLangFileBytes);
// Writes the whole file atomically: a temporary file in the same folder is written, flushed
// to disk and renamed over the target, so a failed or interrupted write leaves the old file
// as it was. A link is followed (its target is replaced, the link kept); a link to nothing,
// a read-only file (no write permission for anyone) and anything but a regular file (folder,
// device, pipe) are refused, never replaced. The
// temporary file is removed on failure and on the signals a program can catch; a stale one
// left by a killed process is removed by the next write of the same file.
TFileResult WriteWholeFile(const std::filesystem::path& path, const byteArray& data,
                           bool overwrite);
// A file written in pieces under the same rules: Open checks the target as WriteWholeFile
// does and makes the temporary file beside it, Write adds bytes, Commit flushes them to disk,
// gives the temporary file the target's permissions and renames it over the target. Until
// Commit succeeds the target is untouched; a writer destroyed or abandoned before that removes
// its temporary file (so does a signal, as for WriteWholeFile).
class TAtomicFileWriter {
public:
    TAtomicFileWriter();
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    TFileResult Open(const std::filesystem::path& path, bool overwrite);
    TFileResult Write(const void* data, std::size_t size);
    // Writes over bytes written before, from offset (a header whose sizes are known last);
    // Write goes on at the end.
    TFileResult WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    // The temporary file's descriptor, for a library that writes, reads and seeks through a
    // descriptor of its own (nothing may be written with Write then); -1 when not open.
    int Descriptor() const;
    TFileResult Commit();
    void Abandon();

private:
    struct TState;
    std::unique_ptr<TState> state_;
};
// True when a file or folder of that name exists. With an owner and a caption a missing
// file is reported to the owner first.
bool CheckFileExists(const std::filesystem::path& path, const std::string& caption = {},
                     IMessageSink* owner = nullptr);
// The text of the warning for a missing file, from the path as stored text.
std::string MissingFileText(std::string_view path);
// Deletes a regular file; false when there is none or the system refuses.
bool DeleteFileAt(const std::filesystem::path& path);

// Stored path text is Windows-1252 when the path fits it, so settings files stay as they
// were; a path that Windows-1252 cannot hold (a Cyrillic, Greek or CJK folder) is stored as
// UTF-8. Stored text that is valid UTF-8 and holds a character of more than one byte reads as
// UTF-8 (the few Windows-1252 texts that read so, like "Ã¼", would need two such letters in
// a row: no real folder name has them).
bool StoredPathIsUtf8(std::string_view stored);
// Stored path text in UTF-8, as StoredPathIsUtf8 decides.
std::string Utf8FromStoredPath(std::string_view stored);
// Stored path text to a native path. Both '\' and '/' separate folders; a relative path is
// taken relative to base (the application folder) when base is given.
std::filesystem::path PathFromStored(std::string_view stored,
                                     const std::filesystem::path& base = {});
// A native path as stored text: relative to base when it lies inside base, with the
// system's separator; in Windows-1252 when it fits, else in UTF-8. Nothing when the path holds
// bytes that are not UTF-8, or when its Windows-1252 form would read back as UTF-8; badChar
// then names the character (U+FFFD for invalid bytes).
std::optional<std::string> StoredFromPath(const std::filesystem::path& path,
                                          const std::filesystem::path& base = {},
                                          char32_t* badChar = nullptr);
// A native path for a message (Windows-1252 text); characters the code page cannot hold show
// as '?'. Never stored.
std::string DisplayPath(const std::filesystem::path& path);

// Path helpers on stored text. Both '\' and '/' separate folders.
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
