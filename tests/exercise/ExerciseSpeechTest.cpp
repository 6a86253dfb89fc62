#include "exercise/ExerciseSpeech.h"

#include "speech/FakeControl.h"
#include "speech/SpeechEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace lexaro {
namespace {

TEST(EngineSpeech, WithoutAnEngineNothingIsOpen) {
    TEngineSpeech speech(nullptr);
    EXPECT_FALSE(speech.IsOpen());
    EXPECT_FALSE(speech.SelectVoiceByName("Anna (English)"));
    speech.SetPitch(1);
    speech.SetSpeed(1);
    speech.Speak("nothing", TCodePage::Western());
    EXPECT_TRUE(speech.HasSoundOutput()) << "nothing is known of the output";
}

// Only an engine that found no audio output at all says there is no sound output.
TEST(EngineSpeech, TellsWhenNoSoundOutputCouldBeOpened) {
    for (const bool audio : {true, false}) {
        auto engine = std::make_shared<TSpeechEngine>(
            []() -> std::unique_ptr<TDirectSS> {
                return std::make_unique<test::FakeControl>(std::vector<test::FakeMode>{}, nullptr);
            },
            audio, nullptr);
        EXPECT_EQ(TEngineSpeech(engine).HasSoundOutput(), audio);
    }
}

// The run hears a refusal of the speech control as an exception.
TEST(EngineSpeech, SpeaksThroughTheEngineAndPassesItsFailuresOn) {
    test::FakeControl* control = nullptr;
    bool failSpeak = false;
    test::FakeMode anna;
    anna.Name = "Anna";
    auto engine = std::make_shared<TSpeechEngine>(
        [&]() -> std::unique_ptr<TDirectSS> {
            auto c =
                std::make_unique<test::FakeControl>(std::vector<test::FakeMode>{anna}, nullptr);
            c->FailSpeak = failSpeak;
            control = c.get();
            return c;
        },
        true, nullptr);
    TEngineSpeech speech(engine);
    EXPECT_FALSE(speech.IsOpen()) << "the main window opens the engine";
    ASSERT_TRUE(engine->Open());
    EXPECT_TRUE(speech.IsOpen());
    EXPECT_FALSE(speech.SelectVoiceByName("Nobody"));
    ASSERT_TRUE(speech.SelectVoiceByName("Anna (English)"));
    speech.SetPitch(60);
    speech.SetSpeed(200);
    speech.Speak("H\xE4user", TCodePage::Western());
    EXPECT_EQ(control->pitch_, 60);
    EXPECT_EQ(control->speed_, 200);
    ASSERT_FALSE(control->Spoken.empty());
    EXPECT_EQ(control->Spoken.back(), u"H\u00E4user");
    // Text of another code page is spoken as the characters it stands for.
    speech.Speak("\xEA\xEE\xF8\xEA\xE0", TCodePage::Get(1251));
    EXPECT_EQ(control->Spoken.back(), u"\u043A\u043E\u0448\u043A\u0430");
    control->FailSpeak = true;
    EXPECT_THROW(speech.Speak("again", TCodePage::Western()), TSpeechError);
}

} // namespace
} // namespace lexaro
