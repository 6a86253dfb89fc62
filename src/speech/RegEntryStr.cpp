#include "speech/RegEntryStr.h"

#include <utility>

namespace lexaro {

TRegEntryStr::TRegEntryStr(std::string keyPath, std::string valueName, std::string valueData,
                           TRegRoot rootKey)
    : KeyPath_(std::move(keyPath)), ValueName_(std::move(valueName)),
      ValueData_(std::move(valueData)), RootKey_(rootKey) {
    (void)RootKey_;
}

} // namespace lexaro
