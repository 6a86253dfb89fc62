#pragma once

#include "data/FileUtil.h"
#include "data/IntVector.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lexaro {

// Raised when the settings file cannot be written: "Unable to write to <path>: <reason>".
class TIniWriteError : public std::runtime_error {
public:
    TIniWriteError(const std::filesystem::path& path, const TFileResult& failure);
    const std::filesystem::path& path() const { return path_; }
    const TFileResult& failure() const { return failure_; }

private:
    std::filesystem::path path_;
    TFileResult failure_;
};

// An integer as the settings file writes it: decimal, or hexadecimal after 0x / 0X.
bool ParseIniInteger(std::string_view s, std::int32_t& value);

// Lexaro's own INI file: section and key names match without regard to case, a key that
// exists is replaced where it stands, sections are erased as a whole, new sections and keys
// are appended in the order written, and every other byte of the file (comments, unknown
// sections and keys, their order) is kept as it was. Changes stay in memory until Flush.
class TIniFile {
public:
    TIniFile();
    // Reads the file when it exists; a missing file starts empty. A file that cannot be read
    // (not a regular file, far too large, refused) starts empty too, and is never written.
    explicit TIniFile(std::filesystem::path path);

    const std::filesystem::path& FileName() const { return path_; }
    // How reading the file went; FileFault::NotFound for a file that does not exist yet.
    const TFileResult& ReadResult() const { return read_; }
    void LoadText(std::string_view text);
    // The file's content as it would be written.
    std::string Text() const;

    // Strings are read up to 2047 characters.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Decimal, or hexadecimal after 0x / 0X; anything else gives def.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The number of distinct keys in a section (0 when it is missing).
    std::size_t KeyCount(std::string_view section) const;
    // Calls fn(i, value) for each key of the section named by a decimal number i below n
    // ("0", "1", ...), in no particular order.
    void ForEachNumberedKey(std::string_view section, std::size_t n,
                            const std::function<void(std::size_t, std::string_view)>& fn) const;

    // Values never carry line breaks into the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void EraseSection(std::string_view section);

    bool Dirty() const { return dirty_; }
    // Writes the file atomically when something changed; throws TIniWriteError on failure,
    // leaving the file on disk as it was.
    void Flush();

private:
    struct Line {
        std::string text;     // without its line end
        std::string eol;      // "\r\n", "\n", "\r" or empty for a last line without one
        std::size_t valuePos; // where the value starts in a key line, npos otherwise
    };
    struct Section {
        std::string nameUpper;   // empty for the lines before the first section
        std::vector<Line> lines; // the header line first (except for the leading lines)
        std::unordered_map<std::string, std::size_t> keys; // upper-case key -> first line
        bool erased = false; // keeps its place, so that a rewritten section stays where it was
    };

    const Line* FindKey(std::string_view section, std::string_view key) const;
    Section* FindSection(std::string_view section);
    const Section* FindSection(std::string_view section) const;
    void Reindex();
    void EndLastLine();

    std::filesystem::path path_;
    TFileResult read_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // upper-case name -> first
    std::string newline_ = "\r\n";
    // The last section looked up, by the name as the caller spelled it: the settings read and
    // write a section's keys one after another. Index 0 (the leading lines) means none.
    mutable std::string cachedName_;
    mutable std::size_t cachedIndex_ = 0;
    bool dirty_ = false;
};

// The settings accessor: numbered lists and text booleans on top of the INI file.
class tIniFileHandler : public TIniFile {
public:
    using TIniFile::TIniFile;

    // "True"/"False" in any case; anything else gives def.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // n from the count key (default 0), each element an integer with default -1.
    intArray ReadIntList(std::string_view section, std::string_view countKey) const;
    // Keys "0" .. "n-1"; the caller writes the count key.
    void WriteIntList(std::string_view section, const intArray& values);
    std::vector<std::string> ReadStringList(std::string_view section,
                                            std::string_view countKey) const;
    void WriteStringList(std::string_view section, const std::vector<std::string>& values);
    // Keys "0", "1", ... up to the first missing or empty value.
    std::int32_t CountNumberedKeys(std::string_view section) const;
};

} // namespace lexaro
