#pragma once

// lexaro-lang: checks, dumps, exports and imports language files. The logic lives here,
// without a toolkit, so that tests and fuzz targets call it directly; main.cpp only hands
// over the command line.

#include "data/ByteVector.h"
#include "data/CodeDecode.h"
#include "data/LangFHandler.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

inline constexpr int kLangToolOk = 0;
inline constexpr int kLangToolBadData = 1;
inline constexpr int kLangToolUsage = 2;

// One pair row of an import table, texts already in Windows-1252.
struct TTsvRow {
    std::int32_t line = 0; // 1-based line of the table
    std::int32_t lesson = 0;
    std::string text1;
    std::string text2;
    bool use = true;
    bool drawn = false;
};

// A row (or a language name) that a language file cannot hold. Line 0: not a table line.
struct TTsvProblem {
    std::int32_t line = 0;
    std::string message;
};

struct TTsvTable {
    std::vector<TTsvRow> rows;
    std::vector<TTsvProblem> problems;
    bool hasHeader = false;
};

// Reads a UTF-8 table of lesson, text1, text2 and optional use and drawn columns. A first
// row whose first cell is "lesson" is the header; blank lines are passed over; a trailing CR
// (Windows line ends) and a leading byte-order mark are accepted. Every row that cannot be
// stored goes to problems with its line number, the others to rows in table order.
TTsvTable ParseTsv(std::string_view utf8);

// Why a language name (UTF-8) cannot be stored, or an empty string; cp1252 gets the name.
std::string LanguageNameProblem(std::string_view utf8, bool language2, std::string& cp1252);

// Puts the rows into a cleared model: each row becomes a new pair at the first free slot of
// its lesson, in row order. drawn is kept only with use, as the stored line can carry it.
void BuildModel(const std::vector<TTsvRow>& rows, std::string_view lang1Cp1252,
                std::string_view lang2Cp1252, TLangFHandler& model);

// The table that export writes (UTF-8, header first, use and drawn as 1 or 0); problems
// receives the pairs whose texts a table cannot carry (a tab), and then the text is empty.
std::string ExportTsv(const TLangFHandler& model, std::vector<std::string>& problems);

// The reason a coded file was refused, in words.
std::string DescribeFault(DecodeFault fault);

// A decoded language file with what went wrong on the way.
struct TLangFileReport {
    bool readable = false; // the file exists and could be read
    DecodeFault fault = DecodeFault::None;
    bool hasGeneral = false;        // a "[General]" line was seen
    bool convertFailed = false;     // a lesson or pair number is not decimal
    std::int32_t badLine = 0;       // 1-based line inside the file with that number
    std::string badLineText;        // that line (Windows-1252)
    std::string convertMessage;     // the conversion error's text (Windows-1252)
    std::vector<std::string> lines; // the decoded lines (Windows-1252)
};

// Loads the stored bytes of a language file into a cleared model with the program's own
// reader and fills the report; true when the model holds the whole file.
bool LoadLangBytes(const byteArray& stored, TLangFHandler& model, TLangFileReport& report);

// The whole command line tool. args excludes the program name; returns the exit status.
int RunLangTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text shown by --help.
std::string LangToolUsage();

} // namespace lexaro
