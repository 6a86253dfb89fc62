#pragma once

#include "data/ByteVector.h"
#include "data/IntVector.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexaro {

// Raised when stored text that must be a decimal number is not one. It ends the action that
// was reading; the program shows its message and goes on.
class TConvertError : public std::runtime_error {
public:
    explicit TConvertError(std::string_view text);
    const std::string& offending() const { return text_; }

private:
    std::string text_;
};

// Strict decimal conversion: an optional sign and digits only, within 32 bits.
std::int32_t StrToIntStrict(std::string_view s);
// The same without throwing.
bool TryStrToInt(std::string_view s, std::int32_t& value);

std::int32_t MatchCount(std::string_view a, std::string_view b, std::int32_t from, std::int32_t n);
std::int32_t MatchCountUpper(std::string_view a, std::string_view b, std::int32_t from,
                             std::int32_t n);
// Locale-independent comparison of Windows-1252 text: letters in alphabetical order ignoring
// case and accents first, then accents, then case (lower before upper) unless ignoreCase.
int CompareStrings(std::string_view a, std::string_view b, bool ignoreCase);

std::int32_t HexDigitValue(char ch);
std::int32_t HexToInt(std::string_view s);

byteArray StrToBytes(std::string_view s);
// The bytes up to the first zero byte. Text with double quotes is kept whole.
std::string BytesToStr(const byteArray& bytes);
std::string BytesToStr(const std::uint8_t* data, std::size_t size);

using DelimiterPairs = std::vector<std::pair<char16_t, char16_t>>;
std::u16string RemoveEnclosed(std::u16string_view text, const DelimiterPairs& pairs);
std::string StackChars(std::string_view s);

// Small text helpers shared by the whole program.
// The text without blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view s);
// ASCII letters in lower case; every other byte as it is.
std::string LowerAscii(std::string_view s);

// Windows-1252 upper case (accented letters included), the same on every machine.
char UpperChar(char ch);
std::string UpperCase(std::string_view s);
// Equal ignoring case with the table above.
bool SameTextUpper(std::string_view a, std::string_view b);

} // namespace lexaro
