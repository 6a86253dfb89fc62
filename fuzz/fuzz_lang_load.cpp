// Language files come from disk and may hold anything: loading must never crash or allocate
// without bound (far pair numbers share the load's slot budget; a bad number raises the
// conversion error), and a loaded file must save and
// load again to the same stored bytes. The input is tried twice: as the stored file itself,
// and as file content wrapped in a valid frame, so that the line reader is reached past the
// checksum.
#include "data/CodeDecode.h"
#include "data/LangFHandler.h"
#include "data/StrUtil.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using lexaro::fuzz::Check;

void LoadAndSaveAgain(const lexaro::byteArray& stored) {
    lexaro::TLangFHandler model;
    try {
        if (!model.LoadBytes(stored)) {
            Check(model.LastFault() != lexaro::DecodeFault::None);
            Check(model.SlotCount() == 0);
            return;
        }
    } catch (const lexaro::TConvertError&) {
        return;
    }
    const lexaro::byteArray saved = model.SaveBytes();
    if (saved.empty())
        return;
    lexaro::TLangFHandler again;
    Check(again.LoadBytes(saved));
    Check(again.SkippedLines() == 0);
    Check(again.GetLang1Name() == model.GetLang1Name());
    Check(again.GetLang2Name() == model.GetLang2Name());
    Check(again.SaveBytes() == saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LoadAndSaveAgain(lexaro::byteArray(data, data + size));

    LoadAndSaveAgain(lexaro::fuzz::CodedFrame(data, size));
    return 0;
}
