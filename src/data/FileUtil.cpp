#include "data/FileUtil.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace lexaro {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 327676;

bool IsSep(char c) {
    return c == '\\' || c == '/';
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

fs::path ToPath(const std::string& p) {
    return fs::path(p);
}

bool FlushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

std::string TempNameBeside(const fs::path& target) {
    std::random_device rd;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", rd());
    return target.string() + suffix;
}

} // namespace

bool CheckFileExists(const std::string& path, const std::string& caption, IMessageSink* owner) {
    std::error_code ec;
    const bool exists = !path.empty() && fs::exists(ToPath(path), ec) && !ec;
    if (!exists && owner != nullptr && !caption.empty())
        owner->Warn(caption, MissingFileText(path), IMessageSink::Icon::Warning);
    return exists;
}

std::string MissingFileText(const std::string& path) {
    std::string name;
    if (path.empty())
        name = "An application file ";
    else if (path.find(':') != std::string::npos || IsSep(path[0]))
        name = FileNamePart(path);
    else
        name = path;
    return name + " - Dosn't exists  ";
}

byteArray ReadWholeFile(const std::string& path) {
    byteArray out;
    if (!CheckFileExists(path))
        return out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return out;
    std::error_code ec;
    const auto size = fs::file_size(ToPath(path), ec);
    if (!ec)
        out.reserve(static_cast<std::size_t>(size));
    std::vector<std::uint8_t> block(kBlockSize);
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), f);
        if (got == 0)
            break;
        out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got));
    }
    std::fclose(f);
    return out;
}

bool WriteWholeFile(const std::string& path, const byteArray& data, bool overwrite) {
    if (path.empty())
        return false;
    std::error_code ec;
    fs::path target = ToPath(path);
    const bool exists = fs::exists(target, ec);
    if (exists && !overwrite)
        return false;
    // Replace the file a link points to, not the link.
    if (exists && fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    const std::string temp = TempNameBeside(target);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = true;
    for (std::size_t pos = 0; ok && pos < data.size(); pos += kBlockSize) {
        const std::size_t n = std::min(kBlockSize, data.size() - pos);
        ok = std::fwrite(data.data() + pos, 1, n, f) == n;
    }
    ok = FlushToDisk(f) && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok && exists) {
        const auto perms = fs::status(target, ec).permissions();
        if (!ec)
            fs::permissions(temp, perms, ec);
    }
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        std::error_code ignored;
        fs::remove(temp, ignored);
    }
    return ok;
}

bool DeleteFileAt(const std::string& path) {
    std::error_code ec;
    const fs::path p = ToPath(path);
    if (path.empty() || !fs::is_regular_file(p, ec))
        return false;
    return fs::remove(p, ec) && !ec;
}

std::int32_t LastBackslashPos(std::string_view path) {
    const auto pos = path.find_last_of("\\/");
    if (pos == std::string_view::npos || pos == 0)
        return 0;
    return static_cast<std::int32_t>(pos + 1);
}

std::string DrivePart(std::string_view path) {
    const auto colon = path.find(':');
    if (colon == std::string_view::npos)
        return {};
    return std::string(path.substr(0, colon + 1));
}

std::string DirectoryPart(std::string_view path) {
    const std::int32_t last = LastBackslashPos(path);
    if (path.empty() || last <= 3) {
        // A short absolute path such as /ab/x still names a folder.
        if (last >= 2 && IsSep(path[0]))
            return std::string(path.substr(1, static_cast<std::size_t>(last) - 2));
        return {};
    }
    const auto first = path.find_first_of("\\/");
    return std::string(path.substr(first + 1, static_cast<std::size_t>(last - 1) - (first + 1)));
}

std::string FileNamePart(std::string_view path) {
    if (path.empty())
        return {};
    return LowerAscii(path.substr(static_cast<std::size_t>(LastBackslashPos(path))));
}

std::string ExtensionPart(std::string_view path) {
    if (path.empty())
        return {};
    const std::string_view name = path.substr(static_cast<std::size_t>(LastBackslashPos(path)));
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return LowerAscii(path);
    return LowerAscii(name.substr(dot + 1));
}

std::string BaseNamePart(std::string_view path) {
    if (path.empty())
        return {};
    const bool hasFolder = path.find_first_of("\\/:") != std::string_view::npos;
    const std::string name = hasFolder ? FileNamePart(path) : std::string(path);
    const auto dot = name.find('.');
    if (dot == std::string::npos)
        return std::string(path);
    return LowerAscii(name.substr(0, dot));
}

namespace {

char SeparatorOf(std::string_view path) {
    const auto pos = path.find_first_of("\\/");
    if (pos == std::string_view::npos)
        return static_cast<char>(fs::path::preferred_separator);
    return path[pos];
}

} // namespace

std::string AppFolderOf(std::string_view programPath) {
    const char sep = SeparatorOf(programPath);
    return DrivePart(programPath) + sep + DirectoryPart(programPath);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !IsSep(out.back()))
        out += SeparatorOf(folder);
    out += name;
    return out;
}

std::string SiblingWithExtension(std::string_view path, std::string_view extension) {
    const auto lastSep = path.find_last_of("\\/");
    const std::size_t nameStart = lastSep == std::string_view::npos ? 0 : lastSep + 1;
    const auto dot = path.find('.', nameStart);
    const std::string_view stem = dot == std::string_view::npos ? path : path.substr(0, dot);
    return std::string(stem) + std::string(extension);
}

} // namespace lexaro
