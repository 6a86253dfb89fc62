#pragma once

#include "data/ByteVector.h"
#include "data/IntVector.h"

#include <cstdint>
#include <optional>
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
// The text without its enclosed parts: each opening delimiter up to the closing one of its
// pair, both included ("(ugs.)[Am.] apartment" gives " apartment"). Parts may be nested
// ("a(b[c]d)e" gives "ae") and stand side by side; a delimiter that encloses nothing (a
// closing one without its opening one, an opening one never closed) is kept as text.
std::u16string RemoveEnclosed(std::u16string_view text, const DelimiterPairs& pairs);
// The enclosed parts that RemoveEnclosed leaves out, the outermost ones in order: the offsets of
// each opening delimiter and of the closing one of its pair.
std::vector<std::pair<std::size_t, std::size_t>> EnclosedParts(std::u16string_view text,
                                                               const DelimiterPairs& pairs);
std::string StackChars(std::string_view s);

// Small text helpers shared by the whole program.
// Blanks are spaces and tabs.
inline constexpr std::string_view kBlanks = " \t";
// The text without blanks at either end.
std::string_view TrimBlanks(std::string_view s);
// ASCII letters in lower case; every other byte as it is.
std::string LowerAscii(std::string_view s);
// Equal when ASCII letters may differ in case; every other byte must be the same.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The text before and after the first sep ("a@b@c" at '@': "a" and "b@c"), or nothing when
// sep does not occur.
std::optional<std::pair<std::string_view, std::string_view>> SplitAtFirst(std::string_view s,
                                                                          char sep);

// What a CR that no LF follows is to ForEachTextLine.
enum class LoneCr {
    InLine,  // part of the line, unless it is the text's last byte (a CR LF cut short)
    EndsLine // a line end of its own, as in files from old Macs
};

// Calls visit(line, eol) for every line of text in order: line without its end, eol the end
// as it stands in the text ("\n", "\r\n", or "\r"; empty for a last line without one), so that
// the lines and their ends together give the text back byte for byte. A line end at the end
// of the text starts no further line, and empty text has no lines.
template <typename Visit>
void ForEachTextLine(std::string_view text, Visit&& visit, LoneCr loneCr = LoneCr::InLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        std::size_t eol = 0;
        for (;; ++end) {
            end = text.find_first_of("\r\n", end);
            if (end == std::string_view::npos) {
                end = text.size();
                break;
            }
            const bool last = end + 1 == text.size();
            if (text[end] == '\r' && !last && text[end + 1] == '\n') {
                eol = 2;
                break;
            }
            if (text[end] == '\n' || loneCr == LoneCr::EndsLine || last) {
                eol = 1;
                break;
            }
        }
        visit(text.substr(start, end - start), text.substr(end, eol));
        start = end + eol;
    }
}

// Windows-1252 upper case (accented letters included), the same on every machine.
char UpperChar(char ch);
std::string UpperCase(std::string_view s);
// Equal ignoring case with the table above.
bool SameTextUpper(std::string_view a, std::string_view b);

} // namespace lexaro
