#include "speech/MS_TTSVoice.h"

namespace lexaro {

void TMS_TTSVoice::Init(const std::string& name, const std::string& modeId,
                        const std::string& language, std::int32_t minSpeed, std::int32_t maxSpeed,
                        std::int32_t minPitch, std::int32_t maxPitch, std::int32_t modeNumber) {
    Name_ = name;
    ModeId_ = modeId;
    Language_ = language;
    MinSpeed_ = minSpeed;
    MaxSpeed_ = maxSpeed;
    MinPitch_ = minPitch;
    MaxPitch_ = maxPitch;
    ModeNumber_ = modeNumber;
}

} // namespace lexaro
