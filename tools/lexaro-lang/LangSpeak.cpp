#include "LangSpeak.h"

#include "data/StrUtil.h"
#include "speech/SpeechEngine.h"
#include "speech/WaveFileOutput.h"

#ifdef LEXARO_HAVE_SNDFILE
#include <sndfile.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>

namespace lexaro {

namespace {

// --- Writers ----------------------------------------------------------------------------

class TWavTrackWriter : public TTrackWriter {
public:
    TFileResult Open(const std::filesystem::path& path, bool overwrite) {
        if (TFileResult opened = file_.Open(path, overwrite); !opened)
            return opened;
        const auto header = WavHeader(0, kTrackSampleRate);
        return file_.Write(header.data(), header.size());
    }
    TFileResult Write(const std::int16_t* samples, std::size_t count) override {
        // The sizes in the header are 32 bits: about 27 hours at this rate.
        constexpr std::uint64_t kMaxSamples =
            (std::numeric_limits<std::uint32_t>::max() - kWavHeaderBytes) / 2;
        if (samples_ + count > kMaxSamples)
            return TFileResult::Failed(FileFault::TooLarge,
                                       "the track is longer than a WAV file can hold (about 27 "
                                       "hours); choose fewer lessons, or OGG or FLAC");
        bytes_.resize(count * 2);
        for (std::size_t i = 0; i < count; ++i) {
            const auto v = static_cast<std::uint16_t>(samples[i]);
            bytes_[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
            bytes_[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
        }
        samples_ += count;
        return file_.Write(bytes_.data(), bytes_.size());
    }
    TFileResult Finish() override {
        const auto header = WavHeader(static_cast<std::uint32_t>(samples_ * 2), kTrackSampleRate);
        if (TFileResult patched = file_.WriteAt(0, header.data(), header.size()); !patched)
            return patched;
        return file_.Commit();
    }
    std::uint64_t Samples() const override { return samples_; }

private:
    TAtomicFileWriter file_;
    std::vector<std::uint8_t> bytes_;
    std::uint64_t samples_ = 0;
};

#ifdef LEXARO_HAVE_SNDFILE
// OGG Vorbis and FLAC through libsndfile, which writes (and seeks) through the descriptor of
// the atomic writer's temporary file.
class TSndfileTrackWriter : public TTrackWriter {
public:
    ~TSndfileTrackWriter() override {
        if (sound_ != nullptr)
            sf_close(sound_);
    }
    TFileResult Open(const std::filesystem::path& path, TTrackFormat format, bool overwrite) {
        if (TFileResult opened = file_.Open(path, overwrite); !opened)
            return opened;
        SF_INFO info{};
        info.samplerate = kTrackSampleRate;
        info.channels = 1;
        info.format = format == TTrackFormat::Ogg ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                                                  : SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        sound_ = sf_open_fd(file_.Descriptor(), SFM_WRITE, &info, SF_FALSE);
        if (sound_ == nullptr)
            return TFileResult::Failed(FileFault::System, sf_strerror(nullptr));
        return {};
    }
    TFileResult Write(const std::int16_t* samples, std::size_t count) override {
        const auto written = sf_write_short(sound_, samples, static_cast<sf_count_t>(count));
        if (written != static_cast<sf_count_t>(count))
            return TFileResult::Failed(FileFault::System, sf_strerror(sound_));
        samples_ += count;
        return {};
    }
    TFileResult Finish() override {
        const int closed = sf_close(sound_);
        sound_ = nullptr;
        if (closed != 0)
            return TFileResult::Failed(FileFault::System, sf_error_number(closed));
        return file_.Commit();
    }
    std::uint64_t Samples() const override { return samples_; }

private:
    TAtomicFileWriter file_;
    SNDFILE* sound_ = nullptr;
    std::uint64_t samples_ = 0;
};
#endif

} // namespace

// --- The output the control speaks into ---------------------------------------------------

// What the synthesiser gives, in order: chunks of samples and the ends of texts. The
// synthesiser's thread fills it and waits while much is waiting; the rendering thread takes
// from it and writes, so synthesis and encoding run side by side.
class TTrackOutput : public TAudioOutput {
public:
    struct Event {
        std::vector<std::int16_t> samples; // empty: the end of a text
    };

    int SampleRate() const override { return kTrackSampleRate; }
    void Write(const std::int16_t* samples, std::size_t count) override {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || waiting_ < kMaxWaiting; });
        if (stopped_ || count == 0)
            return;
        events_.push_back({std::vector<std::int16_t>(samples, samples + count)});
        waiting_ += count;
        changed_.notify_all();
    }
    void EndOfText() override {
        std::lock_guard lock(mutex_);
        events_.push_back({});
        changed_.notify_all();
    }
    void Discard() override {}
    void SetVolume(double) override {}

    // The next event; false when none came within the time.
    bool Next(Event& event, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return !events_.empty(); }))
            return false;
        event = std::move(events_.front());
        events_.pop_front();
        waiting_ -= event.samples.size();
        changed_.notify_all();
        return true;
    }
    // Lets a synthesiser that waits go on and drops whatever comes later.
    void Stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        events_.clear();
        changed_.notify_all();
    }

private:
    static constexpr std::size_t kMaxWaiting = 30 * kTrackSampleRate;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Event> events_;
    std::size_t waiting_ = 0;
    bool stopped_ = false;
};

// --- Formats ----------------------------------------------------------------------------

std::optional<TTrackFormat> TrackFormatOf(const std::filesystem::path& path) {
    const std::string extension = LowerAscii(path.extension().string());
    if (extension == ".wav")
        return TTrackFormat::Wav;
    if (extension == ".ogg" || extension == ".oga")
        return TTrackFormat::Ogg;
    if (extension == ".flac")
        return TTrackFormat::Flac;
    return std::nullopt;
}

bool TrackFormatAvailable(TTrackFormat format) {
#ifdef LEXARO_HAVE_SNDFILE
    (void)format;
    return true;
#else
    return format == TTrackFormat::Wav;
#endif
}

const char* TrackFormatName(TTrackFormat format) {
    switch (format) {
    case TTrackFormat::Wav:
        return "WAV";
    case TTrackFormat::Ogg:
        return "OGG Vorbis";
    case TTrackFormat::Flac:
        return "FLAC";
    }
    return "WAV";
}

TFileResult OpenTrackWriter(const std::filesystem::path& path, TTrackFormat format, bool overwrite,
                            std::unique_ptr<TTrackWriter>& writer) {
    writer.reset();
    if (format == TTrackFormat::Wav) {
        auto wav = std::make_unique<TWavTrackWriter>();
        if (TFileResult opened = wav->Open(path, overwrite); !opened)
            return opened;
        writer = std::move(wav);
        return {};
    }
#ifdef LEXARO_HAVE_SNDFILE
    auto sound = std::make_unique<TSndfileTrackWriter>();
    if (TFileResult opened = sound->Open(path, format, overwrite); !opened)
        return opened;
    writer = std::move(sound);
    return {};
#else
    return TFileResult::Failed(
        FileFault::System, "this lexaro-lang writes WAV only (it was built without libsndfile)");
#endif
}

// --- Speaking ---------------------------------------------------------------------------

TTrackSpeaker::TTrackSpeaker(TTrackControlFactory makeControl)
    : output_(std::make_shared<TTrackOutput>()) {
    auto output = output_;
    engine_ = std::make_unique<TSpeechEngine>(
        [makeControl = std::move(makeControl), output]() -> std::unique_ptr<TDirectSS> {
            if (!makeControl)
                throw TSpeechError("No speech control");
            return makeControl(output);
        },
        true, nullptr);
}

TTrackSpeaker::~TTrackSpeaker() {
    // A synthesiser that waits for room must not wait for ever while the control stops.
    output_->Stop();
    engine_.reset();
}

bool TTrackSpeaker::Open() {
    if (!engine_->Open())
        return false;
    // Open speaks a blank to start the control: its end comes first.
    TTrackOutput::Event event;
    while (output_->Next(event, std::chrono::seconds(60)))
        if (event.samples.empty())
            return true;
    return false;
}

std::string TTrackSpeaker::Render(const TTrackPlan& plan, TTrackWriter& writer,
                                  const std::function<void(std::size_t, std::size_t)>& progress) {
    const std::int32_t mode1 = engine_->FindVoice(plan.voice1.name);
    const std::int32_t mode2 = engine_->FindVoice(plan.voice2.name);
    if (mode1 < 0 || mode2 < 0)
        return "the voice is not there any more";
    try {
        // Every text is handed over at once (the control keeps them in order, each with its
        // voice, speed and pitch), so synthesis never waits for the file.
        for (const auto& [text1, text2] : plan.pairs) {
            for (const bool second : {false, true}) {
                const TTrackVoice& voice = second ? plan.voice2 : plan.voice1;
                engine_->SelectVoice(second ? mode2 : mode1);
                engine_->SetSpeed(voice.speed);
                engine_->SetPitch(voice.pitch);
                engine_->Speak(second ? text2 : text1, *plan.page);
            }
        }
    } catch (const std::exception& e) {
        return std::string("the speech control refused: ") + e.what();
    }
    const std::vector<std::int16_t> pause(
        static_cast<std::size_t>(std::int64_t{plan.pauseMs} * kTrackSampleRate / 1000));
    const std::vector<std::int16_t> gap(
        static_cast<std::size_t>(std::int64_t{plan.gapMs} * kTrackSampleRate / 1000));
    const std::size_t texts = plan.pairs.size() * 2;
    std::size_t ended = 0;
    TTrackOutput::Event event;
    while (ended < texts) {
        if (!output_->Next(event, std::chrono::seconds(60)))
            return "the speech synthesiser stopped answering";
        const std::vector<std::int16_t>& samples =
            !event.samples.empty() ? event.samples : (ended % 2 == 0 ? pause : gap);
        if (!event.samples.empty() || !samples.empty())
            if (TFileResult written = writer.Write(samples.data(), samples.size()); !written)
                return written.reason;
        if (event.samples.empty()) {
            ++ended;
            if (ended % 2 == 0 && progress)
                progress(ended / 2, plan.pairs.size());
        }
    }
    return {};
}

} // namespace lexaro
