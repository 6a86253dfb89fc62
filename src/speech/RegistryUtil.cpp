#include "speech/RegistryUtil.h"

#include <memory>

namespace lexaro {

TRegistryError::TRegistryError(const std::string& valueName)
    : std::runtime_error("Invalid data type for '" + valueName + "'") {}

std::string ReadRegString(const TRegistryStore& store, TRegRoot root, const std::string& keyPath,
                          const std::string& valueName) {
    const auto* value = store.FindValue(root, keyPath, valueName);
    if (!value)
        return {};
    if (!value->IsText)
        throw TRegistryError(valueName);
    return value->Data;
}

bool GetRegValueNames(TStrVector& list, const TRegistryStore& store, TRegRoot root,
                      const std::string& keyPath) {
    list.Clear();
    for (const auto& value : store.Values(root, keyPath))
        list.Add(value.Name);
    return list.Count() > 0;
}

bool GetRegKeyNames(TStrVector& list, const TRegistryStore& store, TRegRoot root,
                    const std::string& keyPath) {
    list.Clear();
    for (auto& name : store.SubkeyNames(root, keyPath))
        list.Add(std::move(name));
    return list.Count() > 0;
}

void CollectRegEntries(TVector<TRegEntryStr>& list, const TRegistryStore& store, TRegRoot root,
                       const std::string& baseKey) {
    TStrVector subkeys;
    GetRegKeyNames(subkeys, store, root, baseKey);
    for (const auto& subkey : subkeys) {
        const std::string path = baseKey + "\\" + subkey;
        TStrVector names;
        GetRegValueNames(names, store, root, path);
        for (const auto& name : names) {
            std::string data = ReadRegString(store, root, path, name);
            list.Add(std::make_shared<TRegEntryStr>(path, name, std::move(data), root));
        }
    }
}

} // namespace lexaro
