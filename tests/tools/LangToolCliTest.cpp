// The real lexaro-lang program: exit statuses, no overwrite without --force, and a table
// with umlauts that comes back from import and export byte for byte.

#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#ifdef LEXARO_LANG_TOOL_SPEAKS
#include <sndfile.h>
#endif

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

class LangToolProgram : public ::testing::Test {
protected:
    // Runs the program with the arguments (each quoted); stdout and stderr go to files.
    // environment: NAME=value settings put before the command. The built tool reads no
    // settings unless the environment says otherwise: a developer's own Lexaro.Ini beside it or
    // in the home must not change what the tests see. A copy in a test's folder reads the
    // settings the test put there.
    int Run(const std::vector<std::string>& args,
            const std::filesystem::path& program = LEXARO_LANG_TOOL,
            const std::vector<std::string>& environment = {}) {
        std::string command = "env ";
        if (program == std::filesystem::path(LEXARO_LANG_TOOL))
            command += "LEXARO_NO_SETTINGS=1 ";
        for (const auto& setting : environment)
            command += Quote(setting) + " ";
        command += Quote(program.string());
        for (const auto& arg : args)
            command += " " + Quote(arg);
        command += " >" + Quote(dir.file("stdout")) + " 2>" + Quote(dir.file("stderr"));
        const int status = std::system(command.c_str());
#ifdef _WIN32
        return status;
#else
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }
    std::string Out() const {
        return ReadFileBytes(dir.file("stdout"));
    }
    std::string Err() const {
        return ReadFileBytes(dir.file("stderr"));
    }

    static std::string Quote(const std::string& s) {
        std::string quoted = "'";
        for (const char c : s)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    TempDir dir{"lexaro_langtool_"};
};

TEST_F(LangToolProgram, ExitStatuses) {
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(Out().find("usage:"), std::string::npos);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Err(), "lexaro-lang: no command given; lexaro-lang --help says more\n");
    EXPECT_EQ(Run({"import", "only.tsv"}), 2);
    WriteFileBytes(dir.file("junk.lang"), "not coded at all");
    EXPECT_EQ(Run({"check", dir.file("junk.lang")}), 1);
    EXPECT_NE(Err().find("wrong marker"), std::string::npos) << Err();
#ifndef _WIN32
    // A device is refused, not read until memory runs out.
    EXPECT_EQ(Run({"export", "/dev/zero"}), 1);
    EXPECT_EQ(Err(), "/dev/zero: cannot be read: it is not a regular file\n");
#endif
}

// The help (and so the manual page made from it) says where each form reads the settings and
// how to read none; "beside lexaro-lang" is wrong once it is installed.
TEST_F(LangToolProgram, TheHelpSaysWhereTheSettingsAreReadInEachForm) {
    ASSERT_EQ(Run({"--help"}), 0);
    for (const char* said : {"$XDG_CONFIG_HOME/lexaro", "~/.config/lexaro", "$XDG_DATA_HOME/lexaro",
                             "~/.local/share/lexaro", "LEXARO_NO_SETTINGS"})
        EXPECT_NE(Out().find(said), std::string::npos) << said;
    EXPECT_EQ(Out().find("Lexaro.Ini beside"), std::string::npos);
}

#ifdef LEXARO_APP_DIR
TEST_F(LangToolProgram, IsPartOfTheApplicationFolder) {
    // Beside the program, where the settings that speak reads are.
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(LEXARO_LANG_TOOL).parent_path(),
                                            LEXARO_APP_DIR))
        << LEXARO_LANG_TOOL;
}
#endif

TEST_F(LangToolProgram, ImportExportRoundTripKeepsUmlautsAndRefusesOverwrite) {
    const std::string tsv = "lesson\ttext1\ttext2\tuse\tdrawn\n"
                            "1\tthe door\tdie T\xC3\xBCr\t1\t0\n"
                            "1\tthe bridge\tdie Br\xC3\xBC"
                            "cke\t0\t0\n"
                            "2\tgreat\tgro\xC3\x9F\t1\t1\n"
                            "2\t\xC3\x84rger\t\xC3\xB6"
                            "de \xC3\x96l\t1\t0\n";
    const std::string in = dir.file("in.tsv");
    const std::string lang = dir.file("out.lang");
    WriteFileBytes(in, tsv);
    ASSERT_EQ(Run({"import", in, lang, "--lang1", "English", "--lang2", "Deutsch"}), 0) << Err();

    TLangFHandler model;
    ASSERT_TRUE(model.Load(lang));
    EXPECT_EQ(model.LessonAt(1)->PairAt(0)->text2, "die T\xFCr"); // stored in Windows-1252

    EXPECT_EQ(Run({"export", lang}), 0) << Err();
    EXPECT_EQ(Out(), tsv);

    // An existing file is kept unless --force is given.
    const std::string before = ReadFileBytes(lang);
    WriteFileBytes(in, "1\tother\tanders\n");
    EXPECT_EQ(Run({"import", in, lang, "--lang1", "English", "--lang2", "Deutsch"}), 1);
    EXPECT_NE(Err().find("--force"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(lang), before);
    EXPECT_EQ(Run({"import", in, lang, "--lang1", "English", "--lang2", "Deutsch", "--force"}), 0);
    EXPECT_NE(ReadFileBytes(lang), before);
    EXPECT_EQ(Run({"check", lang}), 0);
    EXPECT_NE(Out().find("pairs:         1"), std::string::npos) << Out();
}

// A copy of lexaro-lang in folder, as the program finds it there.
std::filesystem::path CopyTool(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path tool = folder / "lexaro-lang";
    std::filesystem::copy_file(LEXARO_LANG_TOOL, tool);
    return tool;
}

// A learner's home: HOME and the XDG folders, as the environment of a command.
std::vector<std::string> HomeEnvironment(const std::filesystem::path& home) {
    return {"HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / ".config").string(),
            "XDG_DATA_HOME=" + (home / ".local" / "share").string(), "LEXARO_NO_SETTINGS="};
}

// The build step that makes the starter language file reads none of the learner's settings: a
// learner who chose Cyrillic, in the bundled folder beside lexaro-lang or in the installed
// program's settings, can still build. The file is the word list in Western European.
TEST_F(LangToolProgram, TheStarterFileStepReadsNoSettings) {
    const std::string cyrillic = "[Application]\r\nCodePage=1251\r\n";
    const std::filesystem::path home = dir.path() / "home";
    std::filesystem::create_directories(home / ".config" / "lexaro");
    WriteFileBytes((home / ".config" / "lexaro" / "Lexaro.Ini").string(), cyrillic);
    const std::filesystem::path bundle = dir.path() / "Lexaro";
    std::filesystem::create_directories(bundle);
    WriteFileBytes((bundle / "Text.Db").string(), "texts");
    WriteFileBytes((bundle / "Lexaro.Ini").string(), cyrillic);

    // The word list as export gives it back: every pair in use, none drawn.
    std::string expected;
    {
        std::istringstream table(ReadFileBytes(LEXARO_STARTER_TSV));
        std::string line;
        for (bool header = true; std::getline(table, line); header = false)
            expected += line + (header ? "\tdrawn\n" : "\t0\n");
    }
    for (const auto& programFolder : {bundle, dir.path() / "root" / "usr" / "bin"}) {
        SCOPED_TRACE(programFolder.string());
        const std::filesystem::path tool = CopyTool(programFolder);
        const std::string out = (dir.path() / "starter.lang").string();
        ASSERT_EQ(Run({"-DTOOL=" + tool.string(), "-DTABLE=" LEXARO_STARTER_TSV, "-DOUT=" + out,
                       "-P", LEXARO_STARTER_SCRIPT},
                      LEXARO_CMAKE, HomeEnvironment(home)),
                  0)
            << Out() << Err();
        ASSERT_EQ(Run({"export", out, "--codepage", "1252"}), 0) << Err();
        EXPECT_EQ(Out(), expected);
    }
}

// The installed lexaro-lang reads the learner's settings and finds the language file they name
// relatively (as the preset does) in the learner's data folder, as the program does: stats
// shows the pairs the settings hold back.
TEST_F(LangToolProgram, TheInstalledToolFindsTheSettingsLanguageFileInTheLearnersFolder) {
    const std::filesystem::path tool = CopyTool(dir.path() / "root" / "usr" / "bin");
    const std::filesystem::path home = dir.path() / "home";
    const std::filesystem::path langFiles = home / ".local" / "share" / "lexaro" / "LangFiles";
    std::filesystem::create_directories(langFiles);
    std::filesystem::create_directories(home / ".config" / "lexaro");
    // The preset settings, with pair 1 of lesson 1 held back (priority 4).
    std::string ini = ReadFileBytes(LEXARO_PRESET_INI);
    const std::string noList = "NbrWords=0";
    ASSERT_NE(ini.find(noList), std::string::npos);
    ini.replace(ini.find(noList), noList.size(), "NbrWords=2\n0=1-1-4\n1=1-3-0");
    WriteFileBytes((home / ".config" / "lexaro" / "Lexaro.Ini").string(), ini);
    ASSERT_NE(ini.find("LangFileName=LangFiles/English-Deutsch.lang"), std::string::npos);
    const std::string lang = (langFiles / "English-Deutsch.lang").string();
    ASSERT_EQ(Run({"import", LEXARO_STARTER_TSV, lang, "--lang1", "English", "--lang2", "Deutsch",
                   "--codepage", "1252"}),
              0)
        << Err();

    ASSERT_EQ(Run({"stats", lang}, tool, HomeEnvironment(home)), 0) << Err();
    std::istringstream table(Out());
    std::string header, lesson1;
    std::getline(table, header);
    std::getline(table, lesson1);
    EXPECT_EQ(header, "lesson\twaiting\tpractised\theld back\tretired\tdue");
    // lesson, waiting, practised, held back, retired, due
    std::vector<std::string> fields;
    std::istringstream row(lesson1);
    for (std::string field; std::getline(row, field, '\t');)
        fields.push_back(field);
    ASSERT_EQ(fields.size(), 6u) << Out();
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[3], "1") << Out();
}

#ifdef LEXARO_LANG_TOOL_SPEAKS
// The samples of a sound file as libsndfile reads them.
std::vector<short> SoundSamples(const std::string& path, SF_INFO& info) {
    info = SF_INFO{};
    SNDFILE* sound = sf_open(path.c_str(), SFM_READ, &info);
    if (sound == nullptr)
        return {};
    std::vector<short> samples(static_cast<std::size_t>(info.frames * info.channels));
    samples.resize(static_cast<std::size_t>(
        sf_read_short(sound, samples.data(), static_cast<sf_count_t>(samples.size()))));
    sf_close(sound);
    return samples;
}

TEST_F(LangToolProgram, SpeaksALessonWithEspeakAsWavOggAndFlac) {
    const std::string in = dir.file("in.tsv");
    const std::string lang = dir.file("words.lang");
    WriteFileBytes(in, "1\tthe door\tdie T\xC3\xBCr\n1\tthe dog\tder [m] Hund\n");
    ASSERT_EQ(Run({"import", in, lang, "--lang1", "English", "--lang2", "Deutsch"}), 0) << Err();
    ASSERT_EQ(Run({"speak", "--list-voices"}), 0) << Err();
    const std::string english = "English (Great Britain) (English (Great Britain))";
    ASSERT_NE(Out().find(english + "\n"), std::string::npos);
    ASSERT_NE(Out().find("German (German)\n"), std::string::npos);

    std::vector<short> wav;
    for (const char* extension : {".wav", ".flac", ".ogg"}) {
        const std::string track = dir.file(std::string("track") + extension);
        ASSERT_EQ(Run({"speak", lang, "--voice1", english, "--voice2", "German (German)", "--out",
                       track, "--lessons", "1", "--gap", "500"}),
                  0)
            << Err();
        EXPECT_TRUE(Err().empty()) << "no progress bar on a file: " << Err();
        SF_INFO info;
        const std::vector<short> samples = SoundSamples(track, info);
        EXPECT_EQ(info.samplerate, 22050) << extension;
        EXPECT_EQ(info.channels, 1) << extension;
        if (wav.empty()) {
            wav = samples;
            // Two pairs of short words with 1 s and 0.5 s pauses after their texts.
            const double seconds = static_cast<double>(wav.size()) / 22050;
            EXPECT_GT(seconds, 4.0);
            EXPECT_LT(seconds, 9.0);
            EXPECT_NE(Out().find("2 pair(s), 0:0"), std::string::npos) << Out();
            int peak = 0;
            for (const short s : wav)
                peak = std::max(peak, std::abs(static_cast<int>(s)));
            EXPECT_GT(peak, 2000) << "audible speech";
        } else if (std::string(extension) == ".flac") {
            EXPECT_EQ(samples, wav) << "FLAC holds the very samples of the WAV track";
        } else {
            EXPECT_EQ(samples.size(), wav.size()) << "OGG holds a track of the same length";
        }
    }

    // Without voices named, the settings beside the program choose: here those of a copy of
    // the program that speaks both languages in German.
    const std::filesystem::path program = dir.path() / "program";
    std::filesystem::create_directory(program);
    std::filesystem::copy_file(LEXARO_LANG_TOOL, program / "lexaro-lang");
    WriteFileBytes((program / "Lexaro.Ini").string(),
                   "[VoiceProperty]\r\nVoice1=German (German)\r\nVoice2=German (German)\r\n"
                   "Speed1=300\r\nSpeed2=212\r\nPitch1=55\r\nPitch2=55\r\n[Exercise]\r\n"
                   "LangFileName=LangFiles/words.lang\r\nLang1=English\r\nLang2=Deutsch\r\n");
    const std::string track = dir.file("chosen.wav");
    ASSERT_EQ(Run({"speak", lang, "--out", track, "--lessons", "1"}, program / "lexaro-lang"), 0)
        << Err();
    EXPECT_NE(Out().find("voice 1 (English): German (German), speed 300, pitch 55, from " +
                         (program / "Lexaro.Ini").string() + "\n"),
              std::string::npos)
        << Out();
    SF_INFO info;
    EXPECT_FALSE(SoundSamples(track, info).empty());
    // Without settings for the file's languages, its language names choose.
    WriteFileBytes((program / "Lexaro.Ini").string(), "[Exercise]\r\nLang1=A\r\nLang2=B\r\n");
    ASSERT_EQ(Run({"speak", lang, "--out", track, "--force"}, program / "lexaro-lang"), 0) << Err();
    EXPECT_NE(Out().find("voice 1 (English): " + english +
                         ", speed 212, pitch 55, for the "
                         "language's name\n"),
              std::string::npos)
        << Out();
    EXPECT_NE(Out().find("voice 2 (Deutsch): German (German), "), std::string::npos) << Out();
}

// A Russian file made and spoken in code page 1251: the Russian voice speaks the real words
// (its language's name "Русский" chooses it), for as long as espeak-ng's own command line
// speaks them; the same file read as Western European would be other sounds.
TEST_F(LangToolProgram, SpeaksARussianFileOfCodePage1251WithTheRussianVoice) {
    const std::string in = dir.file("ru.tsv");
    const std::string lang = dir.file("ru.lang");
    WriteFileBytes(in, "1\tthe cat\tкошка\n");
    ASSERT_EQ(
        Run({"import", in, lang, "--lang1", "English", "--lang2", "Русский", "--codepage", "1251"}),
        0)
        << Err();
    EXPECT_NE(ReadFileBytes(lang).size(), 0u);
    const std::string track = dir.file("ru.wav");
    ASSERT_EQ(Run({"speak", lang, "--out", track, "--codepage", "1251", "--voice1",
                   "Russian (Russian)", "--pause", "0", "--gap", "0"}),
              0)
        << Err();
    EXPECT_NE(Out().find("voice 2 (Русский): Russian (Russian), "), std::string::npos) << Out();
    SF_INFO info;
    const std::vector<short> both = SoundSamples(track, info);
    // Both texts in the Russian voice: "the cat" read as Russian, and "кошка".
    const double seconds = static_cast<double>(both.size()) / 22050;
    EXPECT_GT(seconds, 0.6) << "two short words";
    EXPECT_LT(seconds, 4.0);

    // "кошка" alone, against the command line.
    WriteFileBytes(in, "1\tкошка\tкошка\n");
    ASSERT_EQ(Run({"import", in, lang, "--lang1", "Русский", "--lang2", "Русский", "--codepage",
                   "1251", "--force"}),
              0)
        << Err();
    ASSERT_EQ(Run({"speak", lang, "--out", track, "--codepage", "1251", "--pause", "0", "--gap",
                   "0", "--force"}),
              0)
        << Err();
    const std::vector<short> twice = SoundSamples(track, info);
    const std::string cli = dir.file("cli.wav");
    std::vector<short> word;
    if (std::system(("espeak-ng -v zle/ru -s 212 -p 55 -w " + Quote(cli) + " 'кошка' 2>/dev/null")
                        .c_str()) == 0) {
        word = SoundSamples(cli, info);
        while (!word.empty() && word.back() == 0)
            word.pop_back(); // the command line adds silence at the end
    }
    if (!word.empty()) {
        EXPECT_NEAR(static_cast<double>(twice.size()), 2.0 * static_cast<double>(word.size()),
                    0.04 * static_cast<double>(twice.size()));
    }
    int peak = 0;
    for (const short s : twice)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 2000) << "audible speech";

    // Read as Western European: the name is no language, and the texts would be other sounds.
    ASSERT_EQ(
        Run({"speak", lang, "--out", track, "--codepage", "1252", "--voice1", "Russian (Russian)",
             "--voice2", "Russian (Russian)", "--pause", "0", "--gap", "0", "--force"}),
        0)
        << Err();
    EXPECT_NE(Err().find("warning: the texts read like code page 1251 (Cyrillic)"),
              std::string::npos)
        << Err();
    EXPECT_GT(std::abs(static_cast<double>(SoundSamples(track, info).size()) -
                       static_cast<double>(twice.size())),
              0.1 * static_cast<double>(twice.size()));
}
#endif

} // namespace
} // namespace lexaro
