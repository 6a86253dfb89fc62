// Flashcard text exports handed to lexaro-lang import may hold anything: reading them must
// never crash, messages and notes are printable UTF-8 with a line, the pairs taken can be
// stored and exported (no tab, some text on each side), and an export written from those pairs
// (every field quoted, decks as a column, no HTML) reads back as exactly the same pairs in the
// same decks: no cloze deletion is left in a question.
#include "LangImport.h"

#include "FuzzSupport.h"

#include "data/Charset.h"
#include "data/Word_Pear.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using lexaro::fuzz::Check;
using lexaro::fuzz::PrintableUtf8;

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const lexaro::TCodePage& page = lexaro::fuzz::CodePageOf(size);
    const lexaro::TImportSource source = lexaro::ReadFlashcardSource(text, page);
    Check(PrintableUtf8(source.fault));
    Check(source.fault.empty() || source.rows.empty());
    for (const auto& list : {source.problems, source.notes}) {
        for (const auto& problem : list) {
            Check(problem.line >= 1 && !problem.message.empty());
            Check(PrintableUtf8(problem.message));
        }
    }
    // Under Unicode the stored text is valid UTF-8 through and through.
    auto showsSomething = [&](std::string_view text) {
        bool shows = false;
        for (std::size_t pos = 0; pos < text.size();) {
            char32_t cp = 0;
            if (page.IsUtf8()) {
                Check(lexaro::Utf8CharAt(text, pos, cp));
                pos += lexaro::Utf8Length(cp);
            } else {
                cp = page.ToUnicode(static_cast<unsigned char>(text[pos++]));
            }
            shows = shows || (cp > 0x20 && cp != 0x7F && !(cp >= 0x80 && cp <= 0xA0) && cp != 0xAD);
        }
        return shows;
    };
    for (const auto& row : source.rows) {
        Check(row.line >= 1);
        Check(row.text1.find('\t') == std::string::npos &&
              row.text2.find('\t') == std::string::npos);
        Check(showsSomething(row.text1) && showsSomething(row.text2));
        Check(!lexaro::PairTextProblem(row.text1, false) &&
              !lexaro::PairTextProblem(row.text2, true));
        Check(lexaro::PairTextsFit(row.text1, row.text2));
        Check(source.hasLessons ? row.lesson >= 1 && static_cast<std::size_t>(row.lesson) <=
                                                         source.lessonNames.size()
                                : row.lesson == 0);
    }
    if (source.rows.empty())
        return 0;

    std::string written = "#separator:tab\n#html:false\n";
    if (source.hasLessons)
        written += "#deck column:3\n";
    for (const auto& row : source.rows) {
        written += Quoted(page.ToUtf8(row.text1)) + "\t" + Quoted(page.ToUtf8(row.text2));
        if (source.hasLessons)
            written += "\td" + std::to_string(row.lesson);
        written += "\n";
    }
    // The first pair is no header there, whatever its texts name.
    const lexaro::TImportSource back = lexaro::ReadFlashcardSource(written, page, false);
    Check(back.problems.empty());
    Check(back.rows.size() == source.rows.size());
    // Decks are numbered in order of first appearance, in both.
    for (std::size_t i = 0; i < source.rows.size(); ++i) {
        const auto& a = source.rows[i];
        const auto& b = back.rows[i];
        Check(a.text1 == b.text1 && a.text2 == b.text2 && a.lesson == b.lesson);
    }
    return 0;
}
