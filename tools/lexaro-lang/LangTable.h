#pragma once

// lexaro-lang's tables: reading a UTF-8 table (TSV) of lessons and pairs with the faults of its
// rows, building a language file model from it, and writing a model back as a table. Nothing
// here reads arguments or prints; the command line (LangTool.h) does.

#include "data/CodePage.h"
#include "data/LangFHandler.h"
#include "data/Lesson.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

// One pair row of an import table, texts already stored in the code page of the import.
struct TTsvRow {
    std::int32_t line = 0; // 1-based line of the table
    std::int32_t lesson = 0;
    std::string text1;
    std::string text2;
    bool use = true;
    bool drawn = false;
    std::string origin; // where a source other than a table keeps it ("entry 7"), or empty
    // The letters of its texts stored other than the source wrote them: composed (NFC) or
    // folded to the code page's letter (TCodePage::FoldedLetters).
    std::int32_t folded = 0;
};

// A row (or a language name) that a language file cannot hold. Line 0: not a table line.
struct TTsvProblem {
    std::int32_t line = 0;
    std::string message;
    // The 1-based byte column in the line of the file (a byte-order mark counts) of the
    // character at fault; 0 when the problem is a whole cell or row.
    std::int32_t column = 0;
    std::int32_t rows = 1; // the rows it leaves out: the row at line and, for a full lesson,
                           // the later rows of that lesson
};

// The most pairs one lesson can hold: a file numbers them from 0 to kMaxSlotNumber.
inline constexpr std::int32_t kMaxPairsPerLesson = kMaxSlotNumber + 1;

struct TTsvTable {
    std::vector<TTsvRow> rows;
    std::vector<TTsvProblem> problems;
    // What was stored otherwise than the row says, and why (a row not in use that says drawn).
    std::vector<TTsvProblem> notes;
    bool hasHeader = false;
    // A header other than the table's own ("lesson\ttext1\ttext2"), for the summary: its line
    // and its cells as the summary repeats them ("Lektion", "Deutsch"); 0 and empty otherwise.
    std::int32_t headerLine = 0;
    std::string headerCells;
};

// Whether the first row is a header: --header yes or no, or, when not said, as the content
// shows (FirstRowIsHeader).
using THeaderChoice = std::optional<bool>;

// How a field in double quotes reads, the same in tables and flashcard exports: a field that
// starts with a quote is quoted when its closing quote (the first quote that no second one
// follows) ends it, blanks aside (the separator, a row separator, a line end or the end of the
// text follows). The doubled quotes inside are one quote, and the field may hold separators
// and line breaks. Gives the length of the field up to and with its closing quote, unquoted
// receiving its text; 0 when the field does not start with a quote or its closing quote does
// not end it (then every quote is part of the text, as in `"Hallo" sagt er`); npos when no
// closing quote follows.
std::size_t QuotedField(std::string_view text, std::string_view separator, char rowSeparator,
                        std::string& unquoted);

// Whether a header's cell (UTF-8) names a language ("Deutsch", "English", "Русский", in any of
// the code pages) or a column of vocabulary ("Wort", "front", "translation", "Lektion", ...).
bool NamesLanguageOrColumn(std::string_view utf8);
// Whether the front and back cells of a first row name the columns: each names a language or a
// column, and not both the same language ("Deutsch" and "German" are a pair to learn).
bool NamesColumns(std::string_view front, std::string_view back);

// Reads a UTF-8 table of lesson, text1, text2 and optional use and drawn columns, its texts
// stored in the code page. A first row whose first cell is "lesson" is the header, and so is a
// first row whose lesson cell is empty or names a column and whose text cells name the columns
// (NamesColumns), unless header says otherwise; blank lines are passed over; a trailing CR
// (Windows line ends) and a leading byte-order mark are accepted. Cells may be quoted
// (QuotedField); blanks at the ends of a text are left out. Every row that cannot be stored goes to
// problems with its line number, the others to rows in table order. The rows of a lesson past
// kMaxPairsPerLesson are one problem, at the first of them. A row not in use that says drawn
// is stored not drawn (the file marks only pairs in use as drawn), which a note says.
TTsvTable ParseTsv(std::string_view utf8, const TCodePage& page = TCodePage::Western(),
                   THeaderChoice header = std::nullopt);

// Why a pair's text (UTF-8) cannot be stored in the code page, or an empty string; stored gets
// the text. The message starts with name ("text1", "front", ...) and names a character at
// fault by code, and the code page that lacks it. A text that shows nothing ("there is no
// text") and a tab, which export could not write, are refused too.
std::string StorableText(std::string_view utf8, bool language2, std::string_view name,
                         std::string& stored, const TCodePage& page = TCodePage::Western());
// False when the two stored texts are together too long for one stored line.
bool PairTextsFit(const std::string& text1, const std::string& text2);
// A text as messages repeat it: invisible characters and broken UTF-8 by code, cut when long.
std::string ShowText(std::string_view utf8);

// Why a language name (UTF-8) cannot be stored in the code page, or an empty string; stored
// gets the name.
std::string LanguageNameProblem(std::string_view utf8, bool language2, std::string& stored,
                                const TCodePage& page = TCodePage::Western());

// Puts the rows into a cleared model: each row becomes a new pair at the first free slot of
// its lesson, in row order. drawn is kept only with use, as the stored line can carry it.
// False when a row found no place (a lesson number or a pair count that a file cannot hold,
// which ParseTsv never lets through): the model then lacks that row.
bool BuildModel(const std::vector<TTsvRow>& rows, std::string_view lang1, std::string_view lang2,
                TLangFHandler& model);

// The table that export writes (UTF-8 of the texts read in the code page, header first, use
// and drawn as 1 or 0; a text that starts with a quote is quoted, so that it reads back as it
// is); problems receives the pairs whose texts a table cannot carry (a tab),
// and then the text is empty.
std::string ExportTsv(const TLangFHandler& model, std::vector<std::string>& problems,
                      const TCodePage& page = TCodePage::Western());

} // namespace lexaro
