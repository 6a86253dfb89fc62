#pragma once

// Whether stored text reads plausibly in a code page. A language file never says which code
// page it was written in, and read in another one its bytes still give characters, only odd
// ones: Cyrillic read as Western European gives words of accented letters only ("Ðóññêèé"),
// Polish gives symbols inside words ("³ódŸ"), Greek read as Cyrillic gives capitals inside
// words ("ЕллзнйкЬ"), Turkish read as Western European gives words whose letters no single
// language has together ("aðaç"). Counting such oddities per code page tells which one the
// text was most likely written in; nothing here changes the text.

#include "data/CodePage.h"
#include "data/LangFHandler.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lexaro {

// The oddities of text read in the code page; 0 for text that reads naturally. Counted per
// word (a run of letters) and per character:
//   - a byte the code page leaves undefined (2);
//   - a symbol outside ASCII next to a letter, other than punctuation that words carry
//     (quotation marks, dashes, inverted marks, the middle dot, ...) and superscripts after a
//     word (m², km³);
//   - a change of script inside a word, a capital after a small letter, a Greek final sigma
//     before a letter, a Greek vowel with dialytika after anything but a vowel;
//   - in a word of three letters or more written in Latin letters that are all accented or
//     special, each of its letters;
//   - a word whose accented Latin letters no single language's alphabet has together;
//   - each Greek letter with an accent (tonos) in a word after its first.
// Read as Unicode (65001), each byte that is no part of a UTF-8 character counts 2, and the
// words are weighed as above with every other character outside ASCII as a plain letter: so
// UTF-8 text read in a single-byte page, and single-byte text read as UTF-8, are both found.
std::int64_t CountOddities(const TCodePage& page, std::string_view text);

// The oddities of texts in each of the code pages, to find out which reads them best. Texts
// come in columns (a language file's first and second language): besides the oddities of each
// text, the accented Latin letters of a column that the alphabet fitting it best lacks are
// odd, so that a Turkish column read as Western European ("kuþ", "yýlan", "köpek") is found
// though each of its words has letters of some language.
class TCodePageGuess {
public:
    // At least this many oddities fewer, and at most half as many, make another code page
    // clearly better: a few odd words in a long file are loanwords and names, not a sign.
    static constexpr std::int64_t kMinMargin = 3;
    static constexpr std::size_t kColumns = 2;

    // A text of column 0 or 1 (any other counts as 1).
    void Add(std::string_view text, std::size_t column = 0);
    std::int64_t Oddities(int number) const;
    // The code page that reads the texts clearly better than current (the fewest oddities;
    // among equals Western European, the default, else the first of TCodePage::kNumbers), or
    // nullptr when none does.
    const TCodePage* ClearlyBetterThan(const TCodePage& current) const;

private:
    std::array<std::int64_t, TCodePage::kNumbers.size()> oddities_{};
    // How often each byte occurs in each column: the same in every code page.
    std::array<std::array<std::int64_t, 256>, kColumns> bytes_{};
};

// The first texts of a language file, up to this many bytes, tell its code page as well as all
// of them would: a large file is not read a second time for it.
inline constexpr std::size_t kGuessSampleBytes = 256 * 1024;

// The guess of a file's language names (columns 0 and 1) and its first pairs' texts, lesson
// by lesson, until they reach maxBytes.
TCodePageGuess GuessOfFile(const TLangFHandler& file, std::size_t maxBytes = kGuessSampleBytes);

} // namespace lexaro
