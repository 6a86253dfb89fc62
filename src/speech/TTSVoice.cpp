#include "speech/TTSVoice.h"

namespace lexaro {

// Integer division truncates toward zero, so negative ranges round the same way as positive.
std::int32_t TTTSVoice::DefaultPitch() const {
    const std::int32_t mid = MinPitch_ + (MaxPitch_ - MinPitch_) / 2;
    return mid + mid / 10;
}

std::int32_t TTTSVoice::DefaultSpeed() const {
    const std::int32_t mid = MinSpeed_ + (MaxSpeed_ - MinSpeed_) / 2;
    return mid - mid / 5;
}

std::string TTTSVoice::DisplayName() const {
    return Name_ + " (" + Language_ + ")";
}

} // namespace lexaro
