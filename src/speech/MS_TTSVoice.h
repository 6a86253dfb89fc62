#pragma once

#include "speech/TTSVoice.h"

namespace lexaro {

// A voice of the standard engine: name and language come from the control.
class TMS_TTSVoice : public TTTSVoice {
public:
    void Init(const std::string& name, const std::string& modeId, const std::string& language,
              std::int32_t minSpeed, std::int32_t maxSpeed, std::int32_t minPitch,
              std::int32_t maxPitch, std::int32_t modeNumber) override;
};

} // namespace lexaro
