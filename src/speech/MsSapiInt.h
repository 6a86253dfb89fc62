#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace lexaro {

// A failing call of the speech control. what() is a text that can be shown to the user.
class TSpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The speech control the engine speaks through: a set of modes (voices), numbered from 1,
// one of which is current. Texts are Windows-1252, except the text to speak, which arrives
// as 16-bit characters. Every call may throw TSpeechError.
class TDirectSS {
public:
    virtual ~TDirectSS() = default;

    // Number of modes; they are numbered 1 to this count.
    virtual std::int32_t ModeCount() = 0;
    // Per-mode queries, by mode number.
    virtual std::string EngineID(std::int32_t mode) = 0;
    virtual std::string ModeName(std::int32_t mode) = 0;
    virtual std::string ModeID(std::int32_t mode) = 0;
    virtual std::string Language(std::int32_t mode) = 0;
    virtual std::int32_t SampleKey(std::int32_t mode) = 0;

    // Makes a mode current; the properties below refer to the current mode.
    virtual void Select(std::int32_t mode) = 0;
    // Hands the text over and returns at once; texts are spoken in the order given.
    virtual void Speak(const std::u16string& text) = 0;

    virtual std::int32_t Pitch() = 0;
    virtual void SetPitch(std::int32_t value) = 0;
    virtual std::int32_t MinPitch() = 0;
    virtual std::int32_t MaxPitch() = 0;
    virtual std::int32_t Speed() = 0;
    virtual void SetSpeed(std::int32_t value) = 0;
    virtual std::int32_t MinSpeed() = 0;
    virtual std::int32_t MaxSpeed() = 0;

    virtual std::int32_t VolumeLeft() = 0;
    virtual void SetVolumeLeft(std::int32_t value) = 0;
    virtual std::int32_t MaxVolumeLeft() = 0;
    virtual std::int32_t VolumeRight() = 0;
    virtual void SetVolumeRight(std::int32_t value) = 0;
    virtual std::int32_t MaxVolumeRight() = 0;
};

// Engine identifiers that voice discovery recognises.
inline constexpr const char* kMsEngineId = "E0725551-286F-11d0-8E73-00A0C9083363";
inline constexpr const char* kLhEngineId = "5FB67320-BF4B-11d1-AF19-444553540000";

} // namespace lexaro
