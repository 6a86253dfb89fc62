#include "speech/WaveFileOutput.h"

#include "data/FileUtil.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lexaro {

namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

std::vector<std::uint8_t> WavHeader(std::uint32_t dataBytes, int sampleRate) {
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::vector<std::uint8_t> out;
    out.reserve(kWavHeaderBytes);
    PutTag(out, "RIFF");
    PutLe(out, 36 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, 1, 2); // mono
    PutLe(out, rate, 4);
    PutLe(out, rate * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    return out;
}

std::vector<std::uint8_t> MakeWav(const std::vector<std::int16_t>& samples, int sampleRate) {
    std::vector<std::uint8_t> out =
        WavHeader(static_cast<std::uint32_t>(samples.size() * 2), sampleRate);
    out.reserve(kWavHeaderBytes + samples.size() * 2);
    for (std::int16_t s : samples)
        PutLe(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

TWaveFileOutput::TWaveFileOutput(int sampleRate, std::string folder)
    : sampleRate_(sampleRate), folder_(std::move(folder)) {}

void TWaveFileOutput::Write(const std::int16_t* samples, std::size_t count) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count; ++i)
        current_.push_back(static_cast<std::int16_t>(std::lround(samples[i] * volume_)));
}

void TWaveFileOutput::EndOfText() {
    std::vector<std::int16_t> clip;
    std::size_t number = 0;
    {
        std::lock_guard lock(mutex_);
        clip = std::move(current_);
        current_.clear();
        clips_.push_back(clip);
        number = clips_.size();
    }
    if (!folder_.empty())
        WriteWholeFile(JoinPath(folder_, "speech_" + std::to_string(number) + ".wav"),
                       MakeWav(clip, sampleRate_), true);
    done_.notify_all();
}

void TWaveFileOutput::Discard() {
    std::lock_guard lock(mutex_);
    current_.clear();
}

void TWaveFileOutput::SetVolume(double factor) {
    std::lock_guard lock(mutex_);
    volume_ = std::clamp(factor, 0.0, 1.0);
}

bool TWaveFileOutput::WaitForTexts(std::size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, timeout, [&] { return clips_.size() >= n; });
}

std::vector<std::vector<std::int16_t>> TWaveFileOutput::Clips() const {
    std::lock_guard lock(mutex_);
    return clips_;
}

std::size_t TWaveFileOutput::TextCount() const {
    std::lock_guard lock(mutex_);
    return clips_.size();
}

} // namespace lexaro
