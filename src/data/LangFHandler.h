#pragma once

#include "data/CodeDecode.h"
#include "data/FileUtil.h"
#include "data/Lesson.h"
#include "data/Vector.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

// What a load could not read, and where the file as it was is kept once a save replaced it.
struct TSkippedLines {
    std::int32_t lines = 0;
    // The lessons those lines belong to, in ascending order.
    std::vector<std::int32_t> lessons;
};
struct TKeptCopy {
    TSkippedLines skipped;
    std::filesystem::path replaced;
    std::filesystem::path keptAs; // one of the file's versions (FileVersions.h)
};
// Why the file as it was before a save could not be kept as a version.
struct TVersionFault {
    std::filesystem::path folder;
    TFileResult why;
};

// True when two stored language files hold the same names, lessons and pairs and differ at
// most in the pairs' marks (in use, drawn): the exercise's bookkeeping, not the vocabulary.
bool SameExceptMarks(const byteArray& a, const byteArray& b);

// The in-memory language file: two language names and the lessons, slot n holding lesson n.
class TLangFHandler {
public:
    TVector<TLesson> lessons;
    std::string lang1Name;
    std::string lang2Name;
    std::int32_t readState = 0;
    std::int32_t currentNumber = -1;

    void Clear();
    void SetLanguageNames(std::string_view lang1, std::string_view lang2);
    const std::string& GetLang1Name() const { return lang1Name; }
    const std::string& GetLang2Name() const { return lang2Name; }
    std::int32_t SlotCount() const { return static_cast<std::int32_t>(lessons.Count()); }
    std::shared_ptr<TLesson> LessonAt(std::int64_t slot) const { return lessons.Get(slot); }
    // False for a lesson number that a file could not hold (negative or above 999,999).
    bool PutLesson(std::shared_ptr<TLesson> lesson);
    void ClearDrawn();

    // Reads a language file into the model (callers clear first). False, with the model
    // unchanged, when the file cannot be read (LastReadResult: missing, not a regular file,
    // too large, refused) or is not a valid coded file (LastFault). Throws TConvertError on a
    // lesson or pair number that is not decimal; the lessons read so far stay, and the model
    // is not saved until it is cleared. The pairs of each lesson take slots 0, 1, 2, ... in
    // the order of their ids: the numbering the next save writes, so exercise entries made
    // from the model name the same pairs before and after that save.
    bool Load(const std::filesystem::path& path);
    // Reads from the stored bytes of a file; the same rules as Load.
    bool LoadBytes(byteArray stored);
    // Writes the model. Nothing is written (the previous file stays as it was) when the
    // model would give three lines or fewer (FileFault::Incomplete with no reason), when the
    // names cannot be stored, when the last load ended part way, or when the write fails.
    // Before the file is replaced, the file as it was is kept as its newest version (see
    // FileVersions.h) when the save changes it. A version that cannot be kept does not stop
    // the save (TakeVersionFault tells why, once), except when the last load skipped lines and
    // the save replaces that file: then that version must be kept first (TakeKeptCopy tells
    // where, once), or nothing is written.
    TFileResult Save(const std::filesystem::path& path);
    // The stored bytes that Save writes, or an empty array when there is nothing to save or
    // the language names cannot be stored (see NamesStorable).
    byteArray SaveBytes();
    // False when a name holds a line break or a zero byte, or the first name starts with "[":
    // such a names line would not read back.
    bool NamesStorable() const;
    bool DeleteLangFile(const std::filesystem::path& path);

    void ProcessLine(std::string_view line, std::shared_ptr<TLesson>& current);

    // Lines the last load skipped: pair lines with a negative or out-of-range number, empty
    // lines inside a lesson, the lines of a lesson whose number cannot name a slot, and pair
    // lines whose empty slots before them would exceed the load's budget (one full lesson of
    // kMaxSlotNumber slots plus one slot per byte of the file).
    std::int32_t SkippedLines() const { return skipped_.lines; }
    const TSkippedLines& Skipped() const { return skipped_; }
    // Why the last Load returned false: the file could not be read, or was not a coded file.
    const TFileResult& LastReadResult() const { return lastRead_; }
    DecodeFault LastFault() const { return lastFault_; }
    // True while the model holds a load that ended part way (a conversion error).
    bool LoadIncomplete() const { return loadIncomplete_; }
    // Set by the save that first replaced a file whose load skipped lines; taken once.
    std::optional<TKeptCopy> TakeKeptCopy();
    // Set by a save that could not keep the file it replaced as a version; taken once.
    std::optional<TVersionFault> TakeVersionFault();

private:
    void SkipLine(std::int32_t lesson);

    // Pair slots a load may still create. A pair line names its slot, so a few bytes can ask
    // for a million empty slots; every lesson doing so would take gigabytes. Files that the
    // program writes number their pairs 0, 1, 2, ... and stay far below this budget.
    std::int64_t slotBudget_ = kMaxSlotNumber + 1;
    TSkippedLines skipped_;
    TFileResult lastRead_;
    DecodeFault lastFault_ = DecodeFault::None;
    bool loadIncomplete_ = false;
    // The file the skipped lines came from; empty once a copy of it was kept.
    std::filesystem::path skippedFrom_;
    std::optional<TKeptCopy> keptCopy_;
    std::optional<TVersionFault> versionFault_;
};

} // namespace lexaro
