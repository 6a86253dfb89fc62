// Reading and writing the settings file (500 exercise entries, 100 chosen lessons) against
// reading and writing the same bytes with plain streams. The settings write is atomic and
// flushed to disk, so the fair baseline writes the same way (WriteWholeFile); the baseline
// with a plain unflushed stream is shown as well.
#include "BenchSupport.h"
#include "app/AppIniFile.h"
#include "data/FileUtil.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using namespace lexaro;

struct Fixture {
    std::filesystem::path folder;
    std::string iniPath;
    std::string copyPath;

    Fixture() {
        folder = bench::BenchFolder("settings");
        iniPath = (folder / kIniFileName).string();
        copyPath = (folder / "copy.ini").string();
        std::ofstream((folder / kIniFileName).string(), std::ios::binary) << "";

        // Let the program write a realistic file once.
        TAppIniFile s(folder.string(), nullptr);
        s.ReadExerciseSection();
        s.ReadGeneralSection();
        s.ReadFontSection();
        s.ReadVoiceSection();
        s.exercise.LangFileName = (folder / "LangFiles" / "English-Deutsch" / "en.lang").string();
        s.exercise.Lang1 = "English";
        s.exercise.Lang2 = "Deutsch";
        s.exercise.MaxWords = 500;
        for (int n = 1; n <= 100; ++n)
            s.exercise.AvailableUnits.push_back(n);
        for (int i = 0; i < 500; ++i)
            s.exercise.ExerciseWords.push_back({1 + i % 100, i / 100 * 7 + 3, i % 9, false});
        s.WriteAll("DE");
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

std::string ReadStream(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void BM_SettingsReadWrite(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        TAppIniFile s(f.folder.string(), nullptr);
        s.ReadExerciseSection();
        s.ReadGeneralSection();
        s.ReadFontSection();
        s.ReadVoiceSection();
        s.WriteAll("DE"); // the lists are erased and rewritten: always a real write
        benchmark::DoNotOptimize(s.exercise.ExerciseWords.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(f.iniPath)));
}

// Like with like: the same bytes read with a stream and written atomically and flushed.
void BM_StreamReadAtomicWrite(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        const std::string text = ReadStream(f.iniPath);
        const byteArray bytes(text.begin(), text.end());
        benchmark::DoNotOptimize(WriteWholeFile(f.copyPath, bytes, true));
    }
}

// The lower bound: a plain stream read and a plain stream write, nothing flushed to disk.
void BM_StreamReadPlainWrite(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        const std::string text = ReadStream(f.iniPath);
        std::ofstream out(f.copyPath, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
}

// The settings work without the disk: parse the text, read every group, write every group.
void BM_SettingsInMemory(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string text = ReadStream(f.iniPath);
    for (auto _ : state) {
        tIniFileHandler ini;
        ini.LoadText(text);
        const intArray units = ini.ReadIntList("AvailableUnits", "NbrUnits");
        std::vector<std::string> words;
        const std::int32_t n = ini.ReadInteger("ExerciseWords", "NbrWords", 0);
        for (std::int32_t i = 0; i < n; ++i)
            words.push_back(ini.ReadString("ExerciseWords", std::to_string(i), ""));
        ini.EraseSection("ExerciseWords");
        ini.EraseSection("AvailableUnits");
        ini.WriteIntList("AvailableUnits", units);
        ini.WriteStringList("ExerciseWords", words);
        benchmark::DoNotOptimize(ini.Text());
    }
}

BENCHMARK(BM_SettingsReadWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StreamReadAtomicWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StreamReadPlainWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SettingsInMemory)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
