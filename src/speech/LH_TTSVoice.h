#pragma once

#include "data/Vector.h"
#include "speech/RegEntryStr.h"
#include "speech/TTSVoice.h"

#include <memory>
#include <string>

namespace lexaro {

// A voice whose name and language are described in the registry: a value whose data is the
// braced mode identifier names the voice, a LANGUAGE value beside it gives the language.
class TLH_TTSVoice : public TTTSVoice {
public:
    explicit TLH_TTSVoice(std::shared_ptr<const TVector<TRegEntryStr>> regEntries);

    // Uses the registry entries and then lets go of them: they belong to discovery.
    void Init(const std::string& name, const std::string& modeId, const std::string& language,
              std::int32_t minSpeed, std::int32_t maxSpeed, std::int32_t minPitch,
              std::int32_t maxPitch, std::int32_t modeNumber) override;

    const std::string& RegKey() const { return RegKey_; }

private:
    void FindNameInRegistry();
    void FindLanguageInRegistry();

    std::shared_ptr<const TVector<TRegEntryStr>> RegEntries_;
    std::string RegKey_;
};

} // namespace lexaro
