#include "exercise/ExerciseSpeech.h"

#include "speech/SpeechEngine.h"

namespace lexaro {

TEngineSpeech::TEngineSpeech(std::shared_ptr<TSpeechEngine> engine) : engine_(std::move(engine)) {}

bool TEngineSpeech::IsOpen() const {
    return engine_ && engine_->IsOpen();
}

bool TEngineSpeech::SelectVoiceByName(const std::string& displayName) {
    return engine_ && engine_->SelectVoiceByName(displayName);
}

void TEngineSpeech::SetPitch(std::int32_t value) {
    if (engine_)
        engine_->SetPitch(value);
}

void TEngineSpeech::SetSpeed(std::int32_t value) {
    if (engine_)
        engine_->SetSpeed(value);
}

void TEngineSpeech::Speak(const std::string& text, const TCodePage& page) {
    if (engine_)
        engine_->Speak(text, page);
}

bool TEngineSpeech::HasSoundOutput() const {
    // Without an engine nothing is known about the sound output.
    return !engine_ || engine_->AudioIsPresent();
}

} // namespace lexaro
