#include "LangTable.h"

#include "data/Charset.h"
#include "data/Lesson.h"
#include "data/StrUtil.h"
#include "data/Word_Pear.h"

#include <memory>
#include <optional>
#include <unordered_map>

namespace lexaro {

namespace {

// A stored line holds at most 65534 bytes; the id, "=", "@", "#" and the mark need the rest.
constexpr std::size_t kMaxPairTexts = 65534 - 16;

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            cells.push_back(line.substr(start));
            return cells;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// 1/0, true/false, yes/no in any case; an empty cell gives the default.
std::optional<bool> ParseFlag(std::string_view cell, bool fallback) {
    cell = TrimBlanks(cell);
    if (cell.empty())
        return fallback;
    for (const char* yes : {"1", "true", "yes"})
        if (EqualsIgnoringAsciiCase(cell, yes))
            return true;
    for (const char* no : {"0", "false", "no"})
        if (EqualsIgnoringAsciiCase(cell, no))
            return false;
    return std::nullopt;
}

// The length of the well-formed UTF-8 character at the start of s, or 0.
std::size_t Utf8CharLength(std::string_view s) {
    if (s.empty())
        return 0;
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        length = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
        length = 3;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
        length = 4;
    else
        return b0 < 0x80 ? 1 : 0;
    if (s.size() < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// What is wrong with one text cell, or an empty string; out receives it in Windows-1252.
std::string TextProblem(std::string_view cell, bool language2, std::string& out) {
    const char* column = language2 ? "text2" : "text1";
    std::size_t badPos = 0;
    if (!Utf8ToCp1252(cell, out, &badPos)) {
        // Name the character so the user can find it; broken UTF-8 is said as such.
        const std::size_t length = Utf8CharLength(cell.substr(badPos));
        if (length == 0)
            return std::string(column) + ": the text is not valid UTF-8";
        return std::string(column) + ": \"" + std::string(cell.substr(badPos, length)) +
               "\" is outside Windows-1252 and cannot be stored";
    }
    if (const char* problem = PairTextProblem(out, language2))
        return std::string(column) + ": " + problem;
    return {};
}

} // namespace

TTsvTable ParseTsv(std::string_view text) {
    TTsvTable table;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::int32_t lineNumber = 0;
    bool seenRow = false;
    // Pairs so far by lesson, and the problem that holds a full lesson's later rows.
    std::unordered_map<std::int32_t, std::int32_t> pairsIn;
    std::unordered_map<std::int32_t, std::size_t> fullLesson;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (TrimBlanks(line).empty())
            continue;
        auto problem = [&](std::string message) {
            table.problems.push_back({lineNumber, std::move(message)});
        };
        const auto cells = SplitTabs(line);
        if (!seenRow) {
            seenRow = true;
            if (EqualsIgnoringAsciiCase(TrimBlanks(cells[0]), "lesson")) {
                table.hasHeader = true;
                continue;
            }
        }
        if (cells.size() < 3) {
            problem("a row needs lesson, text1 and text2 separated by tabs");
            continue;
        }
        if (cells.size() > 5) {
            problem("too many columns (a tab inside a text cannot be stored)");
            continue;
        }
        TTsvRow row;
        row.line = lineNumber;
        const std::string_view lesson = TrimBlanks(cells[0]);
        if (!TryStrToInt(lesson, row.lesson)) {
            problem("lesson: '" + std::string(lesson) + "' is not a whole number");
            continue;
        }
        if (row.lesson <= 0 || row.lesson > kMaxSlotNumber) {
            problem("lesson: " + std::to_string(row.lesson) + " is not between 1 and " +
                    std::to_string(kMaxSlotNumber));
            continue;
        }
        std::string why = TextProblem(cells[1], false, row.text1);
        if (why.empty())
            why = TextProblem(cells[2], true, row.text2);
        if (why.empty() && row.text1.size() + row.text2.size() > kMaxPairTexts)
            why = "the texts are too long for one stored line";
        if (!why.empty()) {
            problem(why);
            continue;
        }
        const auto use = cells.size() > 3 ? ParseFlag(cells[3], true) : std::optional(true);
        const auto drawn = cells.size() > 4 ? ParseFlag(cells[4], false) : std::optional(false);
        if (!use || !drawn) {
            problem(std::string(!use ? "use" : "drawn") + ": '" +
                    std::string(TrimBlanks(cells[!use ? 3 : 4])) +
                    "' is not 1, 0, true, false, yes or no");
            continue;
        }
        if (++pairsIn[row.lesson] > kMaxPairsPerLesson) {
            const auto [at, first] = fullLesson.try_emplace(row.lesson, table.problems.size());
            if (first)
                problem({});
            else
                ++table.problems[at->second].rows;
            continue;
        }
        row.use = *use;
        row.drawn = *drawn;
        table.rows.push_back(std::move(row));
    }
    // Said once the number of rows is known.
    for (const auto& [lesson, index] : fullLesson) {
        TTsvProblem& full = table.problems[index];
        full.message = "lesson " + std::to_string(lesson) + " holds at most " +
                       std::to_string(kMaxPairsPerLesson) + " pairs: this row";
        if (full.rows > 1)
            full.message += " and the " + std::to_string(full.rows - 1) + " later row(s) of it";
        full.message += " cannot be stored";
    }
    return table;
}

std::string LanguageNameProblem(std::string_view utf8, bool language2, std::string& cp1252) {
    std::size_t badPos = 0;
    if (!Utf8ToCp1252(utf8, cp1252, &badPos))
        return "the name is not valid UTF-8 or holds a character outside Windows-1252";
    if (cp1252.empty())
        return "the name is empty";
    for (const char c : cp1252) {
        if (c == '@')
            return "\"@\" cannot be stored in a language name";
        if (c == '\r' || c == '\n' || c == '\0')
            return "a line break or zero character cannot be stored in a language name";
    }
    // The names line would be read as a lesson header.
    if (!language2 && cp1252.front() == '[')
        return "the first language's name cannot start with \"[\"";
    return {};
}

bool BuildModel(const std::vector<TTsvRow>& rows, std::string_view lang1Cp1252,
                std::string_view lang2Cp1252, TLangFHandler& model) {
    model.SetLanguageNames(lang1Cp1252, lang2Cp1252);
    bool placedAll = true;
    for (const auto& row : rows) {
        auto lesson = model.LessonAt(row.lesson);
        if (!lesson) {
            lesson = std::make_shared<TLesson>();
            lesson->number = row.lesson;
            if (!model.PutLesson(lesson)) {
                placedAll = false;
                continue;
            }
        }
        // Import leaves no gaps, so the first free slot is the end; NewPair(-1) would find
        // the same slot by a walk from slot 0 and make a large lesson quadratic.
        auto pair = lesson->NewPair(lesson->SlotCount());
        if (!pair) {
            placedAll = false;
            continue;
        }
        pair->text1 = row.text1;
        pair->text2 = row.text2;
        pair->use = row.use;
        pair->drawn = row.use && row.drawn;
    }
    return placedAll;
}

std::string ExportTsv(const TLangFHandler& model, std::vector<std::string>& problems) {
    std::string table = "lesson\ttext1\ttext2\tuse\tdrawn\n";
    for (const auto& lesson : model.lessons) {
        if (!lesson)
            continue;
        const std::string number = std::to_string(lesson->number);
        std::int32_t index = 0;
        for (const auto& pair : lesson->pairs) {
            if (!pair)
                continue;
            ++index;
            if (pair->text1.find('\t') != std::string::npos ||
                pair->text2.find('\t') != std::string::npos) {
                problems.push_back("lesson " + number + ", pair " + std::to_string(index) +
                                   ": a tab in a text cannot be written to a table");
                continue;
            }
            table += number;
            table += '\t';
            table += Cp1252ToUtf8(pair->text1);
            table += '\t';
            table += Cp1252ToUtf8(pair->text2);
            table += pair->use ? "\t1" : "\t0";
            table += pair->use && pair->drawn ? "\t1\n" : "\t0\n";
        }
    }
    return table;
}

} // namespace lexaro
