#pragma once

// Reading the practice journal for its figures: streaming, in blocks, keeping only counts per
// day, so a journal of years of practice takes little memory and time.

#include "progress/Journal.h"
#include "progress/JournalFields.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace lexaro {

// Days are counted from 1970-01-01 (day 0), in the learner's time.
struct TDayCounts {
    std::int64_t cards = 0;
    std::int64_t right = 0; // typed answers judged right
    std::int64_t wrong = 0; // typed answers judged wrong
    friend bool operator==(const TDayCounts&, const TDayCounts&) = default;
};

// The learner's offset from UTC in seconds at a UTC time; 0 when none is given.
using TUtcOffset = std::function<std::int64_t(std::int64_t utcSeconds)>;
// The system's local time offset (time zone and summer time) at that time.
std::int64_t LocalUtcOffset(std::int64_t utcSeconds);
// The day of a UTC time for that offset function (UTC without one).
std::int32_t DayOf(std::chrono::sys_seconds time, const TUtcOffset& offset = {});
// "2026-12-11"
std::string FormatDay(std::int32_t day);

// The lines of journal files fed in any pieces: each file's header row is left out, and a line
// longer than a journal's is skipped. What a line means is the reader's (Data).
class TJournalLines {
public:
    virtual ~TJournalLines() = default;

    // Adds bytes of one journal file, first to last; Finish ends the file (a last line
    // without line end counts).
    void Feed(std::string_view bytes);
    void Finish();

    // Lines of journal data read, and lines skipped because they did not parse (a header
    // row is neither).
    std::int64_t Lines() const { return lines_; }
    std::int64_t Skipped() const { return skipped_; }

protected:
    // One line of data, without its line end; true when it parsed (it counts as read),
    // false to skip it.
    virtual bool Data(std::string_view line) = 0;

private:
    friend class TJournalLinesBoth;
    void Line(std::string_view line);

    std::string pending_; // the start of a line not ended yet
    bool pendingTooLong_ = false;
    bool atFileStart_ = true; // the next line is the file's first (the header)
    std::int64_t lines_ = 0;
    std::int64_t skipped_ = 0;
};

// Counts per day.
class TJournalTally : public TJournalLines {
public:
    explicit TJournalTally(TUtcOffset offset = {});
    // Counts of one day, zero for a day without practice.
    TDayCounts Day(std::int32_t day) const;
    // The first and last day with practice; first > last when there is none.
    std::int32_t FirstDay() const;
    std::int32_t LastDay() const;

private:
    bool Data(std::string_view line) override;
    std::int32_t DayOfSeconds(std::int64_t utcSeconds);

    TUtcOffset offset_;
    std::int64_t cachedHour_ = -1;
    std::int64_t cachedOffset_ = 0;
    std::vector<TDayCounts> days_; // from kFirstDay on
    TJournalDayCache dayCache_;
};

// Two readers fed in one pass over the files: each line goes to the first and, when the first
// reads it, to the second, so both leave out the same lines. A line counts as read when both
// read it; the counts of lines read and skipped are this reader's, not the two's.
class TJournalLinesBoth : public TJournalLines {
public:
    TJournalLinesBoth(TJournalLines& first, TJournalLines& second)
        : first_(first), second_(second) {}

protected:
    bool Data(std::string_view line) override;

private:
    TJournalLines& first_;
    TJournalLines& second_;
};

// What reading the journals of a language file found.
struct TJournalRead {
    std::vector<std::filesystem::path> read;    // journals whose lines were counted
    std::vector<std::filesystem::path> foreign; // files of a journal's name that are none
    std::vector<std::pair<std::filesystem::path, TFileResult>> failed; // could not be read
};

// Reads every journal of langFile (JournalPath 1..kMaxJournalFiles) into a reader.
TJournalRead ReadJournals(const std::filesystem::path& langFile, TJournalLines& tally);
// Reads one file into a reader; a file that does not start with the header is not read.
TFileResult ReadJournalFile(const std::filesystem::path& path, TJournalLines& tally,
                            bool* foreign = nullptr);

} // namespace lexaro
