#include "progress/JournalReader.h"

#include "progress/JournalFields.h"

#include <cerrno>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lexaro {

namespace fs = std::filesystem;

namespace {

// Day numbers kept: the journal's years with a day to spare for the time zones.
constexpr std::int32_t kFirstDay =
    static_cast<std::int32_t>(DaysFromCivil(kFirstJournalYear, 1, 1)) - 1;
constexpr std::int32_t kLastDay =
    static_cast<std::int32_t>(DaysFromCivil(kLastJournalYear, 12, 31)) + 1;
constexpr std::size_t kBlockBytes = 256 * 1024;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

std::int64_t LocalUtcOffset(std::int64_t utcSeconds) {
    const auto t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    if (::localtime_r(&t, &local) == nullptr)
        return 0;
    return local.tm_gmtoff;
}

std::int32_t DayOf(std::chrono::sys_seconds time, const TUtcOffset& offset) {
    const std::int64_t seconds = time.time_since_epoch().count();
    return static_cast<std::int32_t>(FloorDiv(seconds + (offset ? offset(seconds) : 0), 86400));
}

std::string FormatDay(std::int32_t day) {
    const TCivilDate date = CivilFromDays(day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

TJournalTally::TJournalTally(TUtcOffset offset) : offset_(std::move(offset)) {}

std::int32_t TJournalTally::DayOfSeconds(std::int64_t utcSeconds) {
    if (!offset_)
        return static_cast<std::int32_t>(FloorDiv(utcSeconds, 86400));
    // The offset changes at most at whole hours; the journal's lines come in time order.
    const std::int64_t hour = FloorDiv(utcSeconds, 3600);
    if (hour != cachedHour_) {
        cachedHour_ = hour;
        cachedOffset_ = offset_(utcSeconds);
    }
    return static_cast<std::int32_t>(FloorDiv(utcSeconds + cachedOffset_, 86400));
}

void TJournalLines::Line(std::string_view line) {
    const bool first = atFileStart_;
    atFileStart_ = false;
    if (first) {
        std::string_view header = line;
        if (header.ends_with('\r'))
            header.remove_suffix(1);
        if (header == kJournalHeader)
            return;
    }
    if (line.empty() || line == "\r")
        return; // an empty line holds nothing to skip
    if (Data(line))
        ++lines_;
    else
        ++skipped_;
}

bool TJournalTally::Data(std::string_view line) {
    TJournalFields fields;
    if (!SplitJournalLine(line, fields, &dayCache_))
        return false;
    const std::int32_t day = DayOfSeconds(fields.seconds);
    if (day < kFirstDay || day > kLastDay)
        return false;
    const auto index = static_cast<std::size_t>(day - kFirstDay);
    if (index >= days_.size())
        days_.resize(index + 1);
    TDayCounts& counts = days_[index];
    ++counts.cards;
    if (fields.verdict == TJournalVerdict::Right)
        ++counts.right;
    else if (fields.verdict == TJournalVerdict::Wrong)
        ++counts.wrong;
    return true;
}

bool TJournalLinesBoth::Data(std::string_view line) {
    return first_.Data(line) && second_.Data(line);
}

void TJournalLines::Feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t nl = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, nl);
        if (nl == std::string_view::npos) {
            // The start of a line that goes on in the next block.
            if (!pendingTooLong_) {
                if (pending_.size() + piece.size() > kMaxJournalLineBytes) {
                    pendingTooLong_ = true;
                    pending_.clear();
                } else {
                    pending_.append(piece);
                }
            }
            return;
        }
        if (pendingTooLong_) {
            pendingTooLong_ = false;
            atFileStart_ = false;
            ++skipped_;
        } else if (!pending_.empty()) {
            if (pending_.size() + piece.size() > kMaxJournalLineBytes) {
                atFileStart_ = false;
                ++skipped_;
            } else {
                pending_.append(piece);
                Line(pending_);
            }
            pending_.clear();
        } else if (piece.size() > kMaxJournalLineBytes) {
            atFileStart_ = false;
            ++skipped_;
        } else {
            Line(piece);
        }
        bytes.remove_prefix(nl + 1);
    }
}

void TJournalLines::Finish() {
    if (pendingTooLong_)
        ++skipped_;
    else if (!pending_.empty())
        Line(pending_);
    pending_.clear();
    pendingTooLong_ = false;
    atFileStart_ = true;
}

TDayCounts TJournalTally::Day(std::int32_t day) const {
    if (day < kFirstDay)
        return {};
    const auto index = static_cast<std::size_t>(day - kFirstDay);
    return index < days_.size() ? days_[index] : TDayCounts{};
}

std::int32_t TJournalTally::FirstDay() const {
    for (std::size_t i = 0; i < days_.size(); ++i)
        if (days_[i].cards != 0)
            return kFirstDay + static_cast<std::int32_t>(i);
    return 1;
}

std::int32_t TJournalTally::LastDay() const {
    for (std::size_t i = days_.size(); i-- > 0;)
        if (days_[i].cards != 0)
            return kFirstDay + static_cast<std::int32_t>(i);
    return 0;
}

TFileResult ReadJournalFile(const fs::path& path, TJournalLines& tally, bool* foreign) {
    if (foreign)
        *foreign = false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? TFileResult::Failed(FileFault::NotFound)
                               : TFileResult::FromErrno(errno);
    if (!S_ISREG(info.st_mode)) {
        if (foreign)
            *foreign = true;
        return TFileResult::Failed(FileFault::NotRegular);
    }
    errno = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return TFileResult::FromErrno(errno);
    std::vector<char> block(kBlockBytes);
    bool first = true;
    TFileResult result;
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result = TFileResult::FromErrno(errno);
            break;
        }
        if (n == 0)
            break;
        std::string_view bytes(block.data(), static_cast<std::size_t>(n));
        if (first) {
            first = false;
            // A file that does not start with the header is no journal of this program.
            const std::string_view head = bytes.substr(0, kJournalHeader.size());
            if (head != kJournalHeader.substr(0, head.size()) ||
                (bytes.size() > kJournalHeader.size() && bytes[kJournalHeader.size()] != '\n' &&
                 bytes[kJournalHeader.size()] != '\r')) {
                if (foreign)
                    *foreign = true;
                ::close(fd);
                return result;
            }
        }
        tally.Feed(bytes);
    }
    ::close(fd);
    tally.Finish();
    return result;
}

TJournalRead ReadJournals(const fs::path& langFile, TJournalLines& tally) {
    TJournalRead read;
    for (int number = 1; number <= kMaxJournalFiles; ++number) {
        const fs::path path = JournalPath(langFile, number);
        bool foreign = false;
        const TFileResult result = ReadJournalFile(path, tally, &foreign);
        if (foreign)
            read.foreign.push_back(path);
        else if (result.ok())
            read.read.push_back(path);
        else if (result.fault != FileFault::NotFound)
            read.failed.emplace_back(path, result);
    }
    return read;
}

} // namespace lexaro
