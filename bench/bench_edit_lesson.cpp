// The lesson table: sorting by a phrase in the code page's order and in the language's own
// alphabetical order (German, Swedish) against std::stable_sort of the same rows, building
// the table from lessons against copying their pairs, and painting one screenful at the top
// and near the end of a long table.

#include "data/CodePage.h"
#include "data/Collation.h"
#include "data/StrUtil.h"
#include "editing/T_EditLessonTableModel.h"
#include "editing/TableGrid.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

using namespace lexaro;

const std::array<std::string, 4> kTitles{"Use", "English", "Deutsch", "Lesson"};

// Lessons of 1,000 pairs with phrases of random letters (some upper case, some accented).
std::shared_ptr<TVector<TLesson>> Lessons(int pairs) {
    std::mt19937 rng(42);
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGH\xE4\xF6\xFC\xE9";
    auto word = [&] {
        std::string w;
        const int n = 3 + static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i)
            w += letters[rng() % letters.size()];
        return w;
    };
    auto lessons = std::make_shared<TVector<TLesson>>();
    std::shared_ptr<TLesson> lesson;
    for (int i = 0; i < pairs; ++i) {
        if (i % 1000 == 0) {
            lesson = std::make_shared<TLesson>();
            lesson->number = 1 + i / 1000;
            lessons->Add(lesson);
        }
        auto pair = lesson->NewPair(i % 1000);
        pair->text1 = word();
        pair->text2 = word();
        pair->use = rng() % 2 == 0;
    }
    return lessons;
}

void BM_SortByText(benchmark::State& state) {
    const auto lessons = Lessons(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        TMEditLessonTableModel model(kTitles, *lessons);
        state.ResumeTiming();
        model.Sort(1);
        benchmark::DoNotOptimize(model.RowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SortByText)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// The same sort in a language's own alphabetical order, as the lesson editor sorts: each
// phrase keyed once by the language's collation.
void BM_SortByTextInLanguageOrder(benchmark::State& state, const char* locale) {
    const auto lessons = Lessons(static_cast<int>(state.range(0)));
    const auto collation = std::make_shared<const TCollation>(locale, TCollationStrength::Accents);
    for (auto _ : state) {
        state.PauseTiming();
        TMEditLessonTableModel model(kTitles, *lessons);
        model.SetCollation(1, collation);
        state.ResumeTiming();
        model.Sort(1);
        benchmark::DoNotOptimize(model.RowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BM_SortByTextInLanguageOrder, de, "de")
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SortByTextInLanguageOrder, sv, "sv")
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

// Baseline: the row data of the same table sorted by std::stable_sort with the same
// comparison.
void BM_StableSortBaseline(benchmark::State& state) {
    const auto lessons = Lessons(static_cast<int>(state.range(0)));
    const TMEditLessonTableModel model(kTitles, *lessons);
    std::vector<rWordPairData> rows;
    for (int r = 1; r < model.RowCount(); ++r)
        rows.push_back(model.RowData(r));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<rWordPairData> copy = rows;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end(),
                         [](const rWordPairData& a, const rWordPairData& b) {
                             return CompareStrings(a.pair.text1, b.pair.text1, true) < 0;
                         });
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StableSortBaseline)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The doubles check: one phrase against every row's phrase ignoring case, as the lesson editor
// searches the rows, in Windows-1252 against the same words under Unicode (65001).
void BM_DoublesCheck(benchmark::State& state, int codePage) {
    const TCodePage& page = TCodePage::Get(codePage);
    std::vector<std::string> texts;
    const auto lessons = Lessons(10000);
    for (const auto& lesson : *lessons)
        for (const auto& pair : lesson->pairs)
            texts.push_back(page.IsUtf8() ? TCodePage::Western().ToUtf8(pair->text1) : pair->text1);
    const std::string phrase = texts[texts.size() / 2];
    for (auto _ : state) {
        int found = 0;
        for (const std::string& text : texts)
            found += page.SameTextUpper(text, phrase) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK_CAPTURE(BM_DoublesCheck, cp1252, 1252)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DoublesCheck, unicode, TCodePage::kUtf8)->Unit(benchmark::kMicrosecond);

void BM_BuildTable(benchmark::State& state) {
    const auto lessons = Lessons(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TMEditLessonTableModel model(kTitles, *lessons);
        benchmark::DoNotOptimize(model.RowCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildTable)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Baseline: copying every pair with its lesson number into a vector.
void BM_CopyPairsBaseline(benchmark::State& state) {
    const auto lessons = Lessons(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<rWordPairData> rows;
        for (const auto& lesson : *lessons)
            for (const auto& pair : lesson->pairs)
                if (pair)
                    rows.push_back(rWordPairData{*pair, lesson->number, {}});
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_CopyPairsBaseline)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// A canvas that measures every character as 7 pixels and draws nothing.
class NullCanvas : public ITableCanvas {
public:
    void SetBrushColor(TCanvasColor) override {}
    void SetFontColor(TCanvasColor) override {}
    void FillRect(const TRect&) override { ++calls; }
    int TextWidth(std::string_view text) override { return static_cast<int>(text.size()) * 7; }
    int TextHeight(std::string_view) override { return 13; }
    void TextOut(int, int, std::string_view, const TRect&) override { ++calls; }
    void DrawCheckBox(const TRect&, bool) override { ++calls; }
    void DrawFocusRect(const TRect&) override { ++calls; }
    long calls = 0;
};

// One screenful (the lesson editor's grid: about 14 rows) with the top row at range(0), in a
// table of 10,000 rows.
void BM_PaintScreenful(benchmark::State& state) {
    const auto lessons = Lessons(10000);
    TMEditLessonTableModel model(kTitles, *lessons);
    TGridLayout grid;
    grid.Reset(model);
    grid.SetClientSize(512, 330);
    grid.SetTopRow(static_cast<int>(state.range(0)));
    NullCanvas canvas;
    for (auto _ : state)
        grid.Paint(canvas, model, 1, grid.TopRow());
    benchmark::DoNotOptimize(canvas.calls);
}
BENCHMARK(BM_PaintScreenful)->Arg(10)->Arg(9990);

} // namespace

BENCHMARK_MAIN();
