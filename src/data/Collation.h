#pragma once

// A language's own alphabetical order: Swedish puts å, ä and ö after z, Czech ch after h,
// Turkish ç after c, Lithuanian y beside i, German ä beside a. Made from a locale id ("sv",
// "cs", "de"); an empty or unknown one gives the order shared by all languages (the root
// order). Texts are compared through sort keys: two texts compare as their keys compare
// bytewise, so a sort of many texts makes each key once.

#include "data/CodePage.h"

#include <memory>
#include <string>
#include <string_view>

namespace lexaro {

// What the order weighs: the letters only (case and accents ignored), the letters and their
// accents (case ignored), or all three.
enum class TCollationStrength { Letters, Accents, Full };

class TCollation {
public:
    explicit TCollation(std::string_view locale = {},
                        TCollationStrength strength = TCollationStrength::Full);
    TCollation(TCollation&&) noexcept;
    TCollation& operator=(TCollation&&) noexcept;
    ~TCollation();

    // The locale whose order this is; "root" for the shared order.
    const std::string& Locale() const { return locale_; }
    bool IsRoot() const { return locale_ == "root"; }

    // The sort key of stored text of that code page.
    std::string Key(std::string_view stored, const TCodePage& page) const;
    // The sort key of UTF-8 text; text that is not UTF-8 is keyed with U+FFFD in its place.
    std::string KeyOfUtf8(std::string_view utf8) const;
    // -1, 0 or 1 as the keys of the two stored texts compare.
    int Compare(std::string_view a, std::string_view b, const TCodePage& page) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
    std::string locale_;
};

} // namespace lexaro
