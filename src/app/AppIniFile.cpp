#include "app/AppIniFile.h"

#include "data/FileUtil.h"
#include "data/StrUtil.h"

#include <algorithm>

namespace lexaro {

namespace {

// Sections as written; reads find them whatever their case in the file.
constexpr std::string_view kExercise = "Exercise";
constexpr std::string_view kAvailableUnits = "AvailableUnits";
constexpr std::string_view kExerciseWords = "ExerciseWords";
constexpr std::string_view kGeneral = "GeneralProperty";
constexpr std::string_view kFont = "FontProperty";
constexpr std::string_view kVoice = "VoiceProperty";
constexpr std::string_view kApplication = "Application";

// The exercise list never needs more entries than this, whatever its count key claims.
constexpr std::int32_t kMaxEntries = 1'000'000;

} // namespace

bool ParseExerciseEntry(std::string_view text, ExerciseEntry& entry) {
    entry = ExerciseEntry{-1, -1, -1, false};
    const auto p = text.find('-');
    if (p == std::string_view::npos || p == 0)
        return false;
    // The priority is the last character alone; one character (the second "-") stands
    // between the pair id and it.
    const std::size_t pairEnd = text.size() >= 2 ? text.size() - 2 : 0;
    const std::string_view pairText =
        pairEnd > p + 1 ? text.substr(p + 1, pairEnd - (p + 1)) : std::string_view{};
    ExerciseEntry parsed;
    if (!TryStrToInt(text.substr(0, p), parsed.lesson) || !TryStrToInt(pairText, parsed.pairId) ||
        !TryStrToInt(text.substr(text.size() - 1), parsed.priority))
        return false;
    entry = parsed;
    return true;
}

std::string FormatExerciseEntry(const ExerciseEntry& entry) {
    return std::to_string(entry.lesson) + "-" + std::to_string(entry.pairId) + "-" +
           std::to_string(entry.priority);
}

TAppIniFile::TAppIniFile(std::string folder, IMessageSink* owner) : appFolder(std::move(folder)) {
    iniFound = CheckFileExists(IniPath(), appTitle, owner);
    // Without a file the accessor starts empty, so reads give defaults and nothing crashes.
    ini_ = std::make_unique<tIniFileHandler>(IniPath());
    if (iniFound)
        Language = UpperCase(ini_->ReadString(kApplication, "Language", "EN"));
}

std::string TAppIniFile::IniPath() const {
    return JoinPath(appFolder, kIniFileName);
}

bool TAppIniFile::ReadExerciseSection() {
    exerciseLoaded = true;
    TExerciseData& ex = exercise;
    ex.FirstLang = ini_->ReadBool(kExercise, "FirstLang", true);
    ex.MaxWords = ini_->ReadInteger(kExercise, "MaxWords", 300);

    // The list would be cut to MaxWords right after reading, so only that many are built.
    const std::int32_t count = std::max(ini_->ReadInteger(kExerciseWords, "NbrWords", 0), 0);
    const std::int32_t kept = std::min({count, std::max(ex.MaxWords, 0), kMaxEntries});
    ex.ExerciseWords.assign(static_cast<std::size_t>(kept), ExerciseEntry{});
    for (std::size_t i = 0; i < ex.ExerciseWords.size(); ++i) {
        const std::string text = ini_->ReadString(kExerciseWords, std::to_string(i), "");
        if (!ParseExerciseEntry(text, ex.ExerciseWords[i]))
            break;
    }

    ex.LangFileName = ini_->ReadString(kExercise, "LangFileName", "");
    if (!ex.LangFileName.empty()) {
        ex.Lang1 = ini_->ReadString(kExercise, "Lang1", "");
        ex.Lang2 = ini_->ReadString(kExercise, "Lang2", "");
        if (!ex.Lang1.empty() && !ex.Lang2.empty())
            ex.AvailableUnits = ini_->ReadIntList(kAvailableUnits, "NbrUnits");
    }
    return !ex.LangFileName.empty() && !ex.Lang1.empty() && !ex.Lang2.empty() &&
           !ex.AvailableUnits.empty();
}

void TAppIniFile::ReadGeneralSection() {
    generalLoaded = true;
    const TGeneralProperty def;
    TGeneralProperty& g = general;
    g.AutoPresent = ini_->ReadBool(kGeneral, "AutoPresent", def.AutoPresent);
    g.DelayPresent = ini_->ReadInteger(kGeneral, "DelayPresent", def.DelayPresent);
    g.VoiceAnswer = ini_->ReadBool(kGeneral, "VoiceAnswer", def.VoiceAnswer);
    g.LetterAnswer = ini_->ReadBool(kGeneral, "LetterAnswer", def.LetterAnswer);
    g.DelayAnswer = ini_->ReadInteger(kGeneral, "DelayAnswer", def.DelayAnswer);
    g.VoicePresent = ini_->ReadInteger(kGeneral, "VoicePresent", def.VoicePresent);
    g.ShowTable = ini_->ReadBool(kGeneral, "ShowTable", def.ShowTable);
}

void TAppIniFile::ReadFontSection() {
    fontLoaded = true;
    const TFontProperty def;
    font.Font = ini_->ReadString(kFont, "Font", def.Font);
    font.Style = ini_->ReadInteger(kFont, "Style", def.Style);
    font.Color = ini_->ReadInteger(kFont, "Color", def.Color);
    font.Size = ini_->ReadInteger(kFont, "Size", def.Size);
}

void TAppIniFile::ReadVoiceSection() {
    voiceLoaded = true;
    const TVoiceProperty def;
    for (std::size_t i = 0; i < voices.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        voices[i].Voice = ini_->ReadString(kVoice, "Voice" + n, def.Voice);
        voices[i].Speed = ini_->ReadInteger(kVoice, "Speed" + n, def.Speed);
        voices[i].Pitch = ini_->ReadInteger(kVoice, "Pitch" + n, def.Pitch);
    }
}

void TAppIniFile::WriteGeneralSection() {
    if (!generalLoaded)
        return;
    const TGeneralProperty& g = general;
    ini_->WriteBool(kGeneral, "AutoPresent", g.AutoPresent);
    ini_->WriteBool(kGeneral, "VoiceAnswer", g.VoiceAnswer);
    ini_->WriteBool(kGeneral, "LetterAnswer", g.LetterAnswer);
    ini_->WriteInteger(kGeneral, "DelayPresent", g.DelayPresent);
    ini_->WriteInteger(kGeneral, "DelayAnswer", g.DelayAnswer);
    ini_->WriteInteger(kGeneral, "VoicePresent", g.VoicePresent);
    ini_->WriteBool(kGeneral, "ShowTable", g.ShowTable);
}

void TAppIniFile::WriteFontSection() {
    if (!fontLoaded)
        return;
    ini_->WriteString(kFont, "Font", font.Font);
    ini_->WriteInteger(kFont, "Style", font.Style);
    ini_->WriteInteger(kFont, "Color", font.Color);
    ini_->WriteInteger(kFont, "Size", font.Size);
}

void TAppIniFile::WriteVoiceSection() {
    if (!voiceLoaded)
        return;
    // Voice1, Voice2, Speed1, Speed2, Pitch1, Pitch2: the order the file has always had.
    for (std::size_t i = 0; i < voices.size(); ++i)
        ini_->WriteString(kVoice, "Voice" + std::to_string(i + 1), voices[i].Voice);
    for (std::size_t i = 0; i < voices.size(); ++i)
        ini_->WriteInteger(kVoice, "Speed" + std::to_string(i + 1), voices[i].Speed);
    for (std::size_t i = 0; i < voices.size(); ++i)
        ini_->WriteInteger(kVoice, "Pitch" + std::to_string(i + 1), voices[i].Pitch);
}

void TAppIniFile::WriteExerciseSection() {
    if (!exerciseLoaded)
        return;
    const TExerciseData& ex = exercise;
    ini_->WriteString(kExercise, "LangFileName", ex.LangFileName);
    ini_->WriteString(kExercise, "Lang1", ex.Lang1);
    ini_->WriteString(kExercise, "Lang2", ex.Lang2);
    ini_->WriteBool(kExercise, "FirstLang", ex.FirstLang);
    ini_->WriteInteger(kExercise, "MaxWords", ex.MaxWords);

    std::vector<std::string> texts;
    texts.reserve(ex.ExerciseWords.size() + heldBack.size());
    for (const ExerciseEntry& e : ex.ExerciseWords)
        if (e.priority < 9 && !e.transient)
            texts.push_back(FormatExerciseEntry(e));
    for (const ExerciseEntry& e : heldBack)
        texts.push_back(FormatExerciseEntry(e));

    ini_->EraseSection(kExerciseWords);
    ini_->EraseSection(kAvailableUnits);
    ini_->WriteIntList(kAvailableUnits, ex.AvailableUnits);
    ini_->WriteInteger(kAvailableUnits, "NbrUnits",
                       static_cast<std::int32_t>(ex.AvailableUnits.size()));
    std::int32_t key = 0;
    for (const std::string& text : texts)
        if (!text.empty())
            ini_->WriteString(kExerciseWords, std::to_string(key++), text);
    ini_->WriteInteger(kExerciseWords, "NbrWords", ini_->CountNumberedKeys(kExerciseWords));
}

void TAppIniFile::WriteLanguage() {
    ini_->WriteString(kApplication, "Language", Language);
}

void TAppIniFile::Flush() {
    ini_->Flush();
}

void TAppIniFile::WriteAll(std::string_view uiLanguage) {
    WriteGeneralSection();
    WriteFontSection();
    WriteVoiceSection();
    WriteExerciseSection();
    Language.assign(uiLanguage);
    WriteLanguage();
    Flush();
}

bool TAppIniFile::IsAvailableUnit(std::int32_t lesson) const {
    const auto& units = exercise.AvailableUnits;
    return std::find(units.begin(), units.end(), lesson) != units.end();
}

} // namespace lexaro
