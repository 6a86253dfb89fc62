#pragma once

// lexaro-lang speak: lessons as one listening track. For each pair in use, the first text in
// the first voice, a pause, the second text in the second voice and a longer pause; texts
// are spoken by the program's speech engine (TSpeechEngine), so their [..] and (..) parts are
// left out as in the exercise. The track is written as it is spoken: WAV always, OGG Vorbis
// and FLAC through libsndfile where the build has it. Nothing here parses arguments.

#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "speech/AudioOutput.h"
#include "speech/MsSapiInt.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lexaro {

// espeak-ng's voices all speak at this rate; the track has it too.
inline constexpr int kTrackSampleRate = 22050;

// Makes the speech control that speaks into output. Throws when it cannot.
using TTrackControlFactory =
    std::function<std::unique_ptr<TDirectSS>(std::shared_ptr<TAudioOutput> output)>;

enum class TTrackFormat { Wav, Ogg, Flac };

// The format that OUT's extension asks for (.wav, .ogg/.oga, .flac, in any case).
std::optional<TTrackFormat> TrackFormatOf(const std::filesystem::path& path);
// False when this build cannot write the format (OGG and FLAC need libsndfile).
bool TrackFormatAvailable(TTrackFormat format);
const char* TrackFormatName(TTrackFormat format);

// A track written as it comes: samples in, and at the end a file that appears whole (written
// atomically) or not at all.
class TTrackWriter {
public:
    virtual ~TTrackWriter() = default;
    virtual TFileResult Write(const std::int16_t* samples, std::size_t count) = 0;
    virtual TFileResult Finish() = 0;
    // Samples written so far.
    virtual std::uint64_t Samples() const = 0;
};

// Opens a writer for path in the format (overwrite: an existing file may be replaced).
TFileResult OpenTrackWriter(const std::filesystem::path& path, TTrackFormat format, bool overwrite,
                            std::unique_ptr<TTrackWriter>& writer);

struct TTrackVoice {
    std::string name; // the engine's display name (Windows-1252)
    std::int32_t speed = 0;
    std::int32_t pitch = 0;
};

struct TTrackPlan {
    std::vector<std::pair<std::string, std::string>> pairs; // stored texts, in page
    const TCodePage* page = &TCodePage::Western();
    TTrackVoice voice1, voice2;
    std::int32_t pauseMs = 1000; // after the first text
    std::int32_t gapMs = 2500;   // after the second text
};

class TSpeechEngine;
class TTrackOutput;

// The program's speech engine on a control whose audio lands in a track.
class TTrackSpeaker {
public:
    explicit TTrackSpeaker(TTrackControlFactory makeControl);
    ~TTrackSpeaker();
    TTrackSpeaker(const TTrackSpeaker&) = delete;
    TTrackSpeaker& operator=(const TTrackSpeaker&) = delete;

    // Starts the engine and its voices; false when the speech control cannot start.
    bool Open();
    // The engine, once open: its voices and their ranges.
    TSpeechEngine& Engine() { return *engine_; }

    // Speaks the plan into the writer, progress(done, total) after each pair. Gives an empty
    // string, or why it stopped (a write that failed, a voice that cannot be selected, a track
    // the format cannot hold); the writer is not finished here.
    std::string Render(const TTrackPlan& plan, TTrackWriter& writer,
                       const std::function<void(std::size_t, std::size_t)>& progress);

private:
    std::shared_ptr<TTrackOutput> output_;
    std::unique_ptr<TSpeechEngine> engine_;
};

} // namespace lexaro
