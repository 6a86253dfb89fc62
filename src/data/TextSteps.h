#pragma once

// A text is stepped through by the characters a learner sees (grapheme clusters: a letter with
// the marks that join it, an emoji with its modifiers, a Korean syllable of jamo), never by
// bytes. Stored text of a single-byte code page has one such character per byte; UTF-8 text
// (code page 65001) is split as ICU's character boundaries say.

#include "data/CodePage.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace lexaro {

// The byte offsets where the characters of stored text start, in order: 0 first (for a text
// that is not empty), never text.size(). Bytes of UTF-8 text that are not UTF-8 count as one
// character each.
std::vector<std::size_t> CharacterStarts(std::string_view text, const TCodePage& page);
// The number of characters of stored text.
std::size_t CharacterCount(std::string_view text, const TCodePage& page);
// The start of stored text that holds its first count characters (all of it when it has no
// more).
std::string_view FirstCharacters(std::string_view text, std::size_t count, const TCodePage& page);
// The longest start of stored text of whole characters that takes at most maxBytes bytes.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes, const TCodePage& page);

// The same for UTF-8 text of any origin (typed, the program's own), whatever the code page.
std::vector<std::size_t> Utf8CharacterStarts(std::string_view utf8);

// Whether UTF-8 text runs right to left as a whole: its first strong character is Arabic,
// Hebrew or another right-to-left script (digits and punctuation do not decide).
bool RunsRightToLeft(std::string_view utf8);

} // namespace lexaro
