#include "LangTool.h"

#include "LangFileReport.h"
#include "LangImport.h"
#include "LangTable.h"

#include "app/AppIniFile.h"
#include "data/Charset.h"
#include "data/CodePage.h"
#include "data/CodePageGuess.h"
#include "data/FileUtil.h"
#include "data/FileVersions.h"
#include "data/StrUtil.h"
#include "progress/DueWords.h"
#include "progress/ProgressFigures.h"
#include "speech/LanguageNames.h"
#include "speech/SpeechEngine.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <iomanip>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

namespace lexaro {

namespace {

// What the code pages are called in messages.
std::string CodePageLabel(const TCodePage& page) {
    const char* name = "";
    switch (page.Number()) {
    case 1250:
        name = "Central European";
        break;
    case 1251:
        name = "Cyrillic";
        break;
    case 1252:
        name = "Western European";
        break;
    case 1253:
        name = "Greek";
        break;
    case 1254:
        name = "Turkish";
        break;
    case 1257:
        name = "Baltic";
        break;
    case TCodePage::kUtf8:
        name = "Unicode (UTF-8)";
        break;
    default:
        break;
    }
    return std::to_string(page.Number()) + " (" + name + ")";
}

// Stored text in UTF-8 for the terminal. Control characters would steer it, and a byte the code
// page leaves undefined is no character: both are shown as \xNN instead.
std::string ForTerminal(std::string_view stored, const TCodePage& page) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(stored.size() + stored.size() / 2);
    const auto hex = [&shown](std::string_view bytes) {
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            shown += "\\x";
            shown += kHex[b >> 4];
            shown += kHex[b & 15];
        }
    };
    if (page.IsUtf8()) {
        // Each byte that is no part of a character, and each control character, as \xNN.
        for (std::size_t pos = 0; pos < stored.size();) {
            char32_t cp = 0;
            if (!Utf8CharAt(stored, pos, cp)) {
                hex(stored.substr(pos++, 1));
                continue;
            }
            const std::size_t length = Utf8Length(cp);
            if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F))
                hex(stored.substr(pos, length));
            else
                shown.append(stored.substr(pos, length));
            pos += length;
        }
        return shown;
    }
    for (const char c : stored) {
        const auto b = static_cast<unsigned char>(c);
        const char32_t cp = page.ToUnicode(b);
        if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F) || cp >= 0xF700) {
            shown += "\\x";
            shown += kHex[b >> 4];
            shown += kHex[b & 15];
        } else {
            AppendUtf8(shown, cp);
        }
    }
    return shown;
}

std::string LessonList(const TLangFHandler& model) {
    // Runs of consecutive numbers are shown as ranges: 1-12, 15.
    std::string list;
    std::int32_t runStart = -1;
    std::int32_t previous = -2;
    auto flush = [&] {
        if (runStart < 0)
            return;
        if (!list.empty())
            list += ", ";
        list += std::to_string(runStart);
        if (previous != runStart)
            list += (previous == runStart + 1 ? ", " : "-") + std::to_string(previous);
    };
    for (std::int32_t slot = 0; slot < model.SlotCount(); ++slot) {
        if (!model.LessonAt(slot))
            continue;
        if (slot != previous + 1) {
            flush();
            runStart = slot;
        }
        previous = slot;
    }
    flush();
    return list;
}

struct TArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // --lang1 NAME, --format NAME, ...
    std::vector<std::string> flags;            // --force, --skip-bad, ...
    std::string error;

    bool Has(const std::string& flag) const {
        return std::find(flags.begin(), flags.end(), flag) != flags.end();
    }
    // The first option given that is not among allowed, or an empty string.
    std::string Unexpected(std::initializer_list<std::string_view> allowed) const {
        auto ok = [&](const std::string& name) {
            return std::find(allowed.begin(), allowed.end(), name) != allowed.end();
        };
        for (const auto& [name, value] : values)
            if (!ok(name))
                return name;
        for (const auto& flag : flags)
            if (!ok(flag))
                return flag;
        return {};
    }
};

constexpr std::string_view kFlagOptions[] = {"--force", "--skip-bad", "--merge", "--list-voices",
                                             "--journal"};
constexpr std::string_view kValueOptions[] = {
    "--lang1",  "--lang2",  "--format",   "--lesson", "--lessons", "--voice1",
    "--voice2", "--speed1", "--speed2",   "--pitch1", "--pitch2",  "--pause",
    "--gap",    "--out",    "--codepage", "--header", "--target"};

TArgs ParseArgs(const std::vector<std::string>& args, std::size_t from) {
    TArgs parsed;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (std::find(std::begin(kFlagOptions), std::end(kFlagOptions), arg) !=
            std::end(kFlagOptions)) {
            if (!parsed.Has(arg))
                parsed.flags.push_back(arg);
            continue;
        }
        const auto eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) !=
            std::end(kValueOptions)) {
            std::string value;
            if (eq == std::string::npos) {
                if (i + 1 >= args.size()) {
                    parsed.error = name + (name.rfind("--lang", 0) == 0 ? " needs a language name"
                                                                        : " needs a value");
                    return parsed;
                }
                value = args[++i];
            } else {
                value = arg.substr(eq + 1);
            }
            if (parsed.values.count(name)) {
                parsed.error = name + " is given twice";
                return parsed;
            }
            parsed.values[name] = value;
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
            return parsed;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

// One line that says what is wrong; the whole usage would bury it.
int UsageError(std::ostream& err, const std::string& message) {
    err << "lexaro-lang: " << message << "; lexaro-lang --help says more\n";
    return kLangToolUsage;
}

// The code page that a command reads and writes stored text in, and where that choice came
// from.
struct TCodePageChoice {
    const TCodePage* page = &TCodePage::Western();
    std::string from; // "from --codepage", "from" the settings file, or "the default"
};

// --codepage N, else the setting of the program's Lexaro.Ini, else Western European. Gives
// kLangToolOk, or the status of the usage error it said.
int ChooseCodePage(const TArgs& a, const TLangToolEnv& env, TCodePageChoice& choice,
                   std::ostream& err) {
    if (a.values.count("--codepage")) {
        std::int32_t number = 0;
        const std::string_view given = TrimBlanks(a.values.at("--codepage"));
        const TCodePage* page =
            TryStrToInt(given, number) ? TCodePage::Find(number)
            : EqualsIgnoringAsciiCase(given, "utf-8") || EqualsIgnoringAsciiCase(given, "utf8")
                ? TCodePage::Find(TCodePage::kUtf8)
                : nullptr;
        if (page == nullptr) {
            std::string known;
            for (std::size_t i = 0; i < TCodePage::kNumbers.size(); ++i)
                known += (i == 0                                ? ""
                          : i + 1 == TCodePage::kNumbers.size() ? " or "
                                                                : ", ") +
                         CodePageLabel(TCodePage::Get(TCodePage::kNumbers[i]));
            return UsageError(err, "--codepage takes " + known);
        }
        choice = {page, "from --codepage"};
        return kLangToolOk;
    }
    choice = {&TCodePage::Western(), "the default"};
    if (env.settingsFolder.empty())
        return kLangToolOk;
    TAppIniFile settings(env.settingsFolder, nullptr);
    if (settings.iniFound && settings.CodePage != TCodePage::kDefault)
        choice = {&TCodePage::Get(settings.CodePage),
                  "from " + (env.settingsFolder / kIniFileName).string()};
    return kLangToolOk;
}

// Reads a whole input file of at most limit bytes; false (after one line on err that names
// the file and the reason) when it is missing, no regular file or far too large for its kind.
bool ReadInput(const std::string& path, std::uintmax_t limit, byteArray& bytes, std::ostream& err) {
    const TFileResult read = ReadFileBounded(path, limit, bytes);
    if (read)
        return true;
    if (read.fault == FileFault::NotFound)
        err << path << ": the file does not exist\n";
    else
        err << path << ": cannot be read: " << read.reason << "\n";
    return false;
}

// Reads a language file for check, export and speak; false (after one clear line on err) when
// it is missing, unreadable or damaged. Its text is read in the code page, which only matters
// for what the messages show.
bool ReadLangFile(const std::string& path, TLangFHandler& model, TLangFileReport& report,
                  const TCodePage& page, std::ostream& err) {
    byteArray stored;
    if (!ReadInput(path, kMaxLangFileBytes, stored, err))
        return false;
    const bool whole = LoadLangBytes(stored, model, report);
    if (report.fault != DecodeFault::None) {
        err << path << ": not a valid language file: " << DescribeFault(report.fault) << "\n";
        return false;
    }
    if (report.convertFailed) {
        err << path << ": line " << report.badLine << ": "
            << ForTerminal(report.convertMessage, page) << " (in \""
            << ForTerminal(report.badLineText, page) << "\")\n";
        return false;
    }
    if (!report.hasGeneral) {
        err << path << ": not a language file: it has no \"[General]\" line\n";
        return false;
    }
    return whole;
}

// What is said after OUT's name when it is not written.
std::string WriteRefusal(const TFileResult& why) {
    if (why.fault == FileFault::Exists)
        return "the file exists already; give --force to replace it";
    return "cannot be written: " + why.reason;
}

// Why OUT may not be written, or an empty string. A folder, device or pipe, a link to nothing
// and the command's input itself (isInput says so) are never written, even with force; an
// existing file is replaced only with force.
std::string OutTargetProblem(const std::filesystem::path& target,
                             const std::filesystem::path& input, bool force,
                             const std::string& isInput) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status own = fs::symlink_status(target, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        return WriteRefusal(TFileResult::Failed(FileFault::System, ec.message()));
    if (!fs::exists(own))
        return {};
    const fs::file_status followed = fs::status(target, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)
        return WriteRefusal(TFileResult::Failed(FileFault::System, ec.message()));
    if (!fs::exists(followed))
        return WriteRefusal(TFileResult::Failed(FileFault::DanglingLink));
    if (!fs::is_regular_file(followed))
        return WriteRefusal(TFileResult::Failed(FileFault::NotRegular));
    // Also through another path, a link or a hard link.
    if (fs::equivalent(target, input, ec))
        return "cannot be written: " + isInput;
    if (!force)
        return WriteRefusal(TFileResult::Failed(FileFault::Exists));
    return {};
}

// Keeps the file at path as its newest version before it is replaced by next; a version that
// cannot be kept is said on err and does not stop the write. False in that case.
bool KeepVersionSaying(const std::filesystem::path& path, const byteArray& next,
                       std::ostream& err) {
    const TKeptVersion kept = KeepVersion(path, &next);
    if (kept.result)
        return true;
    err << path.string() << ": note: the file as it was could not be kept in "
        << kept.folder.string() << ": " << kept.result.reason << "; it is replaced all the same\n";
    return false;
}

// "2 pairs in 1 lesson" for a version that loads, or why it does not.
std::string VersionSummary(const std::filesystem::path& path) {
    byteArray stored;
    if (!ReadFileBounded(path, kMaxLangFileBytes, stored))
        return "cannot be read";
    TLangFHandler model;
    TLangFileReport report;
    LoadLangBytes(stored, model, report);
    if (report.fault != DecodeFault::None || report.convertFailed || !report.hasGeneral)
        return "not a valid language file";
    std::int64_t pairs = 0, lessons = 0;
    for (const auto& lesson : model.lessons) {
        if (!lesson)
            continue;
        ++lessons;
        pairs += lesson->PairCount();
    }
    return std::to_string(pairs) + " pair(s) in " + std::to_string(lessons) + " lesson(s)";
}

int RunVersions(const TArgs& a, std::ostream& out, std::ostream& err) {
    if (a.positional.size() != 1 || !a.Unexpected({}).empty())
        return UsageError(err, "versions takes one FILE and no options");
    const std::filesystem::path file = a.positional[0];
    const std::vector<TFileVersion> versions = ListVersions(file);
    const std::string folder = VersionsFolderOf(file).string();
    if (versions.empty()) {
        out << file.string() << ": no versions kept in " << folder << "\n";
        return kLangToolOk;
    }
    out << file.string() << ": " << versions.size() << " version(s) in " << folder
        << ", newest first\n";
    for (std::size_t i = versions.size(); i-- > 0;) {
        const TFileVersion& v = versions[i];
        out << "  " << std::setw(2) << versions.size() - i << "  " << v.when << "  "
            << v.path.filename().string() << "  " << VersionSummary(v.path) << "\n";
    }
    return kLangToolOk;
}

int RunRestore(const TArgs& a, std::ostream& out, std::ostream& err) {
    if (a.positional.size() != 2 || !a.Unexpected({}).empty())
        return UsageError(err, "restore takes a FILE and a VERSION (its number or name as "
                               "versions lists it) and no options");
    const std::filesystem::path file = a.positional[0];
    const std::string& wanted = a.positional[1];
    const std::vector<TFileVersion> versions = ListVersions(file);
    const TFileVersion* chosen = nullptr;
    std::int32_t number = 0;
    if (TryStrToInt(wanted, number)) {
        if (number >= 1 && static_cast<std::size_t>(number) <= versions.size())
            chosen = &versions[versions.size() - static_cast<std::size_t>(number)];
    } else {
        const std::string name = std::filesystem::path(wanted).filename().string();
        for (const auto& v : versions)
            if (v.path.filename().string() == name)
                chosen = &v;
    }
    if (chosen == nullptr) {
        err << file.string() << ": there is no version " << wanted << " (" << versions.size()
            << " kept; lexaro-lang versions " << file.string() << " lists them)\n";
        return kLangToolBadData;
    }
    const std::string source = chosen->path.string();
    TLangFHandler model;
    TLangFileReport report;
    byteArray stored;
    if (!ReadInput(source, kMaxLangFileBytes, stored, err))
        return kLangToolBadData;
    LoadLangBytes(stored, model, report);
    if (report.fault != DecodeFault::None || report.convertFailed || !report.hasGeneral) {
        err << source << ": not restored: it is not a valid language file\n";
        return kLangToolBadData;
    }
    // The file it replaces must be kept first, and no kept version is dropped for it: a
    // restore never loses a version.
    const std::filesystem::path target = VersionedFile(file);
    const TKeptVersion kept = KeepVersionBeforeRestore(target, stored);
    if (!kept.result) {
        err << file.string() << ": not restored: the file as it is could not be kept in "
            << kept.folder.string() << ": " << kept.result.reason << "\n";
        return kLangToolBadData;
    }
    std::error_code ec;
    if (kept.keptAs.empty() && std::filesystem::exists(target, ec)) {
        out << file.string() << ": already holds the version of " << chosen->when
            << "; nothing written\n";
        return kLangToolOk;
    }
    const TFileResult written = WriteWholeFile(file, stored, true);
    if (!written) {
        err << file.string() << ": " << WriteRefusal(written) << "\n";
        return kLangToolBadData;
    }
    out << file.string() << ": the version of " << chosen->when << " is restored";
    if (!kept.keptAs.empty())
        out << "; the file it replaced is " << (kept.earlier ? "already kept as " : "kept as ")
            << kept.keptAs.filename().string();
    out << "\n";
    return kLangToolOk;
}

// The stored texts of a language file: its language names and the texts of its pairs, the
// first language's and the second's by turns.
std::vector<std::string_view> StoredTexts(const TLangFHandler& model) {
    std::vector<std::string_view> texts = {model.GetLang1Name(), model.GetLang2Name()};
    for (const auto& lesson : model.lessons) {
        if (!lesson)
            continue;
        for (const auto& pair : lesson->pairs) {
            if (!pair)
                continue;
            texts.push_back(pair->text1);
            texts.push_back(pair->text2);
        }
    }
    return texts;
}

// Says on err when the texts read clearly better in another code page than in the one chosen:
// a file written in another one shows odd characters ("Ðóññêèé" for "Русский"), and the
// command passes them on. The text that shows it best is given in both readings. Nothing is
// changed: the file's bytes are what they are. texts are of the two languages by turns when
// columns is 2, all of one kind when it is 1.
void WarnOfAnotherCodePage(const std::string& path, const std::vector<std::string_view>& texts,
                           std::size_t columns, const TCodePage& page, std::ostream& err) {
    TCodePageGuess guess;
    for (std::size_t i = 0; i < texts.size(); ++i)
        guess.Add(texts[i], i % columns);
    const TCodePage* better = guess.ClearlyBetterThan(page);
    if (better == nullptr && page.IsUtf8()) {
        // No single-byte page explains them, yet bytes that are no UTF-8 are worth a word.
        std::size_t broken = 0;
        std::string_view first;
        for (const std::string_view text : texts) {
            bool valid = true;
            for (std::size_t pos = 0; valid && pos < text.size();) {
                char32_t cp = 0;
                valid = Utf8CharAt(text, pos, cp);
                pos += valid ? Utf8Length(cp) : 0;
            }
            if (valid)
                continue;
            if (broken++ == 0)
                first = text;
        }
        if (broken > 0)
            err << path << ": warning: " << broken << " text" << (broken == 1 ? " holds" : "s hold")
                << " bytes that are not UTF-8, such as \"" << ShowText(ForTerminal(first, page))
                << "\"; the file may be in a single-byte code page\n";
        return;
    }
    if (better == nullptr)
        return;
    std::string_view example;
    std::int64_t most = 0;
    for (const std::string_view text : texts) {
        const std::int64_t gain = CountOddities(page, text) - CountOddities(*better, text);
        if (gain > most) {
            most = gain;
            example = text;
        }
    }
    // Letters that no one language has together in a column are no text's own oddity: then the
    // first text that reads otherwise shows it.
    for (std::size_t i = 0; i < texts.size() && most == 0; ++i) {
        if (page.ToUtf8(texts[i]) != better->ToUtf8(texts[i])) {
            example = texts[i];
            most = 1;
        }
    }
    err << path << ": warning: the texts read like code page " << CodePageLabel(*better) << ", not "
        << CodePageLabel(page) << ": \"" << ShowText(ForTerminal(example, page)) << "\" would be \""
        << ShowText(ForTerminal(example, *better)) << "\"; give --codepage " << better->Number()
        << " if the file was written in it\n";
}

int RunCheck(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (a.positional.size() != 1 || !a.Unexpected({"--codepage"}).empty())
        return UsageError(err, "check takes one FILE and no options other than --codepage");
    TCodePageChoice code;
    if (const int status = ChooseCodePage(a, env, code, err); status != kLangToolOk)
        return status;
    const TCodePage& page = *code.page;
    const std::string& path = a.positional[0];
    TLangFHandler model;
    TLangFileReport report;
    if (!ReadLangFile(path, model, report, page, err))
        return kLangToolBadData;
    std::int32_t lessons = 0, pairs = 0, used = 0, drawn = 0;
    for (const auto& lesson : model.lessons) {
        if (!lesson)
            continue;
        ++lessons;
        pairs += lesson->PairCount();
        used += lesson->UsedPairCount();
        drawn += lesson->DrawnPairCount();
    }
    out << path << ": valid language file\n"
        << "  code page:     " << CodePageLabel(page) << ", " << code.from << "\n"
        << "  language 1:    " << ForTerminal(model.GetLang1Name(), page) << "\n"
        << "  language 2:    " << ForTerminal(model.GetLang2Name(), page) << "\n"
        << "  lessons:       " << lessons << (lessons ? " (" + LessonList(model) + ")" : "") << "\n"
        << "  pairs:         " << pairs << "\n"
        << "  pairs in use:  " << used << "\n"
        << "  pairs drawn:   " << drawn << "\n"
        << "  lines skipped: " << model.SkippedLines() << "\n";
    WarnOfAnotherCodePage(path, StoredTexts(model), 2, page, err);
    return kLangToolOk;
}

// The exercise list and the held-back list of the settings when they are for this file: they
// say which pairs are held back. Nothing otherwise.
void HeldBackLists(const std::filesystem::path& file, const TLangToolEnv& env, ArrayWordData& list,
                   ArrayWordData& heldBack) {
    if (env.settingsFolder.empty())
        return;
    // The language file they name is relative to the data folder, as in the program.
    TAppIniFile settings(env.settingsFolder,
                         env.dataFolder.empty() ? env.settingsFolder : env.dataFolder, nullptr);
    if (!settings.iniFound)
        return;
    settings.ReadExerciseSection();
    std::error_code ec;
    if (settings.exercise.LangFileName.empty() ||
        !std::filesystem::equivalent(settings.LangFilePath(), file, ec) || ec)
        return;
    list = settings.exercise.ExerciseWords;
    heldBack = settings.heldBack;
}

std::int64_t NowSeconds(const TLangToolEnv& env) {
    if (env.now)
        return env.now();
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The memory model of FILE replayed from its journals; what could not be read is said on err
// when told.
TJournalRead ReplayJournals(const std::string& path, TMemoryReplay& model, std::ostream& err,
                            bool tell) {
    const TJournalRead read = ReadJournals(path, model);
    if (!tell)
        return read;
    for (const auto& foreign : read.foreign)
        err << foreign.string() << ": not a journal of Lexaro; not read\n";
    for (const auto& [failed, why] : read.failed)
        err << failed.string() << ": cannot be read: " << why.reason << "\n";
    if (read.read.empty() && read.foreign.empty() && read.failed.empty())
        err << JournalPath(path).string() << ": no journal yet\n";
    if (model.Skipped() != 0)
        err << "journal lines skipped that do not read as practice: " << model.Skipped() << "\n";
    return read;
}

// Reads the language file FILE in the code page chosen (--codepage or the settings'); gives
// kLangToolOk, or the status of what it said.
int ReadInCodePage(const TArgs& a, const TLangToolEnv& env, TLangFHandler& model,
                   TCodePageChoice& code, std::ostream& err) {
    if (const int status = ChooseCodePage(a, env, code, err); status != kLangToolOk)
        return status;
    TLangFileReport report;
    return ReadLangFile(a.positional[0], model, report, *code.page, err) ? kLangToolOk
                                                                         : kLangToolBadData;
}

int RunStats(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (a.positional.size() != 1 || !a.Unexpected({"--journal", "--codepage"}).empty())
        return UsageError(err, "stats takes one FILE and no options other than --journal and "
                               "--codepage");
    const std::string& path = a.positional[0];
    TLangFHandler model;
    TCodePageChoice code;
    if (const int status = ReadInCodePage(a, env, model, code, err); status != kLangToolOk)
        return status;
    ArrayWordData list, heldBack;
    HeldBackLists(path, env, list, heldBack);
    // What is due now, from the journals (their faults are said with --journal).
    TMemoryReplay memory;
    const TJournalRead replayed = ReplayJournals(path, memory, err, a.Has("--journal"));
    const TDueForecast due = ForecastDue(model, *code.page, memory, NowSeconds(env), 0);
    TLessonFigures total;
    std::int32_t totalDue = 0;
    out << "lesson\twaiting\tpractised\theld back\tretired\tdue\n";
    for (const TLessonFigures& lesson : LessonFigures(model, list, heldBack)) {
        const auto dueHere = due.lessons.find(lesson.lesson);
        const std::int32_t lessonDue = dueHere == due.lessons.end() ? 0 : dueHere->second;
        out << lesson.lesson << "\t" << lesson.waiting << "\t" << lesson.practised << "\t"
            << lesson.heldBack << "\t" << lesson.retired << "\t" << lessonDue << "\n";
        total.waiting += lesson.waiting;
        total.practised += lesson.practised;
        total.heldBack += lesson.heldBack;
        total.retired += lesson.retired;
        totalDue += lessonDue;
    }
    out << "total\t" << total.waiting << "\t" << total.practised << "\t" << total.heldBack << "\t"
        << total.retired << "\t" << totalDue << "\n";
    if (!a.Has("--journal"))
        return kLangToolOk;

    TJournalTally tally(LocalUtcOffset);
    ReadJournals(path, tally);
    out << "\nweek\tcards\ttyped right\ttyped wrong\n";
    for (const TWeekFigures& week : WeekFigures(tally))
        out << FormatDay(week.monday) << "\t" << week.counts.cards << "\t" << week.counts.right
            << "\t" << week.counts.wrong << "\n";
    return replayed.failed.empty() ? kLangToolOk : kLangToolBadData;
}

// The pairs and sides whose chance of recall is below the target now, lowest first.
int RunDue(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (a.positional.size() != 1 || !a.Unexpected({"--codepage", "--target"}).empty())
        return UsageError(err, "due takes one FILE and no options other than --codepage and "
                               "--target");
    double target = kDefaultTargetRecall;
    if (a.values.count("--target")) {
        std::int32_t percent = 0;
        if (!TryStrToInt(TrimBlanks(a.values.at("--target")), percent) || percent < 1 ||
            percent > 99)
            return UsageError(err, "--target takes a chance of recall in per cent, 1 to 99");
        target = percent / 100.0;
    }
    const std::string& path = a.positional[0];
    TLangFHandler model;
    TCodePageChoice code;
    if (const int status = ReadInCodePage(a, env, model, code, err); status != kLangToolOk)
        return status;
    TMemoryReplay memory;
    const TJournalRead read = ReplayJournals(path, memory, err, true);
    out << "lesson\tpair id\tside\ttext\trecall\n";
    for (const TDueEntry& due : DueMemories(model, *code.page, memory, NowSeconds(env), target)) {
        const std::shared_ptr<TWordPear> pair =
            model.LessonAt(due.entry.lesson)->PairAt(due.entry.pairId);
        const std::string& shown = due.side == 1 ? pair->text1 : pair->text2;
        std::ostringstream recall;
        recall << std::fixed << std::setprecision(1) << *due.recall * 100 << "%";
        out << due.entry.lesson << "\t" << due.entry.pairId << "\t" << due.side << "\t"
            << ForTerminal(shown, *code.page) << "\t" << recall.str() << "\n";
    }
    return read.failed.empty() ? kLangToolOk : kLangToolBadData;
}

int RunDump(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (a.positional.size() != 1 || !a.Unexpected({"--codepage"}).empty())
        return UsageError(err, "dump takes one FILE and no options other than --codepage");
    TCodePageChoice code;
    if (const int status = ChooseCodePage(a, env, code, err); status != kLangToolOk)
        return status;
    const TCodePage& page = *code.page;
    const std::string& path = a.positional[0];
    byteArray plain;
    if (!ReadInput(path, kMaxLangFileBytes, plain, err))
        return kLangToolBadData;
    std::size_t first = 0, last = 0;
    const DecodeFault fault = CheckCoded(plain, first, last);
    if (fault != DecodeFault::None) {
        err << path << ": not a valid coded file: " << DescribeFault(fault) << "\n";
        return kLangToolBadData;
    }
    // Any coded file is shown line by line, whether or not it is a language file.
    std::vector<std::string> lines;
    ForEachLine(plain.data() + first, last - first, [&](std::string_view line) {
        out << ForTerminal(line, page) << "\n";
        lines.emplace_back(line);
    });
    WarnOfAnotherCodePage(path, std::vector<std::string_view>(lines.begin(), lines.end()), 1, page,
                          err);
    return kLangToolOk;
}

int RunExport(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (a.positional.size() != 1 || !a.Unexpected({"--codepage"}).empty())
        return UsageError(err, "export takes one FILE and no options other than --codepage");
    TCodePageChoice code;
    if (const int status = ChooseCodePage(a, env, code, err); status != kLangToolOk)
        return status;
    const TCodePage& page = *code.page;
    const std::string& path = a.positional[0];
    TLangFHandler model;
    TLangFileReport report;
    if (!ReadLangFile(path, model, report, page, err))
        return kLangToolBadData;
    std::vector<std::string> problems;
    const std::string table = ExportTsv(model, problems, page);
    if (!problems.empty()) {
        for (const auto& problem : problems)
            err << path << ": " << problem << "\n";
        err << path << ": not exported\n";
        return kLangToolBadData;
    }
    if (model.SkippedLines() > 0)
        err << path << ": note: " << model.SkippedLines()
            << " line(s) of the file were skipped and are not exported\n";
    WarnOfAnotherCodePage(path, StoredTexts(model), 2, page, err);
    out << table;
    return kLangToolOk;
}

int RunImport(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (a.positional.size() != 2)
        return UsageError(err, "import takes a SOURCE file and an OUT file");
    if (const std::string option =
            a.Unexpected({"--lang1", "--lang2", "--format", "--lesson", "--header", "--force",
                          "--skip-bad", "--merge", "--codepage"});
        !option.empty())
        return UsageError(err, "import does not take " + option);
    TCodePageChoice code;
    if (const int status = ChooseCodePage(a, env, code, err); status != kLangToolOk)
        return status;
    const TCodePage& page = *code.page;
    std::optional<TImportFormat> format;
    if (a.values.count("--format")) {
        format = FormatFromName(a.values.at("--format"));
        if (!format)
            return UsageError(err, "--format takes table, kvtml or flashcards");
    }
    std::optional<std::int32_t> lesson;
    if (a.values.count("--lesson")) {
        std::int32_t n = 0;
        if (!TryStrToInt(TrimBlanks(a.values.at("--lesson")), n) || n < 1 || n > kMaxSlotNumber)
            return UsageError(err, "--lesson takes a lesson number from 1 to " +
                                       std::to_string(kMaxSlotNumber));
        lesson = n;
    }
    THeaderChoice header;
    if (a.values.count("--header")) {
        const std::string& value = a.values.at("--header");
        if (EqualsIgnoringAsciiCase(value, "yes"))
            header = true;
        else if (EqualsIgnoringAsciiCase(value, "no"))
            header = false;
        else
            return UsageError(err, "--header takes yes or no");
    }
    const std::string& sourcePath = a.positional[0];
    const std::string& outPath = a.positional[1];
    const bool force = a.Has("--force");

    byteArray bytes;
    const TFileResult read = ReadFileBounded(sourcePath, kMaxTableBytes, bytes);
    // Without its names a command line is wrong whatever the source; only a source that can be
    // read may give them.
    const bool namesGiven = a.values.count("--lang1") && a.values.count("--lang2");
    if (!read && !namesGiven)
        return UsageError(err, "import needs --lang1 NAME and --lang2 NAME");
    if (!ReadInput(sourcePath, kMaxTableBytes, bytes, err))
        return kLangToolBadData;
    if (const auto problem =
            OutTargetProblem(outPath, sourcePath, force, "it is the source being imported");
        !problem.empty()) {
        err << outPath << ": " << problem << "\n";
        return kLangToolBadData;
    }
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    TImportSource source = ReadImport(content, format, page, header);
    format = source.format;
    // A file that cannot be read at all is said as what it is, before what the command line
    // would still need.
    if (!source.fault.empty()) {
        err << sourcePath << ": " << source.fault << "; " << outPath << " is not written\n";
        return kLangToolBadData;
    }
    PlaceRows(source, lesson);

    // The languages: as given, or as the source names them.
    std::string lang1, lang2;
    std::vector<std::string> nameProblems;
    for (const bool second : {false, true}) {
        const std::string option = second ? "--lang2" : "--lang1";
        const std::string& named = second ? source.lang2 : source.lang1;
        const bool given = a.values.count(option) > 0;
        if (!given && named.empty())
            return UsageError(err, "import needs " + option + " NAME (" + sourcePath +
                                       " names no language)");
        const std::string label = given ? option : option + " (from " + sourcePath + ")";
        if (auto p = LanguageNameProblem(given ? a.values.at(option) : named, second,
                                         second ? lang2 : lang1, page);
            !p.empty())
            nameProblems.push_back(label + ": " + p);
    }
    // What another code page would store: items and names it refuses too are no reason to name
    // it, only fewer of them.
    auto refusedIn = [&](const TCodePage& other, const TImportSource& read) {
        std::int64_t refused = static_cast<std::int64_t>(read.problems.size());
        for (const bool second : {false, true}) {
            const std::string option = second ? "--lang2" : "--lang1";
            const std::string& named = second ? read.lang2 : read.lang1;
            std::string stored;
            refused += !LanguageNameProblem(a.values.count(option) ? a.values.at(option) : named,
                                            second, stored, other)
                            .empty();
        }
        return refused;
    };

    for (const auto& problem : nameProblems)
        err << problem << "\n";
    const std::string items = *format == TImportFormat::Table ? "row(s)" : "item(s)";
    // What cannot be stored and what was read but not taken (up to a screenful of that), in
    // the order of the source's lines.
    constexpr std::size_t kNotesShown = 10;
    std::vector<std::pair<const TTsvProblem*, bool>> said; // the item, and whether it is a note
    std::int64_t leftOut = 0;
    for (const auto& problem : source.problems) {
        said.emplace_back(&problem, false);
        leftOut += problem.rows;
    }
    for (std::size_t i = 0; i < source.notes.size() && i < kNotesShown; ++i)
        said.emplace_back(&source.notes[i], true);
    for (std::size_t i = 0; i < source.undrawn.size() && i < kNotesShown; ++i)
        said.emplace_back(&source.undrawn[i], true);
    std::stable_sort(said.begin(), said.end(),
                     [](const auto& x, const auto& y) { return x.first->line < y.first->line; });
    for (const auto& [item, note] : said) {
        err << sourcePath << ":";
        if (item->line > 0)
            err << item->line << ":";
        err << (note ? " note: " : " ") << item->message << "\n";
    }
    if (source.notes.size() > kNotesShown)
        err << sourcePath << ": note: " << source.notes.size() - kNotesShown
            << " more item(s) with fields that are not taken\n";
    if (source.undrawn.size() > kNotesShown)
        err << sourcePath << ": note: " << source.undrawn.size() - kNotesShown
            << " more row(s) not in use whose drawn is not kept\n";
    // Characters that the code page cannot hold may be another code page's: the one that
    // stores most is named when it stores at least half of the items refused here for their
    // characters. One that stores only a few of them (a romanised "ō" beside Japanese) would
    // not help: when none stores half of them, no code page holds the source's script, and
    // that is said.
    if (!source.problems.empty() || !nameProblems.empty()) {
        auto outsideLines = [](const TImportSource& read) {
            std::set<std::int32_t> lines;
            for (const auto& problem : read.problems)
                if (problem.message.find(" is outside Windows-") != std::string::npos)
                    lines.insert(problem.line);
            return lines;
        };
        const std::set<std::int32_t> outside = outsideLines(source);
        const std::int64_t refused = refusedIn(page, source);
        const TCodePage* better = nullptr;
        std::int64_t fewest = refused;
        std::size_t storedOfOutside = 0, mostStored = 0;
        for (const int number : TCodePage::kSingleByte) {
            const TCodePage& other = TCodePage::Get(number);
            if (&other == &page)
                continue;
            TImportSource read = ReadImport(content, format, other, header);
            PlaceRows(read, lesson);
            std::set<std::int32_t> refusedThere;
            for (const auto& problem : read.problems)
                refusedThere.insert(problem.line);
            const auto stored = static_cast<std::size_t>(
                std::count_if(outside.begin(), outside.end(),
                              [&](std::int32_t line) { return !refusedThere.count(line); }));
            mostStored = std::max(mostStored, stored);
            if (const std::int64_t n = refusedIn(other, read); n < fewest) {
                fewest = n;
                better = &other;
                storedOfOutside = stored;
            }
        }
        // Unicode holds every script: named whenever it stores what a single-byte page
        // refuses for its characters, and all of it.
        bool unicodeStoresAll = false;
        if (!page.IsUtf8()) {
            const TCodePage& unicode = TCodePage::Get(TCodePage::kUtf8);
            TImportSource read = ReadImport(content, format, unicode, header);
            PlaceRows(read, lesson);
            const std::set<std::int32_t> outsideThere = outsideLines(read);
            std::int64_t namesRefused = 0;
            for (const std::string& problem : nameProblems)
                namesRefused += problem.find(" is outside Windows-") != std::string::npos;
            unicodeStoresAll = outsideThere.empty() && (!outside.empty() || namesRefused > 0) &&
                               refusedIn(unicode, read) < refused;
        }
        const std::string unicodeNote =
            unicodeStoresAll ? sourcePath + ": note: code page " +
                                   CodePageLabel(TCodePage::Get(TCodePage::kUtf8)) +
                                   " holds every script and stores all of these; give "
                                   "--codepage 65001 to store in it\n"
                             : std::string();
        if (better != nullptr && storedOfOutside * 2 >= outside.size()) {
            err << sourcePath << ": note: code page " << CodePageLabel(*better) << " stores "
                << (fewest == 0 ? std::string("all of these")
                                : std::to_string(refused - fewest) + " more of these")
                << "; give --codepage " << better->Number() << " to store in it\n"
                << unicodeNote;
        } else if (unicodeStoresAll) {
            err << unicodeNote;
        } else if (!outside.empty() && mostStored * 2 < outside.size()) {
            std::string offered;
            for (const int number : TCodePage::kNumbers)
                offered += (offered.empty() ? "" : ", ") + std::to_string(number);
            err << sourcePath << ": note: no code page offered (" << offered
                << ") holds the characters of most of these; a language file cannot store them\n";
        }
    }
    if (!nameProblems.empty() || (!source.problems.empty() && !a.Has("--skip-bad"))) {
        err << outPath << ": not written"
            << (nameProblems.empty() ? " (give --skip-bad to leave the " + items + " above out)"
                                     : std::string())
            << "\n";
        return kLangToolBadData;
    }

    // Doubles are said; --merge drops them.
    const std::vector<TImportDouble> doubles = FindDoubles(source.rows, page);
    const bool merge = a.Has("--merge");
    for (const auto& d : doubles) {
        const TTsvRow& row = source.rows[d.row];
        const TTsvRow& first = source.rows[d.first];
        err << sourcePath << ":" << row.line << ": "
            << (row.origin.empty() ? std::string() : row.origin + ": ") << "lesson " << row.lesson
            << ": \"" << ShowText(page.ToUtf8(row.text1)) << "\" doubles the first text of line "
            << first.line << (first.origin.empty() ? std::string() : " (" + first.origin + ")")
            << (merge ? "; left out" : "") << "\n";
    }
    if (merge)
        DropDoubles(source.rows, page);

    if (source.rows.empty()) {
        err << sourcePath << ": no word pair to write; " << outPath << " is not written\n";
        return kLangToolBadData;
    }
    TLangFHandler model;
    if (!BuildModel(source.rows, lang1, lang2, model)) {
        err << outPath << ": not written: a row found no place in its lesson\n";
        return kLangToolBadData;
    }
    const byteArray stored = model.SaveBytes();
    if (stored.empty()) {
        err << outPath << ": " << WriteRefusal(TFileResult::Failed(FileFault::NothingToSave))
            << "\n";
        return kLangToolBadData;
    }
    // WriteWholeFile itself refuses what OutTargetProblem refused, should OUT have changed
    // since.
    if (force)
        KeepVersionSaying(outPath, stored, err);
    const TFileResult written = WriteWholeFile(outPath, stored, force);
    if (!written) {
        err << outPath << ": " << WriteRefusal(written) << "\n";
        return kLangToolBadData;
    }
    std::map<std::int32_t, std::int64_t> pairsIn;
    for (const auto& row : source.rows)
        ++pairsIn[row.lesson];
    out << outPath << ": " << source.rows.size() << " pair(s) in " << pairsIn.size()
        << " lesson(s) from " << FormatDescription(*format);
    for (std::size_t i = 0; i < source.readings.size(); ++i)
        out << (i == 0 ? " (" : ", ") << source.readings[i]
            << (i + 1 == source.readings.size() ? ")" : "");
    if (!source.notes.empty())
        out << ", fields past front and back of " << source.notes.size() << " note(s) not taken";
    if (!source.undrawn.empty())
        out << ", " << source.undrawn.size() << " row(s) not in use stored as not drawn";
    // Letters stored composed or as the code page has them ("ș" as "ş" under 1250).
    std::int64_t folded = 0;
    for (const auto& row : source.rows)
        folded += row.folded;
    if (folded > 0)
        out << ", " << folded << " letter(s) stored composed or folded";
    if (leftOut > 0)
        out << ", " << leftOut << " bad " << items << " left out";
    if (merge && !doubles.empty())
        out << ", " << doubles.size() << " double(s) left out";
    else if (!doubles.empty())
        out << ", " << doubles.size() << " double(s) kept";
    // The file does not say which code page it is in; the learner must read it in this one.
    if (&page != &TCodePage::Western())
        out << ", in code page " << CodePageLabel(page);
    out << "\n";
    // Where the source's lessons went.
    if (source.hasLessons && !lesson) {
        for (std::size_t i = 0; i < source.lessonNames.size(); ++i) {
            const auto number = static_cast<std::int32_t>(i + 1);
            out << "  lesson " << number << ": " << ShowText(source.lessonNames[i]) << " ("
                << (pairsIn.count(number) ? pairsIn.at(number) : 0) << " pair(s))\n";
        }
    }
    return kLangToolOk;
}

// The voices that the settings in folder (Lexaro.Ini) name for the file's two languages, in
// the file's order of languages; nothing when the settings are for other languages. The
// settings keep their language names in their own code page, the file in page: the names are
// compared as characters, ignoring case.
std::optional<AVoiceProperty> SettingsVoicesFor(const std::filesystem::path& folder,
                                                const TLangFHandler& model, const TCodePage& page) {
    if (folder.empty())
        return std::nullopt;
    TAppIniFile settings(folder, nullptr);
    if (!settings.iniFound)
        return std::nullopt;
    settings.ReadExerciseSection();
    settings.ReadVoiceSection();
    const TCodePage& own = TCodePage::Get(settings.CodePage);
    std::string lang1, lang2;
    if (!page.FromUtf8(own.ToUtf8(settings.exercise.Lang1), lang1) ||
        !page.FromUtf8(own.ToUtf8(settings.exercise.Lang2), lang2) || lang1.empty() ||
        lang2.empty())
        return std::nullopt;
    AVoiceProperty voices = settings.voices;
    auto same = [&](const std::string& a, const std::string& b) {
        return page.SameTextUpper(a, b);
    };
    if (same(lang1, model.GetLang1Name()) && same(lang2, model.GetLang2Name()))
        return voices;
    if (same(lang1, model.GetLang2Name()) && same(lang2, model.GetLang1Name())) {
        std::swap(voices[0], voices[1]);
        return voices;
    }
    return std::nullopt;
}

// "1,2,5-7" as lesson numbers; false when it is not such a list.
bool ParseLessonList(std::string_view text, std::vector<std::int32_t>& lessons) {
    lessons.clear();
    while (true) {
        const auto comma = text.find(',');
        const std::string_view part = TrimBlanks(text.substr(0, comma));
        const auto dash = part.find('-', 1);
        std::int32_t first = 0, last = 0;
        if (!TryStrToInt(TrimBlanks(part.substr(0, dash)), first))
            return false;
        last = first;
        if (dash != std::string_view::npos && !TryStrToInt(TrimBlanks(part.substr(dash + 1)), last))
            return false;
        if (first < 0 || last < first || last > kMaxSlotNumber ||
            lessons.size() + static_cast<std::size_t>(last - first) > kMaxSlotNumber)
            return false;
        for (std::int32_t n = first; n <= last; ++n)
            lessons.push_back(n);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    std::sort(lessons.begin(), lessons.end());
    lessons.erase(std::unique(lessons.begin(), lessons.end()), lessons.end());
    return true;
}

// The progress of a long track on the terminal: one line, redrawn.
class TProgressBar {
public:
    TProgressBar(std::ostream& err, bool shown) : err_(err), shown_(shown) {}
    void Show(std::size_t done, std::size_t total) {
        if (!shown_ || total == 0)
            return;
        constexpr std::size_t kWidth = 30;
        const std::size_t filled = done * kWidth / total;
        const auto now = std::chrono::steady_clock::now();
        if (done != total && filled == filled_ && now - last_ < std::chrono::milliseconds(100))
            return;
        filled_ = filled;
        last_ = now;
        err_ << "\rspeaking [" << std::string(filled, '#') << std::string(kWidth - filled, '.')
             << "] " << done << "/" << total << " pairs" << std::flush;
        if (done == total)
            err_ << "\n";
    }

private:
    std::ostream& err_;
    bool shown_;
    std::size_t filled_ = 0;
    std::chrono::steady_clock::time_point last_{};
};

std::string Duration(double seconds) {
    const auto total = static_cast<std::int64_t>(seconds + 0.5);
    std::ostringstream text;
    if (total >= 3600)
        text << total / 3600 << ":" << std::setw(2) << std::setfill('0') << total / 60 % 60;
    else
        text << total / 60;
    text << ":" << std::setw(2) << std::setfill('0') << total % 60;
    return text.str();
}

int RunSpeak(const TArgs& a, std::ostream& out, std::ostream& err, const TLangToolEnv& env) {
    if (const std::string option = a.Unexpected(
            {"--lessons", "--voice1", "--voice2", "--speed1", "--speed2", "--pitch1", "--pitch2",
             "--pause", "--gap", "--out", "--force", "--list-voices", "--codepage"});
        !option.empty())
        return UsageError(err, "speak does not take " + option);
    const bool listVoices = a.Has("--list-voices");
    if (listVoices ? !a.positional.empty() : a.positional.size() != 1)
        return UsageError(err, "speak takes one FILE (or --list-voices alone)");
    TCodePageChoice code;
    if (const int status = ChooseCodePage(a, env, code, err); status != kLangToolOk)
        return status;
    const TCodePage& page = *code.page;
    std::vector<std::int32_t> lessons;
    if (a.values.count("--lessons") && !ParseLessonList(a.values.at("--lessons"), lessons))
        return UsageError(err, "--lessons takes lesson numbers and ranges: 1,2,5-7");
    std::int32_t pauseMs = 1000, gapMs = 2500;
    for (const auto& [option, value] :
         {std::pair<const char*, std::int32_t*>{"--pause", &pauseMs}, {"--gap", &gapMs}}) {
        if (a.values.count(option) &&
            (!TryStrToInt(TrimBlanks(a.values.at(option)), *value) || *value < 0 || *value > 60000))
            return UsageError(err, std::string(option) + " takes milliseconds from 0 to 60000");
    }
    std::optional<TTrackFormat> format;
    if (!listVoices) {
        if (!a.values.count("--out"))
            return UsageError(err, "speak needs --out TRACK");
        format = TrackFormatOf(a.values.at("--out"));
        if (!format)
            return UsageError(err, "--out must end in .wav, .ogg or .flac");
        if (!TrackFormatAvailable(*format)) {
            err << a.values.at("--out") << ": " << TrackFormatName(*format)
                << " cannot be written: this lexaro-lang was built without libsndfile; give a "
                   ".wav file\n";
            return kLangToolBadData;
        }
    }
    if (!env.speechControl) {
        err << "lexaro-lang: speak is not available: this lexaro-lang was built without "
               "espeak-ng\n";
        return kLangToolBadData;
    }

    TLangFHandler model;
    TLangFileReport report;
    std::string path;
    if (!listVoices) {
        path = a.positional[0];
        if (!ReadLangFile(path, model, report, page, err))
            return kLangToolBadData;
        WarnOfAnotherCodePage(path, StoredTexts(model), 2, page, err);
    }
    TTrackSpeaker speaker(env.speechControl);
    if (!speaker.Open()) {
        err << "lexaro-lang: the speech synthesiser could not be started\n";
        return kLangToolBadData;
    }
    TSpeechEngine& engine = speaker.Engine();
    if (listVoices) {
        for (const auto& name : engine.VoiceNames())
            out << ForTerminal(name, TCodePage::Western()) << "\n";
        return kLangToolOk;
    }

    // The voices: as named (the settings dialog's display names), else as the settings beside
    // the program name them for this file's languages, else the first that speaks the
    // language a file's language name means. Speed and pitch as given, else as those settings
    // say, else the voice's defaults.
    TTrackPlan plan;
    plan.page = &page;
    plan.pauseMs = pauseMs;
    plan.gapMs = gapMs;
    const auto& names = engine.VoiceNames();
    std::vector<std::string> languages;
    for (std::size_t p = 1; p <= names.size(); ++p)
        languages.push_back(engine.VoiceLanguage(static_cast<std::int32_t>(p)));
    const std::vector<std::string_view> languageViews(languages.begin(), languages.end());
    const std::filesystem::path iniPath = env.settingsFolder / kIniFileName;
    const auto settings = SettingsVoicesFor(env.settingsFolder, model, page);
    for (const bool second : {false, true}) {
        const std::string n = second ? "2" : "1";
        const std::string& fileLanguage = second ? model.GetLang2Name() : model.GetLang1Name();
        TTrackVoice& voice = second ? plan.voice2 : plan.voice1;
        std::int32_t position = -1;
        std::string chosen; // why this voice, when it was not named
        const TVoiceProperty* stored = nullptr;
        if (a.values.count("--voice" + n)) {
            const std::string& given = a.values.at("--voice" + n);
            if (Utf8ToCp1252(given, voice.name)) {
                const auto at = std::find(names.begin(), names.end(), voice.name);
                if (at != names.end())
                    position = static_cast<std::int32_t>(at - names.begin()) + 1;
            }
            if (position < 0) {
                err << "--voice" << n << ": there is no voice \"" << given
                    << "\" (lexaro-lang speak --list-voices lists them)\n";
                return kLangToolUsage;
            }
        } else {
            if (settings) {
                stored = &(*settings)[second ? 1 : 0];
                const auto at = std::find(names.begin(), names.end(), stored->Voice);
                if (at != names.end()) {
                    position = static_cast<std::int32_t>(at - names.begin()) + 1;
                    chosen = "from " + iniPath.string();
                } else {
                    stored = nullptr;
                }
            }
            if (position < 0) {
                position = FindVoiceForLanguage(fileLanguage, languageViews, page);
                chosen = "for the language's name";
            }
            if (position <= 0) {
                const auto known = VoiceLanguageOf(fileLanguage, page);
                err << path << ": no voice found for language " << n << " \""
                    << ForTerminal(fileLanguage, page) << "\" ("
                    << (known ? "no voice speaks " + std::string(known->language)
                              : std::string("lexaro-lang does not know the name"))
                    << "); name one:\n"
                    << "  --voice" << n
                    << " NAME   a voice as lexaro-lang speak --list-voices lists it, or\n"
                    << "  Voice" << n << " in [VoiceProperty] of " << iniPath.string()
                    << " (Lexaro's settings), for a file whose languages are Lang1 and Lang2 "
                       "in its [Exercise]\n";
                return kLangToolUsage;
            }
            voice.name = names[static_cast<std::size_t>(position - 1)];
        }
        voice.speed = engine.VoiceDefaultSpeed(position);
        voice.pitch = engine.VoiceDefaultPitch(position);
        // The settings' speed and pitch, where the voice can take them.
        if (stored != nullptr) {
            if (stored->Speed >= engine.VoiceMinSpeed(position) &&
                stored->Speed <= engine.VoiceMaxSpeed(position))
                voice.speed = stored->Speed;
            if (stored->Pitch >= engine.VoiceMinPitch(position) &&
                stored->Pitch <= engine.VoiceMaxPitch(position))
                voice.pitch = stored->Pitch;
        }
        for (const bool pitch : {false, true}) {
            const std::string option = (pitch ? "--pitch" : "--speed") + n;
            if (!a.values.count(option))
                continue;
            const std::int32_t low =
                pitch ? engine.VoiceMinPitch(position) : engine.VoiceMinSpeed(position);
            const std::int32_t high =
                pitch ? engine.VoiceMaxPitch(position) : engine.VoiceMaxSpeed(position);
            std::int32_t value = 0;
            if (!TryStrToInt(TrimBlanks(a.values.at(option)), value) || value < low || value > high)
                return UsageError(err, option + " takes " + std::to_string(low) + " to " +
                                           std::to_string(high) + " for that voice");
            (pitch ? voice.pitch : voice.speed) = value;
        }
        if (!chosen.empty())
            out << "voice " << n << " (" << ForTerminal(fileLanguage, page)
                << "): " << ForTerminal(voice.name, TCodePage::Western()) << ", speed "
                << voice.speed << ", pitch " << voice.pitch << ", " << chosen << "\n";
    }

    // The pairs in use of the lessons chosen (all when none are named), in lesson order.
    std::vector<std::int32_t> missing;
    if (lessons.empty()) {
        for (std::int32_t slot = 0; slot < model.SlotCount(); ++slot)
            if (model.LessonAt(slot))
                lessons.push_back(slot);
    }
    for (const std::int32_t number : lessons) {
        const auto lesson = model.LessonAt(number);
        if (!lesson) {
            missing.push_back(number);
            continue;
        }
        for (const auto& pair : lesson->pairs)
            if (pair && pair->use)
                plan.pairs.emplace_back(pair->text1, pair->text2);
    }
    if (!missing.empty()) {
        err << path << ": there is no lesson";
        for (std::size_t i = 0; i < missing.size(); ++i)
            err << (i == 0 ? " " : ", ") << missing[i];
        err << "\n";
        return kLangToolBadData;
    }
    const std::string outPath = a.values.at("--out");
    if (plan.pairs.empty()) {
        err << path << ": no pair in use in the lessons chosen; " << outPath << " is not written\n";
        return kLangToolBadData;
    }
    if (const auto problem = OutTargetProblem(outPath, path, a.Has("--force"),
                                              "it is the language file being spoken");
        !problem.empty()) {
        err << outPath << ": " << problem << "\n";
        return kLangToolBadData;
    }
    std::unique_ptr<TTrackWriter> writer;
    if (TFileResult opened = OpenTrackWriter(outPath, *format, a.Has("--force"), writer); !opened) {
        err << outPath << ": " << WriteRefusal(opened) << "\n";
        return kLangToolBadData;
    }
    TProgressBar bar(err, env.errIsTerminal);
    const std::string stopped = speaker.Render(
        plan, *writer, [&](std::size_t done, std::size_t total) { bar.Show(done, total); });
    if (!stopped.empty()) {
        if (env.errIsTerminal)
            err << "\n";
        err << outPath << ": not written: " << stopped << "\n";
        return kLangToolBadData;
    }
    if (TFileResult finished = writer->Finish(); !finished) {
        err << outPath << ": " << WriteRefusal(finished) << "\n";
        return kLangToolBadData;
    }
    out << outPath << ": " << plan.pairs.size() << " pair(s), "
        << Duration(static_cast<double>(writer->Samples()) / kTrackSampleRate) << " of "
        << TrackFormatName(*format) << "\n";
    return kLangToolOk;
}

} // namespace

std::string LangToolUsage() {
    return "usage:\n"
           "  lexaro-lang check FILE [--codepage N]\n"
           "      says whether FILE is a valid language file, with the code page it was read\n"
           "      in, its languages, lessons, pairs, pairs in use, pairs drawn and lines\n"
           "      skipped; warns when its texts read like another code page's\n"
           "  lexaro-lang dump FILE [--codepage N]\n"
           "      prints the lines of the coded FILE in UTF-8 (control characters, and bytes\n"
           "      the code page leaves undefined, as \\xNN)\n"
           "  lexaro-lang export FILE [--codepage N]\n"
           "      writes the pairs as a UTF-8 table on standard output: a header row, then\n"
           "      lesson, text1, text2, use, drawn separated by tabs; use and drawn are 1 or 0\n"
           "  lexaro-lang stats FILE [--journal] [--codepage N]\n"
           "      prints per lesson the pairs waiting (in use, not drawn), practised this cycle\n"
           "      (drawn), held back (what the next exercise of Lexaro's settings holds back,\n"
           "      when they are for FILE), retired (not in use) and due (pairs whose chance of\n"
           "      recall has fallen below 90 %, from the journals beside FILE), separated by\n"
           "      tabs, with a total row; --journal adds the practice per week (weeks from\n"
           "      Monday, local time) from the journals beside FILE (FILE.journal.tsv): cards\n"
           "      shown and typed answers right and wrong; journal lines that cannot be read\n"
           "      are skipped and counted on standard error\n"
           "  lexaro-lang due FILE [--target PERCENT] [--codepage N]\n"
           "      prints the pairs and sides whose chance of recall has fallen below PERCENT\n"
           "      (90), lowest first, as lesson, pair id, side shown (1 or 2), its text and the\n"
           "      chance now, separated by tabs. The chances come from a memory model (FSRS-5)\n"
           "      replayed from the journals beside FILE: a typed answer right, or a priority\n"
           "      from 1 to 8 chosen, is remembered; a typed answer wrong is forgotten\n"
           "  lexaro-lang import SOURCE OUT [--lang1 NAME] [--lang2 NAME] [--format F]\n"
           "                     [--lesson N] [--header yes|no] [--force] [--skip-bad] [--merge]\n"
           "                     [--codepage N]\n"
           "      makes the language file OUT from SOURCE, a text in UTF-8 or in UTF-16 with a\n"
           "      byte-order mark, whose format (table, kvtml or flashcards) is read from its\n"
           "      content unless --format names it:\n"
           "      table: rows of lesson, text1, text2 and optional use and drawn columns\n"
           "        (1/0, true/false or yes/no; use is 1 and drawn 0 when missing or empty),\n"
           "        separated by tabs; a first row starting with \"lesson\" is a header. A\n"
           "        row not in use is not drawn: its drawn 1 is said and not kept.\n"
           "      kvtml: a KVTML 2 vocabulary file; translations 0 and 1 are text1 and text2,\n"
           "        its lessons (nested ones too) become lessons 1, 2, ... in file order and\n"
           "        entries in no lesson one more; a deactivated (or inactive) entry is not in\n"
           "        use; the language names come from the file unless --lang1/--lang2 are\n"
           "        given. KVTML 1 and files of one language only (word lists) are refused.\n"
           "      flashcards: a flashcard program's, quiz site's or spreadsheet's plain-text\n"
           "        export, with optional #separator:, #html:, #deck:, #deck column: and\n"
           "        #guid/notetype/tags column: lines at the top. Without #separator:, the\n"
           "        separators are those that explain the lines: front and back separated by\n"
           "        tabs, semicolons, \" - \", \" = \", commas or pipes, the rows by line ends\n"
           "        or also by semicolons; lines that none explains are refused as a whole.\n"
           "        HTML is made plain text (tags, style sheets and scripts removed, entities\n"
           "        decoded), [sound:...] removed; decks become lessons 1, 2, ... in order of\n"
           "        appearance. A last column of tags without a header line is recognised; a\n"
           "        cloze note gives the text with a gap ([...]) as text1 and the hidden text\n"
           "        as text2, a pair per cloze number. Fields past front and back are said,\n"
           "        not taken.\n"
           "      In tables and flashcards, a cell in double quotes may hold separators, with\n"
           "      a quote inside doubled (\"sagen \"\"Hallo\"\"\" is sagen \"Hallo\"); quotes\n"
           "      that do not enclose the whole cell are text. Blanks at the ends of a text\n"
           "      are left out. A first row whose texts name languages or columns\n"
           "      (\"Deutsch;Englisch;Preis\", \"front;back\") unlike the rows after it is a\n"
           "      header: it is left out and said; --header yes or no decides instead.\n"
           "      Texts are stored composed (an accent written as a mark of its own joins\n"
           "      its letter) and, under 1250, Romanian \xC8\x99 \xC8\x9B with comma below as "
           "\xC5\x9F \xC5\xA3;\n"
           "      the summary says how many letters that changed.\n"
           "      The summary says which format was read, and how.\n"
           "      The lessons taken from a source are listed; --lesson N puts every pair into\n"
           "      lesson N instead, a table's too (a source without lessons goes into lesson\n"
           "      1). Pairs go into their lessons in the source's order. Items the file cannot\n"
           "      hold (a side with no text, characters outside the code page, \"@\" in text1,\n"
           "      \"#\", tabs, line breaks, zero characters, lesson numbers outside\n"
           "      1..999999, a lesson's pairs past its 1000000th) are listed with their line\n"
           "      and nothing is written, unless --skip-bad is given: then the other pairs\n"
           "      are written. A code page that stores at least half of the items refused\n"
           "      for their characters is named; when none does, that is said. A source that\n"
           "      cannot be read at all is said as what it is (a ZIP archive, a PDF document,\n"
           "      a picture, a Lexaro language file, ...).\n"
           "      Pairs of a lesson whose text1 is the same ignoring case (the code page's) are\n"
           "      listed as doubles; --merge leaves all but the first out.\n"
           "      An existing OUT is replaced only with --force, and kept as a version first.\n"
           "      A folder, device or pipe, a link to a file that does not exist, and the\n"
           "      source itself are never written, not even with --force.\n"
           "  lexaro-lang speak FILE --out TRACK [--voice1 NAME] [--voice2 NAME]\n"
           "                    [--lessons LIST] [--speed1 N] [--speed2 N] [--pitch1 N]\n"
           "                    [--pitch2 N] [--pause MS] [--gap MS] [--force] [--codepage N]\n"
           "      writes a listening track of the pairs in use of the lessons in LIST (like\n"
           "      1,2,5-7; all lessons when not given): for each pair the first text in the\n"
           "      first voice, a pause of MS milliseconds (1000), the second text in the second\n"
           "      voice and a pause of --gap milliseconds (2500). Texts are spoken without\n"
           "      their [..] and (..) parts, as in the exercise. Voices are named as the\n"
           "      settings dialog shows them. A voice not named is the one that Lexaro's\n"
           "      settings name when their languages are the file's, else the first\n"
           "      voice of the language that the file's language name means (English,\n"
           "      Deutsch, Fran\xC3\xA7"
           "ais, \xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9, ...); the voices so "
           "chosen "
           "are said. Speed\n"
           "      and pitch are as given, else as the settings say for their voice, else the\n"
           "      voice's defaults. TRACK ending in .wav is WAV; .ogg is OGG Vorbis and .flac\n"
           "      FLAC. An existing TRACK is replaced only with --force. A progress bar is\n"
           "      shown when standard error is a terminal.\n"
           "  lexaro-lang speak --list-voices\n"
           "      lists the voices' names\n"
           "  lexaro-lang versions FILE\n"
           "      lists the versions of FILE kept in the folder .versions beside it, newest\n"
           "      first: every replacement of a language file by Lexaro or lexaro-lang keeps\n"
           "      the file as it was there, the newest 10 per file\n"
           "  lexaro-lang restore FILE VERSION\n"
           "      brings back a version (its number or name as versions lists it); the file it\n"
           "      replaces is kept as a version first (in addition to the 10: a restore drops\n"
           "      no version, only the next save does), and nothing is written when it cannot\n"
           "      be kept\n"
           "  lexaro-lang --help | -h\n"
           "--codepage N: the code page that the language file's text is stored in: 1250\n"
           "  (Central European), 1251 (Cyrillic), 1252 (Western European), 1253 (Greek),\n"
           "  1254 (Turkish), 1257 (Baltic) or 65001 (Unicode, UTF-8; also --codepage utf-8),\n"
           "  which holds every script. A language file does not say which one it was\n"
           "  written in: without --codepage it is the one that Lexaro's settings set (its\n"
           "  settings dialog), else 1252. Reading never changes a file.\n"
           "settings: Lexaro.Ini, read where Lexaro reads it. In Lexaro's own folder (Text.Db\n"
           "  beside lexaro-lang, as in the bundled application folder) that is the folder\n"
           "  itself. Installed (lexaro-lang in /usr/bin) it is $XDG_CONFIG_HOME/lexaro\n"
           "  (~/.config/lexaro), and the language file it names relatively is in\n"
           "  $XDG_DATA_HOME/lexaro (~/.local/share/lexaro). With LEXARO_NO_SETTINGS set (not\n"
           "  empty) no settings are read, as for build steps.\n"
           "exit status: 0 done, 1 bad data (a missing or unreadable input, a damaged file,\n"
           "refused rows, nothing to write, OUT exists or may not be written, write failed),\n"
           "2 bad usage\n";
}

int RunLangTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const TLangToolEnv& env) {
    for (const auto& arg : args)
        if (arg == "--help" || arg == "-h") {
            out << LangToolUsage();
            return kLangToolOk;
        }
    if (args.empty())
        return UsageError(err, "no command given");
    const TArgs parsed = ParseArgs(args, 1);
    if (!parsed.error.empty())
        return UsageError(err, parsed.error);
    const std::string& command = args[0];
    if (command == "check")
        return RunCheck(parsed, out, err, env);
    if (command == "dump")
        return RunDump(parsed, out, err, env);
    if (command == "export")
        return RunExport(parsed, out, err, env);
    if (command == "import")
        return RunImport(parsed, out, err, env);
    if (command == "speak")
        return RunSpeak(parsed, out, err, env);
    if (command == "stats")
        return RunStats(parsed, out, err, env);
    if (command == "due")
        return RunDue(parsed, out, err, env);
    if (command == "versions")
        return RunVersions(parsed, out, err);
    if (command == "restore")
        return RunRestore(parsed, out, err);
    return UsageError(err, "unknown command " + command);
}

} // namespace lexaro
