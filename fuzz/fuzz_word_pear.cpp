// A stored pair line may hold anything: reading it must never crash (a bad number raises the
// conversion error), and the pair that comes out must be written and read back unchanged.
#include "data/StrUtil.h"
#include "data/Word_Pear.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using lexaro::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    lexaro::TWordPear pair;
    try {
        pair.FromLine(line);
    } catch (const lexaro::TConvertError&) {
        return 0;
    }
    Check(!pair.drawn || pair.use);
    // The texts are cut at the separators, so they hold none of them.
    Check(pair.text1.find_first_of("@#") == std::string::npos);
    Check(pair.text2.find('#') == std::string::npos);
    const lexaro::TWordPear again(pair.ToLine());
    Check(static_cast<const lexaro::rWordPear&>(again) ==
          static_cast<const lexaro::rWordPear&>(pair));
    return 0;
}
