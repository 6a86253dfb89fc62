#include "app/IniFileHandler.h"

#include "data/FileUtil.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace lexaro {

namespace {

constexpr std::size_t kMaxStringLength = 2047;
// A list count beyond this is nonsense (more than there can be lessons); it must not make
// the program reserve gigabytes.
constexpr std::int32_t kMaxListCount = 1'000'000;

bool IsBlankLine(std::string_view s) {
    return TrimBlanks(s).empty();
}

// The name of a section header line, or false when the line is none.
bool HeaderName(std::string_view line, std::string_view& name) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t[0] != '[')
        return false;
    const auto close = t.find(']');
    name = TrimBlanks(
        t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

// Where the value of a key line starts (after "=" and the blanks that follow it), or npos
// for comments and lines without a key.
std::size_t ValuePos(std::string_view line, std::string_view& key) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t[0] == ';')
        return std::string_view::npos;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::string_view::npos;
    key = TrimBlanks(line.substr(0, eq));
    if (key.empty())
        return std::string_view::npos;
    return std::min(line.find_first_not_of(kBlanks, eq + 1), line.size());
}

// Line breaks inside a value would split the key in the file; they become blanks.
std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

std::string NumberKey(std::size_t i) {
    return std::to_string(i);
}

// True for the key names that NumberKey gives: decimal digits without a leading zero.
bool IsNumberKey(std::string_view name, std::size_t& i) {
    if (name.empty() || name.size() > 9 || (name[0] == '0' && name.size() > 1))
        return false;
    i = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return false;
        i = i * 10 + static_cast<std::size_t>(c - '0');
    }
    return true;
}

} // namespace

bool ParseIniInteger(std::string_view s, std::int32_t& value) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        std::uint32_t v = 0;
        const char* first = s.data() + 2;
        const char* last = s.data() + s.size();
        const auto res = std::from_chars(first, last, v, 16);
        if (res.ec != std::errc{} || res.ptr != last ||
            v > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
            return false;
        value = static_cast<std::int32_t>(v);
        return true;
    }
    return TryStrToInt(s, value);
}

TIniWriteError::TIniWriteError(const std::filesystem::path& path, const TFileResult& failure)
    : std::runtime_error("Unable to write to " + DisplayPath(path) + ": " + failure.reason),
      path_(path), failure_(failure) {}

TIniFile::TIniFile() {
    LoadText({});
}

TIniFile::TIniFile(std::filesystem::path path) : path_(std::move(path)) {
    byteArray bytes;
    read_ = ReadFileBounded(path_, kMaxSettingsBytes, bytes);
    LoadText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TIniFile::LoadText(std::string_view text) {
    sections_.clear();
    sections_.push_back(Section{});
    newline_ = "\r\n";
    bool newlineSeen = false;
    // Each line keeps its own end, so that the file is written back byte for byte.
    ForEachTextLine(
        text,
        [&](std::string_view lineText, std::string_view eol) {
            Line line{std::string(lineText), std::string(eol), std::string::npos};
            if (!newlineSeen && !line.eol.empty()) {
                newline_ = line.eol;
                newlineSeen = true;
            }
            std::string_view name;
            if (HeaderName(line.text, name)) {
                Section section;
                section.nameUpper = UpperCase(name);
                sections_.push_back(std::move(section));
            } else {
                std::string_view key;
                line.valuePos = ValuePos(line.text, key);
                Section& current = sections_.back();
                // Keys before the first section belong to no section and are never found.
                if (line.valuePos != std::string::npos && sections_.size() > 1)
                    current.keys.emplace(UpperCase(key), current.lines.size());
            }
            sections_.back().lines.push_back(std::move(line));
        },
        LoneCr::EndsLine);
    Reindex();
    dirty_ = false;
}

void TIniFile::Reindex() {
    cachedIndex_ = 0;
    sectionIndex_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (!sections_[i].erased)
            sectionIndex_.emplace(sections_[i].nameUpper, i);
}

std::string TIniFile::Text() const {
    std::size_t size = 0;
    for (const Section& s : sections_)
        for (const Line& l : s.lines)
            size += l.text.size() + l.eol.size();
    std::string out;
    out.reserve(size);
    for (const Section& s : sections_)
        for (const Line& l : s.lines) {
            out += l.text;
            out += l.eol;
        }
    return out;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view section) const {
    if (cachedIndex_ != 0 && section == cachedName_)
        return &sections_[cachedIndex_];
    const auto it = sectionIndex_.find(UpperCase(section));
    if (it == sectionIndex_.end())
        return nullptr;
    cachedName_.assign(section);
    cachedIndex_ = it->second;
    return &sections_[it->second];
}

TIniFile::Section* TIniFile::FindSection(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).FindSection(section));
}

const TIniFile::Line* TIniFile::FindKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr)
        return nullptr;
    const auto it = s->keys.find(UpperCase(key));
    return it == s->keys.end() ? nullptr : &s->lines[it->second];
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return std::string(def.substr(0, kMaxStringLength));
    const std::string_view value = TrimBlanks(std::string_view(line->text).substr(line->valuePos));
    return std::string(value.substr(0, kMaxStringLength));
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t def) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return def;
    std::int32_t value = 0;
    if (!ParseIniInteger(TrimBlanks(std::string_view(line->text).substr(line->valuePos)), value))
        return def;
    return value;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

std::size_t TIniFile::KeyCount(std::string_view section) const {
    const Section* s = FindSection(section);
    return s == nullptr ? 0 : s->keys.size();
}

void TIniFile::ForEachNumberedKey(
    std::string_view section, std::size_t n,
    const std::function<void(std::size_t, std::string_view)>& fn) const {
    const Section* s = FindSection(section);
    if (s == nullptr)
        return;
    // Walks the keys that exist instead of asking for every number below n: a count key can
    // claim far more entries than the file holds.
    for (const auto& [name, index] : s->keys) {
        std::size_t i = 0;
        if (!IsNumberKey(name, i) || i >= n)
            continue;
        const Line& line = s->lines[index];
        const std::string_view value =
            TrimBlanks(std::string_view(line.text).substr(line.valuePos));
        fn(i, value.substr(0, kMaxStringLength));
    }
}

void TIniFile::EndLastLine() {
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (!it->lines.empty()) {
            if (it->lines.back().eol.empty())
                it->lines.back().eol = newline_;
            return;
        }
    }
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string clean = OneLine(value);
    const std::string cleanKey = OneLine(TrimBlanks(key));
    Section* s = FindSection(section);
    if (s == nullptr) {
        const std::string upper = UpperCase(section);
        Line header{"[" + OneLine(section) + "]", newline_, std::string::npos};
        // A section erased in this session comes back where it stood; others go to the end.
        const auto erased = std::find_if(sections_.begin() + 1, sections_.end(),
                                         [&](auto& e) { return e.erased && e.nameUpper == upper; });
        if (erased != sections_.end()) {
            erased->erased = false;
            erased->lines.push_back(std::move(header));
            s = &*erased;
        } else {
            EndLastLine();
            Section added;
            added.nameUpper = upper;
            added.lines.push_back(std::move(header));
            sections_.push_back(std::move(added));
            s = &sections_.back();
        }
        sectionIndex_.emplace(upper, static_cast<std::size_t>(s - sections_.data()));
    }
    const std::string keyUpper = UpperCase(cleanKey);
    const auto it = s->keys.find(keyUpper);
    if (it != s->keys.end()) {
        Line& line = s->lines[it->second];
        if (std::string_view(line.text).substr(line.valuePos) == clean)
            return;
        line.text.resize(line.valuePos);
        line.text += clean;
        dirty_ = true;
        return;
    }
    // A new key goes after the section's last non-blank line.
    std::size_t at = s->lines.size();
    while (at > 1 && IsBlankLine(s->lines[at - 1].text))
        --at;
    if (at > 0 && s->lines[at - 1].eol.empty())
        s->lines[at - 1].eol = newline_;
    Line line{cleanKey + "=" + clean, newline_, cleanKey.size() + 1};
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    s->keys.emplace(keyUpper, at);
    dirty_ = true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::EraseSection(std::string_view section) {
    const std::string upper = UpperCase(section);
    bool found = false;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        Section& s = sections_[i];
        if (s.erased || s.nameUpper != upper)
            continue;
        s.lines.clear();
        s.keys.clear();
        s.erased = true;
        found = true;
    }
    if (found) {
        cachedIndex_ = 0;
        sectionIndex_.erase(upper);
        dirty_ = true;
    }
}

void TIniFile::Flush() {
    if (!dirty_)
        return;
    // What could not be read must not be replaced by what little was.
    if (!read_ && read_.fault != FileFault::NotFound)
        throw TIniWriteError(path_, read_);
    const std::string text = Text();
    const byteArray bytes(text.begin(), text.end());
    if (TFileResult written = WriteWholeFile(path_, bytes, true); !written)
        throw TIniWriteError(path_, written);
    dirty_ = false;
}

bool tIniFileHandler::ReadBool(std::string_view section, std::string_view key, bool def) const {
    const std::string value = UpperCase(ReadString(section, key, ""));
    if (value == "TRUE")
        return true;
    if (value == "FALSE")
        return false;
    return def;
}

void tIniFileHandler::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "True" : "False");
}

intArray tIniFileHandler::ReadIntList(std::string_view section, std::string_view countKey) const {
    const std::int32_t n = std::clamp(ReadInteger(section, countKey, 0), 0, kMaxListCount);
    intArray out(static_cast<std::size_t>(n), -1);
    ForEachNumberedKey(section, out.size(), [&](std::size_t i, std::string_view value) {
        std::int32_t v = 0;
        out[i] = ParseIniInteger(value, v) ? v : -1;
    });
    return out;
}

void tIniFileHandler::WriteIntList(std::string_view section, const intArray& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
        WriteInteger(section, NumberKey(i), values[i]);
}

std::vector<std::string> tIniFileHandler::ReadStringList(std::string_view section,
                                                         std::string_view countKey) const {
    const std::int32_t n = std::clamp(ReadInteger(section, countKey, 0), 0, kMaxListCount);
    std::vector<std::string> out(static_cast<std::size_t>(n));
    ForEachNumberedKey(section, out.size(),
                       [&](std::size_t i, std::string_view value) { out[i].assign(value); });
    return out;
}

void tIniFileHandler::WriteStringList(std::string_view section,
                                      const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
        WriteString(section, NumberKey(i), values[i]);
}

std::int32_t tIniFileHandler::CountNumberedKeys(std::string_view section) const {
    std::int32_t n = 0;
    while (!ReadString(section, NumberKey(static_cast<std::size_t>(n)), "").empty())
        ++n;
    return n;
}

} // namespace lexaro
