#pragma once

#include "app/IniFileHandler.h"
#include "data/MessageSink.h"
#include "exercise/ExerciseData.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

inline constexpr const char* kAppTitle = "Lexaro V2.02";
inline constexpr const char* kIniFileName = "Lexaro.Ini";

// The exercise list and held-back list of a language file that is not the current one: kept
// so that the learner's priorities come back when the file is chosen again.
struct TKeptLists {
    std::string langFileName; // as LangFileName stores it
    ArrayWordData exerciseWords;
    ArrayWordData heldBack;
    friend bool operator==(const TKeptLists&, const TKeptLists&) = default;
};
// Files whose lists are kept; the one chosen longest ago is forgotten first.
inline constexpr std::size_t kMaxKeptLists = 16;
// The chance of recall, in percent, below which a word is due; a stored value outside reads as
// the default.
inline constexpr std::int32_t kMinDueTarget = 50;
inline constexpr std::int32_t kMaxDueTarget = 99;

// The settings object: read once at start, changed in memory while the program runs, written
// back at the end.
class TAppIniFile {
public:
    // Checks for Lexaro.Ini in the folder; a missing file, and one that cannot be read (not a
    // regular file, far too large, refused), is reported to owner (when given) under
    // "Lexaro V2.02" and leaves iniFound false.
    TAppIniFile(std::filesystem::path appFolder, IMessageSink* owner);
    // Lexaro.Ini in settingsFolder, relative paths read against appFolder.
    TAppIniFile(std::filesystem::path settingsFolder, std::filesystem::path appFolder,
                IMessageSink* owner);

    TExerciseData exercise;
    TGeneralProperty general;
    TFontProperty font;
    AVoiceProperty voices;
    ArrayWordData heldBack;
    // The lists of other language files, the one left last first ([KeptExercises] and
    // [KeptWords<n>], [KeptHeldBack<n>], sections a reader that does not know them skips; read and
    // written with the exercise section).
    std::vector<TKeptLists> keptLists;

    // The application folder: the settings' relative paths start here.
    std::filesystem::path appFolder;
    // Where Lexaro.Ini is.
    std::filesystem::path settingsFolder;
    std::string appTitle = kAppTitle;
    std::string Language = "EN";
    // The code page of the language files and of the phrases in these settings (Lang1,
    // Lang2): 1250, 1251, 1252, 1253, 1254 or 1257 ([Application] CodePage; 1252 when missing
    // or unknown). Lexaro.Ini's own keys and the program's texts stay Windows-1252.
    std::int32_t CodePage = 1252;
    bool iniFound = false;
    bool exerciseLoaded = false;
    bool generalLoaded = false;
    bool fontLoaded = false;
    bool voiceLoaded = false;

    // True when LangFileName, Lang1, Lang2 and AvailableUnits are all non-empty. Only what
    // was read and is valid is kept: lesson numbers 0..999,999 (each once) and entries that
    // parse and name such a lesson and pair with a priority 0..9 (each pair once).
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

    // The current file is left: its lists are kept for langFileName (replacing what was kept
    // for it), without top-up entries and "not more use"; nothing is kept for empty lists.
    void KeepLists(const std::string& langFileName, const ArrayWordData& exerciseWords,
                   const ArrayWordData& held);
    // The lists kept for a file, which are no longer kept then; nothing when there are none.
    std::optional<TKeptLists> TakeKeptLists(const std::string& langFileName);

    bool IsAvailableUnit(std::int32_t lesson) const;
    std::filesystem::path IniPath() const;
    // The language file as a native path: LangFileName, relative to the application folder
    // unless it is absolute.
    std::filesystem::path LangFilePath() const;

private:
    void ReadAvailableUnits();
    ArrayWordData ReadEntries(const std::string& section) const;
    void ReadKeptLists();
    void WriteKeptLists();
    std::vector<std::string> NumberedValues(std::string_view section, std::int32_t count) const;

    std::unique_ptr<tIniFileHandler> ini_;
    bool codePageStored_ = false;
    // The keys added after the first settings files (WriteAnswer, IgnoreAccents,
    // PrioritiesFromAnswers, CommaSeparates, DueWordsFirst, DueTarget) that the file held when
    // read: a file without them gets them only once one differs from its default.
    std::array<bool, 6> writeKeysStored_{};
};

} // namespace lexaro
