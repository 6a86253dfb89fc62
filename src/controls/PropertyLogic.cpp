#include "controls/PropertyLogic.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "data/CodePage.h"
#include "speech/SpeechEngine.h"

#include <algorithm>
#include <limits>

namespace lexaro {

namespace {

constexpr std::array<std::uint32_t, kFontColourCount> kFontColours{
    0x000000, // black
    0x000080, // navy
    0x0000FF, // blue
    0x008000, // green
    0x00FF00, // lime
    0x800080, // purple
    0xFF00FF, // fuchsia
    0x800000, // maroon
    0xFF0000, // red
    0x008080, // teal
    0x00FFFF, // aqua
    0x808000, // olive
    0xFFFF00, // yellow
};

constexpr std::array<std::string_view, 5> kFontNames{"Times New Roman", "Arial", "MS Serif",
                                                     "MS Sans Serif", "Helv"};
constexpr std::array<std::string_view, 5> kFontSizes{"10", "12", "14", "16", "18"};
constexpr std::array<std::string_view, 2> kFontStyles{"Normal", "Italic"};

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& list, std::string_view text) {
    const auto it = std::find(list.begin(), list.end(), text);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

bool InList(int index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

} // namespace

// ---- General page ----

std::int32_t ClampDelay(std::int32_t seconds) {
    return std::clamp(seconds, kDelayMin, kDelayMax);
}

std::string DelayLabelText(std::string_view prefix, std::int32_t seconds) {
    return std::string(prefix) + " : " + std::to_string(seconds) + " s";
}

std::int32_t VoicePresentIndex(std::int32_t stored) {
    return stored >= 0 && stored <= 2 ? stored : 0;
}

TGeneralPageState LoadGeneralPage(const TGeneralProperty& stored) {
    TGeneralPageState page;
    page.delayPresent = ClampDelay(stored.DelayPresent);
    page.delayAnswer = ClampDelay(stored.DelayAnswer);
    page.voiceAnswer = stored.VoiceAnswer;
    page.letterAnswer = stored.LetterAnswer;
    page.writeAnswer = stored.WriteAnswer;
    page.autoPresent = !stored.WriteAnswer && stored.AutoPresent;
    page.ignoreAccents = stored.IgnoreAccents;
    page.prioritiesFromAnswers = stored.PrioritiesFromAnswers;
    page.commaSeparates = stored.CommaSeparates;
    page.voicePresent = VoicePresentIndex(stored.VoicePresent);
    page.showTable = stored.ShowTable;
    return page;
}

void StoreGeneralPage(const TGeneralPageState& page, TGeneralProperty& stored) {
    stored.DelayPresent = ClampDelay(page.delayPresent);
    stored.VoiceAnswer = page.voiceAnswer;
    stored.LetterAnswer = page.letterAnswer;
    stored.AutoPresent = page.autoPresent;
    stored.DelayAnswer = ClampDelay(page.delayAnswer);
    stored.VoicePresent = VoicePresentIndex(page.voicePresent);
    stored.ShowTable = page.showTable;
    stored.WriteAnswer = page.writeAnswer;
    if (page.writeAnswer)
        stored.AutoPresent = false;
    stored.IgnoreAccents = page.ignoreAccents;
    stored.PrioritiesFromAnswers = page.prioritiesFromAnswers;
    stored.CommaSeparates = page.commaSeparates;
}

// ---- Font page ----

std::uint32_t FontColourRgb(std::int32_t index) {
    if (!InList(index, kFontColours.size()))
        index = TFontProperty{}.Color;
    return kFontColours[static_cast<std::size_t>(index)];
}

TFontPageModel::TFontPageModel(TFontProperty stored) : stored_(std::move(stored)) {}

const std::array<std::string_view, 5>& TFontPageModel::FontNames() {
    return kFontNames;
}

const std::array<std::string_view, 5>& TFontPageModel::Sizes() {
    return kFontSizes;
}

const std::array<std::string_view, 2>& TFontPageModel::Styles() {
    return kFontStyles;
}

void TFontPageModel::Fill() {
    if (filled_ || closing_)
        return;
    const TFontProperty defaults;
    choice_.font = IndexOf(kFontNames, stored_.Font);
    if (choice_.font < 0)
        choice_.font = IndexOf(kFontNames, defaults.Font);
    choice_.style = InList(stored_.Style, kFontStyles.size()) ? stored_.Style : defaults.Style;
    choice_.colour = InList(stored_.Color, kFontColours.size()) ? stored_.Color : defaults.Color;
    choice_.size = IndexOf(kFontSizes, std::to_string(stored_.Size));
    if (choice_.size < 0)
        choice_.size = IndexOf(kFontSizes, std::to_string(defaults.Size));
    filled_ = true;
}

void TFontPageModel::Choose(const TFontChoice& choice) {
    if (InList(choice.font, kFontNames.size()))
        choice_.font = choice.font;
    if (InList(choice.size, kFontSizes.size()))
        choice_.size = choice.size;
    if (InList(choice.style, kFontStyles.size()))
        choice_.style = choice.style;
    if (InList(choice.colour, kFontColours.size()))
        choice_.colour = choice.colour;
}

std::string TFontPageModel::PreviewText() const {
    const TFontPreview preview = Preview();
    return preview.text;
}

TFontPreview TFontPageModel::Preview() const {
    const TFontProperty record = Result();
    TFontPreview preview;
    preview.family = record.Font;
    preview.serif = record.Font == kFontNames[0] || record.Font == kFontNames[2];
    preview.pixelHeight = record.Size;
    preview.rgb = FontColourRgb(record.Color);
    preview.bold = true;
    preview.italic = record.Style != 0;
    const std::string& style = styleNames_[record.Style == 0 ? 0 : 1];
    preview.text = record.Font + " - " + style + " - " + std::to_string(record.Size);
    return preview;
}

TFontProperty TFontPageModel::Result() const {
    if (!filled_)
        return stored_;
    TFontProperty record;
    record.Color = choice_.colour;
    record.Font = std::string(kFontNames[static_cast<std::size_t>(choice_.font)]);
    record.Size = std::stoi(std::string(kFontSizes[static_cast<std::size_t>(choice_.size)]));
    record.Style = choice_.style;
    return record;
}

// ---- Voice pages ----

std::int32_t VoiceTickStep(std::int32_t min, std::int32_t max) {
    const long long step = (static_cast<long long>(max) - min) / 20;
    return step < 1 ? 1
                    : static_cast<std::int32_t>(
                          std::min<long long>(step, std::numeric_limits<std::int32_t>::max()));
}

TVoicePageModel::TVoicePageModel(std::shared_ptr<TSpeechEngine> engine, TVoiceProperty stored,
                                 std::string noVoiceText)
    : engine_(std::move(engine)), stored_(std::move(stored)), noVoice_(std::move(noVoiceText)) {}

std::vector<std::string> TVoicePageModel::OfferedEntries() const {
    std::vector<std::string> entries{noVoice_};
    if (engine_ && engine_->IsOpen()) {
        const std::vector<std::string>& names = engine_->VoiceNames();
        entries.insert(entries.end(), names.begin(), names.end());
    }
    return entries;
}

void TVoicePageModel::Fill() {
    if (filled_ || closing_)
        return;
    engineOpen_ = engine_ && engine_->IsOpen();
    entries_ = OfferedEntries();
    index_ = 0;
    if (engineOpen_) {
        const auto it = std::find(entries_.begin(), entries_.end(), stored_.Voice);
        if (it != entries_.end())
            index_ = static_cast<int>(it - entries_.begin());
        if (index_ >= 1) {
            SetRanges(index_);
            SetSpeed(stored_.Speed);
            SetPitch(stored_.Pitch);
        }
    }
    filled_ = true;
}

std::string TVoicePageModel::SelectedText() const {
    return InList(index_, entries_.size()) ? entries_[static_cast<std::size_t>(index_)]
                                           : std::string();
}

void TVoicePageModel::SetRanges(int index) {
    const auto apply = [](TVoiceSlider& slider, std::int32_t min, std::int32_t max) {
        // The first call may only reach part of a range far from the old one; the second
        // completes it.
        slider.range = SetSliderRange(slider.range, min, max);
        slider.tickStep = VoiceTickStep(min, max);
        slider.range = SetSliderRange(slider.range, min, max);
    };
    apply(speed_, engine_->VoiceMinSpeed(index), engine_->VoiceMaxSpeed(index));
    apply(pitch_, engine_->VoiceMinPitch(index), engine_->VoiceMaxPitch(index));
}

void TVoicePageModel::Select(int index) {
    if (!filled_ || !engineOpen_ || !InList(index, entries_.size()))
        return;
    index_ = index;
    if (index_ < 1)
        return;
    SetRanges(index_);
    if (SelectedText() != stored_.Voice) {
        SetSpeed(engine_->VoiceDefaultSpeed(index_));
        SetPitch(engine_->VoiceDefaultPitch(index_));
    } else {
        SetSpeed(stored_.Speed);
        SetPitch(stored_.Pitch);
    }
}

void TVoicePageModel::Defaults() {
    if (!VoiceControlsEnabled())
        return;
    SetSpeed(engine_->VoiceDefaultSpeed(index_));
    SetPitch(engine_->VoiceDefaultPitch(index_));
}

void TVoicePageModel::SetSpeed(int position) {
    speed_.range.position = ClampToRange(speed_.range, position);
}

void TVoicePageModel::SetPitch(int position) {
    pitch_.range.position = ClampToRange(pitch_.range, position);
}

void TVoicePageModel::Test() {
    if (!VoiceControlsEnabled())
        return;
    engine_->SpeakSample(index_, speed_.range.position, pitch_.range.position);
}

TVoiceProperty TVoicePageModel::Result() const {
    if (!filled_ || !engineOpen_)
        return stored_;
    TVoiceProperty record;
    record.Pitch = pitch_.range.position;
    record.Speed = speed_.range.position;
    record.Voice = SelectedText();
    return record;
}

// ---- The dialog ----

TPropertyDlgModel::TPropertyDlgModel(std::shared_ptr<TAppIniFile> settings,
                                     std::shared_ptr<const TAppLangHandler> texts,
                                     std::shared_ptr<TSpeechEngine> speech)
    : settings_(std::move(settings)), texts_(std::move(texts)),
      general_(LoadGeneralPage(settings_->general)), font_(settings_->font) {
    general_.codePage = settings_->CodePage;
    if (texts_ && texts_->HasTexts())
        font_.SetStyleNames({Text(property_text::kStyleNormal), Text(property_text::kStyleItalic)});
    const std::string noVoice = Text(property_text::kNoVoice);
    for (std::size_t i = 0; i < voices_.size(); ++i)
        voices_[i] = std::make_unique<TVoicePageModel>(speech, settings_->voices[i], noVoice);
}

std::string TPropertyDlgModel::Text(std::int32_t number) const {
    return texts_ ? texts_->GetText(number) : std::string(kMissingText);
}

std::string TPropertyDlgModel::AppTitle() const {
    return settings_->appTitle;
}

std::string TPropertyDlgModel::NoSpeechNotice() const {
    return Text(property_text::kNoSpeech) + "\n" + Text(property_text::kNoSpeechDetail);
}

std::string TPropertyDlgModel::BlankedText(std::int32_t number) const {
    return " " + Text(number) + " ";
}

std::string TPropertyDlgModel::DelayPrefix() const {
    return texts_ && texts_->HasTexts() ? Text(property_text::kDelayPrefix)
                                        : std::string(kDelayPrefix);
}

std::string TPropertyDlgModel::FontPageCaption() const {
    return Text(property_text::kFont);
}

std::string TPropertyDlgModel::VoicePageCaption(int page) const {
    const std::string& language = page == 0 ? settings_->exercise.Lang1 : settings_->exercise.Lang2;
    return TCodePage::Western().ToUtf8(Text(property_text::kVoice)) + " " +
           TCodePage::Get(settings_->CodePage).ToUtf8(language);
}

std::vector<std::pair<std::int32_t, std::string>> TPropertyDlgModel::CodePageChoices() const {
    std::vector<std::pair<std::int32_t, std::string>> choices;
    std::int32_t text = property_text::kCodePageNames;
    for (const int number : TCodePage::kSingleByte)
        choices.emplace_back(number, TCodePage::Western().ToUtf8(Text(text++)));
    choices.emplace_back(TCodePage::kUtf8,
                         TCodePage::Western().ToUtf8(Text(property_text::kUnicodeName)));
    return choices;
}

void TPropertyDlgModel::Save(const TGeneralPageState& general) {
    StoreGeneralPage(general, settings_->general);
    // Nothing is written by the change itself: the files are read through the new code page
    // from now on, and written in it only when the learner saves an edit.
    if (TCodePage::Find(general.codePage) != nullptr)
        settings_->CodePage = general.codePage;
    settings_->font = font_.Result();
    settings_->voices[0] = voices_[0]->Result();
    settings_->voices[1] = voices_[1]->Result();
}

void TPropertyDlgModel::MarkClosing() {
    font_.MarkClosing();
    for (const auto& voice : voices_)
        voice->MarkClosing();
}

} // namespace lexaro
