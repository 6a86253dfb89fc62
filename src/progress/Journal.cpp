#include "progress/Journal.h"

#include "data/Charset.h"
#include "progress/JournalFields.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lexaro {

namespace fs = std::filesystem;

fs::path JournalPath(const fs::path& langFile, int number) {
    fs::path path = langFile;
    path +=
        number <= 1 ? std::string(".journal.tsv") : ".journal-" + std::to_string(number) + ".tsv";
    return path;
}

std::string FormatJournalTime(std::chrono::sys_seconds time) {
    const std::int64_t seconds = time.time_since_epoch().count();
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const TCivilDate date = CivilFromDays(days);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.year, date.month,
                  date.day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
    return text;
}

std::optional<std::chrono::sys_seconds> ParseJournalTime(std::string_view text) {
    std::int64_t seconds = 0;
    if (!ParseJournalSeconds(text, seconds))
        return std::nullopt;
    return std::chrono::sys_seconds{std::chrono::seconds{seconds}};
}

void AppendEscapedJournalText(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

std::string EscapeJournalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscapedJournalText(out, text);
    return out;
}

std::optional<std::string> UnescapeJournalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

namespace {

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i++];
        } else if (Utf8CharAt(text, i, cp)) {
            const std::size_t n = Utf8Length(cp);
            out.append(text.substr(i, n));
            i += n;
        } else {
            AppendUtf8(out, U'\uFFFD');
            ++i;
        }
    }
    return out;
}

const char* VerdictText(TJournalVerdict verdict) {
    switch (verdict) {
    case TJournalVerdict::Right:
        return "right";
    case TJournalVerdict::Wrong:
        return "wrong";
    case TJournalVerdict::None:
        break;
    }
    return "";
}

} // namespace

namespace {

// Marks that belong to the character before them (combining accents, joiners, variation
// selectors): a text is never cut in front of one.
bool JoinsPrevious(char32_t cp) {
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x0483 && cp <= 0x0489) ||
           (cp >= 0x0591 && cp <= 0x05BD) || (cp >= 0x0610 && cp <= 0x061A) ||
           (cp >= 0x064B && cp <= 0x065F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
           (cp >= 0x1DC0 && cp <= 0x1DFF) || cp == 0x200C || cp == 0x200D ||
           (cp >= 0x20D0 && cp <= 0x20FF) || (cp >= 0xFE00 && cp <= 0xFE0F) ||
           (cp >= 0xFE20 && cp <= 0xFE2F) || (cp >= 0x1F3FB && cp <= 0x1F3FF) ||
           (cp >= 0xE0100 && cp <= 0xE01EF);
}

std::size_t EscapedSize(std::string_view text) {
    std::size_t size = text.size();
    for (const char c : text)
        if (c == '\\' || c == '\t' || c == '\n' || c == '\r')
            ++size;
    return size;
}

// The longest start of text (valid UTF-8) whose escaped form takes at most budget bytes, cut
// between characters and never in front of a mark that belongs to the character before it.
std::string_view CutToBudget(std::string_view text, std::size_t budget) {
    if (EscapedSize(text) <= budget)
        return text;
    std::size_t used = 0;
    std::size_t end = 0;
    std::size_t lastBase = 0; // where the last character without a joining mark started
    while (end < text.size()) {
        char32_t cp = static_cast<unsigned char>(text[end]);
        std::size_t n = 1;
        if (cp >= 0x80 && Utf8CharAt(text, end, cp))
            n = Utf8Length(cp);
        if (!JoinsPrevious(cp))
            lastBase = end;
        const std::size_t cost = EscapedSize(text.substr(end, n));
        if (used + cost > budget) {
            // The character cut off may carry marks of the one before: that one goes too.
            if (JoinsPrevious(cp))
                end = lastBase;
            break;
        }
        used += cost;
        end += n;
    }
    return text.substr(0, end);
}

} // namespace

std::string FormatJournalLine(const TJournalLine& line) {
    std::string out = FormatJournalTime(line.time);
    out += '\t';
    out += std::to_string(line.lesson);
    out += '\t';
    out += std::to_string(line.pairId);
    out += '\t';
    std::string rest = "\t";
    rest += line.presentedSide == 2 ? '2' : '1';
    rest += '\t';
    rest += VerdictText(line.verdict);
    rest += '\t';
    rest += std::to_string(line.priorityChosen);
    // The line stays within what a reader takes for a line: a long text1 is cut between
    // characters.
    const std::size_t fixed = out.size() + rest.size();
    const std::size_t budget = fixed < kMaxJournalLineBytes ? kMaxJournalLineBytes - fixed : 0;
    out += EscapeJournalText(CutToBudget(ValidUtf8(line.text1), budget));
    out += rest;
    out += '\n';
    return out;
}

std::optional<TJournalLine> ParseJournalLine(std::string_view text) {
    TJournalFields fields;
    if (!SplitJournalLine(text, fields))
        return std::nullopt;
    auto text1 = UnescapeJournalText(fields.text1);
    if (!text1)
        return std::nullopt;
    TJournalLine line;
    line.time = std::chrono::sys_seconds{std::chrono::seconds{fields.seconds}};
    line.lesson = fields.lesson;
    line.pairId = fields.pairId;
    line.text1 = std::move(*text1);
    line.presentedSide = fields.side;
    line.verdict = fields.verdict;
    line.priorityChosen = fields.priority;
    return line;
}

TJournalWriter::TJournalWriter(fs::path langFile, TJournalClock clock)
    : langFile_(std::move(langFile)), clock_(std::move(clock)) {}

std::chrono::sys_seconds TJournalWriter::Now() const {
    const auto now = clock_ ? clock_() : std::chrono::system_clock::now();
    return std::chrono::floor<std::chrono::seconds>(now);
}

void TJournalWriter::Add(const ExerciseEntry& entry, bool firstLanguagePresented,
                         std::string_view storedText1, const TCodePage& page,
                         TJournalVerdict verdict, std::int32_t priorityChosen) {
    TJournalLine line;
    line.time = Now();
    line.lesson = entry.lesson;
    line.pairId = entry.pairId;
    line.text1 = page.ToUtf8(storedText1);
    line.presentedSide = firstLanguagePresented ? 1 : 2;
    line.verdict = verdict;
    line.priorityChosen = priorityChosen;
    lines_.push_back(std::move(line));
}

void TJournalWriter::AddRun(const std::vector<TCardResult>& cards, const TLangFHandler& lang,
                            const TCodePage& page) {
    for (const TCardResult& card : cards) {
        const auto lesson = lang.LessonAt(card.entry.lesson);
        const auto pair = lesson ? lesson->PairAt(card.entry.pairId) : nullptr;
        if (pair)
            Add(card.entry, card.firstLanguagePresented, pair->text1, page, card.verdict,
                card.priorityChosen);
    }
}

TJournalAppend TJournalWriter::Close() {
    if (lines_.empty())
        return {TFileResult{}, JournalPath(langFile_), std::nullopt};
    TJournalAppend result = AppendJournal(langFile_, lines_);
    lines_.clear();
    return result;
}

namespace {

// The part of the journal's end that is checked for text.
constexpr std::size_t kTailBytes = 4096;

struct TInspection {
    TJournalState state = TJournalState::Missing;
    bool endsWithLineEnd = true;
    // A last line cut part way (no line end and not a whole line): the journal is cut back to
    // cutTo, dropping the size - cutTo bytes after its last line end.
    bool torn = false;
    std::uint64_t size = 0;
    std::uint64_t cutTo = 0;
};

bool ReadAt(int fd, std::uint64_t offset, std::string& out, std::size_t size) {
    out.resize(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n =
            ::pread(fd, out.data() + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return got == size;
}

// Text: UTF-8 without zero bytes. The piece may start inside a character (it is the end of
// a file), so what comes before its first line end is not judged.
bool TailIsText(std::string_view tail, bool fromStart) {
    if (!fromStart) {
        const std::size_t nl = tail.find('\n');
        tail = nl == std::string_view::npos ? std::string_view{} : tail.substr(nl + 1);
    }
    for (std::size_t i = 0; i < tail.size();) {
        const auto byte = static_cast<unsigned char>(tail[i]);
        if (byte == 0)
            return false;
        if (byte < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        if (!Utf8CharAt(tail, i, cp))
            return false;
        i += Utf8Length(cp);
    }
    return true;
}

// True when text is the start of the header row and its line end, but not all of it: the first
// write of the journal stopped part way.
bool IsCutHeader(std::string_view text) {
    const std::string whole = std::string(kJournalHeader) + '\n';
    return text.size() < whole.size() && std::string_view(whole).starts_with(text);
}

TInspection Inspect(const fs::path& path) {
    TInspection result;
    struct stat linkInfo {};
    if (::lstat(path.c_str(), &linkInfo) != 0)
        return result; // Missing
    result.state = TJournalState::Foreign;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return result; // a dangling link, a folder, a device, a pipe
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return result;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return result;
    }
    const auto size = static_cast<std::uint64_t>(opened.st_size);
    result.size = size;
    if (size == 0) {
        ::close(fd);
        result.state = TJournalState::Empty;
        return result;
    }
    std::string head;
    ReadAt(fd, 0, head, std::min<std::uint64_t>(size, kJournalHeader.size() + 2));
    const bool header = head.starts_with(kJournalHeader) &&
                        (head.substr(kJournalHeader.size()).starts_with('\n') ||
                         head.substr(kJournalHeader.size()).starts_with("\r\n"));
    // Enough of the end for the text check and for a last line cut part way (never longer
    // than a whole line).
    std::string tail;
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kTailBytes + kMaxJournalLineBytes);
    const bool tailRead = ReadAt(fd, size - tailSize, tail, static_cast<std::size_t>(tailSize));
    ::close(fd);
    if (!tailRead)
        return result;
    if (!header) {
        // Only the first write of this journal, stopped part way, is mended; anything else is
        // somebody else's file.
        if (tailSize == size && IsCutHeader(tail)) {
            result.state = TJournalState::Journal;
            result.torn = true;
            result.cutTo = 0;
        }
        return result;
    }
    std::string_view body = tail;
    std::string_view last;
    if (!tail.ends_with('\n')) {
        const std::size_t nl = tail.rfind('\n');
        // An end longer than any line is no journal's end.
        if (nl == std::string::npos || tail.size() - nl - 1 > kMaxJournalLineBytes)
            return result;
        body = body.substr(0, nl + 1);
        last = std::string_view(tail).substr(nl + 1);
    }
    const bool bodyFromStart = tailSize == size && body.size() <= kTailBytes;
    if (body.size() > kTailBytes)
        body = body.substr(body.size() - kTailBytes);
    if (!TailIsText(body, bodyFromStart))
        return result;
    result.state = TJournalState::Journal;
    if (!last.empty()) {
        if (TailIsText(last, true) && ParseJournalLine(last)) {
            // A whole line that only lacks its line end stays.
            result.endsWithLineEnd = false;
        } else {
            result.torn = true;
            result.cutTo = size - last.size();
        }
    }
    return result;
}

TFileResult Failed(int error) {
    return TFileResult::FromErrno(error);
}

// Opens a file with flags (new ones get mode 0644) and makes sure it is a regular file: its
// descriptor and what fstat says of it, or -1 and why not.
int OpenRegular(const fs::path& path, int flags, struct stat& info, TFileResult& why) {
    errno = 0;
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        why = Failed(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        ::close(fd);
        why = error != 0 ? Failed(error) : TFileResult::Failed(FileFault::NotRegular);
        return -1;
    }
    return fd;
}

// Writes all of data at the end of the file in one write where the system allows; should
// the write stop part way, the file is cut back to where it ended before.
TFileResult AppendBytes(const fs::path& path, bool create, const std::string& data) {
    const int flags =
        O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC | O_NONBLOCK | (create ? O_CREAT | O_EXCL : 0);
    struct stat info {};
    TFileResult opened;
    const int fd = OpenRegular(path, flags, info, opened);
    if (fd < 0)
        return opened;
    const off_t before = info.st_size;
    std::size_t done = 0;
    int error = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error != 0) {
        // Nothing of this run stays: the journal ends where it ended before.
        if (::ftruncate(fd, before) != 0) {
            // The system refused that too; the reader skips the broken line.
        }
        ::close(fd);
        if (create)
            ::unlink(path.c_str());
        return Failed(error);
    }
    if (::close(fd) != 0)
        return Failed(errno);
    return {};
}

// Cuts the journal back to where its last whole line ends, provided it is still the file
// that was inspected (a regular file of the size seen).
TFileResult CutBack(const fs::path& path, const TInspection& found) {
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Failed(errno);
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) != found.size)
        error = EAGAIN; // changed under our hands: nothing is cut
    else if (::ftruncate(fd, static_cast<off_t>(found.cutTo)) != 0 || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error != 0 ? Failed(error) : TFileResult{};
}

} // namespace

TJournalState InspectJournal(const fs::path& path) {
    return Inspect(path).state;
}

TJournalAppend AppendJournal(const fs::path& langFile, const std::vector<TJournalLine>& lines) {
    TJournalAppend result;
    std::optional<fs::path> foreign;
    for (int number = 1; number <= kMaxJournalFiles; ++number) {
        const fs::path path = JournalPath(langFile, number);
        const TInspection found = Inspect(path);
        if (found.state == TJournalState::Foreign) {
            if (!foreign)
                foreign = path;
            continue;
        }
        result.written = path;
        if (found.torn) {
            result.result = CutBack(path, found);
            if (!result.result.ok())
                return result;
            result.droppedBytes = found.size - found.cutTo;
        }
        std::string data;
        if (found.state != TJournalState::Journal || (found.torn && found.cutTo == 0)) {
            data += kJournalHeader;
            data += '\n';
        } else if (!found.endsWithLineEnd) {
            data += '\n';
        }
        for (const TJournalLine& line : lines)
            data += FormatJournalLine(line);
        result.result = AppendBytes(path, found.state == TJournalState::Missing, data);
        // Tell of the file left alone once: when the journal beside it is started.
        if (result.result.ok() && found.state == TJournalState::Missing && foreign)
            result.setAside = foreign;
        return result;
    }
    result.written = JournalPath(langFile, 1);
    result.result = TFileResult::Failed(
        FileFault::Exists, "none of the " + std::to_string(kMaxJournalFiles) +
                               " journal names beside the file is free or holds a journal");
    return result;
}

namespace {

// Copies one regular file to a new one (never over an existing file), in blocks; on failure the
// new file is removed.
TFileResult CopyNewFile(const fs::path& from, const fs::path& to) {
    struct stat info {};
    TFileResult opened;
    const int in = OpenRegular(from, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, info, opened);
    if (in < 0)
        return opened;
    const int out =
        ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0644);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return Failed(error);
    }
    std::string block(256 * 1024, '\0');
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(in, block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0)
            break;
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(got)) {
            const ssize_t n =
                ::write(out, block.data() + done, static_cast<std::size_t>(got) - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error = n < 0 ? errno : ENOSPC;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        if (error != 0)
            break;
    }
    ::close(in);
    if (error == 0 && ::fsync(out) != 0)
        error = errno;
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(to.c_str());
        return Failed(error);
    }
    return {};
}

} // namespace

TJournalCopy CopyJournals(const fs::path& fromLangFile, const fs::path& toLangFile) {
    TJournalCopy result;
    for (int number = 1; number <= kMaxJournalFiles; ++number) {
        struct stat info {};
        if (::lstat(JournalPath(toLangFile, number).c_str(), &info) == 0)
            return result; // the new name has a history of its own
    }
    std::vector<fs::path> made;
    for (int number = 1; number <= kMaxJournalFiles; ++number) {
        const fs::path from = JournalPath(fromLangFile, number);
        if (Inspect(from).state != TJournalState::Journal)
            continue;
        const fs::path to = JournalPath(toLangFile, static_cast<int>(made.size()) + 1);
        result.result = CopyNewFile(from, to);
        if (!result.result.ok()) {
            result.failed = to;
            for (const fs::path& path : made)
                ::unlink(path.c_str());
            return result;
        }
        made.push_back(to);
    }
    result.copied = static_cast<int>(made.size());
    return result;
}

TJournalRecord TJournalRecorder::Record(const fs::path& langFile, TJournalLine line) {
    TJournalRecord record;
    // Lines kept for another language file go to its journal first.
    if (!kept_.empty() && keptFor_ != langFile) {
        // One more try; that file is no longer the exercise's, so its lines cannot wait.
        AppendJournal(keptFor_, kept_);
        kept_.clear();
    }
    keptFor_ = langFile;
    if (kept_.size() < kMaxKeptJournalLines)
        kept_.push_back(std::move(line));
    record.append = AppendJournal(langFile, kept_);
    if (record.append.result.ok()) {
        kept_.clear();
        failing_ = false;
    } else {
        record.newFailure = !failing_;
        failing_ = true;
    }
    record.kept = kept_.size();
    return record;
}

} // namespace lexaro
