#pragma once

#include "app/IniFileHandler.h"
#include "data/IntVector.h"
#include "data/MessageSink.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

// One entry of the exercise list.
struct ExerciseEntry {
    std::int32_t lesson = 0;
    std::int32_t pairId = 0;
    // 0 "use allways", 1..8 "not use once" .. "not use eight times", 9 "not more use".
    std::int32_t priority = 0;
    // Added by the top-up of a continued composition: exercised, never written.
    bool transient = false;

    friend bool operator==(const ExerciseEntry&, const ExerciseEntry&) = default;
};
using ArrayWordData = std::vector<ExerciseEntry>;

// "lesson-pairId-priority"; false (entry -1, -1, -1) when the text does not parse.
bool ParseExerciseEntry(std::string_view text, ExerciseEntry& entry);
std::string FormatExerciseEntry(const ExerciseEntry& entry);

struct TExerciseData {
    std::string LangFileName;
    std::string Lang1;
    std::string Lang2;
    bool FirstLang = true;
    std::int32_t MaxWords = 300;
    intArray AvailableUnits;
    ArrayWordData ExerciseWords;
};

struct TGeneralProperty {
    bool AutoPresent = false;
    std::int32_t DelayPresent = 10;
    bool VoiceAnswer = true;
    bool LetterAnswer = false;
    std::int32_t DelayAnswer = 10;
    std::int32_t VoicePresent = 0;
    bool ShowTable = true;
};

struct TFontProperty {
    std::string Font = "Times New Roman";
    std::int32_t Style = 1;
    std::int32_t Color = 2;
    std::int32_t Size = 14;
};

struct TVoiceProperty {
    std::string Voice = "no Voice";
    std::int32_t Speed = 0;
    std::int32_t Pitch = 0;
};
using AVoiceProperty = std::array<TVoiceProperty, 2>;

inline constexpr const char* kAppTitle = "Lexaro V2.02";
inline constexpr const char* kIniFileName = "Lexaro.Ini";

// The settings object: read once at start, changed in memory while the program runs, written
// back at the end.
class TAppIniFile {
public:
    // Checks for Lexaro.Ini in the folder; a missing file is reported to owner (when given)
    // under "Lexaro V2.02" and leaves iniFound false.
    TAppIniFile(std::string appFolder, IMessageSink* owner);

    TExerciseData exercise;
    TGeneralProperty general;
    TFontProperty font;
    AVoiceProperty voices;
    ArrayWordData heldBack;

    std::string appFolder;
    std::string appTitle = kAppTitle;
    std::string Language = "EN";
    bool iniFound = false;
    bool exerciseLoaded = false;
    bool generalLoaded = false;
    bool fontLoaded = false;
    bool voiceLoaded = false;

    // True when LangFileName, Lang1, Lang2 and AvailableUnits are all non-empty.
    bool ReadExerciseSection();
    void ReadGeneralSection();
    void ReadFontSection();
    void ReadVoiceSection();

    // Each writes its group only when that group has been read. Writes go to the file at
    // Flush (or WriteAll); a failure throws TIniWriteError and leaves the file as it was.
    void WriteGeneralSection();
    void WriteFontSection();
    void WriteVoiceSection();
    void WriteExerciseSection();
    void WriteLanguage();
    void Flush();
    // The close sequence: every section, then Language := uiLanguage, then the file.
    void WriteAll(std::string_view uiLanguage);

    bool IsAvailableUnit(std::int32_t lesson) const;
    std::string IniPath() const;

private:
    std::unique_ptr<tIniFileHandler> ini_;
};

} // namespace lexaro
