#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lexaro {

// The registry roots a key path can start from.
enum class TRegRoot { LocalMachine, CurrentUser };

// "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER".
std::string_view RegRootName(TRegRoot root);

// The read-only registry of the program: a text file in the application folder with one
// section per key path and name=value lines (the syntax is described in Lexaro.Reg itself).
// Key paths and value names compare ignoring case, as in the registry. Lines that are not
// understood are skipped; a missing or damaged file gives an empty or partial store.
class TRegistryStore {
public:
    struct Value {
        std::string Name;
        std::string Data;   // Windows-1252 text, or the raw text of a typed value
        bool IsText = true; // false for dword:, qword:, hex: and multi_sz: values
    };

    // Files larger than this are refused as damaged.
    static constexpr std::size_t MaxFileSize = 1024 * 1024;

    TRegistryStore() = default;
    static TRegistryStore Parse(std::string_view text);
    // A missing, unreadable or oversized file gives an empty store.
    static TRegistryStore Load(const std::filesystem::path& path);

    bool KeyExists(TRegRoot root, std::string_view keyPath) const;
    // The values of a key in file order; empty for a missing key.
    const std::vector<Value>& Values(TRegRoot root, std::string_view keyPath) const;
    // One value by name; null when the key or the value is absent.
    const Value* FindValue(TRegRoot root, std::string_view keyPath, std::string_view name) const;
    // The names of the keys whose path extends keyPath by one step, in file order.
    std::vector<std::string> SubkeyNames(TRegRoot root, std::string_view keyPath) const;
    std::size_t KeyCount() const { return keys_.size(); }

private:
    struct Key {
        std::string Path; // as written, root included, without surrounding separators
        std::string UpperPath;
        std::vector<Value> Values;
        std::unordered_map<std::string, std::size_t> ValueIndex; // upper-case name -> slot
    };
    const Key* FindKey(std::string_view fullUpperPath) const;

    std::vector<Key> keys_;
    std::unordered_map<std::string, std::size_t> keyIndex_; // upper-case full path -> slot
};

} // namespace lexaro
