#pragma once

// lexaro-lang's sources for import: its own table (LangTable.h), KVTML 2 files (the XML
// vocabulary files of other trainers) and the plain-text export of flashcard programs. Each
// reader gives the pairs it can store in the code page it is given (their texts stored in it),
// in the source's order, and every item it cannot store with its line and the reason; nothing
// here prints.

#include "LangTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

enum class TImportFormat { Table, Kvtml, Flashcards };

// "table", "kvtml", "flashcards": the names --format takes.
const char* FormatName(TImportFormat format);
std::optional<TImportFormat> FormatFromName(std::string_view name);
// How a file of that format is called in messages: "a KVTML file".
const char* FormatDescription(TImportFormat format);

// The format that the content shows: XML is KVTML (markup that starts a line of tabbed or
// semicolon-separated fields is a flashcard export's); a table's header, or rows that start
// with a lesson number followed by two or more tabbed cells, are a table, except rows of just
// three cells whose last one repeats like tags (LooksLikeTags): with a number in front, those
// are notes, and read as a table no column would mean what it says; anything else is taken for
// a flashcard export.
TImportFormat DetectFormat(std::string_view bytes);

// What a source gave. A source with lessons numbers its rows 1, 2, ... in the source's order
// of lessons (lessonNames[n - 1] names lesson n); a flat source's rows have lesson 0 until
// PlaceRows puts them into one.
struct TImportSource {
    TImportFormat format = TImportFormat::Table;
    std::vector<TTsvRow> rows;
    std::vector<TTsvProblem> problems;
    std::vector<std::string> lessonNames; // UTF-8
    bool hasLessons = false;              // rows carry the source's lessons
    bool tableLessons = false;            // rows carry the lesson numbers a table gave them
    std::string lang1, lang2;             // language names that the source gives (UTF-8), or empty
    // Why nothing of the file can be taken (not well-formed, one language only, ...), or empty.
    std::string fault;
    // What a stored item held past what was taken (a note's fields past front and back): said,
    // not refused.
    std::vector<TTsvProblem> notes;
    // Rows not in use that said drawn: stored not drawn, and said.
    std::vector<TTsvProblem> undrawn;
    // How the content was read where that is not plain ("column 3 taken as tags"), for the
    // summary.
    std::vector<std::string> readings;
};

// Whether a column holds tags rather than texts to learn: its values repeat (at most one
// distinct value in three rows) and it is not empty throughout.
bool LooksLikeTags(const std::vector<std::string_view>& values);

// A table: lesson, text1, text2 and optional use and drawn columns (ParseTsv); a header other
// than the table's own is said in readings.
TImportSource ReadTableSource(std::string_view utf8, const TCodePage& page = TCodePage::Western(),
                              THeaderChoice header = std::nullopt);
// A KVTML 2 file: entries with translations 0 and 1, lessons as containers that refer to the
// entries by id (nested containers are lessons too; entries in no lesson go into one more
// lesson after them); a deactivated (or inactive) entry is not in use. Language names from the
// identifiers 0 and 1. Problems name the entry and the line of the file. A file that is not
// well-formed, no KVTML 2 (KVTML 1 is not read), declares one language only (as word lists do, some
// with a hint as translation 1) or holds no entries gives its fault and nothing else.
TImportSource ReadKvtmlSource(std::string_view bytes, const TCodePage& page = TCodePage::Western());
// A flashcard program's plain-text export: a note per line (a field in double quotes may hold
// separators, line breaks and doubled quotes: QuotedField), the first two fields front and
// back; header lines at the top "#separator:" (tab, semicolon, comma, space, pipe, colon or one
// character; without it, the separators that explain the notes best: ChooseSeparators' tab,
// semicolon, " - ", " = ", comma or pipe, with rows separated by semicolons within a line
// where that explains more; when they explain less than half of the notes, the file's fault
// says so), "#html:" (true unless said
// otherwise: tags are removed, line breaks and blocks become blanks, entities decoded, blanks
// run together), "#deck:" / "#deck column:" (the decks become lessons in order of first
// appearance) and the columns of guid, notetype and tags, which are passed over. Media
// references [sound:...] are removed; style sheets and scripts go with their tags.
// Without column lines, a last column that repeats like tags in every note (LooksLikeTags) is
// taken as tags. A first note whose front and back name languages or columns
// (NamesLanguageOrColumn) while none of the next notes do is a header, unless header says
// otherwise; it is left out and said in readings. Blanks at the ends of a side are left out. A note
// whose opening quote is never closed costs its own line only. A cloze note ("{{c1::el gato}} is
// the cat") gives a pair per cloze number: the text with a gap ("[...]", or the hint in brackets)
// and the hidden text. A side that shows no text (a picture, a sound, blanks) is refused; fields
// past front and back (past the text of a cloze note) that hold something are said in notes.
TImportSource ReadFlashcardSource(std::string_view utf8,
                                  const TCodePage& page = TCodePage::Western(),
                                  THeaderChoice header = std::nullopt);

TImportSource ReadSource(TImportFormat format, std::string_view bytes,
                         const TCodePage& page = TCodePage::Western(),
                         THeaderChoice header = std::nullopt);

// What a file that no import can read is ("a ZIP archive, not a text export", "a Lexaro
// language file: ..."): archives, workbooks, PDF documents, pictures, coded files of Lexaro and
// other files of zero bytes or control characters; empty for text.
std::string BinaryKind(std::string_view bytes);

// A source file as import reads it: a text in UTF-16 with a byte-order mark as the same text in
// UTF-8 (said in readings), a binary file as its fault (BinaryKind), in the format given or
// the one the content shows (DetectFormat).
TImportSource ReadImport(std::string_view bytes, std::optional<TImportFormat> format,
                         const TCodePage& page = TCodePage::Western(),
                         THeaderChoice header = std::nullopt);

// Puts every row into lesson `lesson` when given, a flat source's rows into lesson 1
// otherwise; lessons past a file's numbers and a lesson's rows past kMaxPairsPerLesson become
// problems.
void PlaceRows(TImportSource& source, std::optional<std::int32_t> lesson);

// A row whose text1 equals, ignoring case (the code page's upper case), the text1 of an earlier
// row of its lesson.
struct TImportDouble {
    std::size_t row = 0;   // index of the double in rows
    std::size_t first = 0; // index of the earlier row
};
std::vector<TImportDouble> FindDoubles(const std::vector<TTsvRow>& rows,
                                       const TCodePage& page = TCodePage::Western());
// Removes the doubles (the later rows); gives how many went.
std::size_t DropDoubles(std::vector<TTsvRow>& rows, const TCodePage& page = TCodePage::Western());

} // namespace lexaro
