#pragma once

// The single-byte code page that stored text is in. A language file never says which one it
// was written in: the learner chooses it in the settings (Western European, 1252, unless
// another script is needed), and every conversion between stored text and Unicode, the upper
// case used for comparisons and the order of the lesson editor's sort go through this object.
//
// Conversions are exact both ways: each of the 256 bytes stands for one character (the few a
// code page leaves undefined for the C1 control of the same value), and a character the code
// page cannot hold is refused, never replaced.
//
// FromUtf8 and FromUtf8Lossy are the normalising boundary where Unicode text (typed, pasted,
// imported) becomes stored text: each character is taken in its composed form (NFC, so "e"
// and a combining acute accent are "é"), and letters the code page holds only as a look-alike
// are folded to it (under 1250 the Romanian "ș ț Ș Ț" with comma below are the "ş ţ Ş Ţ" with
// cedilla). A character whose composed form the page cannot hold is kept as typed when the page
// holds that.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lexaro {

// One byte of a code page: its character, the byte of its upper case, whether it is a
// lower-case letter, and its weights in the sort order (a primary weight ignoring case and
// accents, a second one for a letter that sorts as two, and the accent's weight).
struct TCodePageRow {
    char32_t unicode;
    unsigned char upper;
    unsigned char lower;
    std::uint16_t primary;
    std::uint16_t second;
    unsigned char accent;
};

class TCodePage {
public:
    // Unicode, stored as UTF-8.
    static constexpr int kUtf8 = 65001;
    // The single-byte pages: 1250 Central European, 1251 Cyrillic, 1252 Western European,
    // 1253 Greek, 1254 Turkish, 1257 Baltic.
    static constexpr std::array<int, 6> kSingleByte{1250, 1251, 1252, 1253, 1254, 1257};
    // Every page a learner can choose: the single-byte ones, then Unicode.
    static constexpr std::array<int, 7> kNumbers{1250, 1251, 1252, 1253, 1254, 1257, kUtf8};
    static constexpr int kDefault = 1252;

    // The code page of that number; nullptr for any other.
    static const TCodePage* Find(int number);
    // The code page of that number, or Western European (1252) for any other.
    static const TCodePage& Get(int number);
    static const TCodePage& Western() { return Get(kDefault); }

    int Number() const { return number_; }
    // True for Unicode (UTF-8, 65001): a character may take several bytes.
    bool IsUtf8() const { return number_ == kUtf8; }

    // Byte-level functions (ToUnicode, FromUnicode, Upper, SameLetterIgnoringCase, Row,
    // LatinLetters) hold for the six single-byte pages only: under Unicode a byte above 0x7F
    // is part of a character, so text there goes through the text-level functions (ToUtf8,
    // FromUtf8, UpperCase, SameTextUpper, Compare, LetterKey, and TextSteps for its
    // characters).
    char32_t ToUnicode(unsigned char byte) const { return rows_[byte].unicode; }
    // The byte of a character, or -1 when the code page has none.
    int FromUnicode(char32_t cp) const;

    std::string ToUtf8(std::string_view text) const;
    // Normalised as above. False (and out left unspecified) when the text is not valid UTF-8
    // or holds a character this code page cannot hold; badPos then receives the byte offset of
    // that character (of the letter a refused mark joins).
    bool FromUtf8(std::string_view utf8, std::string& out, std::size_t* badPos = nullptr) const;
    // Normalised as above; each character the code page cannot hold (with the marks that join
    // it), and each byte that is not UTF-8, becomes '?'.
    std::string FromUtf8Lossy(std::string_view utf8) const;
    // How many characters (as the learner sees them: a letter with the marks that join it)
    // FromUtf8 stores other than they stand in utf8: composed or folded. Characters the page
    // cannot hold count the same way; bytes that are not UTF-8 count for none.
    std::size_t FoldedLetters(std::string_view utf8) const;

    // Upper case, accented and non-Latin letters included (Turkish: i to I with dot above).
    char Upper(char ch) const {
        return static_cast<char>(rows_[static_cast<unsigned char>(ch)].upper);
    }
    // Under Unicode the full upper case of the rules shared by all languages ("ß" as "SS"): the
    // result may be longer.
    std::string UpperCase(std::string_view text) const;
    // The same letter ignoring case: the same byte, a case pair of this code page, or letters
    // that pair under either rule for i, the general one (I and i) or the Turkish one (İ and
    // i, I and ı). So in a Turkish file "Italy" and "italy" are the same, "kır" and "kir" are
    // not. Not transitive (İ and ı are two letters), so there is no key for it.
    bool SameLetterIgnoringCase(char a, char b) const;
    // Equal ignoring case, letter by letter as above: how answers and doubles are compared.
    // Under Unicode by full case folding ("Straße" and "STRASSE"), with the same rule for i.
    bool SameTextUpper(std::string_view a, std::string_view b) const;
    // The sort order, the same on every machine: letters alphabetically ignoring case and
    // accents first (symbols, then digits, then Latin, Greek and Cyrillic letters), then the
    // first accent difference, then the first case difference (lower before upper) unless
    // ignoreCase, then the shorter text, then the bytes. -1, 0 or 1. Under Unicode the order
    // shared by all languages (ICU's root collation: letters, accents, then case unless
    // ignoreCase), then the bytes unless ignoreCase.
    int Compare(std::string_view a, std::string_view b, bool ignoreCase) const;
    // The letters of a text ignoring case and accents, as the sort order weighs them first: two
    // texts have the same key when they differ only in case and accents ("Tür" and "TUR"; a
    // letter that sorts as two gives two, so "Straße" and "strasse" too). Under Unicode the
    // shared order's key of the letters alone, one element per byte of it.
    std::basic_string<std::uint16_t> LetterKey(std::string_view text) const;

    const TCodePageRow& Row(unsigned char byte) const { return rows_[byte]; }

    // A letter in plain Latin letters (ASCII): a Latin letter as its base letter ("ł" "l",
    // "Č" "C"), a Greek or Cyrillic one transliterated ("ж" "zh", "Θ" "Th"); empty for
    // anything that is no letter. For names that must hold only such letters (folder names).
    std::string LatinLetters(unsigned char byte) const;

    TCodePage(int number, const TCodePageRow (&rows)[256]);

private:
    // Appends the bytes of chars; false (out as it was) when one of them is not held.
    bool Append(std::u32string_view chars, std::string& out) const;

    int number_;
    const TCodePageRow* rows_;
    // The characters above 0x7F with their bytes, sorted by character.
    std::vector<std::pair<char32_t, unsigned char>> bytes_;
    // Each byte's character in UTF-8 (every one lies in the basic multilingual plane).
    struct TUtf8 {
        char bytes[3];
        unsigned char size;
    };
    std::array<TUtf8, 256> utf8_{};
};

// UTF-8 text in plain Latin letters (ASCII) as ICU transliterates any script ("Русский"
// "Russkij", "Ελληνικά" "Ellenika"); characters it cannot write so are left out. For names
// that must hold only such letters (folder names).
std::string LatinAsciiOf(std::string_view utf8);

// The Unicode library that composes and folds text, with its version ("ICU 72.1").
std::string TextLibraryName();

} // namespace lexaro
