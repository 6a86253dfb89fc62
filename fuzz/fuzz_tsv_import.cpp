// Tables handed to lexaro-lang import may hold anything: reading them must never crash, every
// row is either taken or reported (in printable UTF-8), and the rows taken must come back from
// the language file that import writes exactly as they went in, in each code page.
#include "LangFileReport.h"
#include "LangTable.h"

#include "FuzzSupport.h"

#include "data/Charset.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using lexaro::fuzz::Check;
using lexaro::fuzz::PrintableUtf8;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const lexaro::TCodePage& page = lexaro::fuzz::CodePageOf(size);
    const lexaro::TTsvTable table = lexaro::ParseTsv(text, page);
    std::size_t reported = 0;
    for (const auto& problem : table.problems) {
        Check(problem.line > 0 && !problem.message.empty());
        Check(problem.column >= 0 && problem.rows >= 1);
        Check(PrintableUtf8(problem.message));
        reported += static_cast<std::size_t>(problem.rows);
    }
    // Every line that is not blank (after a leading byte-order mark) is the header, a row
    // taken or a row reported.
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF")
        body.remove_prefix(3);
    std::size_t filled = 0;
    lexaro::ForEachTextLine(body, [&](std::string_view line, std::string_view) {
        filled += lexaro::TrimBlanks(line).empty() ? 0 : 1;
    });
    Check(table.rows.size() + reported + (table.hasHeader ? 1 : 0) == filled);
    if (table.rows.empty())
        return 0;

    lexaro::TLangFHandler model;
    Check(lexaro::BuildModel(table.rows, "English", "Deutsch", model));
    const lexaro::byteArray stored = model.SaveBytes();
    Check(!stored.empty());

    lexaro::TLangFHandler loaded;
    lexaro::TLangFileReport report;
    Check(lexaro::LoadLangBytes(stored, loaded, report));
    Check(loaded.SkippedLines() == 0);
    std::vector<std::string> problems;
    const std::string exported = lexaro::ExportTsv(loaded, problems, page);
    // Tabs never reach a text through import, so every pair is exported.
    Check(problems.empty());

    // Export lists the lessons in ascending order, the pairs of each lesson in row order.
    std::vector<lexaro::TTsvRow> expected = table.rows;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.lesson < b.lesson; });
    const lexaro::TTsvTable back = lexaro::ParseTsv(exported, page);
    Check(back.problems.empty());
    Check(back.hasHeader);
    Check(back.rows.size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& a = expected[i];
        const auto& b = back.rows[i];
        Check(a.lesson == b.lesson && a.text1 == b.text1 && a.text2 == b.text2);
        Check(a.use == b.use && (a.use && a.drawn) == b.drawn);
    }
    return 0;
}
