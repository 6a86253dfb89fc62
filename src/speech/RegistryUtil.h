#pragma once

#include "data/StrVector.h"
#include "data/Vector.h"
#include "speech/RegEntryStr.h"
#include "speech/RegistryStore.h"

#include <stdexcept>
#include <string>

namespace lexaro {

// A registry value that should be text is not: "Invalid data type for '<value name>'".
class TRegistryError : public std::runtime_error {
public:
    explicit TRegistryError(const std::string& valueName);
};

// The string data of one value; an absent key or value gives the empty string. Throws
// TRegistryError when the value is not text.
std::string ReadRegString(const TRegistryStore& store, TRegRoot root, const std::string& keyPath,
                          const std::string& valueName);
// Fills list with the value names of the key; true if the list is not empty.
bool GetRegValueNames(TStrVector& list, const TRegistryStore& store, TRegRoot root,
                      const std::string& keyPath);
// Fills list with the subkey names of the key; true if the list is not empty.
bool GetRegKeyNames(TStrVector& list, const TRegistryStore& store, TRegRoot root,
                    const std::string& keyPath);
// Appends one entry per value of every direct subkey of baseKey, subkeys and values in
// store order. Throws TRegistryError for a value that is not text.
void CollectRegEntries(TVector<TRegEntryStr>& list, const TRegistryStore& store, TRegRoot root,
                       const std::string& baseKey);

} // namespace lexaro
