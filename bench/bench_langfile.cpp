// Loading and saving a language file of everyday-length pairs in 100 lessons (10k, 100k and
// 1M pairs) against baselines that do the same file work with plain standard code: read,
// unscramble and split into std::string lines; encode the same lines and write them.
// Save writes atomically and flushes to disk, so a baseline that writes the same way through
// WriteWholeFile is shown beside the one with a plain stream.
// Unicode: the load of 1M pairs of Japanese and Chinese texts under 65001, each text then
// shown once (converted to UTF-8), against the same number of pairs of English and German
// texts under 1252 (BM_LoadAndShow/1252 is the baseline of BM_LoadAndShow/65001). The CJK words
// are of everyday length (three to five characters, 9 to 15 bytes; the Latin ones 8 to 13).
#include "BenchSupport.h"
#include "data/CodePage.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "data/StrUtil.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace lexaro;

constexpr std::int32_t kLessons = 100;

// Short everyday texts: "the green house 17" / "das grüne Haus 17".
void Generate(TLangFHandler& model, std::int64_t pairs) {
    static const char* const en[] = {"the house", "the door",  "a big table", "the window",
                                     "my garden", "a kitchen", "her friend",  "the school"};
    static const char* const de[] = {"das Haus",
                                     "die T\xFCr",
                                     "ein gro\xDF"
                                     "er Tisch",
                                     "das Fenster",
                                     "mein Garten",
                                     "eine K\xFC"
                                     "che",
                                     "ihr Freund",
                                     "die Schule"};
    model.Clear();
    model.SetLanguageNames("English", "Deutsch");
    bench::FillLessons(model, kLessons, pairs / kLessons,
                       [&](TWordPear& pair, std::int32_t n, std::int64_t k) {
                           const std::string tag = " " + std::to_string(k % 100);
                           pair.text1 = en[k % 8] + tag;
                           pair.text2 = de[(k + n) % 8] + tag;
                           pair.use = k % 3 != 0;
                           pair.drawn = k % 7 == 0;
                       });
}

// The same number of pairs in Japanese and Chinese.
void GenerateCjk(TLangFHandler& model, std::int64_t pairs) {
    static const char* const ja[] = {"大きい家", "玄関のドア", "大きな机",   "窓ガラス",
                                     "私の庭",   "台所の中",   "彼女の友達", "小学校"};
    static const char* const zh[] = {"这个房子", "那扇门",   "一张大桌子", "窗户玻璃",
                                     "我的花园", "一个厨房", "她的朋友",   "那所学校"};
    model.Clear();
    model.SetLanguageNames("日本語", "中文");
    bench::FillLessons(model, kLessons, pairs / kLessons,
                       [&](TWordPear& pair, std::int32_t n, std::int64_t k) {
                           const std::string tag = " " + std::to_string(k % 100);
                           pair.text1 = ja[k % 8] + tag;
                           pair.text2 = zh[(k + n) % 8] + tag;
                           pair.use = k % 3 != 0;
                           pair.drawn = k % 7 == 0;
                       });
}

std::filesystem::path Folder() {
    static const auto folder = bench::BenchFolder("langfile");
    return folder;
}

// The file of a size, written once per run.
const std::string& FileOf(std::int64_t pairs) {
    static std::map<std::int64_t, std::string> files;
    auto& path = files[pairs];
    if (path.empty()) {
        path = (Folder() / ("pairs" + std::to_string(pairs) + ".lang")).string();
        TLangFHandler model;
        Generate(model, pairs);
        if (!model.Save(path))
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
    return path;
}

std::vector<std::uint8_t> ReadPlain(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Unscramble(std::vector<std::uint8_t>& data) {
    std::uint8_t key = 1;
    for (auto& b : data) {
        b = static_cast<std::uint8_t>(b ^ key);
        key = key == 254 ? 1 : static_cast<std::uint8_t>(key + 1);
    }
}

// The lines between the marker byte and the checksum byte.
std::vector<std::string> SplitLines(const std::vector<std::uint8_t>& plain) {
    std::vector<std::string> lines;
    if (plain.size() < 2)
        return lines;
    const std::string_view inner(reinterpret_cast<const char*>(plain.data()) + 1, plain.size() - 2);
    ForEachTextLine(inner,
                    [&](std::string_view line, std::string_view) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::uint8_t> Encode(const std::vector<std::string>& lines) {
    std::size_t total = 2;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::vector<std::uint8_t> out;
    out.reserve(total);
    out.push_back(204);
    for (const auto& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back(13);
        out.push_back(10);
    }
    std::uint8_t x = 0;
    for (const auto b : out)
        x ^= b;
    out.push_back(x);
    Unscramble(out);
    return out;
}

void SetCounters(benchmark::State& state, const std::string& path) {
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_Load(benchmark::State& state) {
    const std::string& path = FileOf(state.range(0));
    TLangFHandler model;
    for (auto _ : state) {
        model.Clear();
        benchmark::DoNotOptimize(model.Load(path));
    }
    SetCounters(state, path);
}

void BM_LoadBaseline(benchmark::State& state) {
    const std::string& path = FileOf(state.range(0));
    for (auto _ : state) {
        auto data = ReadPlain(path);
        Unscramble(data);
        auto lines = SplitLines(data);
        benchmark::DoNotOptimize(lines.data());
    }
    SetCounters(state, path);
}

void BM_Save(benchmark::State& state) {
    const std::string& source = FileOf(state.range(0));
    const std::string out = (Folder() / "save.lang").string();
    TLangFHandler model;
    model.Load(source);
    for (auto _ : state)
        benchmark::DoNotOptimize(model.Save(out));
    SetCounters(state, source);
}

std::vector<std::string> LinesOf(const std::string& path) {
    auto data = ReadPlain(path);
    Unscramble(data);
    return SplitLines(data);
}

void BM_SaveBaselinePlainStream(benchmark::State& state) {
    const std::string& source = FileOf(state.range(0));
    const std::string out = (Folder() / "baseline.lang").string();
    const auto lines = LinesOf(source);
    for (auto _ : state) {
        const auto bytes = Encode(lines);
        std::ofstream(out, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    SetCounters(state, source);
}

void BM_SaveBaselineAtomic(benchmark::State& state) {
    const std::string& source = FileOf(state.range(0));
    const std::string out = (Folder() / "baseline.lang").string();
    const auto lines = LinesOf(source);
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteWholeFile(out, Encode(lines), true));
    SetCounters(state, source);
}

// The file of 1M pairs in the code page's script, written once per run.
const std::string& ScriptFileOf(int page) {
    static std::map<int, std::string> files;
    auto& path = files[page];
    if (path.empty()) {
        path = (Folder() / ("script" + std::to_string(page) + ".lang")).string();
        TLangFHandler model;
        if (page == TCodePage::kUtf8)
            GenerateCjk(model, 1'000'000);
        else
            Generate(model, 1'000'000);
        if (!model.Save(path))
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
    return path;
}

void BM_LoadAndShow(benchmark::State& state) {
    const auto number = static_cast<int>(state.range(0));
    const std::string& path = ScriptFileOf(number);
    const TCodePage& page = TCodePage::Get(number);
    TLangFHandler model;
    for (auto _ : state) {
        model.Clear();
        benchmark::DoNotOptimize(model.Load(path));
        std::size_t shown = 0;
        for (std::int32_t n = 0; n < model.SlotCount(); ++n) {
            const auto lesson = model.LessonAt(n);
            if (!lesson)
                continue;
            for (std::int32_t i = 0; i < lesson->PairCount(); ++i) {
                const auto pair = lesson->PairAt(i);
                shown += page.ToUtf8(pair->text1).size() + page.ToUtf8(pair->text2).size();
            }
        }
        benchmark::DoNotOptimize(shown);
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_LoadBaseline)->Apply(Sizes);
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_SaveBaselinePlainStream)->Apply(Sizes);
BENCHMARK(BM_SaveBaselineAtomic)->Apply(Sizes);
BENCHMARK(BM_Save)->Apply(Sizes);
BENCHMARK(BM_LoadAndShow)->Arg(1252)->Arg(TCodePage::kUtf8)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::RunAndRemove(argc, argv, Folder());
}
