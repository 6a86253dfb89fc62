#include "LangImport.h"

#include "data/Charset.h"
#include "data/CodeDecode.h"
#include "data/StrUtil.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <unordered_map>

namespace lexaro {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view SkipBom(std::string_view text) {
    if (text.substr(0, kBom.size()) == kBom)
        text.remove_prefix(kBom.size());
    return text;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimXmlSpace(std::string_view s) {
    while (!s.empty() && IsXmlSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsXmlSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// --- Line numbers of byte offsets -------------------------------------------------------

class TLineIndex {
public:
    explicit TLineIndex(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                ends_.push_back(i);
    }
    // The 1-based line of a byte offset; 0 for an unknown offset.
    std::int32_t LineOf(std::ptrdiff_t offset) const {
        if (offset < 0)
            return 0;
        const auto at =
            std::lower_bound(ends_.begin(), ends_.end(), static_cast<std::size_t>(offset));
        return static_cast<std::int32_t>(at - ends_.begin()) + 1;
    }

private:
    std::vector<std::size_t> ends_;
};

// --- KVTML ------------------------------------------------------------------------------

// All character data of an element (text and CDATA parts), as the parser decoded it.
std::string AllText(const pugi::xml_node& node) {
    std::string text;
    for (const pugi::xml_node part : node.children())
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata)
            text += part.value();
    return text;
}

struct TKvtmlEntry {
    std::string id;
    std::int32_t line = 0;
    bool storable = false;
    std::string text1, text2; // stored in the code page of the import
    bool use = true;
    bool inLesson = false;
    std::int32_t folded = 0; // as TTsvRow::folded
};

// --- Flashcard text ---------------------------------------------------------------------

struct TNamedEntity {
    std::string_view name;
    char32_t cp;
};

// The entities of HTML's Latin-1 range in code order, from U+00A0.
constexpr std::string_view kLatin1Entities[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr TNamedEntity kOtherEntities[] = {
    {"amp", U'&'},         {"lt", U'<'},          {"gt", U'>'},          {"quot", U'"'},
    {"apos", U'\''},       {"euro", U'\u20AC'},   {"ndash", U'\u2013'},  {"mdash", U'\u2014'},
    {"lsquo", U'\u2018'},  {"rsquo", U'\u2019'},  {"sbquo", U'\u201A'},  {"ldquo", U'\u201C'},
    {"rdquo", U'\u201D'},  {"bdquo", U'\u201E'},  {"hellip", U'\u2026'}, {"bull", U'\u2022'},
    {"trade", U'\u2122'},  {"dagger", U'\u2020'}, {"Dagger", U'\u2021'}, {"permil", U'\u2030'},
    {"lsaquo", U'\u2039'}, {"rsaquo", U'\u203A'}, {"OElig", U'\u0152'},  {"oelig", U'\u0153'},
    {"Scaron", U'\u0160'}, {"scaron", U'\u0161'}, {"Yuml", U'\u0178'},   {"Zcaron", U'\u017D'},
    {"zcaron", U'\u017E'}, {"fnof", U'\u0192'},   {"circ", U'\u02C6'},   {"tilde", U'\u02DC'}};

// The character an entity's name (between "&" and ";") stands for, or nothing.
std::optional<char32_t> EntityValue(std::string_view name) {
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        char32_t cp = 0;
        for (const char c : digits) {
            const std::int32_t d = hex ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
            if (d < 0)
                return std::nullopt;
            cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(d);
            if (cp > 0x10FFFF)
                return std::nullopt;
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        return cp;
    }
    for (std::size_t i = 0; i < std::size(kLatin1Entities); ++i)
        if (kLatin1Entities[i] == name)
            return static_cast<char32_t>(0xA0 + i);
    for (const auto& entity : kOtherEntities)
        if (entity.name == name)
            return entity.cp;
    return std::nullopt;
}

// Tags after which text reads on as after a line break.
bool BreaksText(std::string_view tag) {
    static constexpr std::string_view kBlocks[] = {
        "br", "div", "p",  "li", "ul", "ol", "tr", "td",  "th",        "table",
        "h1", "h2",  "h3", "h4", "h5", "h6", "hr", "pre", "blockquote"};
    const std::string name = LowerAscii(tag);
    return std::find(std::begin(kBlocks), std::end(kBlocks), name) != std::end(kBlocks);
}

// The text without media references "[sound:...]", also those that the removal of others
// would bring together ("[so[sound:a]und:b]"), so that none is left.
std::string RemoveSoundReferences(std::string_view text) {
    constexpr std::string_view kOpen = "[sound:";
    std::string out;
    std::vector<std::size_t> open; // where references still open start in out
    for (const char c : text) {
        if (c == ']' && !open.empty()) {
            out.resize(open.back());
            open.pop_back();
            continue;
        }
        out += c;
        if (c == ':' && out.size() >= kOpen.size() &&
            std::string_view(out).substr(out.size() - kOpen.size()) == kOpen)
            open.push_back(out.size() - kOpen.size());
    }
    return out;
}

// A field of an export with HTML as plain text: tags removed (those that break text become a
// blank; style sheets and scripts go with their contents), entities decoded, media
// references removed, blanks (no-break spaces and line breaks too) run together into one
// space, none at either end.
std::string PlainFromHtml(std::string_view html) {
    std::string text;
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i, 4) == "<!--") {
                const auto end = html.find("-->", i + 4);
                i = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            const char next = i + 1 < html.size() ? html[i + 1] : '\0';
            const bool tag = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                             next == '/' || next == '!' || next == '?';
            const auto end = tag ? html.find('>', i + 1) : std::string_view::npos;
            if (end != std::string_view::npos) {
                std::string_view inside = html.substr(i + 1, end - i - 1);
                const bool closing = !inside.empty() && inside.front() == '/';
                if (closing)
                    inside.remove_prefix(1);
                const auto nameEnd = inside.find_first_of(" \t\r\n/");
                const std::string name = LowerAscii(inside.substr(0, nameEnd));
                if (BreaksText(name))
                    text += ' ';
                i = end + 1;
                // A card's style sheet or script is no text: it goes up to its end tag.
                if (!closing && (name == "style" || name == "script")) {
                    const auto close = LowerAscii(html.substr(i)).find("</" + name);
                    const auto closeEnd = close == std::string::npos ? std::string_view::npos
                                                                     : html.find('>', i + close);
                    i = closeEnd == std::string_view::npos ? html.size() : closeEnd + 1;
                }
                continue;
            }
        } else if (c == '&') {
            const auto semi = html.find(';', i + 1);
            if (semi != std::string_view::npos && semi - i <= 10) {
                if (const auto cp = EntityValue(html.substr(i + 1, semi - i - 1))) {
                    AppendUtf8(text, *cp);
                    i = semi + 1;
                    continue;
                }
            }
        }
        text += c;
        ++i;
    }
    text = RemoveSoundReferences(text);
    // Blanks run together; a no-break space counts as one.
    std::string plain;
    bool blank = true; // nothing at the start
    for (std::size_t k = 0; k < text.size(); ++k) {
        const bool nbsp = text[k] == '\xC2' && k + 1 < text.size() && text[k + 1] == '\xA0';
        if (IsXmlSpace(text[k]) || nbsp) {
            k += nbsp ? 1 : 0;
            if (!blank)
                plain += ' ';
            blank = true;
            continue;
        }
        plain += text[k];
        blank = false;
    }
    if (!plain.empty() && plain.back() == ' ')
        plain.pop_back();
    return plain;
}

// The fields of one note. Fields past kMaxFields are counted, not kept.
struct TNote {
    static constexpr std::size_t kMaxFields = 256;
    std::int32_t line = 0;
    std::vector<std::string> fields;
    std::size_t fieldCount = 0;
    bool unclosedQuote = false;
    std::int32_t row = 0;      // its place on its line where rows share lines, else 0
    std::int32_t lastLine = 0; // the line it ends on: quoted line breaks take more than one
};

// Reads the note that starts at pos (at the start of a line, or after a row separator) and
// moves pos past its line end or its row separator; line counts the lines passed. rows: the
// character that separates notes within a line, or '\0'. A field in quotes reads as
// QuotedField says.
TNote ReadNote(std::string_view text, std::size_t& pos, std::int32_t& line,
               std::string_view separator, char rows) {
    TNote note;
    note.line = line;
    std::string field;
    auto finishField = [&] {
        if (note.fields.size() < TNote::kMaxFields)
            note.fields.push_back(std::move(field));
        ++note.fieldCount;
        field.clear();
    };
    bool atFieldStart = true;
    while (pos < text.size()) {
        const char c = text[pos];
        if (atFieldStart && c == '"') {
            std::string unquoted;
            const std::size_t quoted = QuotedField(text.substr(pos), separator, rows, unquoted);
            if (quoted == std::string_view::npos) {
                note.unclosedQuote = true;
                pos = text.size();
                break;
            }
            if (quoted != 0) {
                line += static_cast<std::int32_t>(
                    std::count(text.begin() + static_cast<std::ptrdiff_t>(pos),
                               text.begin() + static_cast<std::ptrdiff_t>(pos + quoted), '\n'));
                field = std::move(unquoted);
                pos += quoted;
                atFieldStart = false;
                continue;
            }
        }
        atFieldStart = false;
        if (text.substr(pos, separator.size()) == separator) {
            finishField();
            atFieldStart = true;
            pos += separator.size();
            continue;
        }
        if (c == '\n' || (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')) {
            pos += c == '\r' ? 2 : 1;
            note.lastLine = line++;
            finishField();
            return note;
        }
        if (rows != '\0' && c == rows) {
            ++pos;
            note.lastLine = line;
            finishField();
            return note;
        }
        field += c;
        ++pos;
    }
    note.lastLine = line;
    finishField();
    return note;
}

std::string SeparatorName(std::string_view separator) {
    if (separator == "\t")
        return "tabs";
    if (separator == ";")
        return "semicolons";
    if (separator == ",")
        return "commas";
    if (separator == " ")
        return "spaces";
    return "\"" + std::string(separator) + "\"";
}

std::optional<char> SeparatorFromHeader(std::string_view value) {
    static constexpr std::pair<std::string_view, char> kNames[] = {
        {"tab", '\t'},  {"semicolon", ';'}, {"comma", ','},
        {"space", ' '}, {"pipe", '|'},      {"colon", ':'}};
    for (const auto& [name, c] : kNames)
        if (EqualsIgnoringAsciiCase(value, name))
            return c;
    if (value == "\\t")
        return '\t';
    const auto c = static_cast<unsigned char>(value.size() == 1 ? value[0] : 0);
    // One printable ASCII character other than a quote.
    if (c > 0x20 && c < 0x7F && c != '"')
        return static_cast<char>(c);
    return std::nullopt;
}

bool IsBlankLine(std::string_view line) {
    return TrimXmlSpace(line).empty();
}

// The line at pos without its end (LF or CR LF); pos moves to the start of the next line.
std::string_view TakeLine(std::string_view text, std::size_t& pos) {
    const auto end = text.find('\n', pos);
    std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The notes from pos with that field and row separator (rows '\0': none within a line), up
// to limit of them: blank lines are passed over, and a note whose opening quote is never
// closed costs its own line only.
template <typename Visit>
void ForEachNote(std::string_view text, std::size_t pos, std::int32_t line,
                 std::string_view separator, char rows, std::size_t limit, Visit&& visit) {
    std::int32_t lastLine = 0, rowInLine = 0;
    for (std::size_t n = 0; pos < text.size() && n < limit;) {
        std::size_t next = pos;
        if (IsBlankLine(TakeLine(text, next))) {
            pos = next;
            ++line;
            continue;
        }
        const std::size_t start = pos;
        const std::int32_t startLine = line;
        TNote note = ReadNote(text, pos, line, separator, rows);
        rowInLine = note.line == lastLine ? rowInLine + 1 : 1;
        lastLine = note.line;
        note.row = rows != '\0' ? rowInLine : 0;
        if (note.unclosedQuote) {
            pos = start;
            TakeLine(text, pos);
            line = startLine + 1;
            note.lastLine = note.line;
            note.fields.clear();
            note.fieldCount = 0;
        }
        // A row separator at the end of a line leaves nothing after it.
        if (rows != '\0' && note.fieldCount == 1 && TrimBlanks(note.fields[0]).empty())
            continue;
        ++n;
        visit(std::move(note));
    }
}

// The separators between front and back that an export without a #separator line may use,
// in the order that decides between two that explain a file equally: tab, semicolon, a dash or
// an equals sign between blanks, comma, pipe.
constexpr std::string_view kFieldSeparators[] = {
    "\t", ";", " - ", " \xE2\x80\x93 ", " \xE2\x80\x94 ", " = ", ",", "|"};

bool HasCloze(std::string_view text);

// Whether a note reads as a front and a back (or more fields), or as a cloze note.
bool Explained(const TNote& note) {
    return note.fieldCount >= 2 || (note.fieldCount == 1 && HasCloze(note.fields[0]));
}

struct TSeparators {
    std::string_view field;
    char rows = '\0';
    std::size_t notes = 0;     // notes read
    std::size_t explained = 0; // notes of a front and a back (or more fields) so read
};

// The separators that explain the notes from pos best: most of them read as a front and a back
// (fields past those aside), then the most notes (rows separated by semicolons within a line
// count as notes of their own), then the order of kFieldSeparators.
TSeparators ChooseSeparators(std::string_view text, std::size_t pos, std::int32_t line) {
    constexpr std::size_t kLooked = 2000;
    TSeparators best;
    best.field = kFieldSeparators[1];
    for (const std::string_view field : kFieldSeparators) {
        for (const char rows : {'\0', ';'}) {
            if (rows == ';' && field == ";")
                continue;
            TSeparators tried{field, rows};
            ForEachNote(text, pos, line, field, rows, kLooked, [&](const TNote& note) {
                ++tried.notes;
                tried.explained += Explained(note) ? 1 : 0;
            });
            // explained / notes, then explained.
            const auto better = [&] {
                const std::size_t left = tried.explained * std::max<std::size_t>(best.notes, 1);
                const std::size_t right = best.explained * std::max<std::size_t>(tried.notes, 1);
                return left != right ? left > right : tried.explained > best.explained;
            }();
            if (better)
                best = tried;
        }
    }
    return best;
}

// --- Cloze notes ------------------------------------------------------------------------

// One deletion "{{c<number>::<text>[::<hint>]}}" of a cloze note.
struct TCloze {
    std::int32_t number = 0;
    std::size_t begin = 0, end = 0; // of the whole deletion in the text
    std::string text, hint;
};

constexpr std::string_view kClozeOpen = "{{c";

// The deletion that starts at pos ("{{c"), or nothing when none does.
std::optional<TCloze> ClozeAt(std::string_view text, std::size_t pos) {
    if (text.substr(pos, kClozeOpen.size()) != kClozeOpen)
        return std::nullopt;
    std::size_t at = pos + kClozeOpen.size();
    TCloze cloze;
    cloze.begin = pos;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6) {
        cloze.number = cloze.number * 10 + (text[at++] - '0');
        ++digits;
    }
    if (digits == 0 || text.substr(at, 2) != "::")
        return std::nullopt;
    return cloze;
}

bool HasCloze(std::string_view text) {
    for (auto at = text.find(kClozeOpen); at != std::string_view::npos;
         at = text.find(kClozeOpen, at + 1))
        if (ClozeAt(text, at))
            return true;
    return false;
}

// The pairs of a cloze note's text: for each cloze number in order of first appearance, the
// text with that number's deletions as a gap ("[...]", or the hint in brackets, which speech
// passes over) and the others filled in, and the hidden texts as the answer. Gives why the
// note cannot be read, or an empty string.
std::string ClozePairs(std::string_view text,
                       std::vector<std::pair<std::string, std::string>>& pairs) {
    std::vector<TCloze> clozes;
    for (std::size_t at = text.find(kClozeOpen); at != std::string_view::npos;) {
        auto cloze = ClozeAt(text, at);
        if (!cloze) {
            at = text.find(kClozeOpen, at + 1);
            continue;
        }
        const std::size_t inner = text.find("::", at) + 2;
        const auto close = text.find("}}", inner);
        if (close == std::string_view::npos)
            return "the cloze deletion at \"" + ShowText(text.substr(at, 20)) + "\" is not closed";
        std::string_view body = text.substr(inner, close - inner);
        if (body.find("{{") != std::string_view::npos)
            return "a cloze deletion inside another is not read";
        if (const auto hint = body.find("::"); hint != std::string_view::npos) {
            cloze->hint = std::string(TrimBlanks(body.substr(hint + 2)));
            body = body.substr(0, hint);
        }
        cloze->text = std::string(body);
        cloze->end = close + 2;
        clozes.push_back(std::move(*cloze));
        at = text.find(kClozeOpen, close + 2);
    }
    std::vector<std::int32_t> numbers;
    for (const auto& cloze : clozes)
        if (std::find(numbers.begin(), numbers.end(), cloze.number) == numbers.end())
            numbers.push_back(cloze.number);
    for (const std::int32_t number : numbers) {
        std::string question, answer;
        std::size_t from = 0;
        for (const auto& cloze : clozes) {
            question += text.substr(from, cloze.begin - from);
            if (cloze.number == number) {
                question += "[" + (cloze.hint.empty() ? std::string("...") : cloze.hint) + "]";
                answer += (answer.empty() ? "" : ", ") + cloze.text;
            } else {
                question += cloze.text;
            }
            from = cloze.end;
        }
        question += text.substr(from);
        // Deletions filled in must not make another one, nor a gap's "]" a media reference.
        question = RemoveSoundReferences(question);
        answer = RemoveSoundReferences(answer);
        if (HasCloze(question))
            return "a cloze deletion inside another is not read";
        pairs.emplace_back(std::string(TrimBlanks(question)), std::string(TrimBlanks(answer)));
    }
    return {};
}

} // namespace

bool LooksLikeTags(const std::vector<std::string_view>& values) {
    // Texts to learn differ from note to note; tags repeat: at most one distinct value in
    // three notes, and some value given more than once.
    std::vector<std::string_view> distinct;
    std::size_t given = 0;
    for (const auto value : values) {
        const std::string_view trimmed = TrimBlanks(value);
        if (trimmed.empty())
            continue;
        ++given;
        if (std::find(distinct.begin(), distinct.end(), trimmed) == distinct.end())
            distinct.push_back(trimmed);
    }
    return given > distinct.size() &&
           distinct.size() <= std::max<std::size_t>(1, values.size() / 3);
}

const char* FormatName(TImportFormat format) {
    switch (format) {
    case TImportFormat::Table:
        return "table";
    case TImportFormat::Kvtml:
        return "kvtml";
    case TImportFormat::Flashcards:
        return "flashcards";
    }
    return "table";
}

std::optional<TImportFormat> FormatFromName(std::string_view name) {
    for (const auto format :
         {TImportFormat::Table, TImportFormat::Kvtml, TImportFormat::Flashcards})
        if (EqualsIgnoringAsciiCase(name, FormatName(format)))
            return format;
    if (EqualsIgnoringAsciiCase(name, "tsv"))
        return TImportFormat::Table;
    return std::nullopt;
}

const char* FormatDescription(TImportFormat format) {
    switch (format) {
    case TImportFormat::Table:
        return "a table";
    case TImportFormat::Kvtml:
        return "a KVTML file";
    case TImportFormat::Flashcards:
        return "a flashcard text export";
    }
    return "a table";
}

TImportFormat DetectFormat(std::string_view bytes) {
    // XML in UTF-16 or UTF-32 starts with a byte-order mark or a zero byte next to "<".
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
        (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0')))
        return TImportFormat::Kvtml;
    const std::string_view text = SkipBom(bytes);
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return TImportFormat::Table;
    // XML starts with its declaration, a document type, a comment or its element; a
    // flashcard export may start with a field's markup ("<b>casa</b>\tthe house").
    if (text[first] == '<') {
        const std::string_view firstLine = text.substr(first, text.find('\n', first) - first);
        const std::string lead = LowerAscii(firstLine.substr(0, 9));
        const bool xml = lead.rfind("<?xml", 0) == 0 || lead.rfind("<!doctype", 0) == 0 ||
                         lead.rfind("<!--", 0) == 0 || lead.rfind("<kvtml", 0) == 0;
        if (xml || firstLine.find_first_of("\t;") == std::string_view::npos)
            return TImportFormat::Kvtml;
    }
    // A table: its header, or rows of a lesson number and at least two more tabbed cells.
    std::int32_t looked = 0;
    bool table = true;
    std::size_t pos = 0;
    // Rows of three cells whose last one repeats like tags are notes with a number in front:
    // read as a table, their backs would be taken for lessons' first texts and their tags
    // for the second.
    bool threeCells = true;
    std::vector<std::string_view> thirdCells;
    bool named = false;
    while (pos < text.size() && looked < 20 && table) {
        const std::string_view line = TakeLine(text, pos);
        if (IsBlankLine(line))
            continue;
        const std::string_view cell = TrimBlanks(line.substr(0, line.find('\t')));
        if (looked == 0 && line[0] == '#')
            return TImportFormat::Flashcards;
        if (looked == 0 && EqualsIgnoringAsciiCase(cell, "lesson"))
            return TImportFormat::Table;
        std::int32_t number = 0;
        const auto tabs = std::count(line.begin(), line.end(), '\t');
        // A header in other words ("Lektion\tDeutsch\tEnglisch") before rows of a table.
        if (looked == 0 && !named && tabs >= 2 && !TryStrToInt(cell, number) &&
            (cell.empty() || NamesLanguageOrColumn(cell))) {
            const auto second = line.find('\t') + 1;
            const auto third = line.find('\t', second) + 1;
            if (NamesColumns(line.substr(second, third - 1 - second),
                             line.substr(third, line.find('\t', third) - third))) {
                named = true;
                continue;
            }
        }
        table = TryStrToInt(cell, number) && tabs >= 2;
        threeCells = threeCells && tabs == 2;
        if (table && threeCells)
            thirdCells.push_back(line.substr(line.rfind('\t') + 1));
        ++looked;
    }
    if (table && threeCells && LooksLikeTags(thirdCells))
        return TImportFormat::Flashcards;
    return table ? TImportFormat::Table : TImportFormat::Flashcards;
}

TImportSource ReadTableSource(std::string_view utf8, const TCodePage& page, THeaderChoice header) {
    TTsvTable table = ParseTsv(utf8, page, header);
    TImportSource source;
    source.format = TImportFormat::Table;
    source.rows = std::move(table.rows);
    source.problems = std::move(table.problems);
    source.undrawn = std::move(table.notes);
    source.tableLessons = true;
    if (table.headerLine > 0)
        source.readings.push_back("line " + std::to_string(table.headerLine) +
                                  " taken as a header" +
                                  (table.headerCells.empty() ? "" : ": " + table.headerCells));
    return source;
}

TImportSource ReadKvtmlSource(std::string_view bytes, const TCodePage& page) {
    TImportSource source;
    source.format = TImportFormat::Kvtml;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    // Offsets count in the text the parser read: the file's own bytes when it is UTF-8.
    const bool utf8 = parsed.encoding == pugi::encoding_utf8;
    const TLineIndex lines(utf8 ? bytes : std::string_view());
    auto lineOf = [&](std::ptrdiff_t offset) { return utf8 ? lines.LineOf(offset) : 0; };
    if (!parsed) {
        const std::int32_t line = lineOf(parsed.offset);
        source.fault = "not well-formed XML" +
                       (line > 0 ? " at line " + std::to_string(line) : std::string()) + ": " +
                       parsed.description();
        return source;
    }
    const pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "kvtml") {
        source.fault =
            "not a KVTML file: the document is <" + ShowText(root.name()) + ">, not <kvtml>";
        return source;
    }
    const std::string_view version = TrimXmlSpace(root.attribute("version").value());
    // KVTML 1 has no version, and its entries are <e> elements straight in <kvtml>.
    if ((version.empty() && !root.child("entries") && !root.child("identifiers")) ||
        (!version.empty() && version[0] == '1')) {
        source.fault = "KVTML 1 is not read, only KVTML 2";
        return source;
    }
    if (!version.empty() && version[0] != '2') {
        source.fault = "KVTML version " + ShowText(version) + " is not read, only version 2";
        return source;
    }
    bool declared = false, second = false;
    std::string only;
    for (const pugi::xml_node identifier : root.child("identifiers").children("identifier")) {
        const std::string_view id = TrimXmlSpace(identifier.attribute("id").value());
        declared = true;
        second = second || id == "1";
        std::string* name = id == "0" ? &source.lang1 : id == "1" ? &source.lang2 : nullptr;
        if (name != nullptr && name->empty())
            *name = std::string(TrimXmlSpace(AllText(identifier.child("name"))));
        if (id == "0") {
            only = *name;
            if (only.empty())
                only = std::string(TrimXmlSpace(AllText(identifier.child("locale"))));
        }
    }
    // A word list of one language: whatever an entry carries as translation 1 (some carry a
    // hint there) is no translation.
    if (declared && !second) {
        source.fault = "the file holds one language only" +
                       (only.empty() ? std::string() : " (" + ShowText(only) + ")") +
                       "; a language file needs two";
        return source;
    }

    // The entries in file order, each converted once.
    std::vector<TKvtmlEntry> entries;
    std::unordered_map<std::string, std::size_t> byId;
    for (const pugi::xml_node node : root.child("entries").children("entry")) {
        TKvtmlEntry entry;
        entry.id = std::string(TrimXmlSpace(node.attribute("id").value()));
        entry.line = lineOf(node.offset_debug());
        const std::string label = "entry " + ShowText(entry.id);
        auto problem = [&](const std::string& message) {
            source.problems.push_back({entry.line, label + message});
        };
        if (entry.id.empty()) {
            problem(": it has no id, so no lesson can name it");
            continue;
        }
        if (!byId.emplace(entry.id, entries.size()).second) {
            problem(": an earlier entry has the same id; this one is left out");
            continue;
        }
        std::array<std::optional<std::string>, 2> texts;
        for (const pugi::xml_node translation : node.children("translation")) {
            const std::string_view id = TrimXmlSpace(translation.attribute("id").value());
            const std::size_t side = id == "0" ? 0 : id == "1" ? 1 : 2;
            if (side < 2 && !texts[side])
                texts[side] = std::string(TrimXmlSpace(AllText(translation.child("text"))));
        }
        // Older files say <inactive> for what newer ones say <deactivated>.
        entry.use = std::string_view(TrimXmlSpace(AllText(node.child("deactivated")))) != "true" &&
                    std::string_view(TrimXmlSpace(AllText(node.child("inactive")))) != "true";
        std::string why;
        for (std::size_t side = 0; side < 2 && why.empty(); ++side) {
            const std::string name = label + ", translation " + std::to_string(side);
            if (!texts[side] || texts[side]->empty())
                why = name + ": there is no text";
            else
                why = StorableText(*texts[side], side == 1, name,
                                   side == 0 ? entry.text1 : entry.text2, page);
        }
        if (why.empty())
            entry.folded = static_cast<std::int32_t>(page.FoldedLetters(*texts[0]) +
                                                     page.FoldedLetters(*texts[1]));
        if (why.empty() && !PairTextsFit(entry.text1, entry.text2))
            why = label + ": the texts are too long for one stored line";
        if (!why.empty())
            source.problems.push_back({entry.line, why});
        entry.storable = why.empty();
        entries.push_back(std::move(entry));
    }
    if (entries.empty() && source.problems.empty()) {
        source.fault = "the file holds no entries";
        return source;
    }

    auto addRow = [&](TKvtmlEntry& entry, std::int32_t lesson) {
        entry.inLesson = true;
        if (!entry.storable)
            return;
        TTsvRow row;
        row.line = entry.line;
        row.lesson = lesson;
        row.text1 = entry.text1;
        row.text2 = entry.text2;
        row.folded = entry.folded;
        row.use = entry.use;
        row.origin = "entry " + ShowText(entry.id);
        source.rows.push_back(std::move(row));
    };
    // Lessons in document order, a container before the containers inside it; an explicit
    // stack, since containers may nest as deep as a file likes.
    std::vector<std::pair<pugi::xml_node, std::string>> stack;
    const pugi::xml_node lessons = root.child("lessons");
    for (pugi::xml_node c = lessons.last_child(); c; c = c.previous_sibling())
        if (std::string_view(c.name()) == "container")
            stack.emplace_back(c, std::string());
    while (!stack.empty()) {
        auto [container, parent] = std::move(stack.back());
        stack.pop_back();
        std::string name(TrimXmlSpace(AllText(container.child("name"))));
        if (name.empty())
            name = "(no name)";
        if (!parent.empty())
            name = parent + " / " + name;
        if (container.child("entry")) {
            source.lessonNames.push_back(name);
            const auto lesson = static_cast<std::int32_t>(source.lessonNames.size());
            for (const pugi::xml_node ref : container.children("entry")) {
                const std::string id(TrimXmlSpace(ref.attribute("id").value()));
                const auto found = byId.find(id);
                if (found == byId.end()) {
                    source.problems.push_back(
                        {lineOf(ref.offset_debug()), "lesson \"" + ShowText(name) +
                                                         "\" names entry " + ShowText(id) +
                                                         ", which the file does not hold"});
                    continue;
                }
                addRow(entries[found->second], lesson);
            }
        }
        for (pugi::xml_node c = container.last_child(); c; c = c.previous_sibling())
            if (std::string_view(c.name()) == "container")
                stack.emplace_back(c, name);
    }
    source.hasLessons = !source.lessonNames.empty();
    // Entries that no lesson names: one more lesson, or the whole of a flat file.
    bool leftOver = false;
    for (const auto& entry : entries)
        leftOver = leftOver || (!entry.inLesson && entry.storable);
    if (leftOver && source.hasLessons)
        source.lessonNames.push_back("(entries in no lesson)");
    const auto last = static_cast<std::int32_t>(source.lessonNames.size());
    for (auto& entry : entries)
        if (!entry.inLesson)
            addRow(entry, last);
    return source;
}

TImportSource ReadFlashcardSource(std::string_view utf8, const TCodePage& page,
                                  THeaderChoice header) {
    TImportSource source;
    source.format = TImportFormat::Flashcards;
    const std::string_view text = SkipBom(utf8);
    std::size_t pos = 0;
    std::int32_t line = 1;

    std::optional<std::string> separator;
    bool html = true;
    std::string deckName;
    // 1-based columns of the fields that are not front or back.
    std::map<std::string, std::int32_t> columns;
    // Header lines: "#key:value" at the top.
    while (pos < text.size() && text[pos] == '#') {
        const std::int32_t headerLine = line++;
        const std::string_view header = TakeLine(text, pos);
        const auto split = SplitAtFirst(header.substr(1), ':');
        if (!split)
            continue; // a comment
        const std::string key = LowerAscii(TrimBlanks(split->first));
        const std::string_view value = TrimBlanks(split->second);
        auto problem = [&](const std::string& message) {
            source.problems.push_back({headerLine, message});
        };
        if (key == "separator") {
            const auto given = SeparatorFromHeader(value);
            if (given)
                separator = std::string(1, *given);
            else
                problem("#separator: '" + ShowText(value) +
                        "' is not tab, semicolon, comma, space, pipe, colon or one character");
        } else if (key == "html") {
            if (EqualsIgnoringAsciiCase(value, "true"))
                html = true;
            else if (EqualsIgnoringAsciiCase(value, "false"))
                html = false;
            else
                problem("#html: '" + ShowText(value) + "' is not true or false");
        } else if (key == "deck") {
            deckName = std::string(value);
        } else if (key == "deck column" || key == "guid column" || key == "notetype column" ||
                   key == "tags column") {
            std::int32_t column = 0;
            if (!TryStrToInt(value, column) || column < 1 ||
                column > static_cast<std::int32_t>(TNote::kMaxFields))
                problem("#" + key + ": '" + ShowText(value) + "' is not a column from 1 to " +
                        std::to_string(TNote::kMaxFields));
            else
                columns[key] = column;
        }
    }
    if (!source.problems.empty())
        return source; // the notes would be read wrongly
    const bool separatorGiven = separator.has_value();
    // Without a #separator line, the separators that explain the notes: between front and
    // back, and between rows where rows follow one another on a line (an export option of
    // some trainers and quiz sites).
    char rows = '\0';
    if (!separator) {
        const TSeparators chosen = ChooseSeparators(text, pos, line);
        separator = std::string(chosen.field);
        rows = chosen.rows;
        if (*separator != "\t" && *separator != ";")
            source.readings.push_back("front and back separated by " + SeparatorName(*separator));
        if (rows != '\0')
            source.readings.push_back("rows separated by semicolons");
    }

    // The notes, each with the lines it took; a quote that is never closed costs its own line
    // only, and reading goes on with the next.
    std::vector<TNote> notes;
    std::size_t explained = 0;
    ForEachNote(text, pos, line, *separator, rows, std::numeric_limits<std::size_t>::max(),
                [&](TNote note) {
                    explained += Explained(note) ? 1 : 0;
                    notes.push_back(std::move(note));
                });
    // Lines that no separator explains are no export of pairs: said once, not line by line.
    if (!separatorGiven && explained * 2 < notes.size()) {
        source.fault = "no separator between front and back explains the lines (tab, semicolon, "
                       "\" - \", \" = \", comma or pipe were looked for); a first line such as "
                       "\"#separator:tab\" names it";
        return source;
    }
    // A first row that names languages or columns, unlike the rows after it, is a header.
    if (!notes.empty()) {
        auto side = [&](const TNote& note, std::size_t i) {
            return html ? PlainFromHtml(note.fields[i]) : note.fields[i];
        };
        auto names = [&](const TNote& note) {
            return note.fields.size() >= 2 && NamesLanguageOrColumn(side(note, 0)) &&
                   NamesLanguageOrColumn(side(note, 1));
        };
        const TNote& first = notes.front();
        bool isHeader = header.value_or(false);
        if (!header && columns.empty() && first.fields.size() >= 2 &&
            NamesColumns(side(first, 0), side(first, 1))) {
            isHeader = true;
            for (std::size_t i = 1; i < notes.size() && i < 50 && isHeader; ++i)
                isHeader = !names(notes[i]);
        }
        if (isHeader) {
            std::string cells;
            for (const auto& field : notes.front().fields)
                if (!TrimBlanks(field).empty())
                    cells += (cells.empty() ? "\"" : ", \"") + ShowText(TrimBlanks(field)) + "\"";
            source.readings.push_back("line " + std::to_string(notes.front().line) +
                                      " taken as a header" + (cells.empty() ? "" : ": " + cells));
            notes.erase(notes.begin());
        }
    }

    const auto deckColumn = columns.count("deck column") ? columns["deck column"] : 0;
    source.hasLessons = deckColumn > 0 || !deckName.empty();
    // Without a header for it, a last column that repeats the same few values in every note is
    // the tags of the notes, not a text to learn.
    std::int32_t tagsColumn = columns.count("tags column") ? columns["tags column"] : 0;
    if (tagsColumn == 0 && columns.empty() && notes.size() >= 2) {
        const std::size_t count = notes.front().fieldCount;
        bool same = count >= 3 && count <= TNote::kMaxFields;
        std::vector<std::string_view> last;
        for (const auto& note : notes) {
            same = same && !note.unclosedQuote && note.fieldCount == count;
            if (!same)
                break;
            last.push_back(note.fields.back());
        }
        if (same && LooksLikeTags(last)) {
            tagsColumn = static_cast<std::int32_t>(count);
            source.readings.push_back("column " + std::to_string(count) + " taken as tags");
        }
    }
    std::unordered_map<std::string, std::int32_t> lessonOf;
    bool cloze = false;

    for (TNote& note : notes) {
        const std::string where = note.row > 0 ? "row " + std::to_string(note.row) + ": " : "";
        // A note refused with its line breaks costs every line it takes: all are named.
        const std::string lines = note.lastLine > note.line
                                      ? " (the note takes lines " + std::to_string(note.line) +
                                            " to " + std::to_string(note.lastLine) + ")"
                                      : std::string();
        auto problem = [&](const std::string& message) {
            source.problems.push_back({note.line, where + message + lines});
        };
        if (note.unclosedQuote) {
            problem("a field's opening quote is never closed; the line is left out");
            continue;
        }
        std::vector<std::pair<std::int32_t, std::string*>> data; // column, field
        std::string* deck = nullptr;
        for (std::size_t i = 0; i < note.fields.size(); ++i) {
            const auto column = static_cast<std::int32_t>(i + 1);
            bool special = column == tagsColumn;
            for (const auto& [key, at] : columns)
                special = special || at == column;
            if (column == deckColumn)
                deck = &note.fields[i];
            else if (!special)
                data.emplace_back(column, &note.fields[i]);
        }
        auto plain = [&](std::size_t k) {
            return html ? PlainFromHtml(*data[k].second)
                        : std::string(TrimBlanks(RemoveSoundReferences(*data[k].second)));
        };
        // Each pair of the note: front and back, or a question with a gap per cloze number.
        std::vector<std::pair<std::string, std::string>> pairs;
        std::string why;
        const std::string front = data.empty() ? std::string() : plain(0);
        const bool isCloze = HasCloze(front);
        if (isCloze) {
            cloze = true;
            why = ClozePairs(front, pairs);
        } else if (data.size() < 2) {
            problem("a note needs a front and a back separated by " + SeparatorName(*separator));
            continue;
        } else {
            pairs.emplace_back(front, plain(1));
        }
        // What the note holds past what is taken is said.
        std::string leftColumns, leftTexts;
        std::int32_t leftCount = 0;
        for (std::size_t k = isCloze ? 1 : 2; k < data.size(); ++k) {
            if (TrimBlanks(*data[k].second).empty())
                continue;
            const std::string comma = leftCount++ == 0 ? "" : ", ";
            leftColumns += comma + std::to_string(data[k].first);
            leftTexts += comma + "\"" + ShowText(plain(k)) + "\"";
        }
        if (note.fieldCount > TNote::kMaxFields) {
            leftColumns += std::string(leftCount++ == 0 ? "" : ", ") + "and " +
                           std::to_string(note.fieldCount - TNote::kMaxFields) + " more";
        }
        if (leftCount > 0)
            source.notes.push_back({note.line, where + (leftCount == 1 ? "field " : "fields ") +
                                                   leftColumns + (leftCount == 1 ? " is" : " are") +
                                                   " not taken: " + leftTexts});
        if (!why.empty()) {
            problem("front: " + why);
            continue;
        }
        std::string lesson;
        if (source.hasLessons) {
            lesson = deck ? std::string(TrimBlanks(*deck)) : deckName;
            if (lesson.empty())
                lesson = "(no deck)";
        }
        std::int32_t number = 0;
        for (const auto& [question, answer] : pairs) {
            ++number;
            TTsvRow row;
            row.line = note.line;
            if (pairs.size() > 1)
                row.origin = where + "cloze " + std::to_string(number);
            else if (!where.empty())
                row.origin = where.substr(0, where.size() - 2);
            const std::string label = row.origin.empty() ? std::string() : row.origin + ": ";
            why = StorableText(question, false, "front", row.text1, page);
            if (why.empty())
                why = StorableText(answer, true, "back", row.text2, page);
            row.folded = static_cast<std::int32_t>(page.FoldedLetters(question) +
                                                   page.FoldedLetters(answer));
            if (why.empty() && !PairTextsFit(row.text1, row.text2))
                why = "the texts are too long for one stored line";
            if (!why.empty()) {
                // A side that only markup or media filled is said with what it held.
                const bool empty = why.find("there is no text") != std::string::npos;
                const std::size_t side = why.rfind("back", 0) == 0 ? 1 : 0;
                if (empty && !isCloze && !TrimBlanks(*data[side].second).empty())
                    why += " (the field holds \"" + ShowText(*data[side].second) + "\")";
                source.problems.push_back({note.line, label + why + lines});
                continue;
            }
            if (source.hasLessons) {
                const auto [at, added] =
                    lessonOf.try_emplace(lesson, static_cast<std::int32_t>(lessonOf.size() + 1));
                if (added)
                    source.lessonNames.push_back(lesson);
                row.lesson = at->second;
            }
            source.rows.push_back(std::move(row));
        }
    }
    if (cloze)
        source.readings.push_back("cloze deletions asked with a gap");
    return source;
}

TImportSource ReadSource(TImportFormat format, std::string_view bytes, const TCodePage& page,
                         THeaderChoice header) {
    switch (format) {
    case TImportFormat::Kvtml:
        return ReadKvtmlSource(bytes, page);
    case TImportFormat::Flashcards:
        return ReadFlashcardSource(bytes, page, header);
    case TImportFormat::Table:
        break;
    }
    return ReadTableSource(bytes, page, header);
}

std::string BinaryKind(std::string_view bytes) {
    auto starts = [&](std::string_view magic) { return bytes.substr(0, magic.size()) == magic; };
    if (starts("PK\x03\x04") || starts("PK\x05\x06")) {
        // A workbook names its parts in the archive's first entries.
        const std::string_view head = bytes.substr(0, 4096);
        const bool workbook = head.find("[Content_Types].xml") != std::string_view::npos ||
                              head.find("xl/") != std::string_view::npos ||
                              head.find("opendocument.spreadsheet") != std::string_view::npos;
        return workbook ? "a ZIP archive (a spreadsheet workbook?), not a text export: save the "
                          "sheet as CSV or text to import it"
                        : "a ZIP archive, not a text export: export the vocabulary as text to "
                          "import it";
    }
    if (starts("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return "an OLE compound file (an older spreadsheet or document?), not a text export: save "
               "it as CSV or text to import it";
    if (starts("%PDF-"))
        return "a PDF document, not a text export";
    if (starts("\x89PNG\r\n\x1A\n"))
        return "a PNG picture, not a text export";
    if (starts("\xFF\xD8\xFF"))
        return "a JPEG picture, not a text export";
    if (starts("GIF87a") || starts("GIF89a"))
        return "a GIF picture, not a text export";
    if (starts("SQLite format 3"))
        return "an SQLite database, not a text export";
    // A coded file of Lexaro: its marker and checksum check out once unscrambled.
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == (kCodedMarker ^ 1)) {
        byteArray plain(bytes.begin(), bytes.end());
        std::size_t first = 0, last = 0;
        if (CheckCoded(plain, first, last) == DecodeFault::None)
            return std::string_view(reinterpret_cast<const char*>(plain.data() + first),
                                    last - first)
                           .starts_with("[General]")
                       ? "a Lexaro language file: use it directly or `export` it"
                       : "a coded file of Lexaro, not a text export";
    }
    // XML in UTF-16 without a byte-order mark is for the KVTML reader to read.
    if (starts(std::string_view("<\0", 2)) || starts(std::string_view("\0<", 2)))
        return {};
    // Zero bytes, or control characters that no text holds (UTF-16 with a byte-order mark is
    // read before). Text in UTF-16 without one has a zero byte beside most ASCII characters.
    const std::string_view head = bytes.substr(0, 8192);
    std::size_t controls = 0, zeros[2] = {0, 0};
    for (std::size_t i = 0; i < head.size(); ++i) {
        const auto b = static_cast<unsigned char>(head[i]);
        zeros[i % 2] += b == 0 ? 1 : 0;
        controls += b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' ? 1 : 0;
    }
    if (head.size() >= 4 && std::max(zeros[0], zeros[1]) * 4 > head.size() &&
        std::min(zeros[0], zeros[1]) * 50 < head.size())
        return "text in UTF-16 without a byte-order mark: save it as UTF-8 (or UTF-16 with a "
               "byte-order mark) to import it";
    if (zeros[0] + zeros[1] > 0 || controls * 20 > head.size())
        return "a binary file, not a text export";
    return {};
}

TImportSource ReadImport(std::string_view bytes, std::optional<TImportFormat> format,
                         const TCodePage& page, THeaderChoice header) {
    TImportSource source;
    // UTF-16 with a byte-order mark is read as the same text in UTF-8.
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    const bool big = bytes.substr(0, 2) == "\xFE\xFF";
    std::string converted;
    if (little || big) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto b0 = static_cast<unsigned char>(bytes[i]);
            const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
            units += static_cast<char16_t>(little ? b0 | (b1 << 8) : (b0 << 8) | b1);
        }
        converted = Utf16ToUtf8(units);
        bytes = converted;
    } else if (std::string kind = BinaryKind(bytes); !kind.empty()) {
        source.format = format.value_or(TImportFormat::Flashcards);
        source.fault = std::move(kind);
        return source;
    }
    source = ReadSource(format.value_or(DetectFormat(bytes)), bytes, page, header);
    if (little || big)
        source.readings.insert(source.readings.begin(), "UTF-16");
    return source;
}

void PlaceRows(TImportSource& source, std::optional<std::int32_t> lesson) {
    if (source.tableLessons && !lesson)
        return; // ParseTsv checked the table's lessons
    std::vector<TTsvRow> placed;
    placed.reserve(source.rows.size());
    std::unordered_map<std::int32_t, std::int32_t> pairsIn;
    std::unordered_map<std::int32_t, std::size_t> fullLesson;
    for (auto& row : source.rows) {
        row.lesson = lesson ? *lesson : source.hasLessons ? row.lesson : 1;
        const std::string where = row.origin.empty() ? std::string() : row.origin + ": ";
        if (row.lesson < 1 || row.lesson > kMaxSlotNumber) {
            source.problems.push_back(
                {row.line, where + "lesson " + std::to_string(row.lesson) +
                               " is past the lessons a file can number (1 to " +
                               std::to_string(kMaxSlotNumber) + ")"});
            continue;
        }
        if (++pairsIn[row.lesson] > kMaxPairsPerLesson) {
            const auto [at, first] = fullLesson.try_emplace(row.lesson, source.problems.size());
            if (first)
                source.problems.push_back(
                    {row.line, where + "lesson " + std::to_string(row.lesson) + " holds at most " +
                                   std::to_string(kMaxPairsPerLesson) +
                                   " pairs: this pair and any later ones of it cannot be stored"});
            else
                ++source.problems[at->second].rows;
            continue;
        }
        placed.push_back(std::move(row));
    }
    source.rows = std::move(placed);
}

std::vector<TImportDouble> FindDoubles(const std::vector<TTsvRow>& rows, const TCodePage& page) {
    std::vector<TImportDouble> doubles;
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string key = std::to_string(rows[i].lesson) + '\n' + page.UpperCase(rows[i].text1);
        const auto [at, first] = seen.try_emplace(std::move(key), i);
        if (!first)
            doubles.push_back({i, at->second});
    }
    return doubles;
}

std::size_t DropDoubles(std::vector<TTsvRow>& rows, const TCodePage& page) {
    const std::vector<TImportDouble> doubles = FindDoubles(rows, page);
    std::vector<bool> drop(rows.size(), false);
    for (const auto& d : doubles)
        drop[d.row] = true;
    // A row that stays where it is is not moved: a move onto itself would empty its texts.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (drop[i])
            continue;
        if (kept != i)
            rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
    return doubles.size();
}

} // namespace lexaro
