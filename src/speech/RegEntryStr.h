#pragma once

#include "speech/RegistryStore.h"

#include <string>

namespace lexaro {

// One registry string value, filled once and never changed.
class TRegEntryStr {
public:
    TRegEntryStr(std::string keyPath, std::string valueName, std::string valueData,
                 TRegRoot rootKey);

    const std::string& KeyPath() const { return KeyPath_; }
    const std::string& ValueName() const { return ValueName_; }
    const std::string& ValueData() const { return ValueData_; }

private:
    std::string KeyPath_;
    std::string ValueName_;
    std::string ValueData_;
    TRegRoot RootKey_; // kept with the value; nothing reads it
};

} // namespace lexaro
