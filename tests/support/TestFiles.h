#pragma once

#include "data/ByteVector.h"
#include "data/CodeDecode.h"
#include "data/MessageSink.h"
#include "data/StrVector.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

namespace lexaro::test {

// A fresh folder for one test, removed afterwards.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "lexaro_test_") {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        path_ = std::filesystem::temp_directory_path() / (prefix + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline void WriteBytes(const std::string& path, const byteArray& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The stored form of a coded file holding these lines (Windows-1252).
inline byteArray CodedFile(std::initializer_list<const char*> lines) {
    TStrVector v;
    for (const char* line : lines)
        v.Add(line);
    return EncodeLines(v);
}

// Records what would have been shown to the user.
struct RecordingSink : IMessageSink {
    struct Shown {
        std::string caption, text;
        Icon icon;
    };
    std::vector<Shown> shown;
    void Warn(const std::string& caption, const std::string& text, Icon icon) override {
        shown.push_back({caption, text, icon});
    }
};

#ifndef _WIN32
// Runs check in a child process that cannot override permissions (root gives up its rights
// there), with everything in folder open to it except readOnly, and expects it to succeed.
inline void RunWithoutPrivileges(const std::filesystem::path& folder,
                                 const std::filesystem::path& readOnly,
                                 const std::function<bool()>& check) {
    std::error_code ec;
    std::filesystem::permissions(folder, std::filesystem::perms::all, ec);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::all, ec);
    std::filesystem::permissions(
        readOnly,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
            std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
            std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        ec);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

#endif

} // namespace lexaro::test
