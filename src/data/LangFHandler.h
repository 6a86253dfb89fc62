#pragma once

#include "data/CodeDecode.h"
#include "data/Lesson.h"
#include "data/Vector.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lexaro {

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
    bool PutLesson(std::shared_ptr<TLesson> lesson);
    void ClearDrawn();

    // Reads a language file into the model (callers clear first). False, with the model
    // unchanged, when the file is missing or not a valid coded file. Throws TConvertError on
    // a lesson or pair number that is not decimal; the lessons read so far stay.
    bool Load(const std::string& path);
    // Reads from the stored bytes of a file; the same rules as Load.
    bool LoadBytes(byteArray stored);
    // Writes the model; false (and nothing written) when it would hold three lines or fewer,
    // or when the write fails, in which case the previous file stays as it was.
    bool Save(const std::string& path);
    // The stored bytes that Save writes, or an empty array when there is nothing to save or
    // the language names cannot be stored (see NamesStorable).
    byteArray SaveBytes();
    // False when a name holds a line break or a zero byte, or the first name starts with "[":
    // such a names line would not read back.
    bool NamesStorable() const;
    bool DeleteLangFile(const std::string& path);

    void ProcessLine(std::string_view line, std::shared_ptr<TLesson>& current);

    // Lines the last load skipped: pair lines with a negative or out-of-range number, empty
    // lines inside a lesson, the lines of a lesson whose number cannot name a slot, and pair
    // lines whose empty slots before them would exceed the load's budget (one full lesson of
    // kMaxSlotNumber slots plus one slot per byte of the file).
    std::int32_t SkippedLines() const { return skippedLines_; }
    // Why the last Load returned false.
    DecodeFault LastFault() const { return lastFault_; }

private:
    // Pair slots a load may still create. A pair line names its slot, so a few bytes can ask
    // for a million empty slots; every lesson doing so would take gigabytes. Files that the
    // program writes number their pairs 0, 1, 2, ... and stay far below this budget.
    std::int64_t slotBudget_ = kMaxSlotNumber + 1;
    std::int32_t skippedLines_ = 0;
    DecodeFault lastFault_ = DecodeFault::None;
};

} // namespace lexaro
