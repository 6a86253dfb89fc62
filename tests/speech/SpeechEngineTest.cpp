#include "FakeControl.h"

#include "speech/LH_TTSVoice.h"
#include "speech/MS_TTSVoice.h"
#include "speech/RegistryUtil.h"
#include "speech/SpeechEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace lexaro {
namespace {

using test::FakeControl;
using test::FakeMode;

const char* kOtherEngine = "11111111-2222-3333-4444-555555555555";

// Voice descriptions: an unrelated subkey with a LANGUAGE value comes first, then the subkey
// that names the voice, then a second subkey that names the same mode.
const char* kLhRegistry = R"(
[HKEY_LOCAL_MACHINE\Software\L&H\TTS\V6.0\Voice\Other]
LANGUAGE=Wrong language
Somebody={FFFF-0000}
[HKEY_LOCAL_MACHINE\Software\L&H\TTS\V6.0\Voice\German]
Carsten={abcd-1234}
Language=Deutsch
[HKEY_LOCAL_MACHINE\Software\L&H\TTS\V6.0\Voice\Second]
Duplicate={ABCD-1234}
LANGUAGE=Second language
[HKEY_LOCAL_MACHINE\Software\Voice]
409=Hello there.
407=Guten Tag.
)";

FakeMode Ms(std::string name, std::string language, std::int32_t key = 0x409) {
    FakeMode m;
    m.Name = std::move(name);
    m.Language = std::move(language);
    m.SampleKey = key;
    return m;
}

FakeMode Other() {
    FakeMode m;
    m.EngineId = kOtherEngine;
    m.Name = "Stranger";
    return m;
}

FakeMode Lh(std::string modeId, std::int32_t key = 0x407) {
    FakeMode m;
    m.EngineId = "5fb67320-bf4b-11d1-af19-444553540000"; // case must not matter
    m.Name = "ignored";
    m.Language = "ignored";
    m.ModeId = std::move(modeId);
    m.SampleKey = key;
    m.MinPitch = 50;
    m.MaxPitch = 250;
    m.MinSpeed = 100;
    m.MaxSpeed = 300;
    return m;
}

// An engine on a fake control. `control` observes the control the engine owns.
struct EngineFixture {
    explicit EngineFixture(std::vector<FakeMode> modes, const std::string& registry = kLhRegistry,
                           bool audio = true) {
        auto store = std::make_shared<TRegistryStore>(TRegistryStore::Parse(registry));
        engine = std::make_unique<TSpeechEngine>(
            [this, modes]() -> std::unique_ptr<TDirectSS> {
                ++created;
                if (failCreations > 0) {
                    --failCreations;
                    throw TSpeechError("The speech control is not installed");
                }
                auto c = std::make_unique<FakeControl>(modes, &log);
                c->FailSpeak = failSpeak;
                control = c.get();
                return c;
            },
            audio, store);
    }
    std::vector<std::string> Calls() {
        auto out = log;
        log.clear();
        return out;
    }

    std::vector<std::string> log;
    FakeControl* control = nullptr;
    int created = 0;
    int failCreations = 0;
    bool failSpeak = false;
    std::unique_ptr<TSpeechEngine> engine;
};

TEST(VoiceDefaults, TenthAboveMidPitchFifthBelowMidSpeed) {
    struct Case {
        std::int32_t minP, maxP, minS, maxS, pitch, speed;
    };
    const Case cases[] = {
        {50, 250, 100, 300, 165, 160}, // the worked examples
        {0, 0, 0, 0, 0, 0},
        {-10, 10, 0, 5, 0, 2},
        {0, 100, 80, 450, 55, 212}, // espeak-ng's ranges
        {-100, -50, -9, -1, -82, -4},
    };
    for (const auto& c : cases) {
        TMS_TTSVoice v;
        v.Init("n", "m", "l", c.minS, c.maxS, c.minP, c.maxP, 1);
        EXPECT_EQ(v.DefaultPitch(), c.pitch) << c.minP << ".." << c.maxP;
        EXPECT_EQ(v.DefaultSpeed(), c.speed) << c.minS << ".." << c.maxS;
    }
}

TEST(Discovery, OtherEnginesAreSkippedAndModeNumbersKept) {
    EngineFixture f({Ms("Anna", "English"), Other(), Lh("ABCD-1234")});
    ASSERT_TRUE(f.engine->Open());
    EXPECT_EQ(f.engine->VoiceNames(),
              (std::vector<std::string>{"Anna (English)", "Carsten (Deutsch)"}));
    EXPECT_EQ(f.engine->FindVoice("Anna (English)"), 1);
    EXPECT_EQ(f.engine->FindVoice("Carsten (Deutsch)"), 3);
    EXPECT_EQ(f.engine->FindVoice("carsten (deutsch)"), -1); // exact comparison
    EXPECT_EQ(f.engine->VoiceMinPitch(2), 50);
    EXPECT_EQ(f.engine->VoiceMaxSpeed(2), 300);
    EXPECT_EQ(f.engine->VoiceDefaultPitch(2), 165);
    EXPECT_EQ(f.engine->VoiceDefaultSpeed(1), 212);
    for (int p : {0, 3, -1}) {
        EXPECT_EQ(f.engine->VoiceMinSpeed(p), -1) << p;
        EXPECT_EQ(f.engine->VoiceDefaultPitch(p), -1) << p;
    }

    // The skipped mode is only asked for its engine; a kept mode is made current before its
    // ranges are read.
    const auto calls = f.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Select 2"), 0);
    const std::vector<std::string> mode1(calls.begin() + 3, calls.begin() + 11);
    EXPECT_EQ(calls[0], "Speak");
    EXPECT_EQ(calls[1], "ModeCount");
    EXPECT_EQ(mode1, (std::vector<std::string>{"Select 1", "Language 1", "MinSpeed", "MaxSpeed",
                                               "MinPitch", "MaxPitch", "ModeID 1", "ModeName 1"}));
}

TEST(Discovery, RegistryDescribedVoices) {
    struct Case {
        const char* what;
        std::string registry;
        std::string expected;
    };
    const std::string base = "[HKEY_LOCAL_MACHINE\\Software\\L&H\\TTS\\V6.0\\Voice";
    const Case cases[] = {
        {"lower case in braces matches; LANGUAGE of another subkey ignored; first match wins",
         kLhRegistry, "Carsten (Deutsch)"},
        {"no registry key", "", "default (default)"},
        {"name without language", base + "\\A]\nPeter={abcd-1234}\n", "Peter (default)"},
        {"language under another subkey only",
         base + "\\A]\nPeter={abcd-1234}\n" + base + "\\B]\nLanguage=English\n", "Peter (default)"},
        {"braces are needed", base + "\\A]\nPeter=ABCD-1234\nLanguage=English\n",
         "default (default)"},
        {"keys deeper than one step are not subkeys",
         base + "\\A\\Deep]\nPeter={abcd-1234}\nLanguage=English\n", "default (default)"},
        {"a damaged store", "\x01\x02[[[\n=\n]]]=\xFF\n[no end\nPeter={abcd-1234}\n",
         "default (default)"},
    };
    for (const auto& c : cases) {
        EngineFixture f({Lh("ABCD-1234")}, c.registry);
        ASSERT_TRUE(f.engine->Open()) << c.what;
        EXPECT_EQ(f.engine->VoiceNames(), std::vector<std::string>{c.expected}) << c.what;
    }
}

TEST(Discovery, VoiceLetsGoOfRegistryEntriesAfterInit) {
    auto entries = std::make_shared<TVector<TRegEntryStr>>();
    entries->Add(std::make_shared<TRegEntryStr>("K\\A", "Eva", "{x}", TRegRoot::LocalMachine));
    TLH_TTSVoice voice(entries);
    voice.Init("", "X", "", 0, 0, 0, 0, 4);
    EXPECT_EQ(entries.use_count(), 1);
    EXPECT_EQ(voice.Name(), "Eva");
    EXPECT_EQ(voice.RegKey(), "K\\A");
    EXPECT_EQ(voice.ModeId(), "{X}");
    EXPECT_EQ(voice.ModeNumber(), 4);
}

TEST(Open, FailingThenSucceeding) {
    EngineFixture f({Ms("Anna", "English")});
    f.failCreations = 1;
    EXPECT_FALSE(f.engine->Open());
    EXPECT_FALSE(f.engine->IsOpen());
    EXPECT_TRUE(f.engine->VoiceNames().empty());
    EXPECT_TRUE(f.engine->Open());
    EXPECT_EQ(f.created, 2);
    EXPECT_EQ(f.engine->VoiceNames(), std::vector<std::string>{"Anna (English)"});
    EXPECT_TRUE(f.engine->Open()); // returns at once
    EXPECT_EQ(f.created, 2);
}

TEST(Open, StaysClosedWithoutAudioOrWhenTheControlFails) {
    {
        EngineFixture f({Ms("Anna", "English")}, kLhRegistry, /*audio=*/false);
        EXPECT_FALSE(f.engine->Open());
        EXPECT_EQ(f.created, 0);
        f.engine->Speak("Hallo"); // does nothing
        EXPECT_EQ(f.engine->SampleKey(1), -1);
    }
    {
        EngineFixture f({Ms("Anna", "English")});
        f.failSpeak = true; // the control refuses the blank
        EXPECT_FALSE(f.engine->Open());
        EXPECT_EQ(f.engine->VoiceCount(), 0);
    }
    {
        // A voice description that is not text ends discovery; nothing is half loaded.
        EngineFixture f({Ms("Anna", "English"), Lh("ABCD-1234")},
                        "[HKEY_LOCAL_MACHINE\\Software\\L&H\\TTS\\V6.0\\Voice\\A]\n"
                        "Flags=dword:00000001\n");
        EXPECT_FALSE(f.engine->Open());
        EXPECT_EQ(f.engine->VoiceCount(), 0);
        EXPECT_EQ(f.created, 1);
    }
    {
        EngineFixture f({}); // no modes: open, without voices
        EXPECT_TRUE(f.engine->Open());
        EXPECT_TRUE(f.engine->VoiceNames().empty());
    }
}

TEST(VoiceNames, FilledOnceThenTheSameList) {
    EngineFixture f({Ms("Anna", "English")});
    EXPECT_TRUE(f.engine->VoiceNames().empty()); // no voices yet: tried again next time
    ASSERT_TRUE(f.engine->Open());
    const auto& names = f.engine->VoiceNames();
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(&f.engine->VoiceNames(), &names);
    EXPECT_EQ(f.engine->VoiceNames().size(), 1u);
}

TEST(SelectVoice, OnlyNewModesReachTheControl) {
    EngineFixture f({Ms("Anna", "English"), Other(), Ms("Bert", "German")});
    EXPECT_FALSE(f.engine->SelectVoice(1)); // closed
    ASSERT_TRUE(f.engine->Open());
    f.Calls();
    EXPECT_FALSE(f.engine->SelectVoice(0));
    EXPECT_FALSE(f.engine->SelectVoice(-1));
    EXPECT_FALSE(f.engine->SelectVoiceByName("no Voice"));
    EXPECT_TRUE(f.Calls().empty());

    EXPECT_TRUE(f.engine->SelectVoiceByName("Bert (German)"));
    EXPECT_EQ(f.Calls(), (std::vector<std::string>{"Select 3", "SetVolumeLeft 65535",
                                                   "SetVolumeRight 65535"}));
    EXPECT_TRUE(f.engine->SelectVoice(3));
    EXPECT_TRUE(f.Calls().empty());
    EXPECT_THROW(f.engine->SelectVoice(7), TSpeechError); // failures reach the caller
}

TEST(SelectVoice, CloseForgetsTheCurrentMode) {
    EngineFixture f({Ms("Anna", "English")});
    ASSERT_TRUE(f.engine->Open());
    ASSERT_TRUE(f.engine->SelectVoice(1));
    f.engine->Close();
    EXPECT_FALSE(f.engine->IsOpen());
    ASSERT_TRUE(f.engine->Open());
    f.Calls();
    EXPECT_TRUE(f.engine->SelectVoice(1));
    EXPECT_EQ(f.Calls().front(), "Select 1"); // the new control gets its mode
}

TEST(PitchAndSpeed, OutOfRangeValuesAndFailuresAreIgnored) {
    EngineFixture f({Ms("Anna", "English")});
    f.engine->SetPitch(50); // closed: nothing
    ASSERT_TRUE(f.engine->Open());
    ASSERT_TRUE(f.engine->SelectVoice(1));
    f.control->pitch_ = 42;
    f.engine->SetPitch(101);
    EXPECT_EQ(f.control->pitch_, 42);
    f.engine->SetPitch(-1);
    EXPECT_EQ(f.control->pitch_, 42);
    f.engine->SetPitch(0);
    EXPECT_EQ(f.control->pitch_, 0);
    f.engine->SetPitch(100);
    EXPECT_EQ(f.control->pitch_, 100);
    f.engine->SetSpeed(451);
    f.engine->SetSpeed(79);
    EXPECT_EQ(f.control->speed_, 175);
    f.engine->SetSpeed(80);
    EXPECT_EQ(f.control->speed_, 80);
    f.control->FailRanges = true;
    EXPECT_NO_THROW(f.engine->SetSpeed(200));
    EXPECT_NO_THROW(f.engine->SetPitch(60));
    EXPECT_EQ(f.control->speed_, 80);
    EXPECT_EQ(f.control->pitch_, 100);
}

TEST(Speak, BracketedPartsAreDroppedAndTextIsConvertedExactly) {
    EngineFixture f({Ms("Anna", "English")});
    ASSERT_TRUE(f.engine->Open());
    struct Case {
        std::string in;
        std::u16string out;
        int codePage = 0; // 0: as the exercise speaks, Western European by default
    };
    const Case cases[] = {
        {"Haus (n) [das]", u"Haus  "},
        {"[der] Hund", u" Hund"},
        {"(alles in Klammern)", u""},
        {"[a](b)", u""},
        {"(ugs.)[Am.] apartment", u" apartment"},
        {"[a][b] x", u" x"},
        {"Stra\xDF"
         "e \xC4pfel \x80 \x9C",
         u"Straße Äpfel € œ"},
        {"", u""},
        // The same bytes are other letters in another code page.
        {"\xEA\xEE\xF8\xEA\xE0 (f) [koschka]", u"кошка  ", 1251},
        {"\xE3\xE1\xF4\xDF (\xE7)", u"γατί ", 1253},
        {"\xB3\xF3"
         "d\x9F",
         u"łódź", 1250},
        {"\xFD\xFEk", u"ışk", 1254},
        {"\xE0\xFEuolas", u"ąžuolas", 1257},
        {"\xE0\xFEuolas", u"àþuolas", 1252},
        // Unicode: any script, beyond the basic plane too; a byte that is not UTF-8 as U+FFFD.
        {"日本語 (にほんご)", u"日本語 ", 65001},
        {"مرحبا [marhaban]", u"مرحبا ", 65001},
        {"\xF0\x9F\x98\x80 \xFFok", u"\U0001F600 \uFFFDok", 65001},
    };
    for (const auto& c : cases) {
        f.control->Spoken.clear();
        if (c.codePage == 0)
            f.engine->Speak(c.in);
        else
            f.engine->Speak(c.in, TCodePage::Get(c.codePage));
        ASSERT_EQ(f.control->Spoken.size(), 1u) << c.in;
        EXPECT_EQ(f.control->Spoken[0], c.out) << c.in << " in " << c.codePage;
    }
    f.control->FailSpeak = true;
    EXPECT_THROW(f.engine->Speak("x"), TSpeechError);
}

TEST(SpeakSample, SelectsTheVoicesOwnModeNumber) {
    EngineFixture f({Ms("Anna", "English"), Other(), Lh("ABCD-1234")});
    ASSERT_TRUE(f.engine->Open());
    f.Calls();
    f.engine->SpeakSample(2, 120, 60);
    EXPECT_EQ(f.Calls(), (std::vector<std::string>{"SampleKey 3", "Select 3", "SetVolumeLeft 65535",
                                                   "SetVolumeRight 65535", "MinSpeed", "MaxSpeed",
                                                   "SetSpeed 120", "MinPitch", "MaxPitch",
                                                   "SetPitch 60", "Speak"}));
    EXPECT_EQ(f.control->Spoken.back(), u"Guten Tag.");
    f.engine->SpeakSample(1, 200, 50);
    EXPECT_EQ(f.control->Spoken.back(), u"Hello there.");
}

TEST(SpeakSample, KeysAndDamagedSampleTexts) {
    const std::string head = "[HKEY_LOCAL_MACHINE\\Software\\Voice]\n";
    {
        // No sample sentence for the key: the empty text; names that are no small
        // hexadecimal number are ignored rather than growing the list.
        EngineFixture f({Ms("Anna", "English", 0x40C)},
                        head + "Comment=x\n7FFFFFF0=huge\nFFFFFFFF=negative\n409=Hi\n");
        ASSERT_TRUE(f.engine->Open());
        f.engine->SpeakSample(1, 200, 50);
        EXPECT_EQ(f.control->Spoken.back(), u"");
        EXPECT_EQ(f.engine->SampleKey(0), -1);
        EXPECT_EQ(f.engine->SampleKey(2), -1);
        EXPECT_NO_THROW(f.engine->SpeakSample(5, 200, 50)); // outside the list: empty text
    }
    {
        EngineFixture f({Ms("Anna", "English")}, head + "409=Hi\n40C=hex:01,02\n");
        ASSERT_TRUE(f.engine->Open());
        f.control->Spoken.clear();
        try {
            f.engine->SpeakSample(1, 200, 50);
            FAIL() << "a sample sentence that is not text must fail";
        } catch (const TRegistryError& e) {
            EXPECT_STREQ(e.what(), "Invalid data type for '40C'");
        }
        EXPECT_TRUE(f.control->Spoken.empty());
        EXPECT_THROW(f.engine->SpeakSample(1, 200, 50), TRegistryError); // still failing
    }
}

} // namespace
} // namespace lexaro
