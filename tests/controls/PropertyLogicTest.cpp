// The settings dialog's decisions without widgets: the general page's values, the font page's
// lists and preview, the voice pages on a scripted speech engine, and what saving stores.
#include "FakeSpeech.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "controls/PropertyLogic.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lexaro {
namespace {

using test::FakeSpeech;

std::shared_ptr<TAppLangHandler> ShippedTexts(const std::string& code) {
    auto texts = std::make_shared<TAppLangHandler>();
    EXPECT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
    EXPECT_TRUE(texts->SelectLanguage(code));
    return texts;
}

TEST(GeneralPage, DelaysAreClampedAndLabelled) {
    struct Case {
        std::int32_t stored, shown;
    };
    for (const Case c : {Case{25, 20}, Case{20, 20}, Case{5, 5}, Case{1, 1}, Case{0, 1},
                         Case{-7, 1}, Case{INT32_MAX, 20}}) {
        TGeneralProperty stored;
        stored.DelayPresent = c.stored;
        stored.DelayAnswer = c.stored;
        const TGeneralPageState page = LoadGeneralPage(stored);
        EXPECT_EQ(page.delayPresent, c.shown) << c.stored;
        EXPECT_EQ(page.delayAnswer, c.shown) << c.stored;
        TGeneralProperty saved;
        StoreGeneralPage(page, saved);
        EXPECT_EQ(saved.DelayPresent, c.shown) << c.stored;
        EXPECT_EQ(saved.DelayAnswer, c.shown) << c.stored;
    }
    EXPECT_EQ(DelayLabelText("Delay", 5), "Delay : 5 s");
    EXPECT_EQ(DelayLabelText("Wartezeit", 20), "Wartezeit : 20 s");
}

TEST(GeneralPage, EveryValueRoundTripsAndStrangeVoiceChoicesAreOff) {
    TGeneralProperty stored;
    stored.AutoPresent = true;
    stored.DelayPresent = 7;
    stored.VoiceAnswer = false;
    stored.LetterAnswer = true;
    stored.DelayAnswer = 3;
    stored.VoicePresent = 2;
    stored.ShowTable = false;
    TGeneralPageState page = LoadGeneralPage(stored);
    EXPECT_TRUE(page.DelaysEnabled());
    TGeneralProperty saved;
    StoreGeneralPage(page, saved);
    EXPECT_EQ(saved.AutoPresent, true);
    EXPECT_EQ(saved.DelayPresent, 7);
    EXPECT_EQ(saved.VoiceAnswer, false);
    EXPECT_EQ(saved.LetterAnswer, true);
    EXPECT_EQ(saved.DelayAnswer, 3);
    EXPECT_EQ(saved.VoicePresent, 2);
    EXPECT_EQ(saved.ShowTable, false);

    page.autoPresent = false; // manual presentation: no delays to set
    EXPECT_FALSE(page.DelaysEnabled());

    for (const std::int32_t strange : {-1, 3, 77})
        EXPECT_EQ(VoicePresentIndex(strange), 0) << strange;
}

// Write mode is its own choice: it is shown above a stored AutoPresent, stored with AutoPresent
// off, and keeps its two ticks; the other modes keep them as they were.
TEST(GeneralPage, WriteModeAndItsTicksRoundTrip) {
    TGeneralProperty stored;
    EXPECT_TRUE(LoadGeneralPage(stored).prioritiesFromAnswers) << "on by default";
    stored.AutoPresent = true;
    stored.WriteAnswer = true;
    stored.IgnoreAccents = true;
    stored.PrioritiesFromAnswers = false;
    TGeneralPageState page = LoadGeneralPage(stored);
    EXPECT_TRUE(page.writeAnswer);
    EXPECT_FALSE(page.autoPresent);
    EXPECT_FALSE(page.DelaysEnabled());
    EXPECT_TRUE(page.WriteTicksEnabled());
    TGeneralProperty saved;
    saved.AutoPresent = true;
    StoreGeneralPage(page, saved);
    EXPECT_TRUE(saved.WriteAnswer);
    EXPECT_FALSE(saved.AutoPresent);
    EXPECT_TRUE(saved.IgnoreAccents);
    EXPECT_FALSE(saved.PrioritiesFromAnswers);

    page.writeAnswer = false;
    page.autoPresent = true;
    EXPECT_TRUE(page.DelaysEnabled());
    EXPECT_FALSE(page.WriteTicksEnabled());
    StoreGeneralPage(page, saved);
    EXPECT_FALSE(saved.WriteAnswer);
    EXPECT_TRUE(saved.AutoPresent);
    EXPECT_TRUE(saved.IgnoreAccents) << "the ticks keep their values for the next time";
}

TEST(FontPage, StoredRecordSelectsItsListsAndStrangeValuesFallBackOneByOne) {
    struct Case {
        const char* what;
        TFontProperty stored;
        TFontChoice shown;
        TFontProperty saved;
    };
    const Case cases[] = {
        {"offered values", {"MS Serif", 0, 8, 18}, {2, 4, 0, 8}, {"MS Serif", 0, 8, 18}},
        {"defaults", {}, {0, 2, 1, 2}, {}},
        {"unknown font", {"Comic Sans", 0, 3, 10}, {0, 0, 0, 3}, {"Times New Roman", 0, 3, 10}},
        {"font names are exact", {"arial", 0, 0, 12}, {0, 1, 0, 0}, {"Times New Roman", 0, 0, 12}},
        {"size not offered", {"Arial", 0, 0, 13}, {1, 2, 0, 0}, {"Arial", 0, 0, 14}},
        {"style outside", {"Helv", 2, 12, 16}, {4, 3, 1, 12}, {"Helv", 1, 12, 16}},
        {"colour outside", {"Helv", 1, 13, 16}, {4, 3, 1, 2}, {"Helv", 1, 2, 16}},
        {"negative colour", {"Helv", -1, -1, -14}, {4, 2, 1, 2}, {"Helv", 1, 2, 14}},
    };
    for (const auto& c : cases) {
        TFontPageModel page(c.stored);
        // Not shown: the record goes back exactly as it came, strange values and all.
        EXPECT_EQ(page.Result().Font, c.stored.Font) << c.what;
        EXPECT_EQ(page.Result().Size, c.stored.Size) << c.what;
        page.Fill();
        EXPECT_EQ(page.Choice(), c.shown) << c.what;
        const TFontProperty saved = page.Result();
        EXPECT_EQ(saved.Font, c.saved.Font) << c.what;
        EXPECT_EQ(saved.Style, c.saved.Style) << c.what;
        EXPECT_EQ(saved.Color, c.saved.Color) << c.what;
        EXPECT_EQ(saved.Size, c.saved.Size) << c.what;
    }
}

TEST(FontPage, PreviewFollowsTheLists) {
    TFontPageModel page(TFontProperty{"Times New Roman", 0, 2, 14});
    page.Fill();
    TFontPreview preview = page.Preview();
    EXPECT_EQ(preview.text, "Times New Roman - Normal - 14");
    EXPECT_EQ(preview.family, "Times New Roman");
    EXPECT_TRUE(preview.serif);
    EXPECT_EQ(preview.pixelHeight, 14);
    EXPECT_EQ(preview.rgb, 0x0000FFu);
    EXPECT_TRUE(preview.bold); // style 0 draws bold
    EXPECT_FALSE(preview.italic);

    page.Choose({1, 4, 1, 12}); // Arial, 18, Italic, yellow
    preview = page.Preview();
    EXPECT_EQ(preview.text, "Arial - Italic - 18");
    EXPECT_FALSE(preview.serif);
    EXPECT_EQ(preview.pixelHeight, 18);
    EXPECT_EQ(preview.rgb, 0xFFFF00u);
    EXPECT_TRUE(preview.bold);
    EXPECT_TRUE(preview.italic);

    page.Choose({-1, 9, 2, -1}); // positions outside the lists change nothing
    EXPECT_EQ(page.Choice(), (TFontChoice{1, 4, 1, 12}));
    const TFontProperty saved = page.Result();
    EXPECT_EQ(saved.Font, "Arial");
    EXPECT_EQ(saved.Size, 18);
    EXPECT_EQ(saved.Style, 1);
    EXPECT_EQ(saved.Color, 12);

    EXPECT_EQ(FontColourRgb(0), 0x000000u);
    EXPECT_EQ(FontColourRgb(9), 0x008080u);
    EXPECT_EQ(FontColourRgb(13), FontColourRgb(2));
}

TEST(FontPage, AClosingPageNeverFillsItself) {
    TFontPageModel page(TFontProperty{"Arial", 0, 0, 10});
    page.MarkClosing();
    page.Fill();
    EXPECT_FALSE(page.Filled());
    EXPECT_EQ(page.Result().Font, "Arial");
}

TVoiceProperty Stored(std::string voice, std::int32_t speed = 0, std::int32_t pitch = 0) {
    return {std::move(voice), speed, pitch};
}

TEST(VoicePage, ListPositionsAreEnginePositions) {
    FakeSpeech speech;
    TVoicePageModel page(speech.engine, Stored("Karl (German)", 200, 40), "no Voice");
    page.Fill();
    EXPECT_EQ(page.Entries(), (std::vector<std::string>{"no Voice", "Anna (English)",
                                                        "Karl (German)", "Tiny (Test)"}));
    EXPECT_EQ(page.Index(), 2);
    EXPECT_TRUE(page.VoiceControlsEnabled());
    EXPECT_TRUE(page.ListEnabled());
    EXPECT_FALSE(page.NoticeDue());

    // The test button speaks Karl's sample: his mode is 3, past the foreign mode.
    page.Test();
    EXPECT_NE(std::find(speech.log.begin(), speech.log.end(), "Select 3"), speech.log.end());
    EXPECT_NE(std::find(speech.log.begin(), speech.log.end(), "SetSpeed 200"), speech.log.end());
    EXPECT_NE(std::find(speech.log.begin(), speech.log.end(), "SetPitch 40"), speech.log.end());
    ASSERT_EQ(speech.control->Spoken.size(), 1u);
    EXPECT_EQ(speech.control->Spoken[0], u"Guten Tag.");
}

TEST(VoicePage, RangesCountTwentiethsAndStoredZeroSitsAtTheLowEnds) {
    FakeSpeech speech;
    TVoicePageModel page(speech.engine, Stored("Anna (English)"), "no Voice");
    // Before the first showing the sliders stand at 60..80.
    EXPECT_EQ(page.Speed().range, kVoiceSliderStart);
    page.Fill();
    EXPECT_EQ(page.Speed(), (TVoiceSlider{{100, 300, 100}, 10}));
    EXPECT_EQ(page.Pitch(), (TVoiceSlider{{50, 250, 50}, 10}));
    const TVoiceProperty saved = page.Result();
    EXPECT_EQ(saved.Voice, "Anna (English)");
    EXPECT_EQ(saved.Speed, 100);
    EXPECT_EQ(saved.Pitch, 50);

    EXPECT_EQ(VoiceTickStep(80, 450), 18);
    EXPECT_EQ(VoiceTickStep(10, 25), 1); // narrower than 20: single units
    EXPECT_EQ(VoiceTickStep(5, 5), 1);
    EXPECT_EQ(VoiceTickStep(50, 10), 1);
    EXPECT_EQ(VoiceTickStep(INT32_MIN, INT32_MAX), 214748364);
}

TEST(VoicePage, AnotherVoiceBringsItsDefaultsAndTheStoredOneItsValuesBack) {
    FakeSpeech speech;
    TVoicePageModel page(speech.engine, Stored("Anna (English)", 250, 120), "no Voice");
    page.Fill();
    EXPECT_EQ(page.Speed().range.position, 250);
    EXPECT_EQ(page.Pitch().range.position, 120);

    page.Select(2); // Karl: espeak-ng's ranges and defaults
    EXPECT_EQ(page.Speed(), (TVoiceSlider{{80, 450, 212}, 18}));
    EXPECT_EQ(page.Pitch(), (TVoiceSlider{{0, 100, 55}, 5}));

    page.Select(3); // Tiny: a range wholly below the previous one is reached all the same
    EXPECT_EQ(page.Speed(), (TVoiceSlider{{10, 25, 14}, 1}));
    EXPECT_EQ(page.Pitch(), (TVoiceSlider{{0, 10, 5}, 1}));

    page.Select(1); // back to the stored voice: its speed and pitch, not its defaults
    EXPECT_EQ(page.Speed(), (TVoiceSlider{{100, 300, 250}, 10}));
    EXPECT_EQ(page.Pitch(), (TVoiceSlider{{50, 250, 120}, 10}));

    page.SetSpeed(999); // a slider never leaves its range
    EXPECT_EQ(page.Speed().range.position, 300);
    page.Defaults();
    EXPECT_EQ(page.Speed().range.position, 160);
    EXPECT_EQ(page.Pitch().range.position, 165);

    page.Select(4); // outside the list: nothing changes
    page.Select(-1);
    EXPECT_EQ(page.Index(), 1);
}

TEST(VoicePage, TheNoVoiceEntryDisablesTheVoiceControlsAndIsSaved) {
    FakeSpeech speech;
    TVoicePageModel page(speech.engine, Stored("Karl (German)", 200, 40), "keine Stimme");
    page.Fill();
    page.Select(0);
    EXPECT_FALSE(page.VoiceControlsEnabled());
    EXPECT_TRUE(page.ListEnabled());
    page.Test();
    page.Defaults();
    EXPECT_TRUE(speech.control->Spoken.empty());
    EXPECT_EQ(page.Result().Voice, "keine Stimme");
}

TEST(VoicePage, AVoiceThatIsNoLongerInstalledSelectsNoVoice) {
    for (const std::string stored : {"Peter (Dutch)", "karl (german)", "no Voice", ""}) {
        FakeSpeech speech;
        TVoicePageModel page(speech.engine, Stored(stored, 200, 40), "no Voice");
        page.Fill();
        EXPECT_EQ(page.Index(), 0) << stored;
        EXPECT_EQ(page.SelectedText(), "no Voice") << stored;
        EXPECT_FALSE(page.VoiceControlsEnabled()) << stored;
        EXPECT_EQ(page.Speed().range, kVoiceSliderStart) << stored;
    }
}

TEST(VoicePage, WithoutAnOpenEngineThePageStaysDisabledAndChangesNothing) {
    FakeSpeech silent(test::StandardModes(), false); // no audio output: never opens
    std::shared_ptr<TSpeechEngine> none;
    for (const auto& engine : {silent.engine, none}) {
        TVoicePageModel page(engine, Stored("Karl (German)", 200, 40), "no Voice");
        EXPECT_EQ(page.OfferedEntries(), std::vector<std::string>{"no Voice"});
        EXPECT_FALSE(page.NoticeDue()); // only once the page is shown
        page.Fill();
        EXPECT_TRUE(page.NoticeDue());
        EXPECT_EQ(page.Entries(), std::vector<std::string>{"no Voice"});
        EXPECT_EQ(page.Index(), 0);
        EXPECT_FALSE(page.ListEnabled());
        EXPECT_FALSE(page.VoiceControlsEnabled());
        page.Select(0);
        page.Test();
        // The learner could not choose anything: the stored voice survives a save.
        const TVoiceProperty saved = page.Result();
        EXPECT_EQ(saved.Voice, "Karl (German)");
        EXPECT_EQ(saved.Speed, 200);
        EXPECT_EQ(saved.Pitch, 40);
    }
}

TEST(VoicePage, FailuresOfTheEngineReachTheCaller) {
    FakeSpeech speech;
    TVoicePageModel page(speech.engine, Stored("Anna (English)"), "no Voice");
    page.Fill();
    speech.control->FailSpeak = true;
    EXPECT_THROW(page.Test(), TSpeechError);
}

class DialogModel : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_shared<TAppIniFile>(dir.path(), nullptr);
        settings->exercise.Lang1 = "English";
        settings->exercise.Lang2 = "Deutsch";
        settings->general.DelayPresent = 25;
        settings->general.VoicePresent = 1;
        settings->font = {"Wingdings", 7, 40, 99};
        settings->voices[0] = Stored("Anna (English)", 7, 8);
        settings->voices[1] = Stored("Gone (Nowhere)", -3, 999);
    }

    test::TempDir dir;
    std::shared_ptr<TAppIniFile> settings;
    FakeSpeech speech;
};

TEST_F(DialogModel, SavingWithoutOpeningThePagesKeepsTheirRecords) {
    TPropertyDlgModel model(settings, ShippedTexts("EN"), speech.engine);
    EXPECT_EQ(model.General().delayPresent, 20);
    model.Save(model.General());
    EXPECT_EQ(settings->general.DelayPresent, 20);
    EXPECT_EQ(settings->general.VoicePresent, 1);
    EXPECT_EQ(settings->font.Font, "Wingdings");
    EXPECT_EQ(settings->font.Style, 7);
    EXPECT_EQ(settings->font.Color, 40);
    EXPECT_EQ(settings->font.Size, 99);
    EXPECT_EQ(settings->voices[0].Voice, "Anna (English)");
    EXPECT_EQ(settings->voices[0].Speed, 7);
    EXPECT_EQ(settings->voices[1].Voice, "Gone (Nowhere)");
    EXPECT_EQ(settings->voices[1].Pitch, 999);
}

TEST_F(DialogModel, OpenedPagesAreSavedFromTheirLists) {
    TPropertyDlgModel model(settings, ShippedTexts("DE"), speech.engine);
    model.Font().Fill();
    model.Voice(1).Fill();
    TGeneralPageState general = model.General();
    general.autoPresent = true;
    general.delayAnswer = 9;
    model.Save(general);
    EXPECT_TRUE(settings->general.AutoPresent);
    EXPECT_EQ(settings->general.DelayAnswer, 9);
    EXPECT_EQ(settings->font.Font, "Times New Roman"); // every value fell back
    EXPECT_EQ(settings->font.Size, 14);
    EXPECT_EQ(settings->voices[0].Voice, "Anna (English)"); // never opened
    EXPECT_EQ(settings->voices[0].Speed, 7);
    EXPECT_EQ(settings->voices[1].Voice, "keine Stimme"); // the German no-voice entry
}

TEST_F(DialogModel, CaptionsComeFromTheWindowTexts) {
    const TPropertyDlgModel english(settings, ShippedTexts("EN"), speech.engine);
    EXPECT_EQ(english.Text(property_text::kCaption), "General settings - exercise");
    EXPECT_EQ(english.DelayPrefix(), "Delay");
    EXPECT_EQ(english.BlankedText(property_text::kPresentation), " Presentation ");
    EXPECT_EQ(english.FontPageCaption(), "Font");
    EXPECT_EQ(english.VoicePageCaption(0), "Voice English");
    EXPECT_EQ(english.VoicePageCaption(1), "Voice Deutsch");

    const TPropertyDlgModel german(settings, ShippedTexts("DE"), speech.engine);
    EXPECT_EQ(german.DelayPrefix(), "Wartezeit");
    EXPECT_EQ(german.VoicePageCaption(1), "Stimme Deutsch");

    // Without texts the delay labels keep their own prefix.
    const TPropertyDlgModel bare(settings, nullptr, nullptr);
    EXPECT_EQ(bare.DelayPrefix(), "Delay");
    EXPECT_EQ(bare.Text(property_text::kFont), "????");
}

TEST_F(DialogModel, ClosingStopsEveryPageFromFillingItself) {
    TPropertyDlgModel model(settings, ShippedTexts("EN"), speech.engine);
    model.MarkClosing();
    model.Font().Fill();
    model.Voice(0).Fill();
    model.Voice(1).Fill();
    EXPECT_FALSE(model.Font().Filled());
    EXPECT_FALSE(model.Voice(0).Filled());
    EXPECT_FALSE(model.Voice(1).NoticeDue());
}

} // namespace
} // namespace lexaro
