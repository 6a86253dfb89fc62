// The settings dialog on the real espeak-ng voices: how its pages look in both languages (a
// picture of each page lands in the build folder), and the voice pages with and without an
// audio output.
#include "DialogFixture.h"
#include "LayoutCheck.h"

#include "app_ui/AppFolderFixture.h"
#include "controls/PropertyDlg.h"
#include "controls/T_FontTabSheet.h"
#include "controls/T_MComboBox.h"
#include "controls/T_MHSlider.h"
#include "controls/T_VoiceTabSheet.h"
#include "speech/EspeakControl.h"
#include "speech/QtAudioOutput.h"
#include "speech/RegistryStore.h"
#include "speech/WaveFileOutput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace lexaro {
namespace {

using namespace std::chrono_literals;

const std::string kGerman = "German (German)";
const std::string kEnglish = "English (Great Britain) (English (Great Britain))";

std::shared_ptr<TRegistryStore> ShippedRegistry() {
    return std::make_shared<TRegistryStore>(TRegistryStore::Load(LEXARO_REGISTRY_FILE));
}

// An engine on espeak-ng that speaks into output; control observes its control.
std::shared_ptr<TSpeechEngine> EspeakEngine(std::shared_ptr<TAudioOutput> output, bool audio,
                                            TEspeakControl** control = nullptr) {
    auto engine = std::make_shared<TSpeechEngine>(
        [output, control]() -> std::unique_ptr<TDirectSS> {
            auto made = std::make_unique<TEspeakControl>(output);
            if (control != nullptr)
                *control = made.get();
            return made;
        },
        audio, ShippedRegistry());
    engine->Open();
    return engine;
}

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Every page in English and German, with the real voices: nothing cut or misplaced. Each page
// is saved as a picture in the build folder for a look by eye.
TEST(SettingsDialogLooks, EveryPageInBothLanguages) {
    auto output = std::make_shared<TWaveFileOutput>(TEspeakControl::kSampleRate);
    auto engine = EspeakEngine(output, true);
    ASSERT_TRUE(engine->IsOpen());
    const QDir shots(QString::fromUtf8(LEXARO_SHOT_DIR));
    ASSERT_TRUE(shots.mkpath("."));
    for (const std::string language : {"EN", "DE"}) {
        testing::MessageRecorder recorder;
        test::DialogFixture fixture(language);
        fixture.settings->voices[0] = {kEnglish, 175, 50};
        fixture.settings->voices[1] = {kGerman, 0, 0};
        TDlgProperty dialog(fixture.Context(engine));
        dialog.show();
        for (int page = 0; page < dialog.tabsheetControl->count(); ++page) {
            dialog.tabsheetControl->setCurrentIndex(page);
            Settle();
            QWidget* shown = dialog.tabsheetControl->currentWidget();
            const std::vector<std::string> problems = test::LayoutProblems(*shown);
            for (const std::string& problem : problems)
                ADD_FAILURE() << language << " page " << page << ": " << problem;
            const QString file =
                shots.filePath(QString("settings-%1-page%2.png").arg(language.c_str()).arg(page));
            EXPECT_TRUE(dialog.grab().save(file)) << file.toStdString();
        }
        // The open lists: colour swatches, and voices with their languages.
        const auto popup = [&](TMComboBox& list, QWidget* page, const char* name) {
            dialog.tabsheetControl->setCurrentWidget(page);
            Settle();
            list.InnerBox()->showPopup();
            Settle();
            const QString file =
                shots.filePath(QString("settings-%1-%2.png").arg(language.c_str(), name));
            EXPECT_TRUE(list.InnerBox()->view()->window()->grab().save(file));
            list.InnerBox()->hidePopup();
        };
        popup(*dialog.fontPage->cbColor, dialog.fontPage, "colours");
        popup(*dialog.voicePage2->cbVoice, dialog.voicePage2, "voices");
        EXPECT_TRUE(test::LayoutProblems(*dialog.btnPanel).empty()) << language;
        EXPECT_TRUE(recorder.messages.empty()) << language;
    }
}

double Seconds(const std::vector<std::int16_t>& clip) {
    return static_cast<double>(clip.size()) / TEspeakControl::kSampleRate;
}

int Peak(const std::vector<std::int16_t>& clip) {
    int peak = 0;
    for (const std::int16_t s : clip)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// Lexaro's own audio output on the default device, keeping a copy of what it is given.
class RecordingOutput : public TAudioOutput {
public:
    explicit RecordingOutput(std::shared_ptr<TQtAudioOutput> device) : device_(std::move(device)) {}

    int SampleRate() const override { return device_->SampleRate(); }
    void Write(const std::int16_t* samples, std::size_t count) override {
        {
            std::lock_guard lock(mutex_);
            samples_.insert(samples_.end(), samples, samples + count);
        }
        device_->Write(samples, count);
    }
    void EndOfText() override { device_->EndOfText(); }
    void Discard() override { device_->Discard(); }
    void SetVolume(double factor) override { device_->SetVolume(factor); }

    // What was written since the last call.
    std::vector<std::int16_t> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(samples_, {});
    }

private:
    std::shared_ptr<TQtAudioOutput> device_;
    std::mutex mutex_;
    std::vector<std::int16_t> samples_;
};

// No audio output answered: the engine never opens, each voice page says so once and offers
// nothing to choose.
TEST(VoicePagesOnEspeak, WithoutAudioOutputEachPageSaysSoOnceAndStaysDisabled) {
    auto engine =
        EspeakEngine(std::make_shared<TWaveFileOutput>(TEspeakControl::kSampleRate), false);
    ASSERT_FALSE(engine->IsOpen());
    testing::MessageRecorder recorder;
    test::DialogFixture fixture;
    fixture.settings->voices[0] = {kGerman, 200, 50};
    TDlgProperty dialog(fixture.Context(engine));
    dialog.show();
    for (TVoiceTabSheet* page : {dialog.voicePage1, dialog.voicePage2, dialog.voicePage1}) {
        dialog.tabsheetControl->setCurrentWidget(page);
        Settle();
        EXPECT_EQ(page->cbVoice->Count(), 1);
        EXPECT_FALSE(page->cbVoice->isEnabled());
        EXPECT_FALSE(page->btnTest->isEnabled());
        EXPECT_FALSE(page->sliderSpeed->isEnabled());
    }
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].caption, "Lexaro");
    dialog.btnSave->click();
    EXPECT_EQ(fixture.settings->voices[0].Voice, kGerman);
}

// The program's path to the ear: the test button speaks the chosen voice's sample sentence
// through the audio output on the default device (the test run's null sink).
TEST(VoicePagesOnEspeak, TheTestButtonSpeaksTheChosenVoiceAloud) {
    auto device = std::make_shared<TQtAudioOutput>(TEspeakControl::kSampleRate);
    if (!device->Start())
        GTEST_SKIP() << "No audio output: no PulseAudio server is reachable "
                        "(scripts/test.sh starts one with a null sink)";
    auto output = std::make_shared<RecordingOutput>(device);
    TEspeakControl* control = nullptr;
    auto engine = EspeakEngine(output, true, &control);
    ASSERT_TRUE(engine->IsOpen());
    ASSERT_TRUE(control->WaitUntilDone(30s));
    output->Take(); // the blank that opening speaks

    testing::MessageRecorder recorder;
    test::DialogFixture fixture;
    fixture.settings->voices[1] = {kGerman, 175, 50};
    TDlgProperty dialog(fixture.Context(engine));
    dialog.show();
    TVoiceTabSheet& page = *dialog.voicePage2;
    dialog.tabsheetControl->setCurrentWidget(&page);
    Settle();
    // Each entry names its voice's language.
    EXPECT_EQ(page.cbVoice->SelectedText().toStdString(), kGerman);
    EXPECT_GT(page.cbVoice->Count(), 50);
    EXPECT_TRUE(page.btnTest->isEnabled());

    const auto say = [&] {
        page.btnTest->click();
        EXPECT_TRUE(control->WaitUntilDone(30s));
        return output->Take();
    };
    const std::int64_t playedBefore = device->Buffer().BytesPlayed();
    const std::vector<std::int16_t> german = say();
    EXPECT_GT(Seconds(german), 2.0);
    EXPECT_GT(Peak(german), 2000);
    // It reaches the device: everything handed over is played.
    QElapsedTimer timer;
    timer.start();
    while (device->Buffer().BytesWaiting() > 0 && timer.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(device->Buffer().BytesWaiting(), 0);
    EXPECT_GE(device->Buffer().BytesPlayed() - playedBefore,
              static_cast<std::int64_t>(german.size() * 2));

    // The same voice, speed and pitch straight from the engine sound the same.
    const auto& names = engine->VoiceNames();
    const auto position = static_cast<std::int32_t>(std::find(names.begin(), names.end(), kGerman) -
                                                    names.begin() + 1);
    engine->SpeakSample(position, page.sliderSpeed->Position(), page.sliderPitch->Position());
    ASSERT_TRUE(control->WaitUntilDone(30s));
    EXPECT_NEAR(Seconds(output->Take()), Seconds(german), 0.01 * Seconds(german));

    // Another voice speaks its own sentence.
    page.cbVoice->SelectText(QString::fromStdString(kEnglish));
    const std::vector<std::int16_t> english = say();
    EXPECT_GT(Seconds(english), 1.0);
    EXPECT_GT(std::abs(Seconds(english) - Seconds(german)), 0.2);
    EXPECT_TRUE(recorder.messages.empty());
}

} // namespace
} // namespace lexaro
