// The practice journal beside a language file is read as it stands: any bytes, cut anywhere.
#include "progress/Journal.h"
#include "progress/JournalReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lexaro;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Whole and in two pieces cut at a point the input chooses, the counts are the same.
    TJournalTally whole;
    whole.Feed(text);
    whole.Finish();
    TJournalTally pieces;
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    pieces.Feed(text.substr(0, cut));
    pieces.Feed(text.substr(cut));
    pieces.Finish();
    if (whole.Lines() != pieces.Lines() || whole.Skipped() != pieces.Skipped())
        __builtin_trap();
    std::int64_t cards = 0;
    if (whole.FirstDay() <= whole.LastDay())
        for (std::int32_t day = whole.FirstDay(); day <= whole.LastDay(); ++day) {
            const TDayCounts counts = whole.Day(day);
            if (counts.right + counts.wrong > counts.cards || !(counts == pieces.Day(day)))
                __builtin_trap();
            cards += counts.cards;
        }
    if (cards != whole.Lines())
        __builtin_trap();

    // Each line that parses survives its own written form.
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const auto line = ParseJournalLine(text.substr(start, end - start));
        if (line) {
            const std::string written = FormatJournalLine(*line);
            const auto again =
                ParseJournalLine(std::string_view(written).substr(0, written.size() - 1));
            if (!again || !(*again == *line))
                __builtin_trap();
        }
        start = end + 1;
    }
    return 0;
}
