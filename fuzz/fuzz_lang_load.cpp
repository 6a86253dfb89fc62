// Language files come from disk and may hold anything: loading must never crash or allocate
// without bound (far pair numbers share the load's slot budget; a bad number raises the
// conversion error), and a loaded file must save and
// load again to the same stored bytes. The input is tried twice: as the stored file itself,
// and as file content wrapped in a valid frame, so that the line reader is reached past the
// checksum. The texts of a file that loads are judged in every code page (which one they read
// best in): the oddities stay bounded by their length, text of ASCII only is judged alike in
// all, and no code page is ever clearly better than itself.
#include "data/CodeDecode.h"
#include "data/CodePageGuess.h"
#include "data/LangFHandler.h"
#include "data/StrUtil.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using lexaro::fuzz::Check;

void JudgeCodePages(const lexaro::TLangFHandler& model) {
    std::vector<std::string_view> texts = {model.GetLang1Name(), model.GetLang2Name()};
    for (const auto& lesson : model.lessons)
        if (lesson)
            for (const auto& pair : lesson->pairs)
                if (pair) {
                    texts.push_back(pair->text1);
                    texts.push_back(pair->text2);
                }
    lexaro::TCodePageGuess guess;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string_view text = texts[i];
        guess.Add(text, i % 2);
        bool ascii = true;
        for (const char c : text)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        const std::int64_t western = lexaro::CountOddities(lexaro::TCodePage::Western(), text);
        for (const int number : lexaro::TCodePage::kNumbers) {
            const std::int64_t n = lexaro::CountOddities(lexaro::TCodePage::Get(number), text);
            Check(n >= 0 && n <= 8 * static_cast<std::int64_t>(text.size()));
            Check(!ascii || n == western);
        }
    }
    for (const int number : lexaro::TCodePage::kNumbers) {
        const lexaro::TCodePage& page = lexaro::TCodePage::Get(number);
        Check(guess.ClearlyBetterThan(page) != &page);
    }
}

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
    JudgeCodePages(model);
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
