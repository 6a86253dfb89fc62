#pragma once

#include "data/Charset.h"
#include "speech/AudioOutput.h"
#include "speech/MsSapiInt.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lexaro {

// The speech control on espeak-ng. Its modes are espeak-ng's voices (without the MBROLA
// ones) in order of name, reported under the standard engine identifier. Texts are
// synthesised on espeak-ng's own thread and handed to the audio output; Speak returns at
// once and texts follow each other in the order given.
//
// espeak-ng is one per process: it is started with the first control and stays up for the
// rest of the run, and only one control can exist at a time (a second one throws
// TSpeechError).
class TEspeakControl : public TDirectSS {
public:
    // The version of the espeak-ng library linked ("1.51"); asks nothing of the engine.
    static std::string LibraryVersion();
    static constexpr std::int32_t kMinSpeed = 80; // words per minute, as espeak-ng clamps
    static constexpr std::int32_t kMaxSpeed = 450;
    static constexpr std::int32_t kMinPitch = 0;
    static constexpr std::int32_t kMaxPitch = 100;
    static constexpr std::int32_t kMaxVolume = 0xFFFF;
    static constexpr int kSampleRate = 22050; // espeak-ng's voices all speak at this rate

    // dataPath: espeak-ng's data folder, or empty for the installed one.
    explicit TEspeakControl(std::shared_ptr<TAudioOutput> output, const std::string& dataPath = {});
    ~TEspeakControl() override;
    TEspeakControl(const TEspeakControl&) = delete;
    TEspeakControl& operator=(const TEspeakControl&) = delete;

    std::int32_t ModeCount() override;
    std::string EngineID(std::int32_t mode) override;
    std::string ModeName(std::int32_t mode) override;
    std::string ModeID(std::int32_t mode) override;
    std::string Language(std::int32_t mode) override;
    std::int32_t SampleKey(std::int32_t mode) override;
    void Select(std::int32_t mode) override;
    void Speak(const std::u16string& text) override;
    std::int32_t Pitch() override { return pitch_; }
    void SetPitch(std::int32_t value) override;
    std::int32_t MinPitch() override { return kMinPitch; }
    std::int32_t MaxPitch() override { return kMaxPitch; }
    std::int32_t Speed() override { return speed_; }
    void SetSpeed(std::int32_t value) override;
    std::int32_t MinSpeed() override { return kMinSpeed; }
    std::int32_t MaxSpeed() override { return kMaxSpeed; }
    std::int32_t VolumeLeft() override { return volumeLeft_; }
    void SetVolumeLeft(std::int32_t value) override;
    std::int32_t MaxVolumeLeft() override { return kMaxVolume; }
    std::int32_t VolumeRight() override { return volumeRight_; }
    void SetVolumeRight(std::int32_t value) override;
    std::int32_t MaxVolumeRight() override { return kMaxVolume; }

    // True once every text handed over is synthesised; false on timeout. For tools and
    // tests: the program itself never waits.
    bool WaitUntilDone(std::chrono::milliseconds timeout);

private:
    struct Mode {
        std::string Name;       // Windows-1252
        std::string Identifier; // espeak-ng's voice file, e.g. gmw/de
        std::string Language;   // Windows-1252, readable
        std::int32_t SampleKey = 0;
    };
    struct Job {
        std::string Voice;
        std::int32_t Speed = 0;
        std::int32_t Pitch = 0;
        std::string Utf8Text;
    };

    friend struct EspeakCallbacks;
    // On espeak-ng's thread: samples of the running text (wav may be null), and whether
    // the text numbered `text` ended with them. False asks espeak-ng to stop.
    bool OnAudio(const short* wav, int numSamples, bool ended, std::uint64_t text);
    static void StartSynthesiser(const std::string& dataPath);
    void LoadModes();
    const Mode& ModeAt(std::int32_t mode) const;
    void Run();
    void ApplyVolume();

    std::shared_ptr<TAudioOutput> output_;
    std::vector<Mode> modes_;
    std::int32_t current_ = 0;
    std::int32_t pitch_ = 50;
    std::int32_t speed_ = 175;
    std::int32_t volumeLeft_ = kMaxVolume;
    std::int32_t volumeRight_ = kMaxVolume;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool synthDone_ = false;
    std::uint64_t textNumber_ = 0; // of the text being synthesised
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};

} // namespace lexaro
