#include "app/AppLangHandl.h"

#include "data/CodeDecode.h"
#include "data/FileUtil.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <cstddef>

namespace lexaro {

namespace {

// Text numbers beyond this are skipped: a damaged or hostile database must not make the
// text vector reserve gigabytes for one far-off slot. The program asks for 0..137.
constexpr std::int32_t kMaxTextNumber = 65535;

constexpr std::string_view kEndLine = "[##]";

// Position of the first occurrence of needle in data[from, size), or size when absent.
std::size_t FindBytes(const byteArray& data, std::size_t from, std::string_view needle) {
    if (needle.empty() || from > data.size() || data.size() - from < needle.size())
        return data.size();
    const auto it = std::search(
        data.begin() + static_cast<std::ptrdiff_t>(from), data.end(), needle.begin(), needle.end(),
        [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    return static_cast<std::size_t>(it - data.begin());
}

} // namespace

bool TAppLangHandler::OpenTextDb(const std::string& path, const std::string& caption,
                                 IMessageSink* owner) {
    if (!CheckFileExists(path, caption, owner))
        return false;
    return OpenTextDbBytes(ReadWholeFile(path));
}

bool TAppLangHandler::OpenTextDbBytes(byteArray stored) {
    if (stored.empty())
        return false;
    ScrambleInPlace(stored.data(), stored.size());
    // The terminator is the last zero byte; the checksum before it may itself be zero.
    const auto last = std::find(stored.rbegin(), stored.rend(), std::uint8_t{0});
    if (last == stored.rend())
        return false;
    stored.resize(static_cast<std::size_t>(stored.rend() - last) - 1);
    if (!DecodeBytes(stored, false))
        return false;
    data_ = std::move(stored);
    return true;
}

bool TAppLangHandler::SelectLanguage(std::string_view code) {
    if (code.size() < 2)
        return false;
    std::string header = "[";
    header += code.substr(0, 2);
    header += ']';
    const std::size_t at = FindBytes(data_, 0, header);
    if (at >= data_.size())
        return false;

    // The header line's CR LF follows the four header bytes.
    const std::size_t begin = std::min(at + header.size() + 2, data_.size());
    const std::size_t end = FindBytes(data_, begin, kEndLine);

    // Texts read before a faulty line stay in place when the conversion error leaves here.
    texts_ = std::make_unique<TStrVector>();
    ForEachLine(data_.data() + begin, end - begin, [&](std::string_view line) {
        const std::size_t eq = line.find('=');
        // A line without "=" has only a number part and an empty text.
        const std::string_view numberText =
            eq == std::string_view::npos ? line : line.substr(0, eq);
        const std::int32_t n = StrToIntStrict(numberText);
        if (n < 0 || n > kMaxTextNumber)
            return;
        texts_->Set(n, eq == std::string_view::npos ? std::string()
                                                    : std::string(line.substr(eq + 1)));
    });
    return true;
}

std::string TAppLangHandler::GetText(std::int32_t n) const {
    if (!texts_)
        return kMissingText;
    std::string text = texts_->Get(n);
    if (text.empty())
        return kMissingText;
    return text;
}

} // namespace lexaro
