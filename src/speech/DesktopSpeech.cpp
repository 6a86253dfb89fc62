#include "speech/DesktopSpeech.h"

#include "data/FileUtil.h"
#include "speech/EspeakControl.h"
#include "speech/QtAudioOutput.h"
#include "speech/RegistryStore.h"
#include "speech/SpeechEngine.h"

namespace lexaro {

std::unique_ptr<TSpeechEngine>
MakeDesktopSpeechEngine(const std::filesystem::path& resourceFolder) {
    auto output = std::make_shared<TQtAudioOutput>(TEspeakControl::kSampleRate);
    const bool audioPresent = output->Start();
    auto store =
        std::make_shared<TRegistryStore>(TRegistryStore::Load(resourceFolder / "Lexaro.Reg"));
    // The control is created by the engine's first Open, and again after a failed one.
    auto factory = [output]() -> std::unique_ptr<TDirectSS> {
        return std::make_unique<TEspeakControl>(output);
    };
    auto engine = std::make_unique<TSpeechEngine>(factory, audioPresent, std::move(store));
    engine->SetLibraryName("espeak-ng " + TEspeakControl::LibraryVersion());
    return engine;
}

} // namespace lexaro
