// Text of other code pages against Western European text, each baseline in the same run:
// - the load of a language file of 1M pairs of Cyrillic text (TLangFHandler::Load) and its
//   texts converted once to UTF-8 in code page 1251, against the same for a file of Latin text
//   of the same lengths in code page 1252; also the Cyrillic file read in 1252, the very same
//   bytes as the learner without the setting would read them;
// - the lesson editor's sort (std::stable_sort by TCodePage::Compare ignoring case) of 10,000
//   random Cyrillic words in 1251, against 10,000 random Latin words in 1252;
// - the plausibility score of a file's texts in all six code pages (what check adds), against
//   its load.
#include "BenchSupport.h"
#include "data/CodePage.h"
#include "data/CodePageGuess.h"
#include "data/LangFHandler.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace lexaro;

constexpr std::int32_t kLessons = 100;
constexpr std::int64_t kPairs = 1'000'000;

// Letters a word is made of, as UTF-8 characters, the small ones more often.
std::vector<std::string> Letters(int page) {
    const char* small =
        page == 1251 ? "абвгдеёжзийклмнопрстуфхцчшщъыьэюя" : "abcdefghijklmnopqrstuvwxyz";
    const char* capital =
        page == 1251 ? "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ" : "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::vector<std::string> letters;
    for (const char* set : {small, small, small, capital}) {
        const std::string text(set);
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t n = page == 1251 ? 2 : 1; // Cyrillic letters take two bytes
            letters.push_back(text.substr(i, n));
            i += n;
        }
    }
    return letters;
}

// Random words of 3 to 12 letters, stored in the code page; the same lengths for every page.
std::vector<std::string> Words(int page, std::size_t count, std::uint32_t seed) {
    const TCodePage& codePage = TCodePage::Get(page);
    const std::vector<std::string> letters = Letters(page);
    std::mt19937 rng(seed);
    std::vector<std::string> words;
    words.reserve(count);
    for (std::size_t w = 0; w < count; ++w) {
        std::string utf8;
        const auto n = static_cast<std::uint32_t>(3 + rng() % 10);
        for (std::uint32_t i = 0; i < n; ++i)
            utf8 += letters[rng() % letters.size()];
        std::string stored;
        codePage.FromUtf8(utf8, stored);
        words.push_back(std::move(stored));
    }
    return words;
}

std::filesystem::path Folder() {
    static const auto folder = bench::BenchFolder("codepage");
    return folder;
}

// The file of 1M pairs of words of that code page ("house 17" / "дом 17" alike), written once
// per run.
const std::string& FileOf(int page) {
    static std::map<int, std::string> files;
    std::string& path = files[page];
    if (!path.empty())
        return path;
    path = (Folder() / ("pairs" + std::to_string(page) + ".lang")).string();
    const std::vector<std::string> words = Words(page, 2000, 7);
    TLangFHandler model;
    model.SetLanguageNames(words[0], words[1]);
    bench::FillLessons(
        model, kLessons, kPairs / kLessons, [&](TWordPear& pair, std::int32_t n, std::int64_t k) {
            const std::string tag = " " + std::to_string(k % 100);
            pair.text1 = words[static_cast<std::size_t>(k % 1000)] + tag;
            pair.text2 = words[static_cast<std::size_t>(1000 + (k + n) % 1000)] + tag;
            pair.use = k % 3 != 0;
        });
    if (!model.Save(path))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return path;
}

// Calls f with every pair of the file.
template <typename F> void ForEachPair(const TLangFHandler& model, F f) {
    for (const auto& lesson : model.lessons) {
        if (!lesson)
            continue;
        for (const auto& pair : lesson->pairs)
            if (pair)
                f(*pair);
    }
}

// Loads the file and converts every text once to UTF-8, as a window showing them all would.
void LoadAndConvert(benchmark::State& state, int filePage, int readPage) {
    const std::string& path = FileOf(filePage);
    const TCodePage& page = TCodePage::Get(readPage);
    TLangFHandler model;
    for (auto _ : state) {
        model.Clear();
        benchmark::DoNotOptimize(model.Load(path));
        std::size_t bytes = page.ToUtf8(model.GetLang1Name()).size();
        ForEachPair(model, [&](const TWordPear& pair) {
            bytes += page.ToUtf8(pair.text1).size() + page.ToUtf8(pair.text2).size();
        });
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
}

void BM_LoadLatin1252Baseline(benchmark::State& state) {
    LoadAndConvert(state, 1252, 1252);
}
void BM_LoadCyrillic1251(benchmark::State& state) {
    LoadAndConvert(state, 1251, 1251);
}
void BM_LoadCyrillicReadIn1252(benchmark::State& state) {
    LoadAndConvert(state, 1251, 1252);
}

// The two parts on their own: the load, and the conversion of a loaded file.
void LoadOnly(benchmark::State& state, int filePage) {
    const std::string& path = FileOf(filePage);
    TLangFHandler model;
    for (auto _ : state) {
        model.Clear();
        benchmark::DoNotOptimize(model.Load(path));
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
}
void ConvertOnly(benchmark::State& state, int filePage) {
    const TCodePage& page = TCodePage::Get(filePage);
    TLangFHandler model;
    model.Load(FileOf(filePage));
    for (auto _ : state) {
        std::size_t bytes = 0;
        ForEachPair(model, [&](const TWordPear& pair) {
            bytes += page.ToUtf8(pair.text1).size() + page.ToUtf8(pair.text2).size();
        });
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
}
void BM_LoadOnlyLatin1252Baseline(benchmark::State& state) {
    LoadOnly(state, 1252);
}
void BM_LoadOnlyCyrillic1251(benchmark::State& state) {
    LoadOnly(state, 1251);
}
void BM_ConvertOnlyLatin1252Baseline(benchmark::State& state) {
    ConvertOnly(state, 1252);
}
void BM_ConvertOnlyCyrillic1251(benchmark::State& state) {
    ConvertOnly(state, 1251);
}

// The texts of the file judged in every code page, as check does after its load.
void BM_GuessCyrillicFile(benchmark::State& state) {
    TLangFHandler model;
    model.Load(FileOf(1251));
    for (auto _ : state) {
        TCodePageGuess guess;
        ForEachPair(model, [&](const TWordPear& pair) {
            guess.Add(pair.text1);
            guess.Add(pair.text2);
        });
        benchmark::DoNotOptimize(guess.ClearlyBetterThan(TCodePage::Western()));
    }
    state.SetItemsProcessed(state.iterations() * kPairs);
}

// What the main window reads of a loaded file to tell whether it reads better in another code
// page: its first texts, against loading the file.
void BM_GuessFirstTextsOfTheFile(benchmark::State& state) {
    TLangFHandler model;
    model.Load(FileOf(1251));
    for (auto _ : state)
        benchmark::DoNotOptimize(GuessOfFile(model).ClearlyBetterThan(TCodePage::Western()));
}

// The lesson editor's sort: stable, by the code page's order ignoring case.
void SortWords(benchmark::State& state, int page) {
    const TCodePage& codePage = TCodePage::Get(page);
    const std::vector<std::string> words = Words(page, 10'000, 42);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = words;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end(), [&](const std::string& a, const std::string& b) {
            return codePage.Compare(a, b, true) < 0;
        });
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(state.iterations() * 10'000);
}

void BM_SortLatin1252Baseline(benchmark::State& state) {
    SortWords(state, 1252);
}
void BM_SortCyrillic1251(benchmark::State& state) {
    SortWords(state, 1251);
}

} // namespace

BENCHMARK(BM_LoadLatin1252Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCyrillic1251)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCyrillicReadIn1252)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOnlyLatin1252Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOnlyCyrillic1251)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertOnlyLatin1252Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertOnlyCyrillic1251)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuessCyrillicFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuessFirstTextsOfTheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortLatin1252Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortCyrillic1251)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::RunAndRemove(argc, argv, Folder());
}
