#pragma once

#include <cstdint>
#include <string>

namespace lexaro {

// One installed text-to-speech mode the program can speak with.
class TTTSVoice {
public:
    TTTSVoice() = default;
    virtual ~TTTSVoice() = default;

    // A tenth above the middle of the pitch range.
    virtual std::int32_t DefaultPitch() const;
    // A fifth below the middle of the speed range.
    virtual std::int32_t DefaultSpeed() const;
    virtual std::int32_t MinPitch() const { return MinPitch_; }
    virtual std::int32_t MaxPitch() const { return MaxPitch_; }
    virtual std::int32_t MinSpeed() const { return MinSpeed_; }
    virtual std::int32_t MaxSpeed() const { return MaxSpeed_; }
    // Called once, right after construction.
    virtual void Init(const std::string& name, const std::string& modeId,
                      const std::string& language, std::int32_t minSpeed, std::int32_t maxSpeed,
                      std::int32_t minPitch, std::int32_t maxPitch, std::int32_t modeNumber) = 0;

    // "Name (Language)": how settings and dialogs refer to the voice.
    std::string DisplayName() const;
    std::int32_t ModeNumber() const { return ModeNumber_; }
    const std::string& Name() const { return Name_; }
    const std::string& ModeId() const { return ModeId_; }
    const std::string& Language() const { return Language_; }

protected:
    std::string Name_ = "default";
    std::string ModeId_ = "{}";
    std::string Language_ = "default";
    std::int32_t ModeNumber_ = -1;
    std::int32_t MinPitch_ = 0;
    std::int32_t MaxPitch_ = 0;
    std::int32_t MinSpeed_ = 0;
    std::int32_t MaxSpeed_ = 0;
};

} // namespace lexaro
