#include "data/CodePage.h"

#include "data/Charset.h"
#include "data/TextSteps.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <memory>

namespace lexaro {

namespace {

#include "data/CodePageTables.inc"

// The most characters one seen character (a letter and the marks that join it) is taken as:
// text with more marks in a row is hostile, and the rest start characters of their own.
constexpr std::size_t kMaxJoined = 32;

// The composed form's rules; nullptr when ICU cannot give them (text then passes unchanged).
const icu::Normalizer2* Nfc();
// Valid UTF-8 as it stands; each byte that is not UTF-8 becomes the replacement (U+FFFD).
std::string ValidUtf8Of(std::string_view text, std::string_view replacement = "\xEF\xBF\xBD");
// UTF-8 in its composed form (NFC); as it stands when ICU cannot normalise it.
std::string NfcOf(std::string_view utf8);

const icu::Normalizer2* Nfc() {
    static const icu::Normalizer2* const nfc = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* instance = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? instance : nullptr;
    }();
    return nfc;
}

std::string ValidUtf8Of(std::string_view text, std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        if (Utf8CharAt(text, pos, cp)) {
            out.append(text.substr(pos, Utf8Length(cp)));
            pos += Utf8Length(cp);
        } else {
            out.append(replacement);
            ++pos;
        }
    }
    return out;
}

std::string NfcOf(std::string_view utf8) {
    const icu::Normalizer2* nfc = Nfc();
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<std::int32_t>(utf8.size())));
    UErrorCode status = U_ZERO_ERROR;
    if (nfc == nullptr || nfc->isNormalized(text, status))
        return std::string(utf8);
    status = U_ZERO_ERROR;
    const icu::UnicodeString composed = nfc->normalize(text, status);
    if (U_FAILURE(status))
        return std::string(utf8);
    std::string out;
    composed.toUTF8String(out);
    return out;
}

// Letters that a keyboard types but the code page holds only as a look-alike: under 1250 the
// Romanian letters with comma below are stored as those with cedilla.
char32_t Folded(int page, char32_t cp) {
    if (page == 1250) {
        switch (cp) {
        case 0x0218:
            return 0x015E; // Ș as Ş
        case 0x0219:
            return 0x015F; // ș as ş
        case 0x021A:
            return 0x0162; // Ț as Ţ
        case 0x021B:
            return 0x0163; // ț as ţ
        default:
            break;
        }
    }
    return cp;
}

// One character as the learner sees it, from begin up to end of UTF-8 text: as it was typed
// (raw) and in the form that is stored (composed, and folded for the code page).
struct TSeenChar {
    std::size_t end = 0;
    bool valid = false; // false: the byte at begin is no UTF-8 (end is begin + 1)
    std::u32string raw;
    std::u32string stored;
};

TSeenChar NextSeenChar(std::string_view utf8, std::size_t begin, int page) {
    TSeenChar seen;
    char32_t cp = 0;
    if (!Utf8CharAt(utf8, begin, cp)) {
        seen.end = begin + 1;
        return seen;
    }
    seen.valid = true;
    seen.raw.assign(1, cp);
    seen.end = begin + Utf8Length(cp);
    const icu::Normalizer2* nfc = Nfc();
    // The marks that join it: every character up to the next that starts a seen character
    // (an ASCII one always does).
    while (nfc != nullptr && seen.end < utf8.size() && seen.raw.size() < kMaxJoined &&
           static_cast<unsigned char>(utf8[seen.end]) >= 0x80) {
        char32_t next = 0;
        if (!Utf8CharAt(utf8, seen.end, next) || nfc->hasBoundaryBefore(static_cast<UChar32>(next)))
            break;
        seen.raw += next;
        seen.end += Utf8Length(next);
    }
    // Below U+0300 a lone character is composed already.
    if (nfc != nullptr && (seen.raw.size() > 1 || seen.raw[0] >= 0x300)) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString composed = nfc->normalize(
            icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(seen.raw.data()),
                                          static_cast<std::int32_t>(seen.raw.size())),
            status);
        if (U_SUCCESS(status)) {
            for (std::int32_t i = 0; i < composed.length(); i = composed.moveIndex32(i, 1))
                seen.stored += static_cast<char32_t>(composed.char32At(i));
        }
    }
    if (seen.stored.empty())
        seen.stored = seen.raw;
    for (char32_t& ch : seen.stored)
        ch = Folded(page, ch);
    return seen;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

icu::UnicodeString IcuOf(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<std::int32_t>(utf8.size())));
}

// The shared (root) order of all languages at one strength, one per thread (an ICU collator
// is not shared between threads); nullptr when ICU cannot give it.
icu::Collator* RootCollator(icu::Collator::ECollationStrength strength) {
    const auto open = [](icu::Collator::ECollationStrength s) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> collator(
            icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            return std::unique_ptr<icu::Collator>();
        collator->setStrength(s);
        collator->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
        return collator;
    };
    thread_local const std::unique_ptr<icu::Collator> primary = open(icu::Collator::PRIMARY);
    thread_local const std::unique_ptr<icu::Collator> secondary = open(icu::Collator::SECONDARY);
    thread_local const std::unique_ptr<icu::Collator> tertiary = open(icu::Collator::TERTIARY);
    switch (strength) {
    case icu::Collator::PRIMARY:
        return primary.get();
    case icu::Collator::SECONDARY:
        return secondary.get();
    default:
        break;
    }
    return tertiary.get();
}

// Marks for the letters i that pair under either rule, kept apart from every character by
// lying above the last code point.
constexpr char32_t kCapitalI = 0x110000; // I
constexpr char32_t kSmallI = 0x110001;   // i
constexpr char32_t kDottedI = 0x110002;  // İ
constexpr char32_t kDotlessI = 0x110003; // ı

// The code points whose full case folding is not their simple one (status F of the Unicode
// case folding: "ß" as "ss", ligatures, Greek with iota subscript), taken a little wide.
bool FullFoldingDiffers(char32_t cp) {
    return cp == 0xDF || cp == 0x149 || cp == 0x1F0 || cp == 0x390 || cp == 0x3B0 || cp == 0x587 ||
           (cp >= 0x1E96 && cp <= 0x1E9E) || (cp >= 0x1F50 && cp <= 0x1FFC) ||
           (cp >= 0xFB00 && cp <= 0xFB17);
}

// Reads UTF-8 text case-folded (the full folding: "ß" as "ss"), one folded code point at a
// time, with the four letters i as marks of their own; a byte that is not UTF-8 stands for
// U+FFFD. Comparing two readers stops at the first difference.
class TFoldedReader {
public:
    explicit TFoldedReader(std::string_view utf8) : text_(utf8) {}

    bool Next(char32_t& out) {
        if (at_ == count_ && !Fill())
            return false;
        out = folded_[at_++];
        return true;
    }

private:
    bool Fill() {
        if (pos_ >= text_.size())
            return false;
        char32_t cp = 0xFFFD;
        if (Utf8CharAt(text_, pos_, cp))
            pos_ += Utf8Length(cp);
        else
            ++pos_;
        at_ = 0;
        count_ = 1;
        switch (cp) {
        case U'I':
            folded_[0] = kCapitalI;
            return true;
        case U'i':
            folded_[0] = kSmallI;
            return true;
        case 0x0130:
            folded_[0] = kDottedI;
            return true;
        case 0x0131:
            folded_[0] = kDotlessI;
            return true;
        default:
            break;
        }
        if (cp < 0x80) {
            folded_[0] = cp >= U'A' && cp <= U'Z' ? cp + (U'a' - U'A') : cp;
        } else if (!FullFoldingDiffers(cp)) {
            folded_[0] =
                static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT));
        } else {
            icu::UnicodeString one(static_cast<UChar32>(cp));
            one.foldCase(U_FOLD_CASE_DEFAULT);
            count_ = 0;
            for (std::int32_t i = 0; i < one.length() && count_ < folded_.size();
                 i = one.moveIndex32(i, 1))
                folded_[count_++] = static_cast<char32_t>(one.char32At(i));
        }
        return count_ > 0;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::array<char32_t, 4> folded_{};
    std::size_t at_ = 0;
    std::size_t count_ = 0;
};

// The case-folded form of each letter of U+0080 to U+00FF (written C2 or C3 and one byte in
// UTF-8), by its second byte and whether the first is C3; 0 for "ß", which folds to two.
const std::array<char32_t, 128>& Latin1Folded() {
    static const std::array<char32_t, 128> table = [] {
        std::array<char32_t, 128> folded{};
        for (char32_t cp = 0x80; cp <= 0xFF; ++cp)
            folded[cp - 0x80] = FullFoldingDiffers(cp)
                                    ? 0
                                    : static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp),
                                                                       U_FOLD_CASE_DEFAULT));
        return folded;
    }();
    return table;
}

unsigned char AsciiSmall(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Two folded characters are the same letter: equal, or letters i that pair under the general
// rule (I and i) or the Turkish one (İ and i, I and ı).
bool SameFolded(char32_t a, char32_t b) {
    if (a == b)
        return true;
    const auto pair = [a, b](char32_t p, char32_t q) {
        return (a == p && b == q) || (a == q && b == p);
    };
    return pair(kCapitalI, kSmallI) || pair(kDottedI, kSmallI) || pair(kCapitalI, kDotlessI);
}

} // namespace

std::basic_string<std::uint16_t> TCodePage::LetterKey(std::string_view text) const {
    std::basic_string<std::uint16_t> key;
    if (IsUtf8()) {
        // The shared order's key of the letters alone (case and accents ignored), each byte
        // one element.
        icu::Collator* collator = RootCollator(icu::Collator::PRIMARY);
        if (collator == nullptr) {
            key.assign(text.begin(), text.end());
            return key;
        }
        const icu::UnicodeString unicode = IcuOf(text);
        std::string bytes(static_cast<std::size_t>(unicode.length()) * 4 + 16, '\0');
        for (;;) {
            const std::int32_t size =
                collator->getSortKey(unicode, reinterpret_cast<std::uint8_t*>(bytes.data()),
                                     static_cast<std::int32_t>(bytes.size()));
            if (size <= 0)
                return key;
            if (static_cast<std::size_t>(size) <= bytes.size()) {
                bytes.resize(static_cast<std::size_t>(size));
                break;
            }
            bytes.assign(static_cast<std::size_t>(size), '\0');
        }
        if (!bytes.empty() && bytes.back() == '\0')
            bytes.pop_back(); // the closing zero byte
        for (const char b : bytes)
            key.push_back(static_cast<unsigned char>(b));
        return key;
    }
    // The primary weights, a letter that sorts as two giving two.
    key.reserve(text.size());
    for (const char ch : text) {
        const TCodePageRow& row = Row(static_cast<unsigned char>(ch));
        key.push_back(row.primary);
        if (row.second != 0)
            key.push_back(row.second);
    }
    return key;
}

std::string TCodePage::LatinLetters(unsigned char byte) const {
    // The primary weights of the tables: Latin letters 0x241..0x25A ("A".."Z"), Greek letters
    // from 0x300 and Cyrillic ones from 0x340 in their alphabets' order
    // (tools/codepages/make_code_page_tables.py).
    static constexpr std::array<std::string_view, 24> kGreek{
        "a", "v", "g", "d", "e", "z", "i", "th", "i", "k",  "l",  "m",
        "n", "x", "o", "p", "r", "s", "t", "y",  "f", "ch", "ps", "o"};
    static constexpr std::array<std::string_view, 43> kCyrillic{
        "a", "b",  "v",  "g",  "g",  "d",  "dj",   "e", "ye", "zh", "z", "dz", "i", "i", "j",
        "y", "k",  "l",  "lj", "m",  "n",  "nj",   "o", "p",  "r",  "s", "t",  "c", "u", "u",
        "f", "kh", "ts", "ch", "dz", "sh", "shch", "",  "y",  "",   "e", "yu", "ya"};
    const TCodePageRow& row = rows_[byte];
    std::string letters;
    if (row.primary >= 0x241 && row.primary <= 0x25A)
        letters = std::string(1, static_cast<char>(row.primary - 0x200 + ('a' - 'A')));
    else if (row.primary >= 0x300 && row.primary < 0x300 + kGreek.size())
        letters = kGreek[row.primary - 0x300];
    else if (row.primary >= 0x340 && row.primary < 0x340 + kCyrillic.size())
        letters = kCyrillic[row.primary - 0x340];
    if (row.second >= 0x241 && row.second <= 0x25A)
        letters += static_cast<char>(row.second - 0x200 + ('a' - 'A'));
    // Capital letters keep their case on the first Latin letter.
    if (!letters.empty() && row.lower == 0 && row.upper == byte)
        letters[0] = static_cast<char>(letters[0] - ('a' - 'A'));
    return letters;
}

TCodePage::TCodePage(int number, const TCodePageRow (&rows)[256]) : number_(number), rows_(rows) {
    for (int b = 0x80; b < 256; ++b)
        bytes_.emplace_back(rows[b].unicode, static_cast<unsigned char>(b));
    std::sort(bytes_.begin(), bytes_.end());
    for (int b = 0; b < 256; ++b) {
        std::string encoded;
        AppendUtf8(encoded, rows[b].unicode);
        TUtf8& entry = utf8_[static_cast<std::size_t>(b)];
        entry.size = static_cast<unsigned char>(encoded.size());
        std::copy(encoded.begin(), encoded.end(), entry.bytes);
    }
}

const TCodePage* TCodePage::Find(int number) {
    static const TCodePage pages[] = {
        {1250, kCodePage1250},
        {1251, kCodePage1251},
        {1252, kCodePage1252},
        {1253, kCodePage1253},
        {1254, kCodePage1254},
        {1257, kCodePage1257},
        // Unicode: its ASCII rows are those of any page; other bytes are parts of characters.
        {kUtf8, kCodePage1252},
    };
    for (const TCodePage& page : pages)
        if (page.number_ == number)
            return &page;
    return nullptr;
}

const TCodePage& TCodePage::Get(int number) {
    const TCodePage* page = Find(number);
    return page != nullptr ? *page : *Find(kDefault);
}

int TCodePage::FromUnicode(char32_t cp) const {
    if (cp < 0x80)
        return static_cast<int>(cp);
    const auto it =
        std::lower_bound(bytes_.begin(), bytes_.end(), std::make_pair(cp, '\0'),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    return it != bytes_.end() && it->first == cp ? it->second : -1;
}

std::string TCodePage::ToUtf8(std::string_view text) const {
    if (IsUtf8())
        return ValidUtf8Of(text);
    // Sized first, then filled from the table: Cyrillic and Greek text takes twice its bytes.
    std::size_t size = 0;
    for (const char c : text)
        size += utf8_[static_cast<unsigned char>(c)].size;
    std::string out(size, '\0');
    char* at = out.data();
    for (const char c : text) {
        const TUtf8& entry = utf8_[static_cast<unsigned char>(c)];
        *at++ = entry.bytes[0];
        if (entry.size > 1) {
            *at++ = entry.bytes[1];
            if (entry.size > 2)
                *at++ = entry.bytes[2];
        }
    }
    return out;
}

bool TCodePage::Append(std::u32string_view chars, std::string& out) const {
    const std::size_t size = out.size();
    for (const char32_t ch : chars) {
        const int byte = FromUnicode(ch);
        if (byte < 0) {
            out.resize(size);
            return false;
        }
        out += static_cast<char>(byte);
    }
    return true;
}

bool TCodePage::FromUtf8(std::string_view utf8, std::string& out, std::size_t* badPos) const {
    if (IsUtf8()) {
        for (std::size_t pos = 0; pos < utf8.size();) {
            char32_t cp = 0;
            if (!Utf8CharAt(utf8, pos, cp)) {
                if (badPos != nullptr)
                    *badPos = pos;
                return false;
            }
            pos += Utf8Length(cp);
        }
        out = NfcOf(utf8);
        return true;
    }
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        // ASCII up to the next byte that may start or join another character.
        if (static_cast<unsigned char>(utf8[i]) < 0x80 &&
            (i + 1 == utf8.size() || static_cast<unsigned char>(utf8[i + 1]) < 0x80)) {
            out += utf8[i++];
            continue;
        }
        const TSeenChar seen = NextSeenChar(utf8, i, number_);
        // The composed form, or the character as typed when only that is held.
        if (!seen.valid || (!Append(seen.stored, out) && !Append(seen.raw, out))) {
            if (badPos != nullptr)
                *badPos = i;
            return false;
        }
        i = seen.end;
    }
    return true;
}

std::string TCodePage::FromUtf8Lossy(std::string_view utf8) const {
    if (IsUtf8()) {
        const std::string valid = ValidUtf8Of(utf8, "?");
        return NfcOf(valid);
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80 &&
            (i + 1 == utf8.size() || static_cast<unsigned char>(utf8[i + 1]) < 0x80)) {
            out += utf8[i++];
            continue;
        }
        const TSeenChar seen = NextSeenChar(utf8, i, number_);
        i = seen.end;
        if (!seen.valid) {
            out += '?';
            continue;
        }
        if (!Append(seen.stored, out) && !Append(seen.raw, out))
            out += '?';
    }
    return out;
}

std::size_t TCodePage::FoldedLetters(std::string_view utf8) const {
    if (IsUtf8()) {
        // The characters whose composed form differs from what was given.
        std::size_t folded = 0;
        const std::vector<std::size_t> starts = Utf8CharacterStarts(utf8);
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : utf8.size();
            const std::string_view one = utf8.substr(starts[i], end - starts[i]);
            const bool ascii = std::all_of(one.begin(), one.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            });
            if (!ascii && NfcOf(one) != one)
                ++folded;
        }
        return folded;
    }
    std::size_t folded = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80 &&
            (i + 1 == utf8.size() || static_cast<unsigned char>(utf8[i + 1]) < 0x80)) {
            ++i;
            continue;
        }
        const TSeenChar seen = NextSeenChar(utf8, i, number_);
        if (seen.valid && seen.stored != seen.raw)
            ++folded;
        i = seen.end;
    }
    return folded;
}

std::string TCodePage::UpperCase(std::string_view text) const {
    if (IsUtf8()) {
        const bool ascii = std::all_of(text.begin(), text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (!ascii) {
            // Full case mapping of the shared rules: "ß" gives "SS", so the length may change.
            icu::UnicodeString unicode = IcuOf(ValidUtf8Of(text));
            unicode.toUpper(icu::Locale::getRoot());
            std::string out;
            unicode.toUTF8String(out);
            return out;
        }
    }
    std::string out(text);
    for (char& ch : out)
        ch = Upper(ch);
    return out;
}

bool TCodePage::SameLetterIgnoringCase(char a, char b) const {
    if (Upper(a) == Upper(b))
        return true;
    const char32_t x = ToUnicode(static_cast<unsigned char>(a));
    const char32_t y = ToUnicode(static_cast<unsigned char>(b));
    const auto pair = [x, y](char32_t p, char32_t q) {
        return (x == p && y == q) || (x == q && y == p);
    };
    return pair(U'I', U'i') || pair(U'\u0130', U'i') || pair(U'I', U'\u0131');
}

bool TCodePage::SameTextUpper(std::string_view a, std::string_view b) const {
    if (IsUtf8()) {
        // ASCII as far as both go: letters compared by their small form (I and i pair under
        // either rule), and the first difference ends it.
        // The letters of Western European languages (U+0080 to U+00FF, two bytes each) by a
        // table, as far as both go in step; anything else by the folding reader from there.
        const std::size_t n = std::min(a.size(), b.size());
        const auto& latin1 = Latin1Folded();
        const auto latin1At = [&latin1](std::string_view t, std::size_t i) -> char32_t {
            const auto lead = static_cast<unsigned char>(t[i]);
            if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= t.size())
                return 0;
            const auto next = static_cast<unsigned char>(t[i + 1]);
            if ((next & 0xC0) != 0x80)
                return 0;
            return latin1[(lead == 0xC3 ? 0x40u : 0u) + (next & 0x3Fu)];
        };
        std::size_t same = 0;
        while (same < n) {
            const auto x = static_cast<unsigned char>(a[same]);
            const auto y = static_cast<unsigned char>(b[same]);
            if ((x | y) < 0x80) {
                if (AsciiSmall(x) != AsciiSmall(y))
                    return false;
                ++same;
                continue;
            }
            const char32_t fx = x < 0x80 ? AsciiSmall(x) : latin1At(a, same);
            const char32_t fy = y < 0x80 ? AsciiSmall(y) : latin1At(b, same);
            if (fx == 0 || fy == 0)
                break; // another letter, or "ß" (folded to "ss"): the reader decides
            // No letter of U+0080 to U+00FF folds to ASCII, nor to another letter's form of a
            // different length: the texts stay in step.
            if (fx != fy)
                return false;
            same += 2;
        }
        if (same >= n)
            return a.size() == b.size();
        TFoldedReader x(a.substr(same));
        TFoldedReader y(b.substr(same));
        for (;;) {
            char32_t cx = 0;
            char32_t cy = 0;
            const bool more = x.Next(cx);
            if (more != y.Next(cy))
                return false;
            if (!more)
                return true;
            if (!SameFolded(cx, cy))
                return false;
        }
    }
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [this](char x, char y) { return SameLetterIgnoringCase(x, y); });
}

int TCodePage::Compare(std::string_view a, std::string_view b, bool ignoreCase) const {
    if (IsUtf8()) {
        // The shared order of all languages: letters, then accents, then case unless
        // ignoreCase; texts it finds equal then by their bytes, unless case is ignored.
        icu::Collator* collator =
            RootCollator(ignoreCase ? icu::Collator::SECONDARY : icu::Collator::TERTIARY);
        if (collator != nullptr) {
            UErrorCode status = U_ZERO_ERROR;
            const UCollationResult order = collator->compareUTF8(
                icu::StringPiece(a.data(), static_cast<std::int32_t>(a.size())),
                icu::StringPiece(b.data(), static_cast<std::int32_t>(b.size())), status);
            if (U_SUCCESS(status) && order != UCOL_EQUAL)
                return order == UCOL_LESS ? -1 : 1;
            if (U_SUCCESS(status) && ignoreCase)
                return 0;
        }
        return Sign(a.compare(b));
    }
    const auto ka = LetterKey(a);
    const auto kb = LetterKey(b);
    if (ka != kb)
        return ka < kb ? -1 : 1;
    // The same letters: the first accent difference decides, then the first case difference.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = Row(static_cast<unsigned char>(a[i])).accent -
                      Row(static_cast<unsigned char>(b[i])).accent;
        if (d != 0)
            return Sign(d);
    }
    if (!ignoreCase) {
        for (std::size_t i = 0; i < n; ++i) {
            // Lower case sorts before upper case.
            const int d = Row(static_cast<unsigned char>(b[i])).lower -
                          Row(static_cast<unsigned char>(a[i])).lower;
            if (d != 0)
                return Sign(d);
        }
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (ignoreCase)
        return 0;
    return Sign(a.compare(b));
}

std::string LatinAsciiOf(std::string_view utf8) {
    thread_local const std::unique_ptr<icu::Transliterator> latin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    icu::UnicodeString text = IcuOf(ValidUtf8Of(utf8));
    if (latin)
        latin->transliterate(text);
    std::string converted;
    text.toUTF8String(converted);
    std::string out;
    for (const char c : converted)
        if (static_cast<unsigned char>(c) < 0x80)
            out += c;
    return out;
}

std::string TextLibraryName() {
    UVersionInfo version{};
    u_getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(version, text);
    return std::string("ICU ") + text;
}

} // namespace lexaro
