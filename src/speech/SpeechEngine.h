#pragma once

#include "data/CodePage.h"
#include "data/StrUtil.h"
#include "data/StrVector.h"
#include "data/Vector.h"
#include "speech/MsSapiInt.h"
#include "speech/RegistryStore.h"
#include "speech/TTSVoice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lexaro {

// Registry key paths below HKEY_LOCAL_MACHINE.
inline constexpr const char* kLhVoiceKey = "Software\\L&H\\TTS\\V6.0\\Voice";
inline constexpr const char* kSampleTextKey = "Software\\Voice";

// Creates the speech control; throws (any std::exception) when it cannot be created.
using TControlFactory = std::function<std::unique_ptr<TDirectSS>()>;

// The program's only way to speak. Lives on the user-interface thread; the control speaks
// in the background and the engine never waits for it.
//
// Voices are addressed by 1-based position in the voice list; calls into the control use a
// voice's mode number, which differs from its position once a mode was skipped.
class TSpeechEngine {
public:
    // audioPresent: an audio output answered; without it the engine never opens.
    // registry: the store the voice descriptions and sample sentences are read from (may be
    // null: then there are none).
    TSpeechEngine(TControlFactory createControl, bool audioPresent,
                  std::shared_ptr<const TRegistryStore> registry);
    ~TSpeechEngine();
    TSpeechEngine(const TSpeechEngine&) = delete;
    TSpeechEngine& operator=(const TSpeechEngine&) = delete;

    // Creates the control and discovers the voices on first use; after a failure the next
    // call tries again. Never throws; returns IsOpen().
    bool Open();
    void Close();
    bool IsOpen() const { return Opened; }
    bool AudioIsPresent() const { return AudioPresent; }

    // Display names of the voices in list order; filled once.
    const std::vector<std::string>& VoiceNames();
    std::int32_t VoiceCount() const { return static_cast<std::int32_t>(Voices.Count()); }
    // Position queries (1-based); -1 for a position outside the list.
    std::int32_t VoiceMinPitch(std::int32_t p) const;
    std::int32_t VoiceMaxPitch(std::int32_t p) const;
    std::int32_t VoiceMinSpeed(std::int32_t p) const;
    std::int32_t VoiceMaxSpeed(std::int32_t p) const;
    std::int32_t VoiceDefaultPitch(std::int32_t p) const;
    std::int32_t VoiceDefaultSpeed(std::int32_t p) const;
    // The language the control names for voice p ("English (Great Britain)"); empty outside the
    // list.
    std::string VoiceLanguage(std::int32_t p) const;

    // Mode number of the first voice whose display name equals name exactly; -1 if none.
    std::int32_t FindVoice(const std::string& displayName) const;
    // Makes mode m current at full volume. False for m <= 0 unless m is already current.
    // A failure of the control is thrown (TSpeechError).
    bool SelectVoice(std::int32_t modeNumber);
    bool SelectVoiceByName(const std::string& displayName);
    // Out-of-range values and failures of the control are ignored.
    void SetPitch(std::int32_t value);
    void SetSpeed(std::int32_t value);
    // Speaks stored text of that code page (Western European unless given) without its [..]
    // and (..) parts; returns at once. A failure of the control is thrown (TSpeechError).
    void Speak(const std::string& text, const TCodePage& page = TCodePage::Western());
    // Sample sentence key of voice p; -1 when closed or p is outside the list. A failure of
    // the control is thrown (TSpeechError).
    std::int32_t SampleKey(std::int32_t p);
    // Speaks the sample sentence of voice p with that speed and pitch. Throws TRegistryError
    // when a sample sentence in the store is not text (nothing is spoken then).
    void SpeakSample(std::int32_t p, std::int32_t speed, std::int32_t pitch);

    // The speech library and its version ("espeak-ng 1.51"), for the About box; empty when
    // the engine was not told.
    const std::string& LibraryName() const { return libraryName_; }
    void SetLibraryName(std::string name) { libraryName_ = std::move(name); }

private:
    std::string libraryName_;
    std::shared_ptr<TTTSVoice> VoiceAt(std::int32_t p) const;
    TVector<TTTSVoice> LoadVoices(TDirectSS& control) const;
    void LoadSampleTexts();

    bool AudioPresent;
    bool Opened = false;
    std::unique_ptr<TDirectSS> Control;
    TVector<TTTSVoice> Voices;
    TStrVector SampleTexts;
    DelimiterPairs BracketPairs;
    std::vector<std::string> VoiceNameList;
    std::int32_t CurrentMode = -2;

    TControlFactory CreateControl;
    std::shared_ptr<const TRegistryStore> Registry;
};

} // namespace lexaro
