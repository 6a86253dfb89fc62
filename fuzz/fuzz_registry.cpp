// Fuzzes the registry store parser and the lookups that voice discovery and the sample
// sentences make on it.
#include "speech/RegistryStore.h"
#include "speech/RegistryUtil.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace lexaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > TRegistryStore::MaxFileSize)
        return 0; // the program refuses such files before parsing
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto store = TRegistryStore::Parse(text);
    const TRegRoot roots[] = {TRegRoot::LocalMachine, TRegRoot::CurrentUser};
    for (const TRegRoot root : roots) {
        TVector<TRegEntryStr> entries;
        try {
            CollectRegEntries(entries, store, root, "Software\\L&H\\TTS\\V6.0\\Voice");
        } catch (const TRegistryError&) {
        }
        TStrVector names;
        GetRegValueNames(names, store, root, "Software\\Voice");
        for (const auto& name : names) {
            try {
                (void)ReadRegString(store, root, "Software\\Voice", name);
            } catch (const TRegistryError&) {
            }
        }
        TStrVector keys;
        GetRegKeyNames(keys, store, root, "");
        GetRegKeyNames(keys, store, root, "Software");
    }
    return 0;
}
