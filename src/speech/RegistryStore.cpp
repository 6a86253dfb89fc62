#include "speech/RegistryStore.h"

#include "data/FileUtil.h"
#include "data/StrUtil.h"

namespace lexaro {

namespace {

// Separators at either end carry no meaning: "Software\Voice\" is "Software\Voice".
std::string_view TrimSeparators(std::string_view s) {
    while (!s.empty() && (s.front() == '\\' || s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == '\\' || s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Tags that mark a value as something other than text; "sz:" marks text explicitly, so that
// a text may itself begin with one of these tags.
bool IsTypedData(std::string_view data) {
    return StartsWith(data, "dword:") || StartsWith(data, "qword:") || StartsWith(data, "hex:") ||
           StartsWith(data, "hex(") || StartsWith(data, "multi_sz:");
}

std::string FullUpperPath(TRegRoot root, std::string_view keyPath) {
    std::string path(RegRootName(root));
    const auto rest = TrimSeparators(keyPath);
    if (!rest.empty()) {
        path += '\\';
        path += rest;
    }
    return UpperCase(path);
}

} // namespace

std::string_view RegRootName(TRegRoot root) {
    return root == TRegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

TRegistryStore TRegistryStore::Parse(std::string_view text) {
    TRegistryStore store;
    std::size_t current = 0;
    bool inKey = false;

    ForEachTextLine(text, [&](std::string_view line, std::string_view) {
        const auto trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
            return;
        if (trimmed.front() == '[') {
            inKey = false;
            if (trimmed.size() < 2 || trimmed.back() != ']')
                return; // a damaged header: its values are dropped with it
            const auto path = TrimSeparators(trimmed.substr(1, trimmed.size() - 2));
            if (path.empty())
                return;
            auto upper = UpperCase(path);
            auto [it, added] = store.keyIndex_.try_emplace(upper, store.keys_.size());
            if (added)
                store.keys_.push_back(Key{std::string(path), std::move(upper), {}, {}});
            current = it->second;
            inKey = true;
            return;
        }
        const auto eq = line.find('=');
        if (!inKey || eq == std::string_view::npos)
            return;
        std::string name(TrimBlanks(line.substr(0, eq)));
        if (name == "@")
            name.clear(); // the key's default value
        std::string_view data = line.substr(eq + 1);
        Value value;
        value.Name = name;
        if (StartsWith(data, "sz:")) {
            value.Data = std::string(data.substr(3));
        } else {
            value.IsText = !IsTypedData(data);
            value.Data = std::string(data);
        }
        auto& key = store.keys_[current];
        auto& values = key.Values;
        // A repeated name replaces the earlier value in its place, as in the registry.
        auto [slot, added] = key.ValueIndex.try_emplace(UpperCase(name), values.size());
        if (added)
            values.push_back(std::move(value));
        else
            values[slot->second] = std::move(value);
    });
    return store;
}

TRegistryStore TRegistryStore::Load(const std::filesystem::path& path) {
    // Anything larger, and anything but a regular file, is not read at all.
    const byteArray bytes = ReadWholeFile(path, MaxFileSize);
    return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

const TRegistryStore::Key* TRegistryStore::FindKey(std::string_view fullUpperPath) const {
    const auto it = keyIndex_.find(std::string(fullUpperPath));
    return it == keyIndex_.end() ? nullptr : &keys_[it->second];
}

bool TRegistryStore::KeyExists(TRegRoot root, std::string_view keyPath) const {
    return FindKey(FullUpperPath(root, keyPath)) != nullptr;
}

const std::vector<TRegistryStore::Value>& TRegistryStore::Values(TRegRoot root,
                                                                 std::string_view keyPath) const {
    static const std::vector<Value> kNone;
    const Key* key = FindKey(FullUpperPath(root, keyPath));
    return key ? key->Values : kNone;
}

const TRegistryStore::Value* TRegistryStore::FindValue(TRegRoot root, std::string_view keyPath,
                                                       std::string_view name) const {
    const Key* key = FindKey(FullUpperPath(root, keyPath));
    if (!key)
        return nullptr;
    const auto it = key->ValueIndex.find(UpperCase(name));
    return it == key->ValueIndex.end() ? nullptr : &key->Values[it->second];
}

std::vector<std::string> TRegistryStore::SubkeyNames(TRegRoot root,
                                                     std::string_view keyPath) const {
    const std::string prefix = FullUpperPath(root, keyPath) + '\\';
    std::vector<std::string> names;
    for (const auto& key : keys_) {
        if (key.UpperPath.size() <= prefix.size() || !StartsWith(key.UpperPath, prefix))
            continue;
        const std::string_view rest = std::string_view(key.Path).substr(prefix.size());
        if (rest.find('\\') == std::string_view::npos)
            names.emplace_back(rest);
    }
    return names;
}

} // namespace lexaro
