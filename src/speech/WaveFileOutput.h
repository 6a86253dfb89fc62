#pragma once

#include "speech/AudioOutput.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace lexaro {

// An audio output that keeps each spoken text as a clip and, given a folder, also writes it
// there as speech_<n>.wav. Used by tests and tools where nothing may be played aloud.
class TWaveFileOutput : public TAudioOutput {
public:
    explicit TWaveFileOutput(int sampleRate, std::string folder = {});

    int SampleRate() const override { return sampleRate_; }
    void Write(const std::int16_t* samples, std::size_t count) override;
    void EndOfText() override;
    void Discard() override;
    void SetVolume(double factor) override;

    // Waits until at least n texts are complete; false on timeout.
    bool WaitForTexts(std::size_t n, std::chrono::milliseconds timeout);
    std::vector<std::vector<std::int16_t>> Clips() const;
    std::size_t TextCount() const;

private:
    const int sampleRate_;
    const std::string folder_;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::int16_t> current_;
    std::vector<std::vector<std::int16_t>> clips_;
    double volume_ = 1.0;
};

// The bytes of a 16-bit mono PCM WAV file.
std::vector<std::uint8_t> MakeWav(const std::vector<std::int16_t>& samples, int sampleRate);
// The header of such a file whose samples take dataBytes; the samples follow it.
inline constexpr std::size_t kWavHeaderBytes = 44;
std::vector<std::uint8_t> WavHeader(std::uint32_t dataBytes, int sampleRate);

} // namespace lexaro
