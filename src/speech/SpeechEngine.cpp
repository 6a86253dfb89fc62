#include "speech/SpeechEngine.h"

#include "speech/LH_TTSVoice.h"
#include "speech/MS_TTSVoice.h"
#include "speech/RegistryUtil.h"

#include "data/Charset.h"
#include "data/CodePage.h"

#include <exception>
#include <utility>

namespace lexaro {

namespace {

// Sample keys are Windows language identifiers, which fit in 16 bits. Larger keys would make
// the sparse sample list grow to gigabytes, so they are ignored.
constexpr std::int32_t kMaxSampleKey = 0xFFFF;

bool IsHexName(const std::string& name) {
    if (name.empty() || name.size() > 8)
        return false;
    for (char ch : name) {
        const bool hex =
            (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
        if (!hex)
            return false;
    }
    return true;
}

std::u16string ToUtf16(const std::string& text, const TCodePage& page) {
    std::u16string out;
    if (page.IsUtf8()) {
        const std::string utf8 = page.ToUtf8(text);
        for (std::size_t pos = 0; pos < utf8.size();) {
            char32_t cp = 0xFFFD;
            pos += Utf8CharAt(utf8, pos, cp) ? Utf8Length(cp) : 1;
            if (cp >= 0x10000) {
                out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                out += static_cast<char16_t>(cp);
            }
        }
        return out;
    }
    out.reserve(text.size());
    // Every character of these code pages lies in the basic multilingual plane.
    for (char ch : text)
        out += static_cast<char16_t>(page.ToUnicode(static_cast<unsigned char>(ch)));
    return out;
}

} // namespace

TSpeechEngine::TSpeechEngine(TControlFactory createControl, bool audioPresent,
                             std::shared_ptr<const TRegistryStore> registry)
    : AudioPresent(audioPresent), BracketPairs{{u'[', u']'}, {u'(', u')'}},
      CreateControl(std::move(createControl)), Registry(std::move(registry)) {
    if (!Registry)
        Registry = std::make_shared<TRegistryStore>();
}

// The system mixer is never touched: the volume of Lexaro's own output is set per voice.
TSpeechEngine::~TSpeechEngine() {
    Close();
}

bool TSpeechEngine::Open() {
    if (!AudioPresent || Opened)
        return Opened;
    try {
        if (!CreateControl)
            throw TSpeechError("No speech control");
        auto control = CreateControl();
        if (!control)
            throw TSpeechError("No speech control");
        control->Speak(u" ");
        if (Voices.Count() == 0)
            Voices = LoadVoices(*control); // the list changes only when discovery succeeds
        Control = std::move(control);
        CurrentMode = -2;
        Opened = true;
    } catch (const std::exception&) {
        // The engine simply stays unavailable; the next Open tries again.
        Control.reset();
        Opened = false;
    }
    return Opened;
}

void TSpeechEngine::Close() {
    Control.reset();
    Opened = false;
    // A new control starts with no current mode.
    CurrentMode = -2;
}

TVector<TTTSVoice> TSpeechEngine::LoadVoices(TDirectSS& control) const {
    auto entries = std::make_shared<TVector<TRegEntryStr>>();
    CollectRegEntries(*entries, *Registry, TRegRoot::LocalMachine, kLhVoiceKey);

    const std::string msId = UpperCase(kMsEngineId);
    const std::string lhId = UpperCase(kLhEngineId);
    TVector<TTTSVoice> voices;
    const std::int32_t n = control.ModeCount();
    for (std::int32_t c = 1; c <= n; ++c) {
        const std::string id = UpperCase(control.EngineID(c));
        std::shared_ptr<TTTSVoice> voice;
        if (id == msId)
            voice = std::make_shared<TMS_TTSVoice>();
        else if (id == lhId)
            voice = std::make_shared<TLH_TTSVoice>(entries);
        else
            continue; // another engine's mode gets no voice
        // The ranges are only valid once the mode is current.
        control.Select(c);
        const std::string language = control.Language(c);
        const std::int32_t minSpeed = control.MinSpeed();
        const std::int32_t maxSpeed = control.MaxSpeed();
        const std::int32_t minPitch = control.MinPitch();
        const std::int32_t maxPitch = control.MaxPitch();
        const std::string modeId = control.ModeID(c);
        const std::string name = control.ModeName(c);
        voice->Init(name, modeId, language, minSpeed, maxSpeed, minPitch, maxPitch, c);
        voices.Add(std::move(voice));
    }
    return voices;
}

const std::vector<std::string>& TSpeechEngine::VoiceNames() {
    if (VoiceNameList.empty()) {
        for (const auto& voice : Voices)
            VoiceNameList.push_back(voice->DisplayName());
    }
    return VoiceNameList;
}

std::shared_ptr<TTTSVoice> TSpeechEngine::VoiceAt(std::int32_t p) const {
    if (p < 1 || p > VoiceCount())
        return nullptr;
    return Voices.Get(p - 1);
}

std::int32_t TSpeechEngine::VoiceMinPitch(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->MinPitch() : -1;
}

std::int32_t TSpeechEngine::VoiceMaxPitch(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->MaxPitch() : -1;
}

std::int32_t TSpeechEngine::VoiceMinSpeed(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->MinSpeed() : -1;
}

std::int32_t TSpeechEngine::VoiceMaxSpeed(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->MaxSpeed() : -1;
}

std::int32_t TSpeechEngine::VoiceDefaultPitch(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->DefaultPitch() : -1;
}

std::int32_t TSpeechEngine::VoiceDefaultSpeed(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->DefaultSpeed() : -1;
}

std::string TSpeechEngine::VoiceLanguage(std::int32_t p) const {
    const auto v = VoiceAt(p);
    return v ? v->Language() : std::string();
}

std::int32_t TSpeechEngine::FindVoice(const std::string& displayName) const {
    for (const auto& voice : Voices)
        if (voice->DisplayName() == displayName)
            return voice->ModeNumber();
    return -1;
}

bool TSpeechEngine::SelectVoice(std::int32_t modeNumber) {
    if (Opened && modeNumber > 0 && modeNumber != CurrentMode) {
        Control->Select(modeNumber);
        Control->SetVolumeLeft(Control->MaxVolumeLeft());
        Control->SetVolumeRight(Control->MaxVolumeRight());
        CurrentMode = modeNumber;
        return true;
    }
    return modeNumber == CurrentMode;
}

bool TSpeechEngine::SelectVoiceByName(const std::string& displayName) {
    return SelectVoice(FindVoice(displayName));
}

void TSpeechEngine::SetPitch(std::int32_t value) {
    if (!Opened)
        return;
    try {
        if (Control->MinPitch() <= value && value <= Control->MaxPitch())
            Control->SetPitch(value);
    } catch (const std::exception&) {
        // The voice keeps its previous pitch.
    }
}

void TSpeechEngine::SetSpeed(std::int32_t value) {
    if (!Opened)
        return;
    try {
        if (Control->MinSpeed() <= value && value <= Control->MaxSpeed())
            Control->SetSpeed(value);
    } catch (const std::exception&) {
        // The voice keeps its previous speed.
    }
}

void TSpeechEngine::Speak(const std::string& text, const TCodePage& page) {
    if (!Opened)
        return;
    Control->Speak(RemoveEnclosed(ToUtf16(text, page), BracketPairs));
}

std::int32_t TSpeechEngine::SampleKey(std::int32_t p) {
    const auto voice = VoiceAt(p);
    if (!Opened || !voice)
        return -1;
    return Control->SampleKey(voice->ModeNumber());
}

void TSpeechEngine::LoadSampleTexts() {
    // Built aside so that a value that is not text leaves no half-filled list behind.
    TStrVector texts;
    TStrVector names;
    GetRegValueNames(names, *Registry, TRegRoot::LocalMachine, kSampleTextKey);
    for (const auto& name : names) {
        if (!IsHexName(name))
            continue; // not a sample key
        const std::int32_t key = HexToInt(name);
        if (key < 0 || key > kMaxSampleKey)
            continue;
        texts.Set(key, ReadRegString(*Registry, TRegRoot::LocalMachine, kSampleTextKey, name));
    }
    SampleTexts = std::move(texts);
}

void TSpeechEngine::SpeakSample(std::int32_t p, std::int32_t speed, std::int32_t pitch) {
    if (SampleTexts.Count() == 0)
        LoadSampleTexts();
    const std::string text = SampleTexts.Get(SampleKey(p));
    const auto voice = VoiceAt(p);
    SelectVoice(voice ? voice->ModeNumber() : -1);
    SetSpeed(speed);
    SetPitch(pitch);
    Speak(text);
}

} // namespace lexaro
