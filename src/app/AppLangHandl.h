#pragma once

#include "data/ByteVector.h"
#include "data/MessageSink.h"
#include "data/StrVector.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lexaro {

// Every caption, hint, menu entry and message has a number from 0 to 137.
inline constexpr std::int32_t kTextCount = 138;
inline constexpr const char* kTextDbName = "Text.Db";
inline constexpr const char* kMissingText = "????";

// The UI texts: Text.Db opened once, one language selected at a time.
class TAppLangHandler {
public:
    // Warns through owner (with caption) when the file is missing. False for a missing,
    // empty, damaged or unterminated database.
    bool OpenTextDb(const std::string& path, const std::string& caption, IMessageSink* owner);
    // The same check on the stored bytes.
    bool OpenTextDbBytes(byteArray stored);
    // Replaces the texts by those of the section "[XX]"; false (texts kept) when absent.
    // Throws TConvertError on a text line whose number is not decimal.
    bool SelectLanguage(std::string_view code);
    // The text, or "????" when none is selected, the number has none, or it is empty.
    std::string GetText(std::int32_t n) const;
    bool HasTexts() const { return texts_ != nullptr; }

private:
    std::unique_ptr<TStrVector> texts_;
    byteArray data_;
};

} // namespace lexaro
