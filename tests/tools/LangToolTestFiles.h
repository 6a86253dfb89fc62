#pragma once

#include "data/ByteVector.h"
#include "data/CodeDecode.h"
#include "data/StrVector.h"

#include "../data/TestFiles.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace lexaro::test {

// A fresh folder for one test, removed afterwards.
class ToolTempDir : public TempDir {
public:
    ToolTempDir() : TempDir("lexaro_langtool_") {}
};

inline void WriteText(const std::string& path, const std::string& text) {
    WriteFileBytes(path, text);
}

inline std::string ReadText(const std::string& path) {
    return ReadFileBytes(path);
}

// The stored form of a coded file holding these lines (Windows-1252).
inline byteArray CodedFile(std::initializer_list<const char*> lines) {
    TStrVector v;
    for (const char* line : lines)
        v.Add(line);
    return EncodeLines(v);
}

inline void WriteBytes(const std::string& path, const byteArray& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace lexaro::test
