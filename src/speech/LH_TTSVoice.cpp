#include "speech/LH_TTSVoice.h"

#include "data/StrUtil.h"

#include <utility>

namespace lexaro {

TLH_TTSVoice::TLH_TTSVoice(std::shared_ptr<const TVector<TRegEntryStr>> regEntries)
    : RegEntries_(std::move(regEntries)) {}

void TLH_TTSVoice::Init(const std::string& /*name*/, const std::string& modeId,
                        const std::string& /*language*/, std::int32_t minSpeed,
                        std::int32_t maxSpeed, std::int32_t minPitch, std::int32_t maxPitch,
                        std::int32_t modeNumber) {
    // The registry holds the identifier in braces; the control reports it without.
    ModeId_ = "{" + modeId + "}";
    ModeNumber_ = modeNumber;
    MinPitch_ = minPitch;
    MaxPitch_ = maxPitch;
    MinSpeed_ = minSpeed;
    MaxSpeed_ = maxSpeed;
    if (RegEntries_) {
        FindNameInRegistry();
        if (!RegKey_.empty())
            FindLanguageInRegistry();
    }
    RegEntries_.reset();
}

void TLH_TTSVoice::FindNameInRegistry() {
    const std::string wanted = UpperCase(ModeId_);
    for (const auto& entry : *RegEntries_) {
        if (entry && UpperCase(entry->ValueData()) == wanted) {
            Name_ = entry->ValueName();
            RegKey_ = entry->KeyPath();
            return;
        }
    }
}

void TLH_TTSVoice::FindLanguageInRegistry() {
    for (const auto& entry : *RegEntries_) {
        if (entry && SameTextUpper(entry->KeyPath(), RegKey_) &&
            UpperCase(entry->ValueName()) == "LANGUAGE") {
            Language_ = entry->ValueData();
            return;
        }
    }
}

} // namespace lexaro
