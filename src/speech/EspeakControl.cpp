#include "speech/EspeakControl.h"

#include "data/Charset.h"
#include "data/StrUtil.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace lexaro {

std::string TEspeakControl::LibraryVersion() {
    const char* version = espeak_Info(nullptr);
    return version != nullptr ? std::string(version) : std::string();
}

namespace {

// espeak-ng keeps one synthesiser per process; this is the control that owns it.
std::atomic<TEspeakControl*> g_active{nullptr};

struct LanguageInfo {
    std::string_view Code;
    std::int32_t LanguageId; // Windows language identifier: the sample sentence key
    std::string_view Name;   // empty: the voice's own name says it
};

// Language codes as espeak-ng reports them. A code missing here falls back to its shorter
// forms (en-gb-scotland -> en-gb) for the sample key.
constexpr LanguageInfo kLanguages[] = {
    {"af", 0x436, "Afrikaans"},
    {"ar", 0x401, "Arabic"},
    {"bg", 0x402, "Bulgarian"},
    {"ca", 0x403, "Catalan"},
    {"cmn", 0x804, "Chinese (Mandarin)"},
    {"cs", 0x405, "Czech"},
    {"cy", 0x452, "Welsh"},
    {"da", 0x406, "Danish"},
    {"de", 0x407, "German"},
    {"el", 0x408, "Greek"},
    {"en", 0x409, "English"},
    {"en-029", 0x2409, "English (Caribbean)"},
    {"en-gb", 0x809, "English (Great Britain)"},
    {"en-us", 0x409, "English (America)"},
    {"es", 0xC0A, "Spanish (Spain)"},
    {"es-419", 0x580A, "Spanish (Latin America)"},
    {"et", 0x425, "Estonian"},
    {"eu", 0x42D, "Basque"},
    {"fa", 0x429, "Persian"},
    {"fi", 0x40B, "Finnish"},
    {"fr", 0x40C, "French"},
    {"fr-be", 0x80C, "French (Belgium)"},
    {"fr-ch", 0x100C, "French (Switzerland)"},
    {"fr-fr", 0x40C, "French (France)"},
    {"ga", 0x83C, "Irish"},
    {"he", 0x40D, "Hebrew"},
    {"hi", 0x439, "Hindi"},
    {"hr", 0x41A, "Croatian"},
    {"hu", 0x40E, "Hungarian"},
    {"id", 0x421, "Indonesian"},
    {"is", 0x40F, "Icelandic"},
    {"it", 0x410, "Italian"},
    {"ja", 0x411, "Japanese"},
    {"ko", 0x412, "Korean"},
    {"lt", 0x427, "Lithuanian"},
    {"lv", 0x426, "Latvian"},
    {"mt", 0x43A, "Maltese"},
    {"nb", 0x414, "Norwegian (Bokm\xE5l)"},
    {"nl", 0x413, "Dutch"},
    {"pl", 0x415, "Polish"},
    {"pt", 0x816, "Portuguese (Portugal)"},
    {"pt-br", 0x416, "Portuguese (Brazil)"},
    {"ro", 0x418, "Romanian"},
    {"ru", 0x419, "Russian"},
    {"sk", 0x41B, "Slovak"},
    {"sl", 0x424, "Slovenian"},
    {"sq", 0x41C, "Albanian"},
    {"sr", 0x81A, "Serbian"},
    {"sv", 0x41D, "Swedish"},
    {"sw", 0x441, "Swahili"},
    {"tr", 0x41F, "Turkish"},
    {"uk", 0x422, "Ukrainian"},
    {"vi", 0x42A, "Vietnamese"},
};

const LanguageInfo* FindLanguage(std::string_view code) {
    for (const auto& info : kLanguages)
        if (info.Code == code)
            return &info;
    return nullptr;
}

std::int32_t SampleKeyOf(std::string code) {
    while (!code.empty()) {
        if (const auto* info = FindLanguage(code))
            return info->LanguageId;
        const auto dash = code.rfind('-');
        if (dash == std::string::npos)
            break;
        code.resize(dash);
    }
    return 0; // no sample sentence
}

// A voice text from espeak-ng (UTF-8) in Windows-1252; empty when the code page cannot hold
// it, so that the caller can pick another text instead of a garbled one.
std::string FromUtf8(std::string_view text) {
    std::string out;
    return Utf8ToCp1252(text, out) ? out : std::string();
}

} // namespace

struct EspeakCallbacks {
    static int Synth(short* wav, int numSamples, espeak_EVENT* events) {
        TEspeakControl* control = g_active.load();
        if (!control)
            return 1;
        // A null sample pointer comes more than once at the end of a text; only the
        // message-terminated event, tagged with the text's number, really ends it.
        bool ended = false;
        std::uint64_t text = 0;
        for (auto* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            if (e->type == espeakEVENT_MSG_TERMINATED) {
                ended = true;
                text = reinterpret_cast<std::uintptr_t>(e->user_data);
            }
        }
        return control->OnAudio(wav, numSamples, ended, text) ? 0 : 1;
    }
};

TEspeakControl::TEspeakControl(std::shared_ptr<TAudioOutput> output, const std::string& dataPath)
    : output_(std::move(output)) {
    if (!output_)
        throw TSpeechError("No audio output");
    if (output_->SampleRate() != kSampleRate)
        throw TSpeechError("The audio output does not play at " + std::to_string(kSampleRate) +
                           " Hz");
    TEspeakControl* expected = nullptr;
    if (!g_active.compare_exchange_strong(expected, this))
        throw TSpeechError("The speech synthesiser is already in use");

    try {
        StartSynthesiser(dataPath);
        LoadModes();
        worker_ = std::thread([this] { Run(); });
    } catch (...) {
        g_active.store(nullptr);
        throw;
    }
}

// espeak-ng is started once per process and stays up: in espeak-ng 1.51 both espeak_Cancel
// and espeak_Terminate can wait forever for a stop that its thread never acknowledges, and
// starting it again without terminating would leave a thread behind each time. Its thread
// sleeps while nothing is spoken.
void TEspeakControl::StartSynthesiser(const std::string& dataPath) {
    static std::mutex startMutex;
    static bool started = false;
    std::lock_guard lock(startMutex);
    if (started)
        return;
    const int rate =
        espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, dataPath.empty() ? nullptr : dataPath.c_str(),
                          espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0)
        throw TSpeechError("The speech synthesiser espeak-ng could not be started");
    if (rate != kSampleRate)
        throw TSpeechError("The speech synthesiser espeak-ng speaks at " + std::to_string(rate) +
                           " Hz, not at " + std::to_string(kSampleRate) + " Hz");
    espeak_SetSynthCallback(&EspeakCallbacks::Synth);
    started = true;
}

TEspeakControl::~TEspeakControl() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
    // The callback now refuses audio, which ends a running text at its next chunk. Wait until
    // espeak-ng's thread is seen idle a few times in a row (bounded, in case it never
    // settles), so that nothing of this control's text reaches the next control.
    int idle = 0;
    for (int i = 0; i < 400 && idle < 3; ++i) {
        idle = espeak_IsPlaying() ? 0 : idle + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    output_->Discard();
    g_active.store(nullptr);
}

void TEspeakControl::LoadModes() {
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
        const espeak_VOICE& voice = **v;
        if (!voice.identifier || !voice.name || std::strncmp(voice.identifier, "mb/", 3) == 0)
            continue; // MBROLA voices need databases that are not installed
        Mode mode;
        mode.Identifier = voice.identifier;
        mode.Name = FromUtf8(voice.name);
        if (mode.Name.empty())
            mode.Name = FromUtf8(mode.Identifier);
        // languages: a priority byte, then the language code, repeated; the first one counts.
        const std::string code =
            voice.languages && voice.languages[0] ? LowerAscii(voice.languages + 1) : std::string();
        const auto* info = FindLanguage(code);
        mode.Language = info ? std::string(info->Name) : mode.Name;
        mode.SampleKey = SampleKeyOf(code);
        modes_.push_back(std::move(mode));
    }
    // A stable order that reads well in a list: by name, then by voice file.
    std::stable_sort(modes_.begin(), modes_.end(), [](const Mode& a, const Mode& b) {
        return a.Name != b.Name ? a.Name < b.Name : a.Identifier < b.Identifier;
    });
}

bool TEspeakControl::OnAudio(const short* wav, int numSamples, bool ended, std::uint64_t text) {
    if (stopping_)
        return false;
    if (wav && numSamples > 0)
        output_->Write(wav, static_cast<std::size_t>(numSamples));
    if (ended) {
        {
            std::lock_guard lock(mutex_);
            if (text == textNumber_)
                synthDone_ = true;
        }
        wake_.notify_all();
    }
    return true;
}

void TEspeakControl::Run() {
    std::string voice;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            busy_ = false;
            wake_.notify_all();
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            synthDone_ = false;
            ++textNumber_;
        }
        // espeak-ng is idle here: changing the voice cannot disturb a running text.
        if (job.Voice != voice && espeak_SetVoiceByName(job.Voice.c_str()) == EE_OK)
            voice = job.Voice;
        espeak_SetParameter(espeakRATE, job.Speed, 0);
        espeak_SetParameter(espeakPITCH, job.Pitch, 0);
        bool started = false;
        // Blanks alone give nothing to hear: no synthesis, so no stray bit of silence either.
        if (job.Utf8Text.find_first_not_of(" \t\r\n") != std::string::npos) {
            started =
                espeak_Synth(job.Utf8Text.c_str(), job.Utf8Text.size() + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8, nullptr,
                             reinterpret_cast<void*>(static_cast<std::uintptr_t>(textNumber_))) ==
                EE_OK;
        }
        if (started) {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || synthDone_; });
            if (stopping_)
                return;
        }
        output_->EndOfText();
    }
}

bool TEspeakControl::WaitUntilDone(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, timeout, [this] { return jobs_.empty() && !busy_; });
}

const TEspeakControl::Mode& TEspeakControl::ModeAt(std::int32_t mode) const {
    if (mode < 1 || mode > static_cast<std::int32_t>(modes_.size()))
        throw TSpeechError("There is no voice number " + std::to_string(mode));
    return modes_[static_cast<std::size_t>(mode - 1)];
}

std::int32_t TEspeakControl::ModeCount() {
    return static_cast<std::int32_t>(modes_.size());
}

// Lexaro's discovery takes espeak-ng's voices as voices of its standard engine.
std::string TEspeakControl::EngineID(std::int32_t mode) {
    ModeAt(mode);
    return kMsEngineId;
}

std::string TEspeakControl::ModeName(std::int32_t mode) {
    return ModeAt(mode).Name;
}
std::string TEspeakControl::ModeID(std::int32_t mode) {
    return ModeAt(mode).Identifier;
}
std::string TEspeakControl::Language(std::int32_t mode) {
    return ModeAt(mode).Language;
}
std::int32_t TEspeakControl::SampleKey(std::int32_t mode) {
    return ModeAt(mode).SampleKey;
}

void TEspeakControl::Select(std::int32_t mode) {
    ModeAt(mode);
    current_ = mode;
}

void TEspeakControl::Speak(const std::u16string& text) {
    if (current_ < 1 && !modes_.empty())
        current_ = 1; // like a freshly created control: its first mode is current
    Job job;
    job.Voice = current_ >= 1 ? ModeAt(current_).Identifier : std::string();
    job.Speed = speed_;
    job.Pitch = pitch_;
    job.Utf8Text = Utf16ToUtf8(text);
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void TEspeakControl::SetPitch(std::int32_t value) {
    if (value < kMinPitch || value > kMaxPitch)
        throw TSpeechError("The pitch " + std::to_string(value) + " is out of range");
    pitch_ = value;
}

void TEspeakControl::SetSpeed(std::int32_t value) {
    if (value < kMinSpeed || value > kMaxSpeed)
        throw TSpeechError("The speed " + std::to_string(value) + " is out of range");
    speed_ = value;
}

void TEspeakControl::SetVolumeLeft(std::int32_t value) {
    volumeLeft_ = std::clamp(value, 0, kMaxVolume);
    ApplyVolume();
}

void TEspeakControl::SetVolumeRight(std::int32_t value) {
    volumeRight_ = std::clamp(value, 0, kMaxVolume);
    ApplyVolume();
}

// The output is mono: the louder channel sets its volume.
void TEspeakControl::ApplyVolume() {
    output_->SetVolume(static_cast<double>(std::max(volumeLeft_, volumeRight_)) / kMaxVolume);
}

} // namespace lexaro
