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

// A decimal number 0..max without sign or leading zeros.
bool Number(std::string_view text, std::int32_t max, std::int32_t& value) {
    if (text.empty() || text.size() > 7 || (text.size() > 1 && text[0] == '0'))
        return false;
    std::int64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    if (n > max)
        return false;
    value = static_cast<std::int32_t>(n);
    return true;
}

constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool Text1Valid(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F)
                return false;
            if (byte == '\\') {
                if (i + 1 == text.size())
                    return false;
                const char next = text[i + 1];
                if (next != '\\' && next != 't' && next != 'n' && next != 'r')
                    return false;
                i += 2;
                continue;
            }
            ++i;
            continue;
        }
        char32_t cp = 0;
        if (!Utf8CharAt(text, i, cp))
            return false;
        i += Utf8Length(cp);
    }
    return true;
}

} // namespace

bool ParseJournalSeconds(std::string_view text, std::int64_t& seconds) {
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z')
        return false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second))
        return false;
    if (year < kFirstJournalYear || year > kLastJournalYear || month < 1 || month > 12 || day < 1 ||
        hour > 23 || minute > 59 || second > 59)
        return false;
    const int monthDays = kDaysInMonth[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
    if (day > monthDays)
        return false;
    seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

bool SplitJournalLine(std::string_view line, TJournalFields& fields) {
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    std::string_view parts[7];
    std::size_t start = 0;
    for (int i = 0; i < 7; ++i) {
        const std::size_t tab = line.find('\t', start);
        if (i < 6) {
            if (tab == std::string_view::npos)
                return false;
            parts[i] = line.substr(start, tab - start);
            start = tab + 1;
        } else {
            if (tab != std::string_view::npos)
                return false;
            parts[i] = line.substr(start);
        }
    }
    if (!ParseJournalSeconds(parts[0], fields.seconds) ||
        !Number(parts[1], kMaxSlotNumber, fields.lesson) ||
        !Number(parts[2], kMaxSlotNumber, fields.pairId) || !Number(parts[6], 9, fields.priority))
        return false;
    if (parts[4] == "1")
        fields.side = 1;
    else if (parts[4] == "2")
        fields.side = 2;
    else
        return false;
    if (parts[5].empty())
        fields.verdict = TJournalVerdict::None;
    else if (parts[5] == "right")
        fields.verdict = TJournalVerdict::Right;
    else if (parts[5] == "wrong")
        fields.verdict = TJournalVerdict::Wrong;
    else
        return false;
    if (!Text1Valid(parts[3]))
        return false;
    fields.text1 = parts[3];
    return true;
}

} // namespace lexaro
