#pragma once

// The general settings dialog without its widgets: what each page shows, the rules that
// enable its controls, and what saving stores. The dialog and its pages call these objects
// and render what they report.

#include "controls/ControlMetrics.h"
#include "exercise/ExerciseData.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lexaro {

class TAppIniFile;
class TAppLangHandler;
class TSpeechEngine;

// Window texts of the dialog and its pages, by number.
namespace property_text {
inline constexpr std::int32_t kHelpHint = 12;
inline constexpr std::int32_t kCaption = 24;
inline constexpr std::int32_t kPresentation = 25;
inline constexpr std::int32_t kManual = 26;
inline constexpr std::int32_t kAutomatic = 27;
inline constexpr std::int32_t kDelayPresentHint = 28;
inline constexpr std::int32_t kDelayPrefix = 29;
inline constexpr std::int32_t kVoiceOutput = 30;
inline constexpr std::int32_t kVoiceOutputHint = 31;
inline constexpr std::int32_t kVoiceOff = 32;
inline constexpr std::int32_t kVoiceWithoutText = 33;
inline constexpr std::int32_t kVoiceAndText = 34;
inline constexpr std::int32_t kSolution = 35;
inline constexpr std::int32_t kVoiceAnswer = 36;
inline constexpr std::int32_t kVoiceAnswerHint = 37;
inline constexpr std::int32_t kLetterAnswer = 38;
inline constexpr std::int32_t kLetterAnswerHint = 39;
inline constexpr std::int32_t kDelayAnswerHint = 40;
inline constexpr std::int32_t kGeneral = 41;
inline constexpr std::int32_t kShowTable = 42;
inline constexpr std::int32_t kShowTableHint = 43;
inline constexpr std::int32_t kCloseHint = 44;
inline constexpr std::int32_t kSaveHint = 45;
inline constexpr std::int32_t kFont = 120;
inline constexpr std::int32_t kSize = 121;
inline constexpr std::int32_t kStyle = 122;
inline constexpr std::int32_t kColour = 123;
inline constexpr std::int32_t kVoice = 124;
inline constexpr std::int32_t kSpeed = 125;
inline constexpr std::int32_t kPitch = 126;
inline constexpr std::int32_t kNoVoice = 127;
inline constexpr std::int32_t kTest = 128;
inline constexpr std::int32_t kDefaults = 129;
inline constexpr std::int32_t kNoSpeech = 130;
inline constexpr std::int32_t kNoSpeechDetail = 131;
inline constexpr std::int32_t kCodePage = 174;
inline constexpr std::int32_t kCodePageHint = 175;
// The names of the code pages 1250, 1251, 1252, 1253, 1254 and 1257, in that order, and of
// Unicode (65001).
inline constexpr std::int32_t kCodePageNames = 176;
inline constexpr std::int32_t kUnicodeName = 244;
// The font styles' names in the style list and the preview: normal, italic.
inline constexpr std::int32_t kStyleNormal = 220;
inline constexpr std::int32_t kStyleItalic = 221;
inline constexpr std::int32_t kWrite = 182;
inline constexpr std::int32_t kIgnoreAccents = 186;
inline constexpr std::int32_t kPrioritiesFromAnswers = 187;
inline constexpr std::int32_t kWriteHint = 188;
inline constexpr std::int32_t kCommaSeparates = 218;
inline constexpr std::int32_t kCommaSeparatesHint = 219;
} // namespace property_text

// ---- General page ----

inline constexpr std::int32_t kDelayMin = 1;
inline constexpr std::int32_t kDelayMax = 20;
// The delay labels' prefix until the window texts give theirs.
inline constexpr const char* kDelayPrefix = "Delay";

// The delay bars take 1 to 20 seconds; a stored value outside is shown (and saved) at the
// nearer end.
std::int32_t ClampDelay(std::int32_t seconds);
// "Delay : 5 s": prefix, " : ", seconds, " s".
std::string DelayLabelText(std::string_view prefix, std::int32_t seconds);
// The voice output choice 0 (off), 1 (voice without text) or 2 (voice and text); any other
// stored number shows, and is saved, as 0: the exercise speaks nothing for it either.
std::int32_t VoicePresentIndex(std::int32_t stored);

// What the general page shows, and what saving takes from it.
struct TGeneralPageState {
    // The presentation: manual, automatic, or Write (then never automatic).
    bool autoPresent = false;
    bool writeAnswer = false;
    bool ignoreAccents = false;
    bool prioritiesFromAnswers = true;
    bool commaSeparates = false;
    std::int32_t delayPresent = 10;
    bool voiceAnswer = true;
    bool letterAnswer = false;
    std::int32_t delayAnswer = 10;
    std::int32_t voicePresent = 0;
    bool showTable = true;
    // The code page of the language files: one of TCodePage::kNumbers.
    std::int32_t codePage = 1252;

    // The delay bars and their labels work only with automatic presentation.
    bool DelaysEnabled() const { return autoPresent && !writeAnswer; }
    // The ticks of Write mode work only with it.
    bool WriteTicksEnabled() const { return writeAnswer; }
    friend bool operator==(const TGeneralPageState&, const TGeneralPageState&) = default;
};
TGeneralPageState LoadGeneralPage(const TGeneralProperty& stored);
// In the order the dialog always saved them: DelayPresent, VoiceAnswer, LetterAnswer,
// AutoPresent, DelayAnswer, VoicePresent, ShowTable; then Write mode's four. Write mode is
// stored as WriteAnswer with AutoPresent off.
void StoreGeneralPage(const TGeneralPageState& page, TGeneralProperty& stored);

// ---- Font page ----

inline constexpr int kFontColourCount = 13;
// The text colour table as 0xRRGGBB: black, navy, blue, green, lime, purple, fuchsia, maroon,
// red, teal, aqua, olive, yellow. An index outside gives the default colour's entry.
std::uint32_t FontColourRgb(std::int32_t index);

// The positions chosen in the four lists (-1: none).
struct TFontChoice {
    int font = -1;
    int size = -1;
    int style = -1;
    int colour = -1;

    friend bool operator==(const TFontChoice&, const TFontChoice&) = default;
};

// How the preview draws: always bold, italic as well for the second style.
struct TFontPreview {
    std::string text;
    std::string family;
    bool serif = false; // for the font matching when the family is not installed
    int pixelHeight = 0;
    std::uint32_t rgb = 0;
    bool bold = true;
    bool italic = false;
};

class TFontPageModel {
public:
    explicit TFontPageModel(TFontProperty stored);

    static const std::array<std::string_view, 5>& FontNames();
    static const std::array<std::string_view, 5>& Sizes();
    static const std::array<std::string_view, 2>& Styles();

    // The first showing: the lists select the stored record. A value that is not offered
    // (another font, size, style or colour) selects that value's default instead, so the
    // preview and a save always have a whole record.
    void Fill();
    bool Filled() const { return filled_; }
    // The dialog closes: the page no longer fills itself.
    void MarkClosing() { closing_ = true; }
    bool Closing() const { return closing_; }

    // A list changed; positions outside a list are ignored.
    void Choose(const TFontChoice& choice);
    const TFontChoice& Choice() const { return choice_; }

    // The styles as the list and the preview name them (Windows-1252; the UI language's
    // names when given, else "Normal" and "Italic"). The settings store the position.
    void SetStyleNames(std::array<std::string, 2> names) { styleNames_ = std::move(names); }
    const std::array<std::string, 2>& StyleNames() const { return styleNames_; }

    // "Times New Roman - Normal - 14".
    std::string PreviewText() const;
    TFontPreview Preview() const;
    // Rebuilt from the lists once the page has been shown; the record as received otherwise.
    TFontProperty Result() const;

private:
    TFontProperty stored_;
    TFontChoice choice_;
    std::array<std::string, 2> styleNames_{std::string(Styles()[0]), std::string(Styles()[1])};
    bool filled_ = false;
    bool closing_ = false;
};

// ---- Voice pages ----

// The speed and pitch sliders before any voice is chosen: 60..80 at 60, tick step 1.
inline constexpr TSliderRange kVoiceSliderStart{60, 80, 60};
// Slider tick steps count twentieths of a voice's range; a range narrower than 20 counts
// single units.
std::int32_t VoiceTickStep(std::int32_t min, std::int32_t max);

struct TVoiceSlider {
    TSliderRange range = kVoiceSliderStart;
    int tickStep = 1;

    friend bool operator==(const TVoiceSlider&, const TVoiceSlider&) = default;
};

// One voice page. List index i is the engine's voice position i; index 0 is the no-voice
// entry.
class TVoicePageModel {
public:
    TVoicePageModel(std::shared_ptr<TSpeechEngine> engine, TVoiceProperty stored,
                    std::string noVoiceText);

    // The entries the page will offer (the no-voice entry and, with an open engine, every
    // voice), without filling the page; for sizing the dialog.
    std::vector<std::string> OfferedEntries() const;

    // The first showing: fills the list, selects the stored voice (the no-voice entry when it
    // is not installed) and puts its ranges and the stored speed and pitch on the sliders.
    void Fill();
    bool Filled() const { return filled_; }
    void MarkClosing() { closing_ = true; }
    bool Closing() const { return closing_; }
    // Whether the speech engine was open when the page filled itself.
    bool EngineOpen() const { return engineOpen_; }
    // The notice the page shows once, when it filled itself without an engine; empty else.
    bool NoticeDue() const { return filled_ && !engineOpen_; }

    const std::vector<std::string>& Entries() const { return entries_; }
    int Index() const { return index_; }
    std::string SelectedText() const;
    // The voice list changed. Another voice brings its ranges and its default speed and pitch;
    // the stored voice brings its ranges and the stored speed and pitch back.
    void Select(int index);
    // The sliders take the voice's default speed and pitch.
    void Defaults();
    // The learner moved a slider; the position is clamped into its range.
    void SetSpeed(int position);
    void SetPitch(int position);
    const TVoiceSlider& Speed() const { return speed_; }
    const TVoiceSlider& Pitch() const { return pitch_; }

    // Sliders and both buttons: an open engine and a voice chosen. The list: an open engine.
    bool VoiceControlsEnabled() const { return engineOpen_ && index_ >= 1; }
    bool ListEnabled() const { return engineOpen_; }

    // Speaks the voice's sample sentence with the sliders' speed and pitch. Throws what the
    // engine throws (a failing control, a sample sentence that is not text).
    void Test();

    // Rebuilt from the page once it has been shown with an open engine; the record as
    // received otherwise (a page without an engine cannot change anything).
    TVoiceProperty Result() const;
    const TVoiceProperty& Stored() const { return stored_; }

private:
    void SetRanges(int index);

    std::shared_ptr<TSpeechEngine> engine_;
    TVoiceProperty stored_;
    std::string noVoice_;
    std::vector<std::string> entries_;
    int index_ = -1;
    TVoiceSlider speed_;
    TVoiceSlider pitch_;
    bool engineOpen_ = false;
    bool filled_ = false;
    bool closing_ = false;
};

// ---- The dialog ----

// The whole dialog: its texts, the general page's values and the three pages' models.
// Saving copies every value into the settings in memory; the file is written when the
// program ends.
class TPropertyDlgModel {
public:
    // texts and speech may be null (no texts: "????" captions and the "Delay" prefix).
    TPropertyDlgModel(std::shared_ptr<TAppIniFile> settings,
                      std::shared_ptr<const TAppLangHandler> texts,
                      std::shared_ptr<TSpeechEngine> speech);

    std::string Text(std::int32_t number) const;
    // The window texts (may be null), for controls that fetch their own captions.
    const TAppLangHandler* Texts() const { return texts_.get(); }
    // The caption of the program's messages.
    std::string AppTitle() const;
    // What a voice page says once when it fills itself without a speech engine: text 130, a
    // line break, text 131.
    std::string NoSpeechNotice() const;
    // " " + text + " " for group captions.
    std::string BlankedText(std::int32_t number) const;
    std::string DelayPrefix() const;
    std::string FontPageCaption() const;
    // Text 124, a blank and the language's name (Lang1 for page 0, Lang2 for page 1), in UTF-8:
    // the name is in the language file's code page.
    std::string VoicePageCaption(int page) const;
    // The code pages offered, as their names in the UI language (UTF-8) with their numbers.
    std::vector<std::pair<std::int32_t, std::string>> CodePageChoices() const;

    const TGeneralPageState& General() const { return general_; }
    TFontPageModel& Font() { return font_; }
    const TFontPageModel& Font() const { return font_; }
    TVoicePageModel& Voice(int page) { return *voices_.at(static_cast<std::size_t>(page)); }

    // Stores the general page as given, then the font record, then both voice records.
    void Save(const TGeneralPageState& general);
    // The dialog closes: no page fills itself from now on.
    void MarkClosing();

private:
    std::shared_ptr<TAppIniFile> settings_;
    std::shared_ptr<const TAppLangHandler> texts_;
    TGeneralPageState general_;
    TFontPageModel font_;
    std::array<std::unique_ptr<TVoicePageModel>, 2> voices_;
};

} // namespace lexaro
