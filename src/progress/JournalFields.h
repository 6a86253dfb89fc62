#pragma once

// The fields of a journal line as views into it, and the calendar arithmetic: shared by the
// line parser and the streaming reader, which must not allocate per line.

#include "progress/Journal.h"

#include <cstdint>
#include <string_view>

namespace lexaro {

struct TCivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
constexpr std::int64_t DaysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return std::int64_t{era} * 146097 + doe - 719468;
}

constexpr TCivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int day = doy - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    const auto year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// The years a journal's times may lie in.
inline constexpr int kFirstJournalYear = 2000;
inline constexpr int kLastJournalYear = 2199;

struct TJournalFields {
    std::int64_t seconds = 0; // since 1970-01-01T00:00:00Z
    std::int32_t lesson = 0;
    std::int32_t pairId = 0;
    std::string_view text1; // escaped
    std::int32_t side = 1;
    TJournalVerdict verdict = TJournalVerdict::None;
    std::int32_t priority = 0;
};

// The date of the last time read and its first second, for a reader of many lines.
struct TJournalDayCache {
    char date[10] = {};
    std::int64_t daySeconds = -1;
};

// "YYYY-MM-DDTHH:MM:SSZ" in the journal's years. With a cache, a date the same as the last
// one read is not worked out again.
bool ParseJournalSeconds(std::string_view text, std::int64_t& seconds,
                         TJournalDayCache* cache = nullptr);
// All seven fields of a line (a trailing CR is allowed); text1 must be UTF-8 with valid
// escapes and no control characters.
bool SplitJournalLine(std::string_view line, TJournalFields& fields,
                      TJournalDayCache* cache = nullptr);

} // namespace lexaro
