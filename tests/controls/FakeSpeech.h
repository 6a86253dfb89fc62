#pragma once

// A speech engine on the scripted control of the speech tests, with sample sentences, for
// the settings dialog's voice pages.

#include "speech/FakeControl.h"
#include "speech/RegistryStore.h"
#include "speech/SpeechEngine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lexaro::test {

inline FakeMode VoiceMode(std::string name, std::string language, std::int32_t minSpeed,
                          std::int32_t maxSpeed, std::int32_t minPitch, std::int32_t maxPitch,
                          std::int32_t sampleKey = 0x409) {
    FakeMode mode;
    mode.Name = std::move(name);
    mode.Language = std::move(language);
    mode.MinSpeed = minSpeed;
    mode.MaxSpeed = maxSpeed;
    mode.MinPitch = minPitch;
    mode.MaxPitch = maxPitch;
    mode.SampleKey = sampleKey;
    return mode;
}

// A mode of an engine the program does not know: it gets no voice, so the voices after it
// have mode numbers above their positions.
inline FakeMode ForeignMode() {
    FakeMode mode;
    mode.EngineId = "11111111-2222-3333-4444-555555555555";
    mode.Name = "Foreign";
    return mode;
}

// Positions 1 "Anna (English)" (mode 1, speed 100..300, pitch 50..250), 2 "Karl (German)"
// (mode 3, espeak-ng's ranges), 3 "Tiny (Test)" (mode 4, ranges narrower than 20).
inline std::vector<FakeMode> StandardModes() {
    return {VoiceMode("Anna", "English", 100, 300, 50, 250), ForeignMode(),
            VoiceMode("Karl", "German", 80, 450, 0, 100, 0x407),
            VoiceMode("Tiny", "Test", 10, 25, 0, 10, 0x40C)};
}

inline const char* const kSampleSentences = "[HKEY_LOCAL_MACHINE\\Software\\Voice]\n"
                                            "409=Hello there.\n"
                                            "407=Guten Tag.\n"
                                            "40C=Bonjour.\n";

// An opened engine on the scripted control (unless there is no audio). log records every
// call of the control, control is the control the engine owns.
struct FakeSpeech {
    explicit FakeSpeech(std::vector<FakeMode> modes = StandardModes(), bool audio = true) {
        auto store = std::make_shared<TRegistryStore>(TRegistryStore::Parse(kSampleSentences));
        engine = std::make_shared<TSpeechEngine>(
            [this, modes]() -> std::unique_ptr<TDirectSS> {
                auto c = std::make_unique<FakeControl>(modes, &log);
                control = c.get();
                return c;
            },
            audio, store);
        // Open speaks a blank; the tests watch what comes after it.
        if (engine->Open())
            control->Spoken.clear();
        log.clear();
    }
    FakeSpeech(const FakeSpeech&) = delete;
    FakeSpeech& operator=(const FakeSpeech&) = delete;

    std::vector<std::string> log;
    FakeControl* control = nullptr;
    std::shared_ptr<TSpeechEngine> engine;
};

} // namespace lexaro::test
