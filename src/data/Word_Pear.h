#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lexaro {

// One word pair: a text in each language, its number in its lesson and two marks that steer
// exercises. `drawn` only means something together with `use`.
struct rWordPear {
    std::string text1;
    std::string text2;
    std::int32_t id = 0;
    bool use = false;
    bool drawn = false;

    friend bool operator==(const rWordPear&, const rWordPear&) = default;
};

// The stored line of a pair: id=text1@text2# and a mark, "*" in use, "\xA7" in use and drawn.
inline constexpr char kMarkUse = '*';
inline constexpr char kMarkDrawn = '\xA7';

class TWordPear : public rWordPear {
public:
    TWordPear() = default;
    explicit TWordPear(const rWordPear& data) : rWordPear(data) {}
    // From a stored line; an empty line gives all defaults. Throws TConvertError when the
    // text before the first "=" is not a decimal number.
    explicit TWordPear(std::string_view line);

    std::string ToLine() const;
    void AppendLine(std::string& out) const;
    void FromLine(std::string_view line);
    void ClearDrawn() { drawn = false; }
};

// Why a text cannot be stored in a pair line, or nullptr when it can.
// Language 1 texts may not hold "@"; neither text may hold "#", CR, LF or the zero byte.
const char* PairTextProblem(std::string_view text, bool language2);

} // namespace lexaro
