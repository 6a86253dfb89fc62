#pragma once

// Versions kept on save: before a file is replaced, the file as it was is copied into the
// folder ".versions" beside it as "<stem>.<YYYY-MM-DD_HH-MM-SS><extension>" (local time of
// the save; "_2", "_3", ... after the time for further versions within the same second), and
// only the newest kVersionsKept versions of each file stay. A link is followed: the versions
// belong to the file that a save really replaces, beside that file.

#include "data/ByteVector.h"
#include "data/FileUtil.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lexaro {

inline constexpr std::size_t kVersionsKept = 10;
inline constexpr const char* kVersionsFolderName = ".versions";

struct TFileVersion {
    std::filesystem::path path;
    std::string when;          // "2025-01-15 14:03:07": when it was replaced
    std::int32_t sequence = 1; // 2, 3, ... for later versions of the same second
};

// The file whose versions are kept for path: path itself, or the file a link at path names.
std::filesystem::path VersionedFile(const std::filesystem::path& path);
// The folder that holds the versions of the file at path.
std::filesystem::path VersionsFolderOf(const std::filesystem::path& path);
// The versions of the file at path, oldest first (also when the file itself is gone).
std::vector<TFileVersion> ListVersions(const std::filesystem::path& path);

struct TKeptVersion {
    TFileResult result;           // failed: the version could not be kept
    std::filesystem::path keptAs; // empty when nothing was kept
    std::filesystem::path folder; // the versions folder, for messages
    bool earlier = false;         // keptAs is an earlier version that holds the same bytes
};

// Tells whether the file as it is (first) and what will replace it (second) differ in a way
// worth a version.
using TVersionWorth = std::function<bool(const byteArray& current, const byteArray& next)>;

// Keeps the file at path, as it is now, as its newest version and drops its versions beyond
// the newest kVersionsKept. Nothing is kept (and the result is ok) when there is no file at
// path, or when next is given and the file already holds exactly those bytes (a save that
// changes nothing replaces nothing), or when worth is given and says the change is not worth
// one. A file that is not a regular file is never copied.
TKeptVersion
KeepVersion(const std::filesystem::path& path, const byteArray* next = nullptr,
            std::chrono::system_clock::time_point now = std::chrono::system_clock::now(),
            const TVersionWorth& worth = {});

// Before a restore replaces the file at path with next: keeps the file as it is as its newest
// version, and drops none, so that a restore never costs a version (with ten kept, a look at
// an old version and back would otherwise push out two). A file that a kept version already
// holds byte for byte is not copied again: keptAs then names that version (earlier is set).
// Nothing is kept when there is no file or it holds next already.
TKeptVersion KeepVersionBeforeRestore(
    const std::filesystem::path& path, const byteArray& next,
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

} // namespace lexaro
