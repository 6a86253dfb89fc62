#include "editing/EditExerciseLogic.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/MainWndLogic.h"
#include "data/Charset.h"
#include "data/FileUtil.h"
#include "data/Languages.h"
#include "data/StrUtil.h"
#include "data/TextSteps.h"
#include "editing/T_EditLessonTableModel.h"
#include "progress/Journal.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>

namespace lexaro {

namespace fs = std::filesystem;
using namespace exercise_editor_text;

namespace {

constexpr const char* kLangFilesFolder = "LangFiles";
constexpr const char* kLangFileExtension = ".lang";
constexpr std::int32_t kJournalNotCopied = 216;
constexpr std::size_t kFolderPartLength = 3;
// Language names need this many characters before lessons can be made.
constexpr std::size_t kNameMinLength = 3;

// Letters of Windows-1252 (accented ones and the few in 0x8A..0x9F included), digits, "-"
// and "_": what a folder name made from a language name may hold.
bool IsFolderChar(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
        c == '_')
        return true;
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
        return true;
    default:
        return c >= 0xC0 && c != 0xD7 && c != 0xF7;
    }
}

std::string Counter(std::int32_t n) {
    return ": " + std::to_string(n);
}

// Equal ignoring case (the code page's upper case); an empty text equals nothing.
bool SameName(const std::string& a, const std::string& b,
              const TCodePage& page = TCodePage::Western()) {
    return !a.empty() && !b.empty() && page.SameTextUpper(a, b);
}

// The same file, also by another spelling of its path; a file that is gone by its path.
bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    std::error_code ea;
    std::error_code eb;
    const fs::path ca = fs::weakly_canonical(a, ea);
    const fs::path cb = fs::weakly_canonical(b, eb);
    return !ea && !eb && ca == cb;
}

// A language name long enough to make lessons: kNameMinLength characters as the learner sees
// them, or under Unicode the name of a language the table knows ("中文" has two).
bool LongEnoughName(const std::string& stored, const TCodePage& page) {
    if (stored.size() < kNameMinLength && !page.IsUtf8())
        return false;
    if (CharacterCount(stored, page) >= kNameMinLength)
        return true;
    return page.IsUtf8() && FindLanguage(stored, page) != nullptr;
}

} // namespace

std::string LangFolderPart(std::string_view name, const TCodePage& page) {
    if (page.IsUtf8()) {
        // A name Windows-1252 holds is taken as under that page; a language the table knows
        // by its English name ("日本語" "Jap"); any other name in Latin letters.
        const std::string utf8 = page.ToUtf8(name);
        std::string western;
        if (TCodePage::Western().FromUtf8(utf8, western))
            return LangFolderPart(western, TCodePage::Western());
        if (const TLanguage* language = FindLanguage(utf8))
            return LangFolderPart(language->english, TCodePage::Western());
        return LangFolderPart(LatinAsciiOf(utf8), TCodePage::Western());
    }
    std::string part;
    for (const char ch : name) {
        if (part.size() >= kFolderPartLength)
            break;
        // A character Windows-1252 holds as a folder character stays; any other letter comes
        // in Latin letters, so the folder's path can be stored in the settings.
        const int western =
            TCodePage::Western().FromUnicode(page.ToUnicode(static_cast<unsigned char>(ch)));
        if (western >= 0 && IsFolderChar(static_cast<char>(western)))
            part += static_cast<char>(western);
        else
            part += page.LatinLetters(static_cast<unsigned char>(ch));
    }
    return part.substr(0, kFolderPartLength);
}

std::string ProposedLangFileName(std::string_view lang1, std::string_view lang2,
                                 const TCodePage& page) {
    const std::string first = LangFolderPart(lang1, page);
    const std::string second = LangFolderPart(lang2, page);
    if (first.empty() && second.empty())
        return {};
    return first + "_" + second;
}

std::int32_t NextFreeLessonNumber(const std::vector<TLessonListItem>& items) {
    std::vector<std::int32_t> numbers;
    numbers.reserve(items.size());
    for (const TLessonListItem& item : items)
        if (item.lesson)
            numbers.push_back(item.lesson->number);
    std::sort(numbers.begin(), numbers.end());
    std::int32_t next = 1;
    for (const std::int32_t n : numbers) {
        if (n == next)
            ++next;
        else if (n > next)
            break;
    }
    return next;
}

std::string LangNameProblem(std::string_view utf8, bool first, const TCodePage& page,
                            std::string& stored, bool* notInPage) {
    std::size_t bad = 0;
    if (notInPage != nullptr)
        *notInPage = false;
    if (!page.FromUtf8(utf8, stored, &bad)) {
        if (notInPage != nullptr)
            *notInPage = true;
        char32_t cp = 0;
        if (!Utf8CharAt(utf8, bad, cp))
            cp = 0xFFFD;
        stored = page.FromUtf8Lossy(utf8);
        return NameCharacter(cp);
    }
    for (const char ch : stored)
        if (ch == '\r' || ch == '\n' || ch == '\0' || (first && ch == '@'))
            return NameCharacter(static_cast<unsigned char>(ch));
    if (first && !stored.empty() && stored.front() == '[')
        return NameCharacter(U'[');
    return {};
}

TEditExerciseLogic::TEditExerciseLogic(std::shared_ptr<TAppIniFile> settings,
                                       std::shared_ptr<const TAppLangHandler> texts,
                                       IEditExerciseView& view)
    : settings_(std::move(settings)), texts_(std::move(texts)), view_(view),
      clipboard_(std::make_shared<TMWordPairData>()), origins_(std::make_shared<TPairOrigins>()) {
    const TExerciseData& ex = settings_->exercise;
    fileName_ = ex.LangFileName;
    // The up/down control holds its position within its range.
    maxWordsPosition_ = std::clamp(ex.MaxWords, kMaxWordsLow, kMaxWordsHigh);
    maxWords_ = std::to_string(maxWordsPosition_);
    const fs::path path = PathOf(fileName_);
    if (!fileName_.empty() && CheckFileExists(path)) {
        SetFileNameField(BaseNamePart(fileName_));
        fileHint_ = true;
        TLangFHandler loaded;
        const std::string fault = LoadInto(loaded, path);
        if (fault.empty()) {
            handler_ = std::move(loaded);
            exerciseFile_ = path;
            for (std::int32_t slot = 0; slot < handler_.SlotCount(); ++slot)
                if (const std::shared_ptr<TLesson> lesson = handler_.LessonAt(slot))
                    for (std::int32_t id = 0; id < lesson->SlotCount(); ++id)
                        if (lesson->PairAt(id))
                            exerciseKeys_.push_back({lesson->number, id});
            TakeOriginsOfExerciseFile();
            FillFromHandler(true);
            // The names are the file's own; the settings may hold others or none.
            TakeNamesOfFile();
        } else {
            // The list stays empty; the learner is told why when the window shows.
            openingMessage_ = FillText(Text(kLangFileUnusable), {DisplayPath(path), fault});
        }
    }
    if (!items_.empty()) {
        items_.front().selected = true;
        shown_ = items_.front().lesson;
    }
    chosenBefore_ = ex.AvailableUnits;
    maxWordsAtOpening_ = maxWordsPosition_;
    ticksAtOpening_ = TickedNumbers();
    std::sort(ticksAtOpening_.begin(), ticksAtOpening_.end());
}

std::string TEditExerciseLogic::Text(std::int32_t number) const {
    return texts_ ? texts_->GetText(number) : std::string(kMissingText);
}

const TCodePage& TEditExerciseLogic::Page() const {
    return TCodePage::Get(settings_->CodePage);
}

std::string TEditExerciseLogic::Caption() const {
    return Text(kCaption);
}

std::string TEditExerciseLogic::Blanked(std::int32_t number) const {
    return " " + Text(number) + " ";
}

std::string TEditExerciseLogic::LessonCaption(std::int32_t number) const {
    return " " + Text(kLesson) + " " + std::to_string(number);
}

fs::path TEditExerciseLogic::PathOf(const std::string& stored) const {
    return PathFromStored(stored, settings_->appFolder);
}

fs::path TEditExerciseLogic::LangFilesFolder() const {
    return settings_->appFolder / kLangFilesFolder;
}

std::string TEditExerciseLogic::FileNameField() const {
    return Utf8FromStoredPath(fileNameField_);
}

std::optional<fs::path> TEditExerciseLogic::FileNameHint() const {
    if (!fileHint_ || fileName_.empty())
        return std::nullopt;
    return PathOf(fileName_);
}

void TEditExerciseLogic::SetLangFromStored(int which, std::string_view stored) {
    TNameField& field = lang_[Index(which)];
    field.typed = Page().ToUtf8(stored);
    field.problem =
        LangNameProblem(field.typed, which == 1, Page(), field.stored, &field.notInPage);
    // A name as the file has it stays byte for byte until the learner types another: under
    // Unicode a name of a single-byte file shows with U+FFFD, which must not be written back.
    if (field.problem.empty())
        field.stored = std::string(stored);
    ++fieldsVersion_;
}

void TEditExerciseLogic::TakeNamesOfFile() {
    fileNames_ = {handler_.GetLang1Name(), handler_.GetLang2Name()};
    SetLangFromStored(1, fileNames_[0]);
    SetLangFromStored(2, fileNames_[1]);
}

void TEditExerciseLogic::SetFileNameField(std::string stored) {
    fileNameField_ = std::move(stored);
    ++fieldsVersion_;
}

TEditExerciseButtons TEditExerciseLogic::Buttons() const {
    TEditExerciseButtons b;
    const bool lessons = !items_.empty();
    b.save = !fileName_.empty() && lessons && !newFile_;
    b.saveAs = lessons;
    b.ok = !(newFile_ && (fileName_.empty() || !lessons));
    b.deleteLesson = lessons;
    b.editLesson = lessons;
    b.newLesson =
        LongEnoughName(lang_[0].stored, Page()) && LongEnoughName(lang_[1].stored, Page());
    b.langEditable = newFile_;
    return b;
}

TEditExerciseCounters TEditExerciseLogic::Counters() const {
    TEditExerciseCounters c;
    c.pairs = Counter(shown_ ? shown_->PairCount() : 0);
    c.used = Counter(shown_ ? shown_->UsedPairCount() : 0);
    std::int32_t total = 0;
    for (const TLessonListItem& item : items_)
        if (item.ticked)
            total += item.lesson->UsedPairCount();
    c.total = Counter(total);
    return c;
}

TEditExerciseFocus TEditExerciseLogic::TakeFocus() {
    return std::exchange(focus_, TEditExerciseFocus::None);
}

void TEditExerciseLogic::WindowShown() {
    focus_ = TEditExerciseFocus::LessonList;
    if (!openingMessage_.empty())
        ReportUnderAppTitle(std::exchange(openingMessage_, std::string()));
}

void TEditExerciseLogic::Inform(const std::string& text, bool beep) const {
    view_.Inform(Caption(), Cp1252ToUtf8(text), beep);
}

void TEditExerciseLogic::InformNameRefused(const TNameField& field) const {
    // The texts are Windows-1252, the character named may be any: the message is UTF-8.
    auto text = [this](std::int32_t n) { return Cp1252ToUtf8(Text(n)); };
    view_.Inform(Caption(),
                 field.notInPage
                     ? FillText(text(kTextNotInCodePage),
                                {field.problem, text(CodePageNameText(Page().Number()))})
                     : FillText(text(kLangNameRefused), {field.problem}),
                 true);
}

namespace {

std::string PathUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

void TEditExerciseLogic::InformPathRefused(const fs::path& path, char32_t bad) const {
    view_.Inform(
        Caption(),
        FillText(Cp1252ToUtf8(Text(kPathNotStorable)), {PathUtf8(path), NameCharacter(bad)}), true);
}

void TEditExerciseLogic::ReportUnderAppTitle(const std::string& text) const {
    view_.Inform(settings_->appTitle, Cp1252ToUtf8(text), true);
}

void TEditExerciseLogic::SortItems() {
    std::stable_sort(
        items_.begin(), items_.end(),
        [](const TLessonListItem& a, const TLessonListItem& b) { return a.caption < b.caption; });
    ++listVersion_;
}

void TEditExerciseLogic::AddItem(std::shared_ptr<TLesson> lesson, bool ticked) {
    TLessonListItem item;
    item.caption = LessonCaption(lesson->number);
    item.lesson = std::move(lesson);
    item.ticked = ticked;
    items_.push_back(std::move(item));
}

void TEditExerciseLogic::FillFromHandler(bool withTicks) {
    items_.clear();
    for (std::int32_t slot = 0; slot < handler_.SlotCount(); ++slot) {
        std::shared_ptr<TLesson> lesson = handler_.LessonAt(slot);
        if (!lesson)
            continue;
        const bool ticked = withTicks && settings_->IsAvailableUnit(lesson->number);
        AddItem(std::move(lesson), ticked);
    }
    SortItems();
}

void TEditExerciseLogic::TakeOriginsOfExerciseFile() {
    // Since the last write the file's places are the renumbering's new ones.
    std::map<TPairKey, TPairKey> back;
    if (renumbering_)
        for (const auto& [from, to] : renumbering_->Places())
            if (to)
                back[*to] = from;
    const std::set<TPairKey> found(exerciseKeys_.begin(), exerciseKeys_.end());
    for (std::int32_t slot = 0; slot < handler_.SlotCount(); ++slot) {
        const std::shared_ptr<TLesson> lesson = handler_.LessonAt(slot);
        if (!lesson)
            continue;
        for (std::int32_t id = 0; id < lesson->SlotCount(); ++id) {
            const TPairKey place{lesson->number, id};
            std::optional<TPairKey> origin;
            if (renumbering_) {
                if (const auto it = back.find(place); it != back.end())
                    origin = it->second;
            } else if (found.contains(place)) {
                origin = place;
            }
            origins_->Set(lesson->PairAt(id), origin);
        }
    }
}

void TEditExerciseLogic::NoteWritten(const fs::path& path) {
    if (exerciseFile_.empty() || !SameFile(path, exerciseFile_))
        return;
    // The save numbered each lesson's pairs 0, 1, 2, ...: a pair's slot is its place now. A
    // pair that two pairs claim to be is the first of them; the other one is a copy.
    TPairRenumbering renumbering;
    std::set<TPairKey> placed;
    for (const TLessonListItem& item : items_) {
        for (std::int32_t id = 0; id < item.lesson->SlotCount(); ++id) {
            const std::optional<TPairKey> origin = origins_->Of(item.lesson->PairAt(id));
            if (origin && placed.insert(*origin).second)
                renumbering.Move(*origin, {item.lesson->number, id});
        }
    }
    for (const TPairKey& key : exerciseKeys_)
        if (!placed.contains(key))
            renumbering.Remove(key);
    renumbering_ = std::move(renumbering);
}

std::string TEditExerciseLogic::LoadInto(TLangFHandler& handler, const fs::path& path) const {
    handler.Clear();
    try {
        if (handler.Load(path))
            return {};
    } catch (const TConvertError& error) {
        return error.what();
    }
    if (!texts_)
        return handler.LastReadResult().reason;
    return LoadFaultText(handler, *texts_);
}

void TEditExerciseLogic::NewLangFile() {
    if (!KeepOrDropEdits())
        return;
    items_.clear();
    ++listVersion_;
    shown_.reset();
    SetFileNameField({});
    fileHint_ = false;
    newFile_ = true;
    fileNames_ = {};
    fileState_ = TFileState::Untouched;
    focus_ = TEditExerciseFocus::Lang1;
}

void TEditExerciseLogic::OpenLangFile() {
    if (!KeepOrDropEdits())
        return;
    const std::optional<fs::path> chosen = view_.ChooseFileToOpen(LangFilesFolder());
    if (!chosen)
        return;
    char32_t bad = 0;
    const std::optional<std::string> stored = StoredFromPath(*chosen, settings_->appFolder, &bad);
    if (!stored) {
        InformPathRefused(*chosen, bad);
        return;
    }
    // A file that cannot be read changes nothing: what the editor holds stays.
    TLangFHandler loaded;
    if (const std::string fault = LoadInto(loaded, *chosen); !fault.empty()) {
        Inform(FillText(Text(kLangFileUnusable), {DisplayPath(*chosen), fault}), true);
        return;
    }
    handler_ = std::move(loaded);
    if (!exerciseFile_.empty() && SameFile(*chosen, exerciseFile_))
        TakeOriginsOfExerciseFile();
    fileName_ = *stored;
    SetFileNameField(BaseNamePart(fileName_));
    fileHint_ = true;
    FillFromHandler(false);
    TakeNamesOfFile();
    shown_.reset();
    if (!items_.empty()) {
        items_.front().selected = true;
        shown_ = items_.front().lesson;
    }
    focus_ = TEditExerciseFocus::LessonList;
    newFile_ = false;
    fileState_ = TFileState::Opened;
}

void TEditExerciseLogic::SaveLangFile() {
    if (!Buttons().save)
        return;
    // Only a file that was written counts as saved: a failed write keeps the question at OK.
    if (WriteFile() && fileState_ == TFileState::Changed)
        fileState_ = TFileState::Saved;
}

void TEditExerciseLogic::SaveLangFileAs() {
    if (Buttons().saveAs)
        SaveAs();
}

void TEditExerciseLogic::SaveCommand() {
    if (Buttons().save)
        SaveLangFile();
    else
        SaveLangFileAs();
}

bool TEditExerciseLogic::NamesProblem(bool report) {
    for (int which = 1; which <= 2; ++which) {
        const TNameField& field = lang_[Index(which)];
        if (field.problem.empty())
            continue;
        if (report) {
            InformNameRefused(field);
            focus_ = which == 1 ? TEditExerciseFocus::Lang1 : TEditExerciseFocus::Lang2;
        }
        return true;
    }
    return false;
}

bool TEditExerciseLogic::WriteFile() {
    handler_.Clear();
    const fs::path path = PathOf(fileName_);
    if (items_.empty()) {
        // A language file without lessons is deleted.
        if (!fileName_.empty() && CheckFileExists(path) && !handler_.DeleteLangFile(path)) {
            ReportUnderAppTitle(Text(kNotSaved) + "\r\n" + DisplayPath(path));
            return false;
        }
        if (!fileName_.empty())
            NoteWritten(path);
        fileName_.clear();
        return true;
    }
    if (NamesProblem(true))
        return false;
    handler_.SetLanguageNames(lang_[0].stored, lang_[1].stored);
    for (const TLessonListItem& item : items_)
        handler_.PutLesson(item.lesson);
    const TFileResult saved = handler_.Save(path);
    if (!saved) {
        const std::string reason = texts_ ? FileFaultText(saved, *texts_) : saved.reason;
        ReportUnderAppTitle(Text(kNotSaved) + "\r\n" + DisplayPath(path) +
                            (reason.empty() ? std::string() : ": " + reason));
        return false;
    }
    NoteWritten(path);
    const std::optional<TVersionFault> versionFault = handler_.TakeVersionFault();
    const std::optional<TKeptCopy> kept = handler_.TakeKeptCopy();
    if (texts_ && versionFault)
        ReportUnderAppTitle(VersionFaultText(path, *versionFault, *texts_));
    if (texts_ && kept)
        ReportUnderAppTitle(KeptCopyText(*kept, *texts_));
    return true;
}

bool TEditExerciseLogic::SaveAs() {
    if (NamesProblem(true))
        return false;
    const std::string proposed = ProposedLangFileName(lang_[0].stored, lang_[1].stored, Page());
    const fs::path langFiles = LangFilesFolder();
    const fs::path folder = proposed.empty() ? langFiles : langFiles / PathFromStored(proposed);
    // The folders made here go again when nothing was saved in them.
    std::vector<fs::path> made;
    for (const fs::path& f : {langFiles, folder}) {
        std::error_code ec;
        if (!fs::exists(f, ec) && fs::create_directory(f, ec))
            made.push_back(f);
    }
    const fs::path fileName =
        fileNameField_.empty() ? fs::path() : PathFromStored(fileNameField_ + kLangFileExtension);
    const std::optional<fs::path> chosen = view_.ChooseFileToSave(folder, fileName);
    bool written = false;
    if (chosen) {
        char32_t bad = 0;
        const std::optional<std::string> stored =
            StoredFromPath(*chosen, settings_->appFolder, &bad);
        if (!stored) {
            InformPathRefused(*chosen, bad);
        } else {
            const std::string before = fileName_;
            // The file the editor held, if it was one on disk (not a new one).
            const fs::path beforePath = newFile_ || before.empty() ? fs::path() : PathOf(before);
            fileName_ = *stored;
            written = WriteFile();
            if (written && !beforePath.empty() && !SameFile(beforePath, PathOf(fileName_)))
                CopyJournalsReporting(beforePath, PathOf(fileName_));
            if (written) {
                SetFileNameField(BaseNamePart(fileName_));
                fileHint_ = true;
                if (fileState_ == TFileState::Changed)
                    fileState_ = TFileState::Saved;
                newFile_ = false;
            } else {
                fileName_ = before;
            }
        }
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        std::error_code ec;
        if (fs::is_empty(*it, ec) && !ec)
            fs::remove(*it, ec);
    }
    return written;
}

void TEditExerciseLogic::CopyJournalsReporting(const fs::path& from, const fs::path& to) const {
    // Both files keep the practice history: the old one its journal, the new one a copy.
    const TJournalCopy copy = CopyJournals(from, to);
    if (!copy.result.ok())
        ReportUnderAppTitle(
            FillText(Text(kJournalNotCopied),
                     {DisplayPath(copy.failed),
                      texts_ ? FileFaultText(copy.result, *texts_) : copy.result.reason}));
}

void TEditExerciseLogic::SetLangField(int which, std::string utf8) {
    TNameField& field = lang_[Index(which)];
    field.typed = std::move(utf8);
    field.problem =
        LangNameProblem(field.typed, which == 1, Page(), field.stored, &field.notInPage);
}

bool TEditExerciseLogic::LeaveLangField(int which) {
    // Only names being typed are checked; a read-only field is never a trap.
    if (!newFile_)
        return true;
    const TNameField& field = lang_[Index(which)];
    if (!field.problem.empty()) {
        InformNameRefused(field);
        return false;
    }
    if (!LongEnoughName(field.stored, Page())) {
        view_.Beep();
        return false;
    }
    if (LongEnoughName(lang_[1 - Index(which)].stored, Page()))
        SetFileNameField(ProposedLangFileName(lang_[0].stored, lang_[1].stored, Page()));
    return true;
}

void TEditExerciseLogic::SetMaxWordsField(std::string utf8) {
    maxWords_ = std::move(utf8);
}

bool TEditExerciseLogic::LeaveMaxWords() {
    std::int32_t value = 0;
    if (TryStrToInt(maxWords_, value) && value >= kMaxWordsLow && value <= kMaxWordsHigh)
        return true;
    view_.Beep();
    maxWordsPosition_ = kMaxWordsLow;
    maxWords_ = std::to_string(maxWordsPosition_);
    ++fieldsVersion_;
    return false;
}

void TEditExerciseLogic::StepMaxWords(int delta) {
    std::int32_t value = 0;
    if (TryStrToInt(maxWords_, value) && value >= kMaxWordsLow && value <= kMaxWordsHigh)
        maxWordsPosition_ = value;
    std::int32_t next = maxWordsPosition_ + (delta < 0 ? -1 : 1);
    if (next > kMaxWordsHigh)
        next = kMaxWordsLow;
    else if (next < kMaxWordsLow)
        next = kMaxWordsHigh;
    maxWordsPosition_ = next;
    maxWords_ = std::to_string(next);
    ++fieldsVersion_;
}

void TEditExerciseLogic::SetSelection(const std::vector<int>& rows) {
    for (TLessonListItem& item : items_)
        item.selected = false;
    for (const int row : rows)
        if (row >= 0 && static_cast<std::size_t>(row) < items_.size())
            items_[static_cast<std::size_t>(row)].selected = true;
}

void TEditExerciseLogic::SetTicked(int row, bool ticked) {
    if (row >= 0 && static_cast<std::size_t>(row) < items_.size())
        items_[static_cast<std::size_t>(row)].ticked = ticked;
}

void TEditExerciseLogic::ListClicked() {
    for (TLessonListItem& item : items_) {
        if (item.ticked && item.lesson->UsedPairCount() == 0) {
            item.ticked = false;
            Inform(Text(kNoPairsInUse) + "\r\n" + Text(kCannotTakePart), true);
        }
    }
    for (const TLessonListItem& item : items_)
        if (item.selected)
            shown_ = item.lesson;
}

void TEditExerciseLogic::NewLesson() {
    if (!Buttons().newLesson)
        return;
    auto lessons = std::make_shared<TVector<TLesson>>();
    auto lesson = std::make_shared<TLesson>();
    lesson->number = NextFreeLessonNumber(items_);
    lessons->Add(lesson);
    RunLessonEditor(lessons, false);
}

void TEditExerciseLogic::EditLessons() {
    auto lessons = std::make_shared<TVector<TLesson>>();
    for (const TLessonListItem& item : items_)
        if (item.selected)
            lessons->Add(item.lesson);
    if (lessons->Count() == 0)
        return;
    RunLessonEditor(lessons, true);
}

void TEditExerciseLogic::ListDoubleClick() {
    if (!items_.empty())
        EditLessons();
}

void TEditExerciseLogic::RunLessonEditor(std::shared_ptr<TVector<TLesson>> lessons, bool editing) {
    // The ticks of the edited lessons, by number: an edited lesson comes back as a new item.
    std::map<std::int32_t, bool> ticksBefore;
    if (editing)
        for (const TLessonListItem& item : items_)
            if (item.selected)
                ticksBefore[item.lesson->number] = item.ticked;

    // A cut whose lesson editor closed without saving left its pair in the file: pasted, it
    // is a copy.
    rWordPairData cut = clipboard_->GetData();
    if (cut.origin) {
        bool inFile = false;
        for (const TLessonListItem& item : items_)
            for (const std::shared_ptr<TWordPear>& pair : item.lesson->pairs)
                inFile = inFile || (pair && origins_->Of(pair) == cut.origin);
        if (inFile) {
            cut.origin.reset();
            clipboard_->SetData(cut);
        }
    }

    TEditLessonInput input;
    input.lang1Name = lang_[0].stored;
    input.lang2Name = lang_[1].stored;
    input.lessons = lessons;
    input.clipboard = clipboard_;
    input.origins = origins_;
    input.codePage = &Page();
    // Doubles are sought in this file, with its lessons as edited so far.
    for (const TLessonListItem& item : items_)
        input.fileLessons.push_back(item.lesson);
    const TLessonEditOutcome outcome = view_.EditLessons(input);
    if (outcome.result != kEditLessonSaved || !outcome.modified)
        return;

    std::vector<TLessonListItem> kept;
    for (const TLessonListItem& item : items_)
        if (!(editing && item.selected))
            kept.push_back(item);
    auto targetIn = [](std::vector<TLessonListItem>& list, std::int32_t number) {
        for (TLessonListItem& item : list)
            if (item.lesson->number == number)
                return item.lesson;
        return std::shared_ptr<TLesson>();
    };

    // Nothing is merged when a lesson would take more pairs than a file can number.
    for (const std::shared_ptr<TLesson>& back : *lessons) {
        if (!back)
            continue;
        const std::shared_ptr<TLesson> target = targetIn(kept, back->number);
        const std::int64_t slots =
            std::int64_t{target ? target->SlotCount() : 0} + back->PairCount();
        if (back->number < 0 || back->number > kMaxSlotNumber || slots > kMaxSlotNumber + 1) {
            Inform(FillText(Text(kLessonTooLarge), {std::to_string(back->number)}), true);
            return;
        }
    }

    fileState_ = TFileState::Changed;
    items_ = std::move(kept);
    for (const std::shared_ptr<TLesson>& back : *lessons) {
        if (!back)
            continue;
        std::shared_ptr<TLesson> target = targetIn(items_, back->number);
        const bool isNew = !target;
        if (isNew) {
            target = std::make_shared<TLesson>();
            target->number = back->number;
        }
        target->SetModified(true);
        // Appended at the target's free slots, found by walking on from the last one taken.
        std::int64_t slot = target->FirstFreeSlot();
        for (const std::shared_ptr<TWordPear>& pair : back->pairs) {
            if (!pair)
                continue;
            while (target->PairAt(slot))
                ++slot;
            std::shared_ptr<TWordPear> added = target->NewPair(slot);
            if (!added)
                break;
            origins_->Set(added, origins_->Of(pair));
            added->text1 = pair->text1;
            added->text2 = pair->text2;
            added->use = pair->use;
            added->drawn = pair->drawn;
        }
        if (isNew) {
            const auto before = ticksBefore.find(back->number);
            const bool ticked =
                before != ticksBefore.end() && before->second && target->UsedPairCount() > 0;
            AddItem(target, ticked);
        }
    }
    for (TLessonListItem& item : items_)
        item.selected = false;
    SortItems();
    shown_.reset();
}

void TEditExerciseLogic::DeleteLessons() {
    const auto selected = [](const TLessonListItem& item) { return item.selected; };
    if (std::none_of(items_.begin(), items_.end(), selected))
        return;
    // The lessons leave the file when it is written.
    std::erase_if(items_, selected);
    ++listVersion_;
    if (items_.empty()) {
        SetLangFromStored(1, {});
        SetLangFromStored(2, {});
        SetFileNameField({});
        fileHint_ = false;
    }
    fileState_ = TFileState::Changed;
    focus_ = TEditExerciseFocus::LessonList;
    shown_.reset();
}

std::vector<std::int32_t> TEditExerciseLogic::TickedNumbers() const {
    std::vector<std::int32_t> numbers;
    for (const TLessonListItem& item : items_)
        if (item.ticked)
            numbers.push_back(item.lesson->number);
    return numbers;
}

void TEditExerciseLogic::MarkNamesChanged() {
    if (fileState_ != TFileState::Untouched)
        return;
    // Names typed after New, or a file name proposed for them, are changes of the file.
    if (!SameName(lang_[0].stored, fileNames_[0], Page()) ||
        !SameName(lang_[1].stored, fileNames_[1], Page()) ||
        !SameName(fileNameField_, BaseNamePart(fileName_)))
        fileState_ = TFileState::Changed;
}

TSaveAnswer TEditExerciseLogic::AskToSave() {
    MarkNamesChanged();
    if (!SomethingToSave())
        return TSaveAnswer::No;
    const std::string text = items_.empty() ? Text(kEmptyFileQuestion)
                                            : Text(kFileChanged) + "\r\n" + Text(kSaveQuestion) +
                                                  "\r\n" + Text(kCancelGoesBack);
    return view_.AskToSave(Caption(), text);
}

bool TEditExerciseLogic::SomethingToSave() const {
    if (fileState_ != TFileState::Changed)
        return false;
    // Without lessons there is nothing to save in a new file, nor to delete without a file.
    if (items_.empty() && (newFile_ || fileName_.empty() || !CheckFileExists(PathOf(fileName_))))
        return false;
    return true;
}

bool TEditExerciseLogic::ChoicesValid(std::int32_t& maxWords) {
    if (!TryStrToInt(maxWords_, maxWords) || maxWords < kMaxWordsLow || maxWords > kMaxWordsHigh) {
        Inform(Text(kMaxWordsInvalid), true);
        focus_ = TEditExerciseFocus::MaxWords;
        return false;
    }
    return !NamesProblem(true);
}

bool TEditExerciseLogic::Ok() {
    if (!Buttons().ok)
        return false;
    std::int32_t maxWords = 0;
    if (!ChoicesValid(maxWords))
        return false;
    const TSaveAnswer answer = AskToSave();
    if (answer == TSaveAnswer::Cancel)
        return false;
    return Finish(answer, maxWords);
}

bool TEditExerciseLogic::Finish(TSaveAnswer answer, std::int32_t maxWords) {
    // A save that was asked for and did not happen keeps the dialog open: nothing is lost.
    if (answer == TSaveAnswer::Yes) {
        if (newFile_ && !items_.empty()) {
            if (!SaveAs())
                return false;
        } else if (!newFile_) {
            if (!WriteFile())
                return false;
        }
    }

    TExerciseData& ex = settings_->exercise;
    TChangeKind kind = changeKind_;
    if (maxWords != ex.MaxWords)
        kind = TChangeKind::MaxWords;
    ex.MaxWords = maxWords;
    // A new file that was not written leaves the settings with the file they name.
    const bool fileStored = !newFile_;
    if (fileStored) {
        if (ex.LangFileName != fileName_)
            kind = TChangeKind::LangFile;
        ex.LangFileName = fileName_;
        // Lessons deleted but not written: the file keeps its lessons and its names.
        if (answer == TSaveAnswer::Yes || !items_.empty()) {
            ex.Lang1 = lang_[0].stored;
            ex.Lang2 = lang_[1].stored;
        }
        ex.AvailableUnits = TickedNumbers();
    }
    if (ex.AvailableUnits.empty()) {
        kind = TChangeKind::NoLesson;
    } else if (ex.AvailableUnits != chosenBefore_) {
        kind = TChangeKind::Lessons;
    } else if (fileStored) {
        for (const TLessonListItem& item : items_)
            if (item.ticked && item.lesson->IsModified())
                kind = TChangeKind::Lessons;
    }
    changeKind_ = kind;
    handler_.Clear();
    return true;
}

bool TEditExerciseLogic::HasUnsavedWork() {
    MarkNamesChanged();
    if (SomethingToSave())
        return true;
    std::int32_t maxWords = 0;
    if (!TryStrToInt(maxWords_, maxWords) || maxWords != maxWordsAtOpening_)
        return true;
    // The ticks and the file of a new file that was not written are not stored anyway.
    if (newFile_)
        return false;
    std::vector<std::int32_t> ticks = TickedNumbers();
    std::sort(ticks.begin(), ticks.end());
    return fileName_ != settings_->exercise.LangFileName || ticks != ticksAtOpening_;
}

TCloseResult TEditExerciseLogic::CloseRequested() {
    if (!HasUnsavedWork()) {
        Close();
        return TCloseResult::Closed;
    }
    switch (view_.AskSaveDiscardCancel(Caption(),
                                       Text(kChangesNotSaved) + "\r\n" + Text(kSaveQuestion))) {
    case TSaveAnswer::Yes: {
        std::int32_t maxWords = 0;
        if (!ChoicesValid(maxWords))
            return TCloseResult::Stay;
        return Finish(SomethingToSave() ? TSaveAnswer::Yes : TSaveAnswer::No, maxWords)
                   ? TCloseResult::Saved
                   : TCloseResult::Stay;
    }
    case TSaveAnswer::No:
        Close();
        return TCloseResult::Closed;
    case TSaveAnswer::Cancel:
        break;
    }
    return TCloseResult::Stay;
}

bool TEditExerciseLogic::KeepOrDropEdits() {
    MarkNamesChanged();
    if (!SomethingToSave())
        return true;
    switch (
        view_.AskSaveDiscardCancel(Caption(), Text(kFileChanged) + "\r\n" + Text(kSaveQuestion))) {
    case TSaveAnswer::Yes:
        if (newFile_)
            return SaveAs();
        if (NamesProblem(true) || !WriteFile())
            return false;
        fileState_ = TFileState::Saved;
        return true;
    case TSaveAnswer::No:
        return true;
    case TSaveAnswer::Cancel:
        break;
    }
    return false;
}

void TEditExerciseLogic::Close() {
    handler_.Clear();
}

} // namespace lexaro
