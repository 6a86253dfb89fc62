#pragma once

// The program's speech engine as the exercise run speaks through it.

#include "exercise/ExerciseRun.h"

#include <memory>

namespace lexaro {

class TSpeechEngine;

class TEngineSpeech final : public IExerciseSpeech {
public:
    // Without an engine nothing is open, so every attempt to speak fails.
    explicit TEngineSpeech(std::shared_ptr<TSpeechEngine> engine);

    bool IsOpen() const override;
    bool SelectVoiceByName(const std::string& displayName) override;
    void SetPitch(std::int32_t value) override;
    void SetSpeed(std::int32_t value) override;
    void Speak(const std::string& text, const TCodePage& page) override;
    bool HasSoundOutput() const override;

private:
    std::shared_ptr<TSpeechEngine> engine_;
};

} // namespace lexaro
