#include "data/TextSteps.h"

#include "data/Charset.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

namespace lexaro {

namespace {

bool Ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Each maximal run of valid UTF-8 is split by ICU; every invalid byte is a character of its
// own, so no boundary ever falls inside a valid sequence or joins across a broken one.
void SplitValidRun(std::string_view run, std::size_t offset, icu::BreakIterator& it,
                   std::vector<std::size_t>& starts) {
    if (run.empty())
        return;
    UErrorCode status = U_ZERO_ERROR;
    UText* text =
        utext_openUTF8(nullptr, run.data(), static_cast<std::int64_t>(run.size()), &status);
    if (U_FAILURE(status)) {
        starts.push_back(offset);
        return;
    }
    it.setText(text, status);
    if (U_FAILURE(status)) {
        utext_close(text);
        starts.push_back(offset);
        return;
    }
    for (std::int32_t at = it.first();
         at != icu::BreakIterator::DONE && static_cast<std::size_t>(at) < run.size();
         at = it.next())
        starts.push_back(offset + static_cast<std::size_t>(at));
    utext_close(text);
}

icu::BreakIterator* CharacterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> it = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return it.get();
}

} // namespace

std::vector<std::size_t> Utf8CharacterStarts(std::string_view utf8) {
    std::vector<std::size_t> starts;
    if (utf8.empty())
        return starts;
    if (Ascii(utf8)) {
        // Only CR LF joins in ASCII.
        starts.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size(); ++i)
            if (!(i > 0 && utf8[i] == '\n' && utf8[i - 1] == '\r'))
                starts.push_back(i);
        return starts;
    }
    icu::BreakIterator* it = CharacterIterator();
    std::size_t runStart = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        if (Utf8CharAt(utf8, pos, cp)) {
            pos += Utf8Length(cp);
            continue;
        }
        if (it != nullptr)
            SplitValidRun(utf8.substr(runStart, pos - runStart), runStart, *it, starts);
        starts.push_back(pos);
        ++pos;
        runStart = pos;
    }
    if (it != nullptr) {
        SplitValidRun(utf8.substr(runStart), runStart, *it, starts);
    } else {
        // Without ICU's rules: one character per code point.
        for (std::size_t at = runStart; at < utf8.size();) {
            char32_t cp = 0;
            starts.push_back(at);
            at += Utf8CharAt(utf8, at, cp) ? Utf8Length(cp) : 1;
        }
    }
    return starts;
}

std::vector<std::size_t> CharacterStarts(std::string_view text, const TCodePage& page) {
    if (page.IsUtf8())
        return Utf8CharacterStarts(text);
    std::vector<std::size_t> starts(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        starts[i] = i;
    return starts;
}

std::size_t CharacterCount(std::string_view text, const TCodePage& page) {
    return page.IsUtf8() ? Utf8CharacterStarts(text).size() : text.size();
}

std::string_view FirstCharacters(std::string_view text, std::size_t count, const TCodePage& page) {
    if (!page.IsUtf8())
        return text.substr(0, std::min(count, text.size()));
    const std::vector<std::size_t> starts = Utf8CharacterStarts(text);
    return count < starts.size() ? text.substr(0, starts[count]) : text;
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes, const TCodePage& page) {
    if (text.size() <= maxBytes)
        return text;
    if (!page.IsUtf8())
        return text.substr(0, maxBytes);
    std::size_t end = 0;
    for (const std::size_t start : Utf8CharacterStarts(text)) {
        if (start > maxBytes)
            break;
        end = start;
    }
    return text.substr(0, end);
}

bool RunsRightToLeft(std::string_view utf8) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<std::int32_t>(
        std::min<std::size_t>(utf8.size(), std::numeric_limits<std::int32_t>::max()));
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            continue;
        switch (u_charDirection(c)) {
        case U_LEFT_TO_RIGHT:
            return false;
        case U_RIGHT_TO_LEFT:
        case U_RIGHT_TO_LEFT_ARABIC:
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace lexaro
