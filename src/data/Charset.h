#pragma once

#include <string>
#include <string_view>

namespace lexaro {

// Lexaro stores all text as Windows-1252 bytes. These conversions are exact both ways; text
// that Windows-1252 cannot hold is refused, never replaced.

// The Unicode code point of a Windows-1252 byte. The five bytes that code page leaves
// undefined (81, 8D, 8F, 90, 9D) map to the C1 controls of the same value.
char32_t Cp1252ToUnicode(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1252(char32_t cp);

std::string Cp1252ToUtf8(std::string_view text);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// False (and out left unspecified) when the text is not valid UTF-8 or holds a character
// outside Windows-1252; badPos then receives the byte offset of the offending character.
bool Utf8ToCp1252(std::string_view text, std::string& out, std::size_t* badPos = nullptr);
// For display only: characters that Windows-1252 cannot hold, and bytes that are not UTF-8,
// become '?'.
std::string Utf8ToCp1252Lossy(std::string_view text);
// The character that starts at byte offset pos of UTF-8 text; false when the bytes there are
// not valid UTF-8.
bool Utf8CharAt(std::string_view text, std::size_t pos, char32_t& cp);
// The number of bytes that a code point takes in UTF-8: how far a walk with Utf8CharAt steps.
std::size_t Utf8Length(char32_t cp);
// Appends a code point in UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
// The name of a character by its code, "U+200B": how messages show characters that cannot
// be stored or that would be invisible.
std::string CodePointName(char32_t cp);

} // namespace lexaro
