#pragma once

// The practice journal: one line per card shown in an exercise run, kept beside the language
// file as "<language file>.journal.tsv" (UTF-8, tab-separated, a header row). The journal is
// only ever appended to, one write per card as it ends (TJournalRecorder); a last line cut part
// way is cut off first; a file of that name that is not a journal of this program is left
// alone and a new journal is started beside it.

#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "exercise/ExerciseData.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

using TJournalClock = std::function<std::chrono::system_clock::time_point()>;

// How a typed answer was judged; None when the card was not answered by typing.
using TJournalVerdict = TAnswerVerdict;

struct TJournalLine {
    std::chrono::sys_seconds time{}; // UTC
    std::int32_t lesson = 0;
    std::int32_t pairId = 0;
    std::string text1;              // UTF-8
    std::int32_t presentedSide = 1; // 1 or 2: the language shown first
    TJournalVerdict verdict = TJournalVerdict::None;
    std::int32_t priorityChosen = 0; // 0..9, as in the exercise list

    friend bool operator==(const TJournalLine&, const TJournalLine&) = default;
};

// The header row, without its line end.
inline constexpr std::string_view kJournalHeader =
    "time\tlesson\tpair id\ttext1\tpresented side\tanswer verdict\tpriority chosen";
// Lines longer than this are no lines of the journal: the reader skips them.
inline constexpr std::size_t kMaxJournalLineBytes = 16 * 1024;
// Journals beside one language file: "<file>.journal.tsv", then "-2" up to this number.
inline constexpr int kMaxJournalFiles = 9;

// "<file>.journal.tsv" for number 1, "<file>.journal-<n>.tsv" for the others.
std::filesystem::path JournalPath(const std::filesystem::path& langFile, int number = 1);

// "2026-12-11T14:03:00Z"
std::string FormatJournalTime(std::chrono::sys_seconds time);
// Exactly the form above, years 2000 to 2199; nothing for anything else.
std::optional<std::chrono::sys_seconds> ParseJournalTime(std::string_view text);
// Backslash, tab, line feed and carriage return as \\ \t \n \r, so a line stays a line.
std::string EscapeJournalText(std::string_view text);
// The same, appended to out.
void AppendEscapedJournalText(std::string& out, std::string_view text);
// The reverse; nothing for an unknown or unfinished escape.
std::optional<std::string> UnescapeJournalText(std::string_view text);
// One line with its line end. text1 that is not valid UTF-8 has its bad bytes replaced (U+FFFD).
std::string FormatJournalLine(const TJournalLine& line);
// One line without its line end (a trailing CR is allowed); nothing when it does not parse.
std::optional<TJournalLine> ParseJournalLine(std::string_view line);

// The result of appending a run to the journal.
struct TJournalAppend {
    TFileResult result;            // ok, or why the write failed
    std::filesystem::path written; // the journal appended to (or that failed)
    // Set when the journal where the lines would go was damaged or foreign and this append
    // started a new journal beside it: the file left alone. Set only by that first append,
    // so the learner is told once.
    std::optional<std::filesystem::path> setAside;
    // Not 0 when the journal's last line had been cut part way (a write stopped by a crash or
    // a power cut) and this append cut the journal back to its last whole line first: the
    // bytes dropped. The journal is whole afterwards, so this is told once.
    std::uint64_t droppedBytes = 0;
};

// The lines of one run: collects them while the run goes and appends them at its close.
class TJournalWriter {
public:
    explicit TJournalWriter(std::filesystem::path langFile, TJournalClock clock = {});

    // One card shown, stamped with the clock's time. text1 is the pair's first text in the
    // language file's code page (converted to UTF-8 here).
    void Add(const ExerciseEntry& entry, bool firstLanguagePresented, std::string_view storedText1,
             const TCodePage& page, TJournalVerdict verdict, std::int32_t priorityChosen);
    void Add(TJournalLine line) { lines_.push_back(std::move(line)); }
    // The cards of a run in their order, text1 from the language file the run showed them
    // from; a card whose pair the file does not hold (any more) is left out.
    void AddRun(const std::vector<TCardResult>& cards, const TLangFHandler& lang,
                const TCodePage& page);
    const std::vector<TJournalLine>& Lines() const { return lines_; }
    std::chrono::sys_seconds Now() const;

    // Appends all lines in one write and forgets them; nothing is written without lines.
    TJournalAppend Close();

private:
    std::filesystem::path langFile_;
    TJournalClock clock_;
    std::vector<TJournalLine> lines_;
};

// Writes the cards of a run one at a time, each as it ends. Lines that could not be written are
// kept (up to kMaxKeptJournalLines) and go into the journal with the next write that succeeds,
// so a passing fault loses nothing; a failure is told once until a write succeeds again.
inline constexpr std::size_t kMaxKeptJournalLines = 10'000;

struct TJournalRecord {
    TJournalAppend append;
    // True for the first failed write after one that succeeded (or the first at all): the one
    // to tell the learner of.
    bool newFailure = false;
    // Lines waiting for a write that succeeds.
    std::size_t kept = 0;
};

class TJournalRecorder {
public:
    // Appends line, after the lines kept from failed writes, to the journal of langFile.
    TJournalRecord Record(const std::filesystem::path& langFile, TJournalLine line);
    std::size_t Kept() const { return kept_.size(); }

private:
    std::filesystem::path keptFor_;
    std::vector<TJournalLine> kept_;
    bool failing_ = false;
};

// Appends lines to the journal of langFile in one write: to the first of its journals
// (JournalPath 1..kMaxJournalFiles) that is missing, empty or a journal of this program. A
// failed write leaves the journal as it was and names the path and the system's reason.
TJournalAppend AppendJournal(const std::filesystem::path& langFile,
                             const std::vector<TJournalLine>& lines);

// The language file was saved under another name: its journals (those of this program) are
// copied beside the new name, so both files keep the history; the old file keeps its own. A new
// name that has journals already keeps them and gets nothing. A failed copy leaves no part of a
// copy behind and names the path and the system's reason.
struct TJournalCopy {
    TFileResult result;
    std::filesystem::path failed; // the copy that could not be made
    int copied = 0;               // journals copied
};
TJournalCopy CopyJournals(const std::filesystem::path& fromLangFile,
                          const std::filesystem::path& toLangFile);

// Whether an existing file may be appended to: a regular file that starts with the header and
// whose last part is UTF-8 text. A last line cut part way (no line end, not a whole line, not
// longer than a line) does not make it foreign: the next append cuts it off. Nor does a file
// that holds only the start of the header row.
enum class TJournalState { Missing, Empty, Journal, Foreign };
TJournalState InspectJournal(const std::filesystem::path& path);

} // namespace lexaro
