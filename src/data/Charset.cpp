#include "data/Charset.h"

#include "data/CodePage.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace lexaro {

namespace {

// Decodes one UTF-8 character at i; false on malformed input.
bool NextUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int len = 0;
    if (b0 < 0x80) {
        cp = b0;
        len = 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        cp = b0 & 0x1F;
        len = 2;
    } else if ((b0 & 0xF0) == 0xE0) {
        cp = b0 & 0x0F;
        len = 3;
    } else if ((b0 & 0xF8) == 0xF0) {
        cp = b0 & 0x07;
        len = 4;
    } else {
        return false;
    }
    if (i + static_cast<std::size_t>(len) > s.size())
        return false;
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are malformed.
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += static_cast<std::size_t>(len);
    return true;
}

} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t Cp1252ToUnicode(unsigned char byte) {
    return TCodePage::Western().ToUnicode(byte);
}

int UnicodeToCp1252(char32_t cp) {
    return TCodePage::Western().FromUnicode(cp);
}

std::string Cp1252ToUtf8(std::string_view text) {
    return TCodePage::Western().ToUtf8(text);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

bool Utf8ToCp1252(std::string_view text, std::string& out, std::size_t* badPos) {
    return TCodePage::Western().FromUtf8(text, out, badPos);
}

std::string Utf8ToCp1252Lossy(std::string_view text) {
    return TCodePage::Western().FromUtf8Lossy(text);
}

bool Utf8CharAt(std::string_view text, std::size_t pos, char32_t& cp) {
    if (pos >= text.size())
        return false;
    return NextUtf8(text, pos, cp);
}

std::size_t Utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

std::string CodePointName(char32_t cp) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(cp));
    return name;
}

} // namespace lexaro
