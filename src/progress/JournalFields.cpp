#include "progress/JournalFields.h"

#include "data/Charset.h"
#include "data/Lesson.h"

namespace lexaro {

namespace {

bool Digits(std::string_view text, std::size_t pos, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

bool ParseJournalSeconds(std::string_view text, std::int64_t& seconds, TJournalDayCache* cache) {
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z')
        return false;
    int hour = 0, minute = 0, second = 0;
    if (!Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) ||
        !Digits(text, 17, 2, second) || hour > 23 || minute > 59 || second > 59)
        return false;
    const std::int64_t time = hour * 3600 + minute * 60 + second;
    // A journal's lines come day by day: the date of the line before is checked once.
    if (cache != nullptr && cache->daySeconds >= 0 &&
        text.compare(0, 10, std::string_view(cache->date, 10)) == 0) {
        seconds = cache->daySeconds + time;
        return true;
    }
    int year = 0, month = 0, day = 0;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day))
        return false;
    if (year < kFirstJournalYear || year > kLastJournalYear || month < 1 || month > 12 || day < 1)
        return false;
    const int monthDays = kDaysInMonth[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
    if (day > monthDays)
        return false;
    const std::int64_t daySeconds = DaysFromCivil(year, month, day) * 86400;
    if (cache != nullptr) {
        text.copy(cache->date, 10);
        cache->daySeconds = daySeconds;
    }
    seconds = daySeconds + time;
    return true;
}

bool SplitJournalLine(std::string_view line, TJournalFields& fields, TJournalDayCache* cache) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    // The fields are read in one pass from left to right, each where the one before ended:
    // a reader of millions of lines must not search a line once per field.
    const char* p = line.data();
    const char* const end = p + line.size();
    // The time: exactly 20 characters.
    if (line.size() < 21 || p[20] != '\t' ||
        !ParseJournalSeconds(std::string_view(p, 20), fields.seconds, cache))
        return false;
    p += 21;
    // A number up to max, without sign or leading zeros, ended by a tab.
    auto number = [&](std::int32_t max, std::int32_t& value) {
        const char* start = p;
        std::int64_t n = 0;
        while (p < end && *p >= '0' && *p <= '9' && p - start < 7)
            n = n * 10 + (*p++ - '0');
        if (p == start || p == end || *p != '\t' || (p - start > 1 && *start == '0') || n > max)
            return false;
        ++p;
        value = static_cast<std::int32_t>(n);
        return true;
    };
    if (!number(kMaxSlotNumber, fields.lesson) || !number(kMaxSlotNumber, fields.pairId))
        return false;
    // text1: UTF-8 without control characters, escapes complete; ended by a tab.
    const char* text1 = p;
    while (p < end && *p != '\t') {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            ++p;
        } else if (byte == '\\') {
            if (end - p < 2 || (p[1] != '\\' && p[1] != 't' && p[1] != 'n' && p[1] != 'r'))
                return false;
            p += 2;
        } else if (byte >= 0x80) {
            char32_t cp = 0;
            const std::string_view rest(p, static_cast<std::size_t>(end - p));
            if (!Utf8CharAt(rest, 0, cp))
                return false;
            p += Utf8Length(cp);
        } else {
            return false;
        }
    }
    if (p == end)
        return false;
    fields.text1 = std::string_view(text1, static_cast<std::size_t>(p - text1));
    ++p;
    // The side shown: 1 or 2.
    if (end - p < 2 || (*p != '1' && *p != '2') || p[1] != '\t')
        return false;
    fields.side = *p - '0';
    p += 2;
    // The verdict: empty, "right" or "wrong".
    const std::string_view rest(p, static_cast<std::size_t>(end - p));
    if (rest.starts_with('\t')) {
        fields.verdict = TJournalVerdict::None;
        p += 1;
    } else if (rest.starts_with("right\t")) {
        fields.verdict = TJournalVerdict::Right;
        p += 6;
    } else if (rest.starts_with("wrong\t")) {
        fields.verdict = TJournalVerdict::Wrong;
        p += 6;
    } else {
        return false;
    }
    // The priority chosen: one digit, and the line ends.
    if (end - p != 1 || *p < '0' || *p > '9')
        return false;
    fields.priority = *p - '0';
    return true;
}

} // namespace lexaro
