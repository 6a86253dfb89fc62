#include "LangFileReport.h"

#include "data/CodeDecode.h"
#include "data/StrUtil.h"

#include <memory>

namespace lexaro {

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

} // namespace lexaro
