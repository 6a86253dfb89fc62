// Growing a TStrVector by a million Adds of short strings against push_back into a
// std::vector<std::string> of the same strings.
#include "data/StrVector.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr std::size_t kCount = 1'000'000;

const std::vector<std::string>& Words() {
    static const std::vector<std::string> words = [] {
        static const char* const stems[] = {"house",   "door",   "table",  "window", "garden",
                                            "kitchen", "friend", "school", "water",  "bread"};
        std::vector<std::string> w;
        w.reserve(kCount);
        for (std::size_t i = 0; i < kCount; ++i)
            w.push_back(std::string(stems[i % 10]) + std::to_string(i % 1000));
        return w;
    }();
    return words;
}

void BM_TStrVectorAdd(benchmark::State& state) {
    const auto& words = Words();
    for (auto _ : state) {
        lexaro::TStrVector v;
        for (const auto& w : words)
            v.Add(w);
        benchmark::DoNotOptimize(v.Count());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kCount));
}

void BM_StdVectorPushBack(benchmark::State& state) {
    const auto& words = Words();
    for (auto _ : state) {
        std::vector<std::string> v;
        for (const auto& w : words)
            v.push_back(w);
        benchmark::DoNotOptimize(v.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kCount));
}

} // namespace

BENCHMARK(BM_StdVectorPushBack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TStrVectorAdd)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
