// KVTML files handed to lexaro-lang import may hold anything: reading them must never crash,
// messages are printable UTF-8 (a fault of the whole file comes alone), the pairs taken can be
// stored and exported (no tab), and a KVTML file written from those pairs (one lesson per
// lesson that has pairs) reads back as exactly the same pairs.
#include "LangImport.h"

#include "FuzzSupport.h"

#include "data/Charset.h"
#include "data/Word_Pear.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string_view>
#include <vector>

using lexaro::fuzz::Check;
using lexaro::fuzz::PrintableUtf8;

namespace {

// The lessons of the rows numbered 1, 2, ... in order: lessons without pairs leave no gap.
std::vector<std::int32_t> DenseLessons(const std::vector<lexaro::TTsvRow>& rows) {
    std::map<std::int32_t, std::int32_t> rank;
    for (const auto& row : rows)
        rank.emplace(row.lesson, 0);
    std::int32_t n = 0;
    for (auto& [lesson, r] : rank)
        r = ++n;
    std::vector<std::int32_t> out;
    for (const auto& row : rows)
        out.push_back(rank[row.lesson]);
    return out;
}

std::string WriteKvtml(const lexaro::TImportSource& source, const lexaro::TCodePage& page) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("kvtml");
    root.append_attribute("version") = "2.0";
    pugi::xml_node entries = root.append_child("entries");
    std::map<std::int32_t, std::vector<std::size_t>> lessons;
    for (std::size_t i = 0; i < source.rows.size(); ++i) {
        const auto& row = source.rows[i];
        pugi::xml_node entry = entries.append_child("entry");
        entry.append_attribute("id") = std::to_string(i).c_str();
        if (!row.use)
            entry.append_child("deactivated").text() = "true";
        for (const int side : {0, 1}) {
            pugi::xml_node t = entry.append_child("translation");
            t.append_attribute("id") = side;
            t.append_child("text").text() = page.ToUtf8(side == 0 ? row.text1 : row.text2).c_str();
        }
        lessons[row.lesson].push_back(i);
    }
    if (source.hasLessons) {
        pugi::xml_node containers = root.append_child("lessons");
        for (const auto& [lesson, members] : lessons) {
            pugi::xml_node c = containers.append_child("container");
            c.append_child("name").text() = ("lesson " + std::to_string(lesson)).c_str();
            for (const std::size_t i : members)
                c.append_child("entry").append_attribute("id") = std::to_string(i).c_str();
        }
    }
    std::ostringstream out;
    doc.save(out);
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const lexaro::TCodePage& page = lexaro::fuzz::CodePageOf(size);
    const lexaro::TImportSource source = lexaro::ReadKvtmlSource(bytes, page);
    for (const auto& problem : source.problems) {
        Check(problem.line >= 0 && !problem.message.empty());
        Check(PrintableUtf8(problem.message));
    }
    // A file that cannot be read at all gives nothing but the reason.
    Check(PrintableUtf8(source.fault));
    Check(source.fault.empty() || (source.rows.empty() && source.problems.empty()));
    for (const auto& name : source.lessonNames)
        Check(!name.empty());
    for (const auto& row : source.rows) {
        Check(!lexaro::PairTextProblem(row.text1, false) &&
              !lexaro::PairTextProblem(row.text2, true));
        Check(lexaro::PairTextsFit(row.text1, row.text2));
        Check(row.text1.find('\t') == std::string::npos &&
              row.text2.find('\t') == std::string::npos);
        Check(source.hasLessons ? row.lesson >= 1 && static_cast<std::size_t>(row.lesson) <=
                                                         source.lessonNames.size()
                                : row.lesson == 0);
        Check(!row.origin.empty());
    }
    if (source.rows.empty())
        return 0;

    const lexaro::TImportSource back = lexaro::ReadKvtmlSource(WriteKvtml(source, page), page);
    Check(back.problems.empty());
    Check(back.hasLessons == source.hasLessons);
    Check(back.rows.size() == source.rows.size());
    const auto lessons = DenseLessons(source.rows);
    const auto backLessons = DenseLessons(back.rows);
    for (std::size_t i = 0; i < source.rows.size(); ++i) {
        const auto& a = source.rows[i];
        const auto& b = back.rows[i];
        Check(a.text1 == b.text1 && a.text2 == b.text2 && a.use == b.use);
        Check(lessons[i] == backLessons[i]);
    }
    return 0;
}
