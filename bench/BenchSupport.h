#pragma once

// What the benchmark programs share.

#include <filesystem>
#include <string>
#include <string_view>

namespace lexaro::bench {

// A folder of the benchmark's own below the system's temporary folder, made when missing.
inline std::filesystem::path BenchFolder(std::string_view name) {
    auto folder = std::filesystem::temp_directory_path() / ("lexaro_bench_" + std::string(name));
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace lexaro::bench
