#include "data/LangFHandler.h"

#include "data/FileUtil.h"
#include "data/FileVersions.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>

namespace lexaro {

namespace {

constexpr std::string_view kGeneral = "[General]";

} // namespace

void TLangFHandler::Clear() {
    lessons.Clear();
    currentNumber = -1;
    loadIncomplete_ = false;
}

void TLangFHandler::SetLanguageNames(std::string_view lang1, std::string_view lang2) {
    lang1Name.assign(lang1);
    lang2Name.assign(lang2);
}

bool TLangFHandler::PutLesson(std::shared_ptr<TLesson> lesson) {
    if (!lesson)
        return false;
    const std::int32_t n = lesson->number;
    // Load skips what a file cannot hold, so a model never holds it either.
    if (n < 0 || n > kMaxSlotNumber)
        return false;
    return lessons.Set(n, std::move(lesson));
}

void TLangFHandler::ClearDrawn() {
    for (const auto& lesson : lessons)
        if (lesson)
            lesson->ClearDrawn();
}

bool TLangFHandler::Load(const std::filesystem::path& path) {
    byteArray stored;
    lastRead_ = ReadFileBounded(path, kMaxLangFileBytes, stored);
    if (!lastRead_) {
        lastFault_ = DecodeFault::None;
        return false;
    }
    if (stored.empty()) {
        lastFault_ = DecodeFault::TooShort;
        return false;
    }
    if (!LoadBytes(std::move(stored)))
        return false;
    if (skipped_.lines > 0)
        skippedFrom_ = path;
    return true;
}

void TLangFHandler::SkipLine(std::int32_t lesson) {
    ++skipped_.lines;
    auto& numbers = skipped_.lessons;
    const auto at = std::lower_bound(numbers.begin(), numbers.end(), lesson);
    if (at == numbers.end() || *at != lesson)
        numbers.insert(at, lesson);
}

bool TLangFHandler::LoadBytes(byteArray data) {
    std::size_t first = 0;
    std::size_t last = 0;
    lastFault_ = CheckCoded(data, first, last);
    if (lastFault_ != DecodeFault::None)
        return false;
    // Every load starts afresh, whatever an earlier load left behind.
    readState = 0;
    currentNumber = -1;
    skipped_ = {};
    skippedFrom_.clear();
    keptCopy_.reset();
    slotBudget_ = static_cast<std::int64_t>(last - first) + kMaxSlotNumber + 1;
    // Stays set when a conversion error ends the load part way.
    loadIncomplete_ = true;
    std::shared_ptr<TLesson> current;
    ForEachLine(data.data() + first, last - first,
                [&](std::string_view line) { ProcessLine(line, current); });
    if (currentNumber >= 0 && current)
        lessons.Set(currentNumber, current);
    for (const auto& lesson : lessons)
        if (lesson)
            lesson->Compact();
    loadIncomplete_ = false;
    return true;
}

void TLangFHandler::ProcessLine(std::string_view line, std::shared_ptr<TLesson>& current) {
    if (line == kGeneral) {
        readState = 1;
    } else if (!line.empty() && line[0] == '[' && (readState == 2 || readState == 4)) {
        readState = 3;
        if (currentNumber >= 0 && current)
            lessons.Set(currentNumber, current);
        const std::string_view digits =
            line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string_view{};
        current = std::make_shared<TLesson>();
        currentNumber = -1;
        current->number = StrToIntStrict(digits);
        // A lesson that cannot name a slot is read but never stored.
        if (current->number >= 0 && current->number <= kMaxSlotNumber)
            currentNumber = current->number;
        else
            SkipLine(current->number);
    }
    switch (readState) {
    case 1:
        readState = 2;
        break;
    case 2: {
        // The line rule can leave the LF of a doubled line end at the start of a line; it
        // belongs to no name.
        while (!line.empty() && line.front() == '\n')
            line.remove_prefix(1);
        // Without "@" the whole line is the second language's name.
        const auto names = SplitAtFirst(line, '@');
        lang1Name.assign(names ? names->first : std::string_view());
        lang2Name.assign(names ? names->second : line);
        break;
    }
    case 3:
        readState = 4;
        break;
    case 4: {
        // A number that is not decimal still raises the conversion error in AddPairFromLine.
        std::int32_t id = -1;
        const auto eq = line.find('=');
        std::int64_t grows = 0;
        if (currentNumber >= 0 && TryStrToInt(line.substr(0, eq), id) && id >= 0 &&
            id <= kMaxSlotNumber)
            grows = std::max<std::int64_t>(0, std::int64_t{id} + 1 - current->SlotCount());
        if (currentNumber < 0 || grows > slotBudget_ || !current->AddPairFromLine(line)) {
            SkipLine(current ? current->number : -1);
        } else {
            slotBudget_ -= grows;
        }
        break;
    }
    default:
        break;
    }
}

bool TLangFHandler::NamesStorable() const {
    // A line break would split the names line, and a names line that starts with "[" would
    // read back as a lesson header: either way the file could not be loaded again.
    for (const std::string* name : {&lang1Name, &lang2Name})
        if (name->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            return false;
    return lang1Name.empty() || lang1Name.front() != '[';
}

byteArray TLangFHandler::SaveBytes() {
    // Memory takes the numbering the file gets: a pair's slot is its written id.
    for (const auto& lesson : lessons)
        if (lesson)
            lesson->Compact();
    // The lines go straight into the coded form; the result is what EncodeLines would give.
    // The size is summed first (an upper bound per line), so the bytes are written once.
    std::size_t total =
        1 + (kGeneral.size() + 2) + (lang1Name.size() + 1 + lang2Name.size() + 2) + 1;
    std::size_t lineCount = 2;
    for (const auto& lesson : lessons) {
        if (!lesson)
            continue;
        total += 16; // "[" number "]" CR LF
        ++lineCount;
        for (const auto& pair : lesson->pairs) {
            if (!pair)
                continue;
            total += pair->text1.size() + pair->text2.size() + 18; // id = @ # mark CR LF
            ++lineCount;
        }
    }
    if (lineCount <= 3 || !NamesStorable())
        return {};
    byteArray out(total);
    std::size_t pos = 0;
    out[pos++] = kCodedMarker;
    auto put = [&](std::string_view text) {
        if (!text.empty())
            std::memcpy(out.data() + pos, text.data(), text.size());
        pos += text.size();
    };
    auto putNumber = [&](std::int32_t n) {
        char* at = reinterpret_cast<char*>(out.data() + pos);
        pos += static_cast<std::size_t>(std::to_chars(at, at + 11, n).ptr - at);
    };
    auto addLine = [&](std::string_view text) {
        put(text);
        out[pos++] = 13;
        out[pos++] = 10;
    };
    addLine(kGeneral);
    put(lang1Name);
    out[pos++] = '@';
    addLine(lang2Name);
    for (const auto& lesson : lessons) {
        if (!lesson)
            continue;
        out[pos++] = '[';
        putNumber(lesson->number);
        out[pos++] = ']';
        addLine({});
        std::int32_t k = 0;
        for (const auto& pair : lesson->pairs) {
            if (!pair)
                continue;
            pair->id = k++;
            // The form of TWordPear::AppendLine, written in place: no copy through a string.
            putNumber(pair->id);
            out[pos++] = '=';
            put(pair->text1);
            out[pos++] = '@';
            put(pair->text2);
            out[pos++] = '#';
            if (pair->use)
                out[pos++] = static_cast<std::uint8_t>(pair->drawn ? kMarkDrawn : kMarkUse);
            out[pos++] = 13;
            out[pos++] = 10;
        }
    }
    out[pos++] = 0;
    out.resize(pos);
    Checksum(out, true);
    ScrambleInPlace(out.data(), out.size());
    return out;
}

namespace {

// The pair line without its mark (in use, drawn): "id=text1@text2#" and nothing after.
std::string_view WithoutMark(std::string_view line) {
    if (line.size() >= 2 && line[line.size() - 2] == '#' &&
        (line.back() == kMarkUse || line.back() == kMarkDrawn))
        line.remove_suffix(1);
    return line;
}

} // namespace

bool SameExceptMarks(const byteArray& a, const byteArray& b) {
    TStrVector linesA;
    TStrVector linesB;
    if (!DecodeLines(a, linesA) || !DecodeLines(b, linesB) || linesA.Count() != linesB.Count())
        return false;
    for (std::uint32_t i = 0; i < linesA.Count(); ++i) {
        const std::string lineA = linesA.Get(i);
        const std::string lineB = linesB.Get(i);
        if (WithoutMark(lineA) != WithoutMark(lineB))
            return false;
    }
    return true;
}

TFileResult TLangFHandler::Save(const std::filesystem::path& path) {
    // A model that holds only part of a file must not replace the whole of it.
    if (loadIncomplete_)
        return TFileResult::Failed(FileFault::Incomplete);
    const byteArray bytes = SaveBytes();
    if (bytes.empty())
        return TFileResult::Failed(FileFault::NothingToSave,
                                   NamesStorable() ? std::string()
                                                   : "a language name cannot be stored");
    std::error_code ec;
    const bool dropsSkippedLines =
        !skippedFrom_.empty() && std::filesystem::equivalent(path, skippedFrom_, ec);
    // The file that lost lines in the load is kept whatever it holds, and the save does not
    // go on without that copy; any other file is kept when the save changes it, and a version
    // that cannot be kept is said once but does not stop the save.
    const TKeptVersion version =
        KeepVersion(path, dropsSkippedLines ? nullptr : &bytes, std::chrono::system_clock::now(),
                    [](const byteArray& current, const byteArray& next) {
                        return !SameExceptMarks(current, next);
                    });
    if (dropsSkippedLines) {
        if (!version.result)
            return version.result;
        keptCopy_ = TKeptCopy{skipped_, path, version.keptAs};
        skippedFrom_.clear();
    } else if (!version.result) {
        versionFault_ = TVersionFault{version.folder, version.result};
    }
    return WriteWholeFile(path, bytes, true);
}

std::optional<TVersionFault> TLangFHandler::TakeVersionFault() {
    std::optional<TVersionFault> taken = std::move(versionFault_);
    versionFault_.reset();
    return taken;
}

std::optional<TKeptCopy> TLangFHandler::TakeKeptCopy() {
    std::optional<TKeptCopy> taken = std::move(keptCopy_);
    keptCopy_.reset();
    return taken;
}

bool TLangFHandler::DeleteLangFile(const std::filesystem::path& path) {
    return DeleteFileAt(path);
}

} // namespace lexaro
