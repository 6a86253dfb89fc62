#include "app/AppIniFile.h"

#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "data/Lesson.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

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
constexpr std::string_view kKeptExercises = "KeptExercises";
// Followed by the kept file's number: its exercise list, then its held-back list.
constexpr std::string_view kKeptWords = "KeptWords";
constexpr std::string_view kKeptHeldBack = "KeptHeldBack";

std::string Numbered(std::string_view section, std::size_t n) {
    return std::string(section) + std::to_string(n);
}

// The entries as the exercise list stores them: no top-up entries, no "not more use".
std::vector<std::string> StoredEntries(const ArrayWordData& list) {
    std::vector<std::string> texts;
    for (const ExerciseEntry& e : list)
        if (e.priority < 9 && !e.transient)
            texts.push_back(FormatExerciseEntry(e));
    return texts;
}

// The exercise list never needs more entries than this, whatever its count key claims.
constexpr std::int32_t kMaxEntries = 1'000'000;

bool ValidLesson(std::int32_t n) {
    return n >= 0 && n <= kMaxSlotNumber;
}

} // namespace

TAppIniFile::TAppIniFile(std::filesystem::path folder, IMessageSink* owner)
    : TAppIniFile(folder, folder, owner) {}

TAppIniFile::TAppIniFile(std::filesystem::path settings, std::filesystem::path folder,
                         IMessageSink* owner)
    : appFolder(std::move(folder)), settingsFolder(std::move(settings)) {
    iniFound = CheckFileExists(IniPath(), appTitle, owner);
    // Without a file the accessor starts empty, so reads give defaults and nothing crashes.
    ini_ = std::make_unique<tIniFileHandler>(IniPath());
    if (iniFound && !ini_->ReadResult()) {
        // A folder, a device or a giant in its place: the program cannot work with it and
        // must not write over it.
        iniFound = false;
        if (owner != nullptr)
            owner->Warn(appTitle,
                        DisplayPath(IniPath()) + " cannot be read: " + ini_->ReadResult().reason,
                        IMessageSink::Icon::Warning);
    }
    if (iniFound) {
        Language = UpperCase(ini_->ReadString(kApplication, "Language", "EN"));
        // A missing, unknown or broken value means Western European.
        std::int32_t page = 0;
        const std::string text = ini_->ReadString(kApplication, "CodePage", "");
        codePageStored_ = !text.empty();
        CodePage = TryStrToInt(TrimBlanks(text), page) && TCodePage::Find(page) != nullptr
                       ? page
                       : TCodePage::kDefault;
    }
}

std::filesystem::path TAppIniFile::IniPath() const {
    return settingsFolder / kIniFileName;
}

std::filesystem::path TAppIniFile::LangFilePath() const {
    return PathFromStored(exercise.LangFileName, appFolder);
}

bool TAppIniFile::ReadExerciseSection() {
    exerciseLoaded = true;
    TExerciseData& ex = exercise;
    ex.FirstLang = ini_->ReadBool(kExercise, "FirstLang", true);
    ex.MaxWords = ini_->ReadInteger(kExercise, "MaxWords", 300);

    // Only entries that were read, parse and are valid are kept, each pair once, at most
    // MaxWords of them: a count key never invents entries.
    const std::int32_t count = std::max(ini_->ReadInteger(kExerciseWords, "NbrWords", 0), 0);
    const auto kept = static_cast<std::size_t>(std::max(ex.MaxWords, 0));
    ex.ExerciseWords.clear();
    std::unordered_set<std::int64_t> pairs;
    for (const std::string& text : NumberedValues(kExerciseWords, count)) {
        if (ex.ExerciseWords.size() >= kept)
            break;
        ExerciseEntry entry;
        if (!ParseExerciseEntry(text, entry) || !EntryValid(entry))
            continue;
        if (pairs.insert(std::int64_t{entry.lesson} * (kMaxSlotNumber + 1) + entry.pairId).second)
            ex.ExerciseWords.push_back(entry);
    }

    ReadKeptLists();

    ex.LangFileName = ini_->ReadString(kExercise, "LangFileName", "");
    if (!ex.LangFileName.empty()) {
        ex.Lang1 = ini_->ReadString(kExercise, "Lang1", "");
        ex.Lang2 = ini_->ReadString(kExercise, "Lang2", "");
        if (!ex.Lang1.empty() && !ex.Lang2.empty())
            ReadAvailableUnits();
    }
    return !ex.LangFileName.empty() && !ex.Lang1.empty() && !ex.Lang2.empty() &&
           !ex.AvailableUnits.empty();
}

std::vector<std::string> TAppIniFile::NumberedValues(std::string_view section,
                                                     std::int32_t count) const {
    // Only the keys that exist, in the order of their numbers, however large the count.
    std::vector<std::pair<std::size_t, std::string>> found;
    ini_->ForEachNumberedKey(
        section, static_cast<std::size_t>(std::min(count, kMaxEntries)),
        [&](std::size_t i, std::string_view value) { found.emplace_back(i, std::string(value)); });
    std::sort(found.begin(), found.end());
    std::vector<std::string> values;
    values.reserve(found.size());
    for (auto& [i, value] : found)
        values.push_back(std::move(value));
    return values;
}

ArrayWordData TAppIniFile::ReadEntries(const std::string& section) const {
    // As the exercise list: valid entries, each pair once, at most MaxWords of them.
    const std::int32_t count = std::max(ini_->ReadInteger(section, "NbrWords", 0), 0);
    const auto kept = static_cast<std::size_t>(std::max(exercise.MaxWords, 0));
    ArrayWordData entries;
    std::unordered_set<std::int64_t> pairs;
    for (const std::string& text : NumberedValues(section, count)) {
        if (entries.size() >= kept)
            break;
        ExerciseEntry entry;
        if (!ParseExerciseEntry(text, entry) || !EntryValid(entry))
            continue;
        if (pairs.insert(std::int64_t{entry.lesson} * (kMaxSlotNumber + 1) + entry.pairId).second)
            entries.push_back(entry);
    }
    return entries;
}

void TAppIniFile::ReadKeptLists() {
    keptLists.clear();
    const std::int32_t count = std::max(ini_->ReadInteger(kKeptExercises, "NbrFiles", 0), 0);
    // The files by their keys' numbers, which number their lists' sections too.
    std::vector<std::pair<std::size_t, std::string>> files;
    ini_->ForEachNumberedKey(
        kKeptExercises, std::min(static_cast<std::size_t>(count), kMaxKeptLists),
        [&](std::size_t n, std::string_view value) { files.emplace_back(n, std::string(value)); });
    std::sort(files.begin(), files.end());
    for (const auto& [number, fileName] : files) {
        // A structured binding is not captured by every compiler this builds with.
        const std::string& name = fileName;
        const bool known = std::any_of(keptLists.begin(), keptLists.end(),
                                       [&](const TKeptLists& k) { return k.langFileName == name; });
        if (name.empty() || known)
            continue;
        TKeptLists kept;
        kept.langFileName = name;
        kept.exerciseWords = ReadEntries(Numbered(kKeptWords, number));
        kept.heldBack = ReadEntries(Numbered(kKeptHeldBack, number));
        keptLists.push_back(std::move(kept));
    }
}

void TAppIniFile::WriteKeptLists() {
    // The sections of the kept files that were read, and any the program may have written.
    const auto before = static_cast<std::size_t>(
        std::clamp<std::int32_t>(ini_->ReadInteger(kKeptExercises, "NbrFiles", 0), 0,
                                 static_cast<std::int32_t>(kMaxKeptLists)));
    for (std::size_t n = 0; n < std::max(before, kMaxKeptLists); ++n) {
        ini_->EraseSection(Numbered(kKeptWords, n));
        ini_->EraseSection(Numbered(kKeptHeldBack, n));
    }
    ini_->EraseSection(kKeptExercises);
    if (keptLists.empty())
        return;
    std::size_t n = 0;
    for (const TKeptLists& kept : keptLists) {
        if (n >= kMaxKeptLists)
            break;
        ini_->WriteString(kKeptExercises, std::to_string(n), kept.langFileName);
        for (const auto& [section, list] :
             {std::pair{Numbered(kKeptWords, n), &kept.exerciseWords},
              std::pair{Numbered(kKeptHeldBack, n), &kept.heldBack}}) {
            std::int32_t key = 0;
            for (const std::string& text : StoredEntries(*list))
                ini_->WriteString(section, std::to_string(key++), text);
            ini_->WriteInteger(section, "NbrWords", key);
        }
        ++n;
    }
    ini_->WriteInteger(kKeptExercises, "NbrFiles", static_cast<std::int32_t>(n));
}

void TAppIniFile::KeepLists(const std::string& langFileName, const ArrayWordData& exerciseWords,
                            const ArrayWordData& held) {
    std::erase_if(keptLists, [&](const TKeptLists& k) { return k.langFileName == langFileName; });
    if (langFileName.empty())
        return;
    TKeptLists kept;
    kept.langFileName = langFileName;
    for (const auto& [from, to] :
         {std::pair{&exerciseWords, &kept.exerciseWords}, std::pair{&held, &kept.heldBack}})
        for (const ExerciseEntry& e : *from)
            if (e.priority < 9 && !e.transient)
                to->push_back(e);
    if (kept.exerciseWords.empty() && kept.heldBack.empty())
        return;
    keptLists.insert(keptLists.begin(), std::move(kept));
    if (keptLists.size() > kMaxKeptLists)
        keptLists.resize(kMaxKeptLists);
}

std::optional<TKeptLists> TAppIniFile::TakeKeptLists(const std::string& langFileName) {
    const auto it = std::find_if(keptLists.begin(), keptLists.end(), [&](const TKeptLists& k) {
        return k.langFileName == langFileName;
    });
    if (it == keptLists.end())
        return std::nullopt;
    TKeptLists kept = std::move(*it);
    keptLists.erase(it);
    return kept;
}

void TAppIniFile::ReadAvailableUnits() {
    intArray& units = exercise.AvailableUnits;
    units.clear();
    const std::int32_t count = std::max(ini_->ReadInteger(kAvailableUnits, "NbrUnits", 0), 0);
    for (const std::string& text : NumberedValues(kAvailableUnits, count)) {
        std::int32_t lesson = -1;
        if (ParseIniInteger(text, lesson) && ValidLesson(lesson) &&
            std::find(units.begin(), units.end(), lesson) == units.end())
            units.push_back(lesson);
    }
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
    // Write mode's keys came later: a file without them reads as before.
    g.WriteAnswer = ini_->ReadBool(kGeneral, "WriteAnswer", def.WriteAnswer);
    g.IgnoreAccents = ini_->ReadBool(kGeneral, "IgnoreAccents", def.IgnoreAccents);
    g.PrioritiesFromAnswers =
        ini_->ReadBool(kGeneral, "PrioritiesFromAnswers", def.PrioritiesFromAnswers);
    g.CommaSeparates = ini_->ReadBool(kGeneral, "CommaSeparates", def.CommaSeparates);
    g.DueWordsFirst = ini_->ReadBool(kGeneral, "DueWordsFirst", def.DueWordsFirst);
    g.DueTarget = ini_->ReadInteger(kGeneral, "DueTarget", def.DueTarget);
    if (g.DueTarget < kMinDueTarget || g.DueTarget > kMaxDueTarget)
        g.DueTarget = def.DueTarget;
    writeKeysStored_ = {ini_->ValueExists(kGeneral, "WriteAnswer"),
                        ini_->ValueExists(kGeneral, "IgnoreAccents"),
                        ini_->ValueExists(kGeneral, "PrioritiesFromAnswers"),
                        ini_->ValueExists(kGeneral, "CommaSeparates"),
                        ini_->ValueExists(kGeneral, "DueWordsFirst"),
                        ini_->ValueExists(kGeneral, "DueTarget")};
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
    // Files that never had them stay without them while they keep their defaults.
    const TGeneralProperty def;
    if (writeKeysStored_[0] || g.WriteAnswer != def.WriteAnswer)
        ini_->WriteBool(kGeneral, "WriteAnswer", g.WriteAnswer);
    if (writeKeysStored_[1] || g.IgnoreAccents != def.IgnoreAccents)
        ini_->WriteBool(kGeneral, "IgnoreAccents", g.IgnoreAccents);
    if (writeKeysStored_[2] || g.PrioritiesFromAnswers != def.PrioritiesFromAnswers)
        ini_->WriteBool(kGeneral, "PrioritiesFromAnswers", g.PrioritiesFromAnswers);
    if (writeKeysStored_[3] || g.CommaSeparates != def.CommaSeparates)
        ini_->WriteBool(kGeneral, "CommaSeparates", g.CommaSeparates);
    if (writeKeysStored_[4] || g.DueWordsFirst != def.DueWordsFirst)
        ini_->WriteBool(kGeneral, "DueWordsFirst", g.DueWordsFirst);
    if (writeKeysStored_[5] || g.DueTarget != def.DueTarget)
        ini_->WriteInteger(kGeneral, "DueTarget", g.DueTarget);
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

    std::vector<std::string> texts = StoredEntries(ex.ExerciseWords);
    texts.reserve(ex.ExerciseWords.size() + heldBack.size());
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
    WriteKeptLists();
}

void TAppIniFile::WriteLanguage() {
    ini_->WriteString(kApplication, "Language", Language);
    // Files that never named a code page stay without one while it is the default.
    if (codePageStored_ || CodePage != TCodePage::kDefault)
        ini_->WriteInteger(kApplication, "CodePage", CodePage);
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
