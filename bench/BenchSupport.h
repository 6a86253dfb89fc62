#pragma once

// What the benchmark programs share.

#include "data/LangFHandler.h"
#include "data/Lesson.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace lexaro::bench {

// A folder of the benchmark's own below the system's temporary folder, made when missing.
inline std::filesystem::path BenchFolder(std::string_view name) {
    auto folder = std::filesystem::temp_directory_path() / ("lexaro_bench_" + std::string(name));
    std::filesystem::create_directories(folder);
    return folder;
}

// Fills model with lessons 1..lessons of perLesson pairs each; fill(pair, lesson, k) gives the
// k-th pair of a lesson its texts and marks.
template <typename F>
void FillLessons(TLangFHandler& model, std::int32_t lessons, std::int64_t perLesson, F fill) {
    for (std::int32_t n = 1; n <= lessons; ++n) {
        auto lesson = std::make_shared<TLesson>();
        lesson->number = n;
        for (std::int64_t k = 0; k < perLesson; ++k)
            fill(*lesson->NewPair(k), n, k);
        model.PutLesson(lesson);
    }
}

// Runs the benchmarks asked for on the command line, then removes the benchmark's folder.
inline int RunAndRemove(int argc, char** argv, const std::filesystem::path& folder) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}

} // namespace lexaro::bench
