#pragma once

#include "data/ByteVector.h"
#include "data/MessageSink.h"
#include "data/StrVector.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace lexaro {

// Every caption, hint, menu entry and message has a number below kTextCount.
inline constexpr std::int32_t kTextCount = 246;
inline constexpr const char* kTextDbName = "Text.Db";
inline constexpr const char* kMissingText = "????";

// A text with its places %1, %2, ... (up to %9) filled in; other "%" signs stay.
std::string FillText(std::string_view text, std::initializer_list<std::string_view> args);

// The names of keys that button hints give, by text number (they differ by language: "Strg+S").
namespace key_text {
inline constexpr std::int32_t kSave = 165;
inline constexpr std::int32_t kEscape = 166;
inline constexpr std::int32_t kEnter = 167;
inline constexpr std::int32_t kHelp = 168;
} // namespace key_text
// A button hint that names its key: "Save and close (Ctrl+S)".
std::string HintWithKey(std::string_view hint, std::string_view key);

// The UI texts: Text.Db opened once, one language selected at a time.
class TAppLangHandler {
public:
    // Warns through owner (with caption) when the file is missing. False for a missing,
    // unreadable, empty, damaged or unterminated database; Problem() then says what is wrong.
    bool OpenTextDb(const std::filesystem::path& path, const std::string& caption,
                    IMessageSink* owner);
    // The same check on the stored bytes.
    bool OpenTextDbBytes(byteArray stored);
    // What is wrong with the database the last open refused, in plain English.
    const std::string& Problem() const { return problem_; }
    // Replaces the texts by those of the section "[XX]"; false (texts kept) when absent.
    // Throws TConvertError on a text line whose number is not decimal; the texts in use stay
    // then too: a switch of language is all or nothing.
    bool SelectLanguage(std::string_view code);
    // The text, or "????" when none is selected, the number has none, or it is empty.
    std::string GetText(std::int32_t n) const;
    bool HasTexts() const { return texts_ != nullptr; }
    // The code of the language selected last ("EN", "DE"); empty before any.
    const std::string& Language() const { return language_; }

private:
    std::unique_ptr<TStrVector> texts_;
    std::string language_;
    byteArray data_;
    std::string problem_;
};

} // namespace lexaro
