#include "data/FileUtil.h"

#include "data/Charset.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace lexaro {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 327676;

bool IsSep(char c) {
    return c == '\\' || c == '/';
}

std::string DefaultReason(FileFault fault) {
    switch (fault) {
    case FileFault::None:
        return {};
    case FileFault::NotFound:
        return "there is no such file";
    case FileFault::NotRegular:
        return "it is not a regular file";
    case FileFault::TooLarge:
        return "it is far larger than any file of its kind";
    case FileFault::Exists:
        return "the file exists already";
    case FileFault::DanglingLink:
        return "it is a link to a file that does not exist";
    case FileFault::Incomplete:
        return "the file was not read completely";
    case FileFault::NothingToSave:
        return "there is nothing to save";
    case FileFault::System:
        return "the system refused";
    }
    return {};
}

TFileResult FromErrorCode(const std::error_code& ec) {
    if (ec == std::errc::no_such_file_or_directory)
        return TFileResult::Failed(FileFault::NotFound);
    return TFileResult::Failed(FileFault::System, ec.message());
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wmode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
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

std::string_view AsChars(const std::u8string& s) {
    return {reinterpret_cast<const char*>(s.data()), s.size()};
}

// --- Temporary files of atomic writes ---------------------------------------------------
//
// A temporary file is named "<target name>.<process id>-<n>.tmp" beside its target, so the
// next write of the same file can tell a stale one (its process is gone) from one that
// another running program is writing.

#ifndef _WIN32
long ProcessId() {
    return static_cast<long>(getpid());
}

bool ProcessAlive(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

// The temporary files being written right now, for the signal handler: it may only touch
// lock-free atomics and call unlink.
struct TempSlot {
    std::atomic<int> state{0}; // 0 free, 1 being set up, 2 holds a path
    char path[4096]{};
};
TempSlot gTempSlots[8];

extern "C" void RemoveTempFilesOnSignal(int sig) {
    for (TempSlot& slot : gTempSlots)
        if (slot.state.load() == 2)
            unlink(slot.path);
    // The handler was reset to the default one on entry; the signal now ends the program.
    raise(sig);
}

void InstallSignalCleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            struct sigaction old {};
            // A handler that the program or a host installed stays in charge.
            if (sigaction(sig, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
                old.sa_handler != SIG_DFL)
                continue;
            struct sigaction act {};
            act.sa_handler = RemoveTempFilesOnSignal;
            sigemptyset(&act.sa_mask);
            act.sa_flags = SA_RESETHAND;
            sigaction(sig, &act, nullptr);
        }
    });
}

// Registers a temporary file with the signal handler for as long as it lives.
class TempRegistration {
public:
    explicit TempRegistration(const fs::path& path) {
        InstallSignalCleanup();
        const std::string& native = path.native();
        if (native.size() >= sizeof(TempSlot::path))
            return;
        for (TempSlot& slot : gTempSlots) {
            int expected = 0;
            if (slot.state.compare_exchange_strong(expected, 1)) {
                std::memcpy(slot.path, native.c_str(), native.size() + 1);
                slot.state.store(2);
                slot_ = &slot;
                return;
            }
        }
    }
    ~TempRegistration() {
        if (slot_ != nullptr)
            slot_->state.store(0);
    }
    TempRegistration(const TempRegistration&) = delete;
    TempRegistration& operator=(const TempRegistration&) = delete;

private:
    TempSlot* slot_ = nullptr;
};
#else
long ProcessId() {
    return static_cast<long>(_getpid());
}

bool ProcessAlive(long) {
    // Without a cheap check a temporary file is only taken for stale when it is our own.
    return true;
}

class TempRegistration {
public:
    explicit TempRegistration(const fs::path&) {}
};
#endif

std::string TempSuffix(long pid, unsigned n) {
    return "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

// The process id in a temporary file's name "<name>.<pid>-<n>.tmp", or -1 when the name is
// not one of ours for that target.
long TempOwner(std::string_view entry, std::string_view targetName) {
    if (entry.size() <= targetName.size() + 1 || entry.substr(0, targetName.size()) != targetName ||
        entry[targetName.size()] != '.')
        return -1;
    std::string_view rest = entry.substr(targetName.size() + 1);
    constexpr std::string_view kTmp = ".tmp";
    if (rest.size() <= kTmp.size() || rest.substr(rest.size() - kTmp.size()) != kTmp)
        return -1;
    rest.remove_suffix(kTmp.size());
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size())
        return -1;
    long pid = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (i == dash)
            continue;
        if (c < '0' || c > '9')
            return -1;
        if (i < dash) {
            if (pid > 100'000'000)
                return -1;
            pid = pid * 10 + (c - '0');
        }
    }
    return pid;
}

// Removes what an interrupted write of target left behind: temporary files whose process has
// ended. Only regular files are removed.
void RemoveStaleTemps(const fs::path& target) {
    std::error_code ec;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    const long self = ProcessId();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const long owner = TempOwner(it->path().filename().string(), name);
        if (owner < 0 || owner == self || ProcessAlive(owner))
            continue;
        std::error_code ignored;
        if (fs::is_regular_file(it->symlink_status(ignored)))
            fs::remove(it->path(), ignored);
    }
}

} // namespace

TFileResult TFileResult::Failed(FileFault fault, std::string reason) {
    TFileResult result;
    result.fault = fault;
    result.reason = reason.empty() ? DefaultReason(fault) : std::move(reason);
    return result;
}

TFileResult TFileResult::FromErrno(int error) {
    if (error == 0)
        return Failed(FileFault::System);
    return FromErrorCode(std::error_code(error, std::generic_category()));
}

TFileResult ReadFileBounded(const fs::path& path, std::uintmax_t limit, byteArray& out) {
    out.clear();
    if (path.empty())
        return TFileResult::Failed(FileFault::NotFound);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        return ec && ec != std::errc::no_such_file_or_directory
                   ? FromErrorCode(ec)
                   : TFileResult::Failed(FileFault::NotFound);
    // A device or pipe is never opened: /dev/zero would never end, a pipe might never start.
    if (!fs::is_regular_file(status))
        return TFileResult::Failed(FileFault::NotRegular);
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec)
        return FromErrorCode(ec);
    if (size > limit)
        return TFileResult::Failed(FileFault::TooLarge);

    errno = 0;
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr)
        return TFileResult::FromErrno(errno);
    out.reserve(static_cast<std::size_t>(size));
    std::vector<std::uint8_t> block(kBlockSize);
    TFileResult result;
    // The size may change while reading; the limit holds whatever the file does.
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), f);
        if (got == 0)
            break;
        if (out.size() + got > limit) {
            result = TFileResult::Failed(FileFault::TooLarge);
            break;
        }
        out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got));
    }
    if (result.ok() && std::ferror(f) != 0)
        result = TFileResult::FromErrno(errno);
    std::fclose(f);
    if (!result.ok())
        out.clear();
    return result;
}

byteArray ReadWholeFile(const fs::path& path, std::uintmax_t limit) {
    byteArray out;
    ReadFileBounded(path, limit, out);
    return out;
}

struct TAtomicFileWriter::TState {
    fs::path target;
    fs::path temp;
    bool exists = false;
    std::FILE* file = nullptr;
    int error = 0;
    std::optional<TempRegistration> registration;
};

TAtomicFileWriter::TAtomicFileWriter() = default;

TAtomicFileWriter::~TAtomicFileWriter() {
    Abandon();
}

TFileResult TAtomicFileWriter::Open(const fs::path& path, bool overwrite) {
    Abandon();
    if (path.empty())
        return TFileResult::Failed(FileFault::NotFound);
    std::error_code ec;
    fs::path target = path;
    const fs::file_status linkStatus = fs::symlink_status(target, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        return FromErrorCode(ec);
    const bool exists = !ec && fs::exists(linkStatus);
    if (exists) {
        if (!overwrite)
            return TFileResult::Failed(FileFault::Exists);
        // Replace the file a link points to, not the link.
        if (fs::is_symlink(linkStatus)) {
            const fs::path resolved = fs::canonical(target, ec);
            if (ec)
                return ec == std::errc::no_such_file_or_directory
                           ? TFileResult::Failed(FileFault::DanglingLink)
                           : FromErrorCode(ec);
            target = resolved;
        }
        // Folders, devices, pipes and sockets are never replaced by a file.
        const fs::file_status status = fs::status(target, ec);
        if (!fs::is_regular_file(status))
            return ec ? FromErrorCode(ec) : TFileResult::Failed(FileFault::NotRegular);
        // A file that nobody may write is read-only and stays as it is. The rename below needs
        // only the folder's permission, so without this check it would replace the file (and
        // whoever runs as the administrator would replace any file).
        constexpr fs::perms kWritable =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((status.permissions() & kWritable) == fs::perms::none)
            return TFileResult::FromErrno(EACCES);
    }

    RemoveStaleTemps(target);
    static std::atomic<unsigned> counter{0};
    auto state = std::make_unique<TState>();
    state->target = target;
    state->exists = exists;
    state->temp = target;
    state->temp += TempSuffix(ProcessId(), counter++);
    state->registration.emplace(state->temp);

    errno = 0;
    // "x": the temporary file is made new, never opened through a link someone placed there.
    state->file = OpenFile(state->temp, "wbx");
    if (state->file == nullptr)
        return TFileResult::FromErrno(errno);
    state_ = std::move(state);
    return {};
}

TFileResult TAtomicFileWriter::Write(const void* data, std::size_t size) {
    if (!state_)
        return TFileResult::Failed(FileFault::System, "the file is not open");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t pos = 0; pos < size && state_->error == 0; pos += kBlockSize) {
        const std::size_t n = std::min(kBlockSize, size - pos);
        errno = 0;
        if (std::fwrite(bytes + pos, 1, n, state_->file) != n)
            state_->error = errno != 0 ? errno : EIO;
    }
    return state_->error == 0 ? TFileResult{} : TFileResult::FromErrno(state_->error);
}

TFileResult TAtomicFileWriter::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (!state_)
        return TFileResult::Failed(FileFault::System, "the file is not open");
    errno = 0;
    if (state_->error == 0 && (std::fflush(state_->file) != 0 ||
                               std::fseek(state_->file, static_cast<long>(offset), SEEK_SET) != 0))
        state_->error = errno != 0 ? errno : EIO;
    if (state_->error == 0)
        Write(data, size);
    errno = 0;
    if (state_->error == 0 && std::fseek(state_->file, 0, SEEK_END) != 0)
        state_->error = errno != 0 ? errno : EIO;
    return state_->error == 0 ? TFileResult{} : TFileResult::FromErrno(state_->error);
}

int TAtomicFileWriter::Descriptor() const {
#ifdef _WIN32
    return state_ ? _fileno(state_->file) : -1;
#else
    return state_ ? fileno(state_->file) : -1;
#endif
}

TFileResult TAtomicFileWriter::Commit() {
    if (!state_)
        return TFileResult::Failed(FileFault::System, "the file is not open");
    TState& s = *state_;
    int error = s.error;
    errno = 0;
    if (!FlushToDisk(s.file) && error == 0)
        error = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(s.file) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    s.file = nullptr;
    TFileResult result;
    if (error != 0)
        result = TFileResult::FromErrno(error);
    std::error_code ec;
    if (result.ok() && s.exists) {
        const auto perms = fs::status(s.target, ec).permissions();
        if (!ec)
            fs::permissions(s.temp, perms, ec);
    }
    if (result.ok()) {
        fs::rename(s.temp, s.target, ec);
        if (ec)
            result = FromErrorCode(ec);
    }
    if (result.ok())
        state_.reset();
    else
        Abandon();
    return result;
}

void TAtomicFileWriter::Abandon() {
    if (!state_)
        return;
    if (state_->file != nullptr)
        std::fclose(state_->file);
    std::error_code ignored;
    fs::remove(state_->temp, ignored);
    state_.reset();
}

TFileResult WriteWholeFile(const fs::path& path, const byteArray& data, bool overwrite) {
    TAtomicFileWriter writer;
    if (TFileResult opened = writer.Open(path, overwrite); !opened)
        return opened;
    if (TFileResult written = writer.Write(data.data(), data.size()); !written)
        return written;
    return writer.Commit();
}

bool CheckFileExists(const fs::path& path, const std::string& caption, IMessageSink* owner) {
    std::error_code ec;
    const bool exists = !path.empty() && fs::exists(path, ec) && !ec;
    if (!exists && owner != nullptr && !caption.empty())
        owner->Warn(caption, MissingFileText(DisplayPath(path)), IMessageSink::Icon::Warning);
    return exists;
}

std::string MissingFileText(std::string_view path) {
    std::string name;
    if (path.empty())
        name = "An application file ";
    else if (path.find(':') != std::string_view::npos || IsSep(path[0]))
        name = FileNamePart(path);
    else
        name = path;
    return name + " - Dosn't exists  ";
}

bool DeleteFileAt(const fs::path& path) {
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(fs::symlink_status(path, ec)))
        return false;
    return fs::remove(path, ec) && !ec;
}

bool StoredPathIsUtf8(std::string_view stored) {
    bool multiByte = false;
    for (std::size_t pos = 0; pos < stored.size();) {
        char32_t cp = 0;
        if (!Utf8CharAt(stored, pos, cp))
            return false;
        const std::size_t length = Utf8Length(cp);
        multiByte = multiByte || length > 1;
        pos += length;
    }
    return multiByte;
}

std::string Utf8FromStoredPath(std::string_view stored) {
    return StoredPathIsUtf8(stored) ? std::string(stored) : Cp1252ToUtf8(stored);
}

fs::path PathFromStored(std::string_view stored, const fs::path& base) {
    if (stored.empty())
        return {};
    std::string utf8 = Utf8FromStoredPath(stored);
#ifndef _WIN32
    // Stored paths may come from Windows; on this system '\' is a separator too.
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
#endif
    fs::path path(std::u8string(utf8.begin(), utf8.end()));
    if (path.is_relative() && !base.empty())
        return base / path;
    return path;
}

std::optional<std::string> StoredFromPath(const fs::path& path, const fs::path& base,
                                          char32_t* badChar) {
    fs::path chosen = path;
    if (!base.empty() && path.is_absolute()) {
        const fs::path relative =
            path.lexically_normal().lexically_relative(base.lexically_normal());
        if (!relative.empty() && *relative.begin() != ".." && relative.is_relative())
            chosen = relative;
    }
    const std::u8string utf8 = chosen.u8string();
    const std::string_view text = AsChars(utf8);
    std::string stored;
    const bool fits = Utf8ToCp1252(text, stored);
    if (fits) {
        // Stored so, it must not read back as another path.
        if (!StoredPathIsUtf8(stored))
            return stored;
    } else if (StoredPathIsUtf8(text)) {
        // A character Windows-1252 cannot hold: the path is stored as UTF-8, which reads back
        // as such.
        return std::string(text);
    }
    if (badChar != nullptr) {
        // Bytes that are not UTF-8, or a path whose Windows-1252 form reads as UTF-8 ("Ã¼"):
        // its first character beyond ASCII.
        *badChar = U'\uFFFD';
        char32_t cp = 0;
        for (std::size_t pos = 0; pos < text.size() && Utf8CharAt(text, pos, cp);
             pos += Utf8Length(cp))
            if (cp >= 0x80 && fits) {
                *badChar = cp;
                break;
            }
    }
    return std::nullopt;
}

std::string DisplayPath(const fs::path& path) {
    return Utf8ToCp1252Lossy(AsChars(path.u8string()));
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
