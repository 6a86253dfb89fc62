#pragma once

#include "speech/MsSapiInt.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lexaro::test {

// One scripted mode of the fake control.
struct FakeMode {
    std::string EngineId = kMsEngineId;
    std::string Name = "Voice";
    std::string ModeId = "MODE";
    std::string Language = "English";
    std::int32_t SampleKey = 0x409;
    std::int32_t MinPitch = 0, MaxPitch = 100, MinSpeed = 80, MaxSpeed = 450;
};

// A speech control that plays back a script and records every call, in order.
class FakeControl : public TDirectSS {
public:
    explicit FakeControl(std::vector<FakeMode> modes, std::vector<std::string>* log)
        : modes_(std::move(modes)), log_(log) {}

    std::vector<std::u16string> Spoken;
    bool FailSpeak = false;
    bool FailRanges = false;

    std::int32_t ModeCount() override {
        Log("ModeCount");
        return static_cast<std::int32_t>(modes_.size());
    }
    std::string EngineID(std::int32_t m) override { return At(m, "EngineID").EngineId; }
    std::string ModeName(std::int32_t m) override { return At(m, "ModeName").Name; }
    std::string ModeID(std::int32_t m) override { return At(m, "ModeID").ModeId; }
    std::string Language(std::int32_t m) override { return At(m, "Language").Language; }
    std::int32_t SampleKey(std::int32_t m) override { return At(m, "SampleKey").SampleKey; }
    void Select(std::int32_t m) override {
        At(m, "Select");
        current_ = m;
    }
    void Speak(const std::u16string& text) override {
        Log("Speak");
        if (FailSpeak)
            throw TSpeechError("The speech control refused the text");
        Spoken.push_back(text);
    }
    std::int32_t Pitch() override { return pitch_; }
    void SetPitch(std::int32_t v) override {
        Log("SetPitch " + std::to_string(v));
        pitch_ = v;
    }
    std::int32_t MinPitch() override { return Current("MinPitch").MinPitch; }
    std::int32_t MaxPitch() override { return Current("MaxPitch").MaxPitch; }
    std::int32_t Speed() override { return speed_; }
    void SetSpeed(std::int32_t v) override {
        Log("SetSpeed " + std::to_string(v));
        speed_ = v;
    }
    std::int32_t MinSpeed() override { return Current("MinSpeed").MinSpeed; }
    std::int32_t MaxSpeed() override { return Current("MaxSpeed").MaxSpeed; }
    std::int32_t VolumeLeft() override { return left_; }
    void SetVolumeLeft(std::int32_t v) override {
        Log("SetVolumeLeft " + std::to_string(v));
        left_ = v;
    }
    std::int32_t MaxVolumeLeft() override { return 0xFFFF; }
    std::int32_t VolumeRight() override { return right_; }
    void SetVolumeRight(std::int32_t v) override {
        Log("SetVolumeRight " + std::to_string(v));
        right_ = v;
    }
    std::int32_t MaxVolumeRight() override { return 0xFFFF; }

    std::int32_t pitch_ = 50, speed_ = 175, left_ = 0, right_ = 0;

private:
    void Log(const std::string& s) {
        if (log_)
            log_->push_back(s);
    }
    const FakeMode& At(std::int32_t m, const std::string& what) {
        Log(what + " " + std::to_string(m));
        if (m < 1 || m > static_cast<std::int32_t>(modes_.size()))
            throw TSpeechError("No such mode");
        return modes_[static_cast<std::size_t>(m - 1)];
    }
    const FakeMode& Current(const std::string& what) {
        Log(what);
        if (FailRanges)
            throw TSpeechError("The ranges cannot be read");
        if (current_ < 1)
            throw TSpeechError("No mode is current");
        return modes_[static_cast<std::size_t>(current_ - 1)];
    }

    std::vector<FakeMode> modes_;
    std::vector<std::string>* log_;
    std::int32_t current_ = 0;
};

} // namespace lexaro::test
