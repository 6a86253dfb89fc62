#pragma once

#include <cstddef>
#include <cstdint>

namespace lexaro {

// Where synthesised speech goes: 16-bit mono samples at a fixed rate. Write and EndOfText
// arrive on the synthesiser's thread, the rest on the user-interface thread, so
// implementations are thread-safe.
class TAudioOutput {
public:
    virtual ~TAudioOutput() = default;

    virtual int SampleRate() const = 0;
    virtual void Write(const std::int16_t* samples, std::size_t count) = 0;
    // One text is complete (also sent for a text that gave no samples).
    virtual void EndOfText() = 0;
    // Drops whatever is waiting to be played.
    virtual void Discard() = 0;
    // 0 silent to 1 full; applies to Lexaro's own output only.
    virtual void SetVolume(double factor) = 0;
};

} // namespace lexaro
