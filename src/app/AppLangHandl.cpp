#include "app/AppLangHandl.h"

#include "data/CodeDecode.h"
#include "data/FileUtil.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <cstddef>

namespace lexaro {

namespace {

// Text numbers beyond this are skipped: a damaged or hostile database must not make the
// text vector reserve gigabytes for one far-off slot. The program asks for fewer than kTextCount.
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

std::string HintWithKey(std::string_view hint, std::string_view key) {
    std::string out(hint);
    out += " (";
    out += key;
    out += ')';
    return out;
}

std::string FillText(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto n = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
            out += *(args.begin() + n);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool TAppLangHandler::OpenTextDb(const std::filesystem::path& path, const std::string& caption,
                                 IMessageSink* owner) {
    problem_.clear();
    if (!CheckFileExists(path, caption, owner)) {
        problem_ = "there is no such file";
        return false;
    }
    byteArray stored;
    if (const TFileResult read = ReadFileBounded(path, kMaxTextDbBytes, stored); !read) {
        problem_ = read.reason;
        return false;
    }
    return OpenTextDbBytes(std::move(stored));
}

bool TAppLangHandler::OpenTextDbBytes(byteArray stored) {
    problem_.clear();
    if (stored.empty()) {
        problem_ = "the file is empty";
        return false;
    }
    ScrambleInPlace(stored.data(), stored.size());
    // The terminator is the last zero byte; the checksum before it may itself be zero.
    const auto last = std::find(stored.rbegin(), stored.rend(), std::uint8_t{0});
    if (last == stored.rend()) {
        problem_ = "the file is damaged (it has no end mark)";
        return false;
    }
    stored.resize(static_cast<std::size_t>(stored.rend() - last) - 1);
    switch (CheckPlain(stored)) {
    case DecodeFault::None:
        break;
    case DecodeFault::TooShort:
        problem_ = "the file is damaged (it is cut short)";
        return false;
    case DecodeFault::WrongMarker:
        problem_ = "the file is damaged (wrong start mark)";
        return false;
    case DecodeFault::WrongChecksum:
        problem_ = "the file is damaged (wrong checksum)";
        return false;
    }
    data_.assign(stored.begin() + 1, stored.end() - 1);
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

    // The new texts replace the old ones only when the whole section was read.
    auto texts = std::make_unique<TStrVector>();
    ForEachLine(data_.data() + begin, end - begin, [&](std::string_view line) {
        const std::size_t eq = line.find('=');
        // A line without "=" has only a number part and an empty text.
        const std::string_view numberText =
            eq == std::string_view::npos ? line : line.substr(0, eq);
        const std::int32_t n = StrToIntStrict(numberText);
        if (n < 0 || n > kMaxTextNumber)
            return;
        texts->Set(n,
                   eq == std::string_view::npos ? std::string() : std::string(line.substr(eq + 1)));
    });
    texts_ = std::move(texts);
    language_ = std::string(code.substr(0, 2));
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
