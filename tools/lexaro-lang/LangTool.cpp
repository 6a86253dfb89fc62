#include "LangTool.h"

#include "data/Charset.h"
#include "data/FileUtil.h"
#include "data/Lesson.h"
#include "data/StrUtil.h"
#include "data/Word_Pear.h"

#include <map>
#include <optional>
#include <ostream>

namespace lexaro {

namespace {

// A stored line holds at most 65534 bytes; the id, "=", "@", "#" and the mark need the rest.
constexpr std::size_t kMaxPairTexts = 65534 - 16;

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            cells.push_back(line.substr(start));
            return cells;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// 1/0, true/false, yes/no in any case; an empty cell gives the default.
std::optional<bool> ParseFlag(std::string_view cell, bool fallback) {
    cell = TrimBlanks(cell);
    if (cell.empty())
        return fallback;
    for (const char* yes : {"1", "true", "yes"})
        if (EqualsIgnoringAsciiCase(cell, yes))
            return true;
    for (const char* no : {"0", "false", "no"})
        if (EqualsIgnoringAsciiCase(cell, no))
            return false;
    return std::nullopt;
}

// The length of the well-formed UTF-8 character at the start of s, or 0.
std::size_t Utf8CharLength(std::string_view s) {
    if (s.empty())
        return 0;
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        length = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
        length = 3;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
        length = 4;
    else
        return b0 < 0x80 ? 1 : 0;
    if (s.size() < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80)
            return 0;
    return length;
}

// What is wrong with one text cell, or an empty string; out receives it in Windows-1252.
std::string TextProblem(std::string_view cell, bool language2, std::string& out) {
    const char* column = language2 ? "text2" : "text1";
    std::size_t badPos = 0;
    if (!Utf8ToCp1252(cell, out, &badPos)) {
        // Name the character so the user can find it; broken UTF-8 is said as such.
        const std::size_t length = Utf8CharLength(cell.substr(badPos));
        if (length == 0)
            return std::string(column) + ": the text is not valid UTF-8";
        return std::string(column) + ": \"" + std::string(cell.substr(badPos, length)) +
               "\" is outside Windows-1252 and cannot be stored";
    }
    if (const char* problem = PairTextProblem(out, language2))
        return std::string(column) + ": " + problem;
    return {};
}

std::string ToUtf8(std::string_view cp1252) {
    return Cp1252ToUtf8(cp1252);
}

// Control characters would steer the terminal; they are shown as \xNN instead.
std::string ForTerminal(std::string_view cp1252) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string plain;
    plain.reserve(cp1252.size());
    for (const char c : cp1252) {
        const auto b = static_cast<unsigned char>(c);
        const bool control =
            b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (control) {
            plain += "\\x";
            plain += kHex[b >> 4];
            plain += kHex[b & 15];
        } else {
            plain += c;
        }
    }
    return ToUtf8(plain);
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

// --- command line --------------------------------------------------------------------------

struct TArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // --lang1, --lang2
    bool force = false;
    bool skipBad = false;
    std::string error;
};

TArgs ParseArgs(const std::vector<std::string>& args, std::size_t from) {
    TArgs parsed;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--force") {
            parsed.force = true;
        } else if (arg == "--skip-bad") {
            parsed.skipBad = true;
        } else if (arg.rfind("--lang1", 0) == 0 || arg.rfind("--lang2", 0) == 0) {
            const std::string name = arg.substr(0, 7);
            std::string value;
            if (arg.size() == 7) {
                if (i + 1 >= args.size()) {
                    parsed.error = name + " needs a language name";
                    return parsed;
                }
                value = args[++i];
            } else if (arg[7] == '=') {
                value = arg.substr(8);
            } else {
                parsed.error = "unknown option " + arg;
                return parsed;
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

int UsageError(std::ostream& err, const std::string& message) {
    err << "lexaro-lang: " << message << "\n" << LangToolUsage();
    return kLangToolUsage;
}

// Reads a language file for check, dump and export; false (after one clear line on err)
// when it is missing or damaged.
bool ReadLangFile(const std::string& path, TLangFHandler& model, TLangFileReport& report,
                  std::ostream& err) {
    if (!CheckFileExists(path)) {
        err << path << ": the file does not exist\n";
        return false;
    }
    const byteArray stored = ReadWholeFile(path);
    const bool whole = LoadLangBytes(stored, model, report);
    if (report.fault != DecodeFault::None) {
        err << path << ": not a valid language file: " << DescribeFault(report.fault) << "\n";
        return false;
    }
    if (report.convertFailed) {
        err << path << ": line " << report.badLine << ": " << ToUtf8(report.convertMessage)
            << " (in \"" << ForTerminal(report.badLineText) << "\")\n";
        return false;
    }
    if (!report.hasGeneral) {
        err << path << ": not a language file: it has no \"[General]\" line\n";
        return false;
    }
    return whole;
}

int RunCheck(const TArgs& a, std::ostream& out, std::ostream& err) {
    if (a.positional.size() != 1 || !a.values.empty() || a.force || a.skipBad)
        return UsageError(err, "check takes one FILE and no options");
    const std::string& path = a.positional[0];
    TLangFHandler model;
    TLangFileReport report;
    if (!ReadLangFile(path, model, report, err))
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
        << "  language 1:    " << ForTerminal(model.GetLang1Name()) << "\n"
        << "  language 2:    " << ForTerminal(model.GetLang2Name()) << "\n"
        << "  lessons:       " << lessons << (lessons ? " (" + LessonList(model) + ")" : "") << "\n"
        << "  pairs:         " << pairs << "\n"
        << "  pairs in use:  " << used << "\n"
        << "  pairs drawn:   " << drawn << "\n"
        << "  lines skipped: " << model.SkippedLines() << "\n";
    return kLangToolOk;
}

int RunDump(const TArgs& a, std::ostream& out, std::ostream& err) {
    if (a.positional.size() != 1 || !a.values.empty() || a.force || a.skipBad)
        return UsageError(err, "dump takes one FILE and no options");
    const std::string& path = a.positional[0];
    if (!CheckFileExists(path)) {
        err << path << ": the file does not exist\n";
        return kLangToolBadData;
    }
    byteArray plain = ReadWholeFile(path);
    std::size_t first = 0, last = 0;
    const DecodeFault fault = CheckCoded(plain, first, last);
    if (fault != DecodeFault::None) {
        err << path << ": not a valid coded file: " << DescribeFault(fault) << "\n";
        return kLangToolBadData;
    }
    // Any coded file is shown line by line, whether or not it is a language file.
    ForEachLine(plain.data() + first, last - first,
                [&](std::string_view line) { out << ForTerminal(line) << "\n"; });
    return kLangToolOk;
}

int RunExport(const TArgs& a, std::ostream& out, std::ostream& err) {
    if (a.positional.size() != 1 || !a.values.empty() || a.force || a.skipBad)
        return UsageError(err, "export takes one FILE and no options");
    const std::string& path = a.positional[0];
    TLangFHandler model;
    TLangFileReport report;
    if (!ReadLangFile(path, model, report, err))
        return kLangToolBadData;
    std::vector<std::string> problems;
    const std::string table = ExportTsv(model, problems);
    if (!problems.empty()) {
        for (const auto& problem : problems)
            err << path << ": " << problem << "\n";
        err << path << ": not exported\n";
        return kLangToolBadData;
    }
    if (model.SkippedLines() > 0)
        err << path << ": note: " << model.SkippedLines()
            << " line(s) of the file were skipped and are not exported\n";
    out << table;
    return kLangToolOk;
}

int RunImport(const TArgs& a, std::ostream& out, std::ostream& err) {
    if (a.positional.size() != 2)
        return UsageError(err, "import takes a TSV file and an OUT file");
    for (const char* name : {"--lang1", "--lang2"})
        if (!a.values.count(name))
            return UsageError(err, std::string("import needs ") + name + " NAME");
    const std::string& tsvPath = a.positional[0];
    const std::string& outPath = a.positional[1];

    if (!CheckFileExists(tsvPath)) {
        err << tsvPath << ": the file does not exist\n";
        return kLangToolBadData;
    }
    if (!a.force && CheckFileExists(outPath)) {
        err << outPath << ": the file exists already; give --force to replace it\n";
        return kLangToolBadData;
    }

    std::string lang1, lang2;
    std::vector<std::string> nameProblems;
    if (auto p = LanguageNameProblem(a.values.at("--lang1"), false, lang1); !p.empty())
        nameProblems.push_back("--lang1: " + p);
    if (auto p = LanguageNameProblem(a.values.at("--lang2"), true, lang2); !p.empty())
        nameProblems.push_back("--lang2: " + p);

    const byteArray bytes = ReadWholeFile(tsvPath);
    const TTsvTable table =
        ParseTsv(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    for (const auto& problem : nameProblems)
        err << problem << "\n";
    for (const auto& problem : table.problems)
        err << tsvPath << ":" << problem.line << ": " << problem.message << "\n";
    if (!nameProblems.empty() || (!table.problems.empty() && !a.skipBad)) {
        err << outPath << ": not written"
            << (nameProblems.empty() ? " (give --skip-bad to leave the rows above out)" : "")
            << "\n";
        return kLangToolBadData;
    }
    if (table.rows.empty()) {
        err << tsvPath << ": no word pair to write; " << outPath << " is not written\n";
        return kLangToolBadData;
    }

    TLangFHandler model;
    BuildModel(table.rows, lang1, lang2, model);
    const byteArray stored = model.SaveBytes();
    if (stored.empty() || !WriteWholeFile(outPath, stored, true)) {
        err << outPath << ": cannot be written\n";
        return kLangToolBadData;
    }
    std::int32_t lessons = 0;
    for (const auto& lesson : model.lessons)
        lessons += lesson ? 1 : 0;
    out << outPath << ": " << table.rows.size() << " pair(s) in " << lessons << " lesson(s)";
    if (!table.problems.empty())
        out << ", " << table.problems.size() << " bad row(s) left out";
    out << "\n";
    return kLangToolOk;
}

} // namespace

TTsvTable ParseTsv(std::string_view text) {
    TTsvTable table;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::int32_t lineNumber = 0;
    bool seenRow = false;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (TrimBlanks(line).empty())
            continue;
        auto problem = [&](std::string message) {
            table.problems.push_back({lineNumber, std::move(message)});
        };
        const auto cells = SplitTabs(line);
        if (!seenRow) {
            seenRow = true;
            if (EqualsIgnoringAsciiCase(TrimBlanks(cells[0]), "lesson")) {
                table.hasHeader = true;
                continue;
            }
        }
        if (cells.size() < 3) {
            problem("a row needs lesson, text1 and text2 separated by tabs");
            continue;
        }
        if (cells.size() > 5) {
            problem("too many columns (a tab inside a text cannot be stored)");
            continue;
        }
        TTsvRow row;
        row.line = lineNumber;
        const std::string_view lesson = TrimBlanks(cells[0]);
        if (!TryStrToInt(lesson, row.lesson)) {
            problem("lesson: '" + std::string(lesson) + "' is not a whole number");
            continue;
        }
        if (row.lesson <= 0 || row.lesson > kMaxSlotNumber) {
            problem("lesson: " + std::to_string(row.lesson) + " is not between 1 and " +
                    std::to_string(kMaxSlotNumber));
            continue;
        }
        std::string why = TextProblem(cells[1], false, row.text1);
        if (why.empty())
            why = TextProblem(cells[2], true, row.text2);
        if (why.empty() && row.text1.size() + row.text2.size() > kMaxPairTexts)
            why = "the texts are too long for one stored line";
        if (!why.empty()) {
            problem(why);
            continue;
        }
        const auto use = cells.size() > 3 ? ParseFlag(cells[3], true) : std::optional(true);
        const auto drawn = cells.size() > 4 ? ParseFlag(cells[4], false) : std::optional(false);
        if (!use || !drawn) {
            problem(std::string(!use ? "use" : "drawn") + ": '" +
                    std::string(TrimBlanks(cells[!use ? 3 : 4])) +
                    "' is not 1, 0, true, false, yes or no");
            continue;
        }
        row.use = *use;
        row.drawn = *drawn;
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string LanguageNameProblem(std::string_view utf8, bool language2, std::string& cp1252) {
    std::size_t badPos = 0;
    if (!Utf8ToCp1252(utf8, cp1252, &badPos))
        return "the name is not valid UTF-8 or holds a character outside Windows-1252";
    if (cp1252.empty())
        return "the name is empty";
    for (const char c : cp1252) {
        if (c == '@')
            return "\"@\" cannot be stored in a language name";
        if (c == '\r' || c == '\n' || c == '\0')
            return "a line break or zero character cannot be stored in a language name";
    }
    // The names line would be read as a lesson header.
    if (!language2 && cp1252.front() == '[')
        return "the first language's name cannot start with \"[\"";
    return {};
}

void BuildModel(const std::vector<TTsvRow>& rows, std::string_view lang1Cp1252,
                std::string_view lang2Cp1252, TLangFHandler& model) {
    model.SetLanguageNames(lang1Cp1252, lang2Cp1252);
    for (const auto& row : rows) {
        auto lesson = model.LessonAt(row.lesson);
        if (!lesson) {
            lesson = std::make_shared<TLesson>();
            lesson->number = row.lesson;
            if (!model.PutLesson(lesson))
                continue; // refused by ParseTsv already
        }
        // Import leaves no gaps, so the first free slot is the end; NewPair(-1) would find
        // the same slot by a walk from slot 0 and make a large lesson quadratic.
        auto pair = lesson->NewPair(lesson->SlotCount());
        if (!pair)
            continue;
        pair->text1 = row.text1;
        pair->text2 = row.text2;
        pair->use = row.use;
        pair->drawn = row.use && row.drawn;
    }
}

std::string ExportTsv(const TLangFHandler& model, std::vector<std::string>& problems) {
    std::string table = "lesson\ttext1\ttext2\tuse\tdrawn\n";
    for (const auto& lesson : model.lessons) {
        if (!lesson)
            continue;
        const std::string number = std::to_string(lesson->number);
        std::int32_t index = 0;
        for (const auto& pair : lesson->pairs) {
            if (!pair)
                continue;
            ++index;
            if (pair->text1.find('\t') != std::string::npos ||
                pair->text2.find('\t') != std::string::npos) {
                problems.push_back("lesson " + number + ", pair " + std::to_string(index) +
                                   ": a tab in a text cannot be written to a table");
                continue;
            }
            table += number;
            table += '\t';
            table += ToUtf8(pair->text1);
            table += '\t';
            table += ToUtf8(pair->text2);
            table += pair->use ? "\t1" : "\t0";
            table += pair->use && pair->drawn ? "\t1\n" : "\t0\n";
        }
    }
    return table;
}

std::string DescribeFault(DecodeFault fault) {
    switch (fault) {
    case DecodeFault::None:
        return "no fault";
    case DecodeFault::TooShort:
        return "too short (a coded file has at least 2 bytes)";
    case DecodeFault::WrongMarker:
        return "wrong marker (the first byte is not the coded file's marker)";
    case DecodeFault::WrongChecksum:
        return "wrong checksum (the file is damaged)";
    }
    return "unknown fault";
}

bool LoadLangBytes(const byteArray& stored, TLangFHandler& model, TLangFileReport& report) {
    report = TLangFileReport{};
    report.readable = true;
    byteArray plain(stored);
    std::size_t first = 0, last = 0;
    report.fault = CheckCoded(plain, first, last);
    if (report.fault != DecodeFault::None)
        return false;
    ForEachLine(plain.data() + first, last - first, [&](std::string_view line) {
        report.lines.emplace_back(line);
        if (line == "[General]")
            report.hasGeneral = true;
    });
    model.Clear();
    try {
        if (!model.LoadBytes(stored)) {
            report.fault = model.LastFault();
            return false;
        }
        return true;
    } catch (const TConvertError& e) {
        report.convertFailed = true;
        report.convertMessage = e.what();
    }
    // The reader does not say where it stopped: the lines are replayed through the reader's
    // own step on a scratch model until the same error comes up.
    TLangFHandler scratch;
    scratch.readState = 0;
    scratch.currentNumber = -1;
    std::shared_ptr<TLesson> current;
    for (std::size_t i = 0; i < report.lines.size(); ++i) {
        try {
            scratch.ProcessLine(report.lines[i], current);
        } catch (const TConvertError&) {
            report.badLine = static_cast<std::int32_t>(i + 1);
            report.badLineText = report.lines[i];
            break;
        }
    }
    return false;
}

std::string LangToolUsage() {
    return "usage:\n"
           "  lexaro-lang check FILE\n"
           "      says whether FILE is a valid language file, with its languages, lessons,\n"
           "      pairs, pairs in use, pairs drawn and lines skipped\n"
           "  lexaro-lang dump FILE\n"
           "      prints the lines of the coded FILE in UTF-8 (control characters as \\xNN)\n"
           "  lexaro-lang export FILE\n"
           "      writes the pairs as a UTF-8 table on standard output: a header row, then\n"
           "      lesson, text1, text2, use, drawn separated by tabs; use and drawn are 1 or 0\n"
           "  lexaro-lang import TSV OUT --lang1 NAME --lang2 NAME [--force] [--skip-bad]\n"
           "      makes the language file OUT from a UTF-8 table of lesson, text1, text2 and\n"
           "      optional use and drawn columns (1/0, true/false or yes/no; use is 1 and\n"
           "      drawn 0 when missing or empty). A first row starting with \"lesson\" is a\n"
           "      header. Pairs go into their lessons in row order. Rows the file cannot hold\n"
           "      (characters outside Windows-1252, \"@\" in text1, \"#\", tabs, line breaks,\n"
           "      zero characters, lesson numbers outside 1..999999) are listed and nothing\n"
           "      is written, unless --skip-bad is given: then the other rows are written.\n"
           "      An existing OUT is replaced only with --force.\n"
           "  lexaro-lang --help | -h\n"
           "exit status: 0 done, 1 bad data (damaged file, refused rows, nothing to write,\n"
           "OUT exists, write failed), 2 bad usage\n";
}

int RunLangTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
        return RunCheck(parsed, out, err);
    if (command == "dump")
        return RunDump(parsed, out, err);
    if (command == "export")
        return RunExport(parsed, out, err);
    if (command == "import")
        return RunImport(parsed, out, err);
    return UsageError(err, "unknown command " + command);
}

} // namespace lexaro
