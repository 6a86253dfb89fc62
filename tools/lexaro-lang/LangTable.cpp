#include "LangTable.h"

#include "data/Charset.h"
#include "data/Languages.h"
#include "data/Lesson.h"
#include "data/StrUtil.h"
#include "data/TextSteps.h"
#include "data/Word_Pear.h"

#include <array>
#include <memory>
#include <optional>
#include <unordered_map>

namespace lexaro {

namespace {

// A stored line holds at most 65534 bytes; the id, "=", "@", "#" and the mark need the rest.
constexpr std::size_t kMaxPairTexts = 65534 - 16;

// The cells of a row, split at tabs; a quoted cell (QuotedField) may hold tabs. Past the
// columns a table has, only the fact that there are more is kept: a row of a million tabs must
// not make a million cells.
struct TCells {
    static constexpr std::size_t kMax = 6;
    std::array<std::string_view, kMax> cells{}; // as they stand in the line
    std::array<std::string, kMax> unquoted{};
    std::array<bool, kMax> quoted{};
    std::size_t count = 0;

    std::size_t size() const { return count; }
    std::string_view operator[](std::size_t i) const { return cells[i]; }
    // The cell's value: unquoted, blanks at its ends left out.
    std::string_view Value(std::size_t i) const {
        return TrimBlanks(quoted[i] ? std::string_view(unquoted[i]) : cells[i]);
    }
};

TCells SplitTabs(std::string_view line) {
    TCells split;
    std::size_t start = 0;
    while (split.count < TCells::kMax) {
        const std::size_t i = split.count++;
        std::string unquoted;
        const std::size_t quoted = QuotedField(line.substr(start), "\t", '\0', unquoted);
        const bool isQuoted = quoted != 0 && quoted != std::string_view::npos;
        if (isQuoted) {
            split.quoted[i] = true;
            split.unquoted[i] = std::move(unquoted);
        }
        const auto tab = line.find('\t', isQuoted ? start + quoted : start);
        split.cells[i] = line.substr(start, tab == std::string_view::npos ? std::string_view::npos
                                                                          : tab - start);
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return split;
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

// The names of the columns, for messages.
constexpr const char* kColumnNames[] = {"lesson", "text1", "text2", "use", "drawn"};

// Characters that show nothing, or nothing that tells them apart from a blank: controls,
// format characters (joiners, direction marks, the byte-order mark), spaces other than the
// plain one, variation selectors, fillers and tags. Messages name them by code.
bool IsInvisible(char32_t cp) {
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0xA0) || cp == 0xAD)
        return true;
    static constexpr char32_t kRanges[][2] = {
        {0x034F, 0x034F},   {0x061C, 0x061C},  {0x115F, 0x1160}, {0x1680, 0x1680}, {0x17B4, 0x17B5},
        {0x180B, 0x180F},   {0x2000, 0x200F},  {0x2028, 0x202F}, {0x205F, 0x206F}, {0x3000, 0x3000},
        {0x3164, 0x3164},   {0xFE00, 0xFE0F},  {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFFB},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};
    for (const auto& range : kRanges)
        if (cp >= range[0] && cp <= range[1])
            return true;
    return false;
}

// What an invisible character is, when it has a common name.
const char* InvisibleName(char32_t cp) {
    switch (cp) {
    case 0x00A0:
        return "no-break space";
    case 0x00AD:
        return "soft hyphen";
    case 0x200B:
        return "zero width space";
    case 0x200C:
        return "zero width non-joiner";
    case 0x200D:
        return "zero width joiner";
    case 0x200E:
        return "left-to-right mark";
    case 0x200F:
        return "right-to-left mark";
    case 0x2028:
        return "line separator";
    case 0x2029:
        return "paragraph separator";
    case 0x202F:
        return "narrow no-break space";
    case 0x2060:
        return "word joiner";
    case 0x3000:
        return "ideographic space";
    case 0xFEFF:
        return "byte-order mark";
    default:
        break;
    }
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) ? "control character" : nullptr;
}

std::string ByteName(char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(byte);
    return std::string("0x") + kHex[b >> 4] + kHex[b & 15];
}

// The character at pos of valid UTF-8 text for a message: its code, and the character itself
// in quotes unless it is invisible: U+65E5 "日", U+200B (zero width space, invisible).
std::string CharacterAt(std::string_view utf8, std::size_t pos) {
    char32_t cp = 0;
    if (!Utf8CharAt(utf8, pos, cp))
        return "byte " + ByteName(utf8[pos]);
    std::string shown = CodePointName(cp);
    if (!IsInvisible(cp))
        return shown + " \"" + std::string(utf8.substr(pos, Utf8Length(cp))) + "\"";
    const char* name = InvisibleName(cp);
    return shown + " (" + (name ? std::string(name) + ", " : std::string()) + "invisible)";
}

// The byte offset of the first byte of text that is not part of valid UTF-8, or npos.
std::size_t FirstInvalidUtf8(std::string_view text) {
    std::size_t pos = 0;
    char32_t cp = 0;
    while (pos < text.size()) {
        if (!Utf8CharAt(text, pos, cp))
            return pos;
        pos += Utf8Length(cp);
    }
    return std::string_view::npos;
}

// A cell repeated in a message: invisible characters and bytes that are not UTF-8 are shown by
// code (<U+200B>, <0xFF>), and a long cell is cut short.
std::string ShowCell(std::string_view cell) {
    constexpr std::size_t kMaxShown = 40;
    std::string shown;
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < cell.size(); ++count) {
        if (count == kMaxShown)
            return shown + "...";
        char32_t cp = 0;
        if (!Utf8CharAt(cell, pos, cp)) {
            shown += "<" + ByteName(cell[pos++]) + ">";
            continue;
        }
        const std::size_t length = Utf8Length(cp);
        if (IsInvisible(cp))
            shown += "<" + CodePointName(cp) + ">";
        else
            shown += cell.substr(pos, length);
        pos += length;
    }
    return shown;
}

// True when a stored text shows nothing: it is empty, or only blanks, no-break spaces, soft
// hyphens and control characters. Such a side of a pair could never be asked or answered.
bool ShowsNothing(std::string_view stored, const TCodePage& page) {
    if (page.IsUtf8()) {
        // Also the invisible spaces and joiners beyond the single-byte pages' characters.
        for (std::size_t pos = 0; pos < stored.size();) {
            char32_t cp = 0;
            if (!Utf8CharAt(stored, pos, cp))
                return false; // a byte that is no UTF-8 shows as U+FFFD
            pos += Utf8Length(cp);
            const bool blank = cp <= 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0xA0) ||
                               cp == 0xAD || (cp >= 0x200B && cp <= 0x200F) || cp == 0x2060 ||
                               cp == 0xFEFF || cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200A);
            if (!blank)
                return false;
        }
        return true;
    }
    for (const char c : stored) {
        const char32_t cp = page.ToUnicode(static_cast<unsigned char>(c));
        if (cp > 0x20 && cp != 0x7F && !(cp >= 0x80 && cp <= 0xA0) && cp != 0xAD)
            return false;
    }
    return true;
}

// The end of a message about a character the code page cannot hold.
std::string Outside(const TCodePage& page) {
    return " is outside Windows-" + std::to_string(page.Number()) + " and cannot be stored";
}

constexpr const char* kNoText = "there is no text";

// What is wrong with one text cell, or an empty string; out receives the text stored in the
// code page. The cell is valid UTF-8 and starts at byte column first of its line; column
// receives the byte column of a character that cannot be stored.
std::string TextProblem(std::string_view cell, bool language2, std::int32_t first, std::string& out,
                        std::int32_t& column, const TCodePage& page) {
    const std::string name = kColumnNames[language2 ? 2 : 1];
    std::size_t at = 0;
    if (!page.FromUtf8(cell, out, &at)) {
        column = first + static_cast<std::int32_t>(at);
        return name + ": " + CharacterAt(cell, at) + " at byte column " + std::to_string(column) +
               Outside(page);
    }
    if (ShowsNothing(out, page))
        return name + ": " + kNoText;
    if (const char* problem = PairTextProblem(out, language2))
        return name + ": " + problem;
    // A quoted cell may hold a tab; a table of the file could then never be written again.
    if (out.find('\t') != std::string::npos)
        return name + ": a tab cannot be stored";
    return {};
}

// Names of the columns of a vocabulary table or export, in English and German (compared
// ignoring case).
constexpr std::string_view kColumnWords[] = {"lesson",
                                             "lektion",
                                             "text",
                                             "text1",
                                             "text2",
                                             "front",
                                             "back",
                                             "term",
                                             "terms",
                                             "definition",
                                             "word",
                                             "words",
                                             "wort",
                                             "w\xC3\xB6rter",
                                             "vokabel",
                                             "vokabeln",
                                             "translation",
                                             "\xC3\xBC"
                                             "bersetzung",
                                             "meaning",
                                             "bedeutung",
                                             "question",
                                             "answer",
                                             "frage",
                                             "antwort",
                                             "vorderseite",
                                             "r\xC3\xBC"
                                             "ckseite",
                                             "begriff",
                                             "source",
                                             "target",
                                             "quelle",
                                             "ziel"};

} // namespace

std::size_t QuotedField(std::string_view text, std::string_view separator, char rowSeparator,
                        std::string& unquoted) {
    if (text.empty() || text.front() != '"')
        return 0;
    unquoted.clear();
    std::size_t pos = 1;
    for (;;) {
        const auto quote = text.find('"', pos);
        if (quote == std::string_view::npos)
            return std::string_view::npos;
        unquoted.append(text.substr(pos, quote - pos));
        if (quote + 1 < text.size() && text[quote + 1] == '"') {
            unquoted += '"';
            pos = quote + 2;
            continue;
        }
        // The closing quote: it ends the field when only blanks follow it up to the next
        // separator or line end (a separator may start with a blank: " - ").
        auto endsAt = [&](std::size_t at) {
            const std::string_view rest = text.substr(at);
            return rest.empty() || rest.front() == '\n' || rest == "\r" ||
                   rest.substr(0, 2) == "\r\n" ||
                   (rowSeparator != '\0' && rest.front() == rowSeparator) ||
                   (!separator.empty() && rest.substr(0, separator.size()) == separator);
        };
        std::size_t after = quote + 1;
        while (after < text.size() &&
               (text[after] == ' ' || (text[after] == '\t' && separator != "\t")))
            ++after;
        return endsAt(quote + 1) || endsAt(after) ? quote + 1 : 0;
    }
}

namespace {

// The language that a cell names, or nullptr.
const TLanguage* LanguageNamed(std::string_view utf8) {
    return FindLanguage(utf8);
}

bool NamesColumn(std::string_view utf8) {
    const TCodePage& western = TCodePage::Western();
    std::string stored;
    if (!western.FromUtf8(utf8, stored))
        return false;
    const std::string upper = western.UpperCase(stored);
    for (const std::string_view word : kColumnWords) {
        std::string column;
        if (western.FromUtf8(word, column) && western.UpperCase(column) == upper)
            return true;
    }
    return false;
}

// Names are short and hold no digits.
bool MayName(std::string_view utf8) {
    return !utf8.empty() && Utf8CharacterStarts(utf8).size() <= 48 &&
           utf8.find_first_of("0123456789") == std::string_view::npos;
}

} // namespace

bool NamesLanguageOrColumn(std::string_view utf8) {
    utf8 = TrimBlanks(utf8);
    return MayName(utf8) && (LanguageNamed(utf8) != nullptr || NamesColumn(utf8));
}

bool NamesColumns(std::string_view front, std::string_view back) {
    front = TrimBlanks(front);
    back = TrimBlanks(back);
    if (!MayName(front) || !MayName(back))
        return false;
    const TLanguage* language1 = LanguageNamed(front);
    const TLanguage* language2 = LanguageNamed(back);
    // "Deutsch" and "German" name one language: a pair to learn, not a header.
    if (language1 != nullptr && language1 == language2)
        return false;
    return (language1 != nullptr || NamesColumn(front)) &&
           (language2 != nullptr || NamesColumn(back));
}

std::string StorableText(std::string_view utf8, bool language2, std::string_view name,
                         std::string& stored, const TCodePage& page) {
    const std::string label(name);
    if (const std::size_t bad = FirstInvalidUtf8(utf8); bad != std::string_view::npos)
        return label + ": not valid UTF-8 (byte " + ByteName(utf8[bad]) + ")";
    std::size_t at = 0;
    if (!page.FromUtf8(utf8, stored, &at))
        return label + ": " + CharacterAt(utf8, at) + Outside(page);
    if (ShowsNothing(stored, page))
        return label + ": " + kNoText;
    if (const char* problem = PairTextProblem(stored, language2))
        return label + ": " + problem;
    // A table, which export writes, could not carry it.
    if (stored.find('\t') != std::string::npos)
        return label + ": a tab cannot be stored (export could not write it to a table)";
    if (stored.size() > kMaxPairTexts)
        return label + ": the text is too long for one stored line (" +
               std::to_string(stored.size()) + " bytes stored; a line holds at most " +
               std::to_string(kMaxPairTexts) + ")";
    return {};
}

bool PairTextsFit(const std::string& text1, const std::string& text2) {
    return text1.size() + text2.size() <= kMaxPairTexts;
}

std::string ShowText(std::string_view utf8) {
    return ShowCell(utf8);
}

TTsvTable ParseTsv(std::string_view text, const TCodePage& page, THeaderChoice header) {
    TTsvTable table;
    // Byte columns count from the start of the line in the file, so a byte-order mark too.
    const char* const fileStart = text.data();
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::int32_t lineNumber = 0;
    bool seenRow = false;
    // Pairs so far by lesson, and the problem that holds a full lesson's later rows.
    std::unordered_map<std::int32_t, std::int32_t> pairsIn;
    std::unordered_map<std::int32_t, std::size_t> fullLesson;
    ForEachTextLine(text, [&](std::string_view line, std::string_view) {
        ++lineNumber;
        if (TrimBlanks(line).empty())
            return;
        auto problem = [&](std::string message, std::int32_t column = 0) {
            table.problems.push_back({lineNumber, std::move(message), column});
        };
        const char* const lineStart = lineNumber == 1 ? fileStart : line.data();
        const auto cells = SplitTabs(line);
        auto firstColumn = [&](std::size_t cell) {
            return static_cast<std::int32_t>(cells[cell].data() - lineStart) + 1;
        };
        if (!seenRow) {
            seenRow = true;
            // The table's own header, or a row that names the columns where the rows have
            // lesson numbers.
            const bool own = EqualsIgnoringAsciiCase(cells.Value(0), "lesson");
            std::int32_t number = 0;
            const bool named = !own && !TryStrToInt(cells.Value(0), number) && cells.size() >= 3 &&
                               (cells.Value(0).empty() || NamesLanguageOrColumn(cells.Value(0))) &&
                               NamesColumns(cells.Value(1), cells.Value(2));
            if (header.value_or(own || named)) {
                table.hasHeader = true;
                if (!own) {
                    table.headerLine = lineNumber;
                    for (std::size_t i = 0; i < cells.size(); ++i)
                        if (!cells.Value(i).empty())
                            table.headerCells += (table.headerCells.empty() ? "\"" : ", \"") +
                                                 ShowCell(cells.Value(i)) + "\"";
                }
                return;
            }
        }
        if (cells.size() < 3) {
            problem("a row needs lesson, text1 and text2 separated by tabs");
            return;
        }
        if (cells.size() > 5) {
            problem("too many columns (a tab inside a text cannot be stored)");
            return;
        }
        // Broken UTF-8 is said as such, wherever it stands; the messages below may then show
        // any cell.
        bool valid = true;
        for (std::size_t i = 0; i < cells.size() && valid; ++i) {
            const std::size_t bad = FirstInvalidUtf8(cells[i]);
            if (bad == std::string_view::npos)
                continue;
            const std::int32_t column = firstColumn(i) + static_cast<std::int32_t>(bad);
            problem(std::string(kColumnNames[i]) + ": not valid UTF-8 at byte column " +
                        std::to_string(column) + " (byte " + ByteName(cells[i][bad]) + ")",
                    column);
            valid = false;
        }
        if (!valid)
            return;
        TTsvRow row;
        row.line = lineNumber;
        const std::string_view lesson = cells.Value(0);
        if (!TryStrToInt(lesson, row.lesson)) {
            problem("lesson: '" + ShowCell(lesson) + "' is not a whole number");
            return;
        }
        if (row.lesson <= 0 || row.lesson > kMaxSlotNumber) {
            problem("lesson: " + std::to_string(row.lesson) + " is not between 1 and " +
                    std::to_string(kMaxSlotNumber));
            return;
        }
        // The byte column in the line of a text's first character (a quoted cell's are
        // counted from its opening quote).
        auto textColumn = [&](std::size_t cell) {
            const std::string_view value = cells.Value(cell);
            if (!cells.quoted[cell])
                return static_cast<std::int32_t>(value.data() - lineStart) + 1;
            return firstColumn(cell) + 1 +
                   static_cast<std::int32_t>(value.data() - cells.unquoted[cell].data());
        };
        std::int32_t column = 0;
        std::string why =
            TextProblem(cells.Value(1), false, textColumn(1), row.text1, column, page);
        if (why.empty())
            why = TextProblem(cells.Value(2), true, textColumn(2), row.text2, column, page);
        row.folded = static_cast<std::int32_t>(page.FoldedLetters(cells.Value(1)) +
                                               page.FoldedLetters(cells.Value(2)));
        if (why.empty() && row.text1.size() + row.text2.size() > kMaxPairTexts)
            why = "the texts are too long for one stored line (" +
                  std::to_string(row.text1.size() + row.text2.size()) +
                  " bytes stored; a line holds at most " + std::to_string(kMaxPairTexts) + ")";
        if (!why.empty()) {
            problem(why, column);
            return;
        }
        const auto use = cells.size() > 3 ? ParseFlag(cells.Value(3), true) : std::optional(true);
        const auto drawn =
            cells.size() > 4 ? ParseFlag(cells.Value(4), false) : std::optional(false);
        if (!use || !drawn) {
            const std::size_t flag = !use ? 3 : 4;
            problem(std::string(kColumnNames[flag]) + ": '" + ShowCell(cells.Value(flag)) +
                    "' is not 1, 0, true, false, yes or no");
            return;
        }
        if (++pairsIn[row.lesson] > kMaxPairsPerLesson) {
            const auto [at, first] = fullLesson.try_emplace(row.lesson, table.problems.size());
            if (first)
                problem({});
            else
                ++table.problems[at->second].rows;
            return;
        }
        row.use = *use;
        // The file marks only a pair in use as drawn.
        row.drawn = *use && *drawn;
        if (!*use && *drawn)
            table.notes.push_back(
                {lineNumber, "drawn is not kept: a pair not in use is not drawn"});
        table.rows.push_back(std::move(row));
    });
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

std::string LanguageNameProblem(std::string_view utf8, bool language2, std::string& stored,
                                const TCodePage& page) {
    if (const std::size_t bad = FirstInvalidUtf8(utf8); bad != std::string_view::npos)
        return "not valid UTF-8 at byte " + std::to_string(bad + 1) + " (byte " +
               ByteName(utf8[bad]) + ")";
    std::size_t badPos = 0;
    if (!page.FromUtf8(utf8, stored, &badPos))
        return CharacterAt(utf8, badPos) + Outside(page);
    if (stored.empty())
        return "the name is empty";
    for (const char c : stored) {
        if (c == '@')
            return "\"@\" cannot be stored in a language name";
        if (c == '\r' || c == '\n' || c == '\0')
            return "a line break or zero character cannot be stored in a language name";
    }
    // The names line would be read as a lesson header.
    if (!language2 && stored.front() == '[')
        return "the first language's name cannot start with \"[\"";
    return {};
}

bool BuildModel(const std::vector<TTsvRow>& rows, std::string_view lang1, std::string_view lang2,
                TLangFHandler& model) {
    model.SetLanguageNames(lang1, lang2);
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

namespace {

// A text as a table's cell: quoted when it starts with a quote, so that it reads back as it is.
std::string TableCell(std::string text) {
    if (text.empty() || text.front() != '"')
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string ExportTsv(const TLangFHandler& model, std::vector<std::string>& problems,
                      const TCodePage& page) {
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
            table += TableCell(page.ToUtf8(pair->text1));
            table += '\t';
            table += TableCell(page.ToUtf8(pair->text2));
            table += pair->use ? "\t1" : "\t0";
            table += pair->use && pair->drawn ? "\t1\n" : "\t0\n";
        }
    }
    return table;
}

} // namespace lexaro
