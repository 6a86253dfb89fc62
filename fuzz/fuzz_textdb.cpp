// Text.Db comes from disk and may hold anything: opening and selecting a language must never
// crash or allocate without bound, whatever the bytes. The input is tried twice: as the stored
// database itself, and as section content wrapped in a valid frame, so that the section and
// line parsing is reached past the checksum.
#include "app/AppLangHandl.h"
#include "data/CodeDecode.h"
#include "data/StrUtil.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using lexaro::fuzz::Check;

void SelectAndRead(lexaro::TAppLangHandler& texts) {
    for (const char* code : {"EN", "DE", "##"}) {
        try {
            (void)texts.SelectLanguage(code);
        } catch (const lexaro::TConvertError&) {
            // A faulty number line ends the selection with the texts read so far.
        }
        for (std::int32_t n : {-1, 0, 1, 137, 138, 65535})
            Check(!texts.GetText(n).empty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lexaro;
    const byteArray input(data, data + size);

    TAppLangHandler stored;
    if (stored.OpenTextDbBytes(input))
        SelectAndRead(stored);
    else
        Check(stored.GetText(0) == kMissingText);

    // Marker, content, checksum and terminator, scrambled: always a valid frame.
    TAppLangHandler wrapped;
    Check(wrapped.OpenTextDbBytes(fuzz::CodedFrame(data, size, 1)));
    SelectAndRead(wrapped);
    return 0;
}
