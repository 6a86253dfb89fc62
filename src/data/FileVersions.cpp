#include "data/FileVersions.h"

#include <algorithm>
#include <ctime>
#include <string_view>

namespace lexaro {

namespace fs = std::filesystem;

namespace {

// "YYYY-MM-DD_HH-MM-SS"
constexpr std::size_t kStampLength = 19;

std::string StampOf(std::chrono::system_clock::time_point now) {
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

bool IsStamp(std::string_view s) {
    if (s.size() != kStampLength)
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool ok = i == 4 || i == 7     ? c == '-'
                        : i == 10            ? c == '_'
                        : i == 13 || i == 16 ? c == '-'
                                             : c >= '0' && c <= '9';
        if (!ok)
            return false;
    }
    return true;
}

// "2025-01-15_14-03-07" as "2025-01-15 14:03:07".
std::string WhenOf(std::string_view stamp) {
    std::string when(stamp);
    when[10] = ' ';
    when[13] = ':';
    when[16] = ':';
    return when;
}

std::string NativeString(const fs::path& p) {
    return p.string();
}

// The version of file in name: stem + "." + stamp [+ "_" + sequence] + extension.
std::optional<TFileVersion> ParseVersionName(const std::string& name, const std::string& stem,
                                             const std::string& extension) {
    if (name.size() < stem.size() + 1 + kStampLength + extension.size() ||
        name.compare(0, stem.size(), stem) != 0 || name[stem.size()] != '.' ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return std::nullopt;
    const std::string_view middle = std::string_view(name).substr(
        stem.size() + 1, name.size() - stem.size() - 1 - extension.size());
    const std::string_view stamp = middle.substr(0, std::min(middle.size(), kStampLength));
    if (!IsStamp(stamp))
        return std::nullopt;
    TFileVersion version;
    if (middle.size() > kStampLength) {
        const std::string_view rest = middle.substr(kStampLength);
        if (rest.size() < 2 || rest.size() > 7 || rest[0] != '_' || rest[1] == '0')
            return std::nullopt;
        std::int32_t n = 0;
        for (const char c : rest.substr(1)) {
            if (c < '0' || c > '9')
                return std::nullopt;
            n = n * 10 + (c - '0');
        }
        if (n < 2)
            return std::nullopt;
        version.sequence = n;
    }
    version.when = WhenOf(stamp);
    return version;
}

bool Older(const TFileVersion& a, const TFileVersion& b) {
    if (a.when != b.when)
        return a.when < b.when;
    return a.sequence < b.sequence;
}

} // namespace

fs::path VersionedFile(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path resolved = fs::canonical(path, ec);
        if (!ec)
            return resolved;
    }
    return path;
}

fs::path VersionsFolderOf(const fs::path& path) {
    const fs::path file = VersionedFile(path);
    const fs::path parent = file.parent_path();
    return (parent.empty() ? fs::path(".") : parent) / kVersionsFolderName;
}

std::vector<TFileVersion> ListVersions(const fs::path& path) {
    const fs::path file = VersionedFile(path);
    const std::string stem = NativeString(file.stem());
    const std::string extension = NativeString(file.extension());
    std::vector<TFileVersion> versions;
    std::error_code ec;
    for (fs::directory_iterator it(VersionsFolderOf(path), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code ignored;
        if (!fs::is_regular_file(it->symlink_status(ignored)))
            continue;
        auto version = ParseVersionName(NativeString(it->path().filename()), stem, extension);
        if (!version)
            continue;
        version->path = it->path();
        versions.push_back(std::move(*version));
    }
    std::sort(versions.begin(), versions.end(), Older);
    return versions;
}

namespace {

enum class TTrim { ToNewest, Nothing };

TKeptVersion Keep(const fs::path& path, const byteArray* next,
                  std::chrono::system_clock::time_point now, const TVersionWorth& worth,
                  TTrim trim) {
    TKeptVersion kept;
    const fs::path file = VersionedFile(path);
    kept.folder = VersionsFolderOf(path);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(file, ec);
    if (!fs::exists(status) || !fs::is_regular_file(status))
        return kept;
    byteArray current;
    if (TFileResult read = ReadFileBounded(file, kMaxLangFileBytes, current); !read) {
        kept.result = read.fault == FileFault::NotFound ? TFileResult{} : read;
        return kept;
    }
    if (next != nullptr && (*next == current || (worth && !worth(current, *next))))
        return kept;
    if (trim == TTrim::Nothing) {
        // A restore back to where a look started replaces a file that is kept already.
        for (const TFileVersion& version : ListVersions(path)) {
            byteArray held;
            if (ReadFileBounded(version.path, kMaxLangFileBytes, held) && held == current) {
                kept.keptAs = version.path;
                kept.earlier = true;
                return kept;
            }
        }
    }

    const fs::file_status folder = fs::status(kept.folder, ec);
    if (fs::exists(folder) && !fs::is_directory(folder)) {
        kept.result = TFileResult::Failed(FileFault::System, "it is not a folder");
        return kept;
    }
    fs::create_directory(kept.folder, ec);
    if (ec) {
        kept.result = TFileResult::Failed(FileFault::System, ec.message());
        return kept;
    }
    const std::string stem = NativeString(file.stem());
    const std::string extension = NativeString(file.extension());
    const std::string stamp = StampOf(now);
    // After the versions of the same second, also when older ones of it were dropped.
    std::int32_t first = 1;
    for (const TFileVersion& version : ListVersions(path))
        if (version.when == WhenOf(stamp))
            first = std::max(first, version.sequence + 1);
    for (std::int32_t n = first; n < first + 1000; ++n) {
        const std::string name =
            stem + "." + stamp + (n == 1 ? std::string() : "_" + std::to_string(n)) + extension;
        const fs::path target = kept.folder / name;
        const TFileResult written = WriteWholeFile(target, current, false);
        if (written.fault == FileFault::Exists || written.fault == FileFault::DanglingLink)
            continue;
        if (!written) {
            kept.result = written;
            return kept;
        }
        kept.keptAs = target;
        break;
    }
    if (kept.keptAs.empty()) {
        kept.result = TFileResult::Failed(FileFault::Exists);
        return kept;
    }
    if (trim == TTrim::Nothing)
        return kept;
    // Only the newest versions stay; the one just kept is always among them.
    std::vector<TFileVersion> versions = ListVersions(path);
    std::size_t excess = versions.size() > kVersionsKept ? versions.size() - kVersionsKept : 0;
    for (const TFileVersion& old : versions) {
        if (excess == 0)
            break;
        if (old.path == kept.keptAs)
            continue;
        std::error_code ignored;
        if (fs::remove(old.path, ignored))
            --excess;
    }
    return kept;
}

} // namespace

TKeptVersion KeepVersion(const fs::path& path, const byteArray* next,
                         std::chrono::system_clock::time_point now, const TVersionWorth& worth) {
    return Keep(path, next, now, worth, TTrim::ToNewest);
}

TKeptVersion KeepVersionBeforeRestore(const fs::path& path, const byteArray& next,
                                      std::chrono::system_clock::time_point now) {
    return Keep(path, &next, now, {}, TTrim::Nothing);
}

} // namespace lexaro
