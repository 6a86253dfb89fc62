#include "editing/T_EditLessonTableModel.h"

#include "data/Charset.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <string_view>
#include <unordered_map>

namespace lexaro {

namespace {

constexpr int kColumnCount = 5;

// Fenwick tree over positions 0..n-1: how many of the positions added lie at or below k.
class TCountTree {
public:
    explicit TCountTree(std::size_t n) : tree_(n + 1, 0) {}
    void Add(std::size_t pos) {
        for (std::size_t i = pos + 1; i < tree_.size(); i += i & (~i + 1))
            ++tree_[i];
    }
    std::int64_t CountAtOrBelow(std::size_t pos) const {
        std::int64_t sum = 0;
        for (std::size_t i = pos + 1; i > 0; i -= i & (~i + 1))
            sum += tree_[i];
        return sum;
    }

private:
    std::vector<std::int64_t> tree_;
};

// The smallest and largest value of the intervals that cover each position.
class TCoverTree {
public:
    explicit TCoverTree(std::size_t n) {
        while (size_ < n)
            size_ *= 2;
        low_.assign(2 * size_, INT_MAX);
        high_.assign(2 * size_, INT_MIN);
    }
    void Cover(std::size_t first, std::size_t last, int value) {
        for (std::size_t l = first + size_, r = last + size_ + 1; l < r; l /= 2, r /= 2) {
            if (l & 1) {
                Take(l, value);
                ++l;
            }
            if (r & 1) {
                --r;
                Take(r, value);
            }
        }
    }
    // True when some interval over pos carries a value other than value.
    bool Differs(std::size_t pos, int value) const {
        for (std::size_t i = pos + size_; i > 0; i /= 2)
            if (low_[i] <= high_[i] && (low_[i] != value || high_[i] != value))
                return true;
        return false;
    }

private:
    void Take(std::size_t node, int value) {
        low_[node] = std::min(low_[node], value);
        high_[node] = std::max(high_[node], value);
    }
    std::size_t size_ = 1;
    std::vector<int> low_;
    std::vector<int> high_;
};

// A row of the lesson table: its cells, and where its pair came from.
class TLessonTableRow final : public TMTableRow {
public:
    using TMTableRow::TMTableRow;
    std::optional<TPairKey> origin;
};

} // namespace

namespace {

// Characters that show nothing on their own or pass for another one: named by their code.
bool ShowsAsItself(char32_t cp) {
    struct TRange {
        char32_t first;
        char32_t last;
    };
    static constexpr TRange kUnseen[] = {
        {0x0000, 0x0020},    {0x007F, 0x00A0}, {0x00AD, 0x00AD}, {0x0300, 0x036F},
        {0x0483, 0x0489},    {0x115F, 0x1160}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
        {0x2000, 0x200F},    {0x2028, 0x202F}, {0x205F, 0x206F}, {0x20D0, 0x20FF},
        {0x3000, 0x3000},    {0x3164, 0x3164}, {0xD800, 0xDFFF}, {0xFE00, 0xFE0F},
        {0xFE20, 0xFE2F},    {0xFEFF, 0xFEFF}, {0xFFF0, 0xFFFF}, {0xE0000, 0xE0FFF},
        {0xF0000, 0x10FFFF},
    };
    if (cp > 0x10FFFF)
        return false;
    for (const TRange& r : kUnseen)
        if (cp >= r.first && cp <= r.last)
            return false;
    return (cp & 0xFFFE) != 0xFFFE;
}

} // namespace

std::string NameCharacter(char32_t cp) {
    if (!ShowsAsItself(cp))
        return CodePointName(cp);
    std::string named = "\"";
    AppendUtf8(named, cp);
    return named + "\"";
}

std::int32_t CodePageNameText(int codePage) {
    constexpr std::int32_t kFirstName = 176;
    constexpr std::int32_t kUnicodeName = 244;
    if (codePage == TCodePage::kUtf8)
        return kUnicodeName;
    const auto& numbers = TCodePage::kSingleByte;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (numbers[i] == codePage)
            return kFirstName + static_cast<std::int32_t>(i);
    return CodePageNameText(TCodePage::kDefault);
}

std::string PhraseTextProblem(std::string_view utf8, bool language2, const TCodePage& page,
                              std::string& stored, std::size_t* at, bool* notInPage) {
    std::size_t bad = 0;
    if (notInPage != nullptr)
        *notInPage = false;
    if (!page.FromUtf8(utf8, stored, &bad)) {
        if (at != nullptr)
            *at = bad;
        if (notInPage != nullptr)
            *notInPage = true;
        char32_t cp = 0;
        if (!Utf8CharAt(utf8, bad, cp))
            return CodePointName(0xFFFD);
        return NameCharacter(cp);
    }
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char ch = stored[i];
        const bool refused =
            ch == '#' || (ch == '@' && !language2) || ch == '\r' || ch == '\n' || ch == '\0';
        if (refused) {
            // The stored text holds one byte per character; the typed one its UTF-8 form.
            if (at != nullptr)
                *at = page.ToUtf8(std::string_view(stored).substr(0, i)).size();
            return NameCharacter(static_cast<unsigned char>(ch));
        }
    }
    return {};
}

TMEditLessonTableModel::TMEditLessonTableModel(const std::array<std::string, 4>& titles,
                                               const TVector<TLesson>& lessons,
                                               ITableEditorFactory* editors,
                                               const TPairOrigins* origins, const TCodePage& page)
    : page_(&page) {
    columns_.push_back(std::make_unique<TMTableColumn>(titles[0], 101, 50));
    columns_.push_back(std::make_unique<TMTableColumn>(titles[1], -1, 198));
    columns_.push_back(std::make_unique<TMTableColumn>(titles[2], -1, 198));
    columns_.push_back(std::make_unique<TMTableColumn>(titles[3], 113, 57));
    columns_.push_back(std::make_unique<TMTableColumn>(std::string(), -1, 0));
    if (editors != nullptr) {
        text1Editor_ = editors->CreateTextField(196, kEditorHeight, kTextMaxLength);
        text2Editor_ = editors->CreateTextField(196, kEditorHeight, kTextMaxLength);
        spinEditor_ = editors->CreateSpinBox(55, kEditorHeight);
        if (spinEditor_)
            spinEditor_->SetRange(kSpinLow, kSpinHigh);
        columns_[kText1Col]->SetEditor(text1Editor_.get());
        columns_[kText2Col]->SetEditor(text2Editor_.get());
        columns_[kLessonCol]->SetEditor(spinEditor_.get());
    }

    for (const std::shared_ptr<TLesson>& lesson : lessons) {
        if (!lesson)
            continue;
        if (lesson->SlotCount() == 0) {
            rWordPairData empty;
            empty.pair.use = true;
            empty.lesson = lesson->number;
            rows_.push_back(MakeRow(empty, false));
            continue;
        }
        for (const std::shared_ptr<TWordPear>& pair : lesson->pairs) {
            if (!pair)
                continue;
            // The row keeps the drawn mark in its hidden column, as the pair had it.
            rows_.push_back(MakeRow(
                rWordPairData{*pair, lesson->number, origins ? origins->Of(pair) : std::nullopt},
                pair->drawn));
        }
    }
    // The table is never empty: without any pair it starts with one new entry, which is no
    // edit of its own.
    if (RowCount() < 2) {
        rWordPairData empty;
        empty.pair.use = true;
        empty.lesson = 1;
        for (const std::shared_ptr<TLesson>& lesson : lessons)
            if (lesson) {
                empty.lesson = lesson->number;
                break;
            }
        rows_.push_back(MakeRow(empty, false));
    }
    rows_[1]->SetMarked(true);
    editCol_ = -1;
    editRow_ = -1;
    filled_ = true;
}

std::unique_ptr<TMTableRow> TMEditLessonTableModel::MakeRow(const rWordPairData& data,
                                                            bool drawn) const {
    auto row = std::make_unique<TLessonTableRow>(RowCount(), kRowHeight);
    row->origin = data.origin;
    row->AddCell(std::make_unique<TMBolTableCell>(data.pair.use));
    row->AddCell(std::make_unique<TMStrTableCell>(data.pair.text1, *page_));
    row->AddCell(std::make_unique<TMStrTableCell>(data.pair.text2, *page_));
    row->AddCell(std::make_unique<TMIntTableCell>(data.lesson));
    auto hidden = std::make_unique<TMBolTableCell>(drawn);
    hidden->SetVisible(false);
    row->AddCell(std::move(hidden));
    return row;
}

std::optional<TPairKey>& TMEditLessonTableModel::OriginOf(int row) const {
    // Every row of this table is made by MakeRow.
    return static_cast<TLessonTableRow&>(*rows_[static_cast<std::size_t>(row)]).origin;
}

bool TMEditLessonTableModel::HasOrigin(const TPairKey& origin) const {
    for (int row = 1; row < RowCount(); ++row)
        if (OriginOf(row) == origin)
            return true;
    return false;
}

TMBolTableCell& TMEditLessonTableModel::BoolCell(int col, int row) const {
    return static_cast<TMBolTableCell&>(*CellAt(col, row));
}

TMStrTableCell& TMEditLessonTableModel::StrCell(int col, int row) const {
    return static_cast<TMStrTableCell&>(*CellAt(col, row));
}

TMIntTableCell& TMEditLessonTableModel::IntCell(int col, int row) const {
    return static_cast<TMIntTableCell&>(*CellAt(col, row));
}

bool TMEditLessonTableModel::InsertRow(const rWordPairData& data, int position) {
    // An open editor first writes into the row it was opened on, before the rows move.
    if (!TakeOpenEditor())
        return false;
    rows_.push_back(MakeRow(data, data.pair.drawn));
    const int last = RowCount() - 1;
    if (position >= 0 && position < last)
        for (int r = last; r > position; --r)
            SwapRows(r, r - 1);
    if (filled_)
        rowsInsertedOrRemoved_ = true;
    return true;
}

bool TMEditLessonTableModel::DeleteRow(int row) {
    if (row <= 0 || row >= RowCount())
        return false;
    if (!TakeOpenEditor())
        return false;
    for (int r = row; r < RowCount() - 1; ++r)
        SwapRows(r, r + 1);
    rows_.pop_back();
    rowsInsertedOrRemoved_ = true;
    return true;
}

rWordPairData TMEditLessonTableModel::RowData(int row) const {
    rWordPairData data;
    if (row <= 0 || row >= RowCount())
        return data;
    data.pair.use = BoolCell(kUseCol, row).GetValue();
    data.pair.text1 = StrCell(kText1Col, row).GetValue();
    data.pair.text2 = StrCell(kText2Col, row).GetValue();
    data.lesson = IntCell(kLessonCol, row).GetValue();
    data.pair.drawn = false;
    data.pair.id = 0;
    data.origin = OriginOf(row);
    return data;
}

void TMEditLessonTableModel::SetRowData(int row, const rWordPairData& data, bool silent) {
    if (row <= 0 || row >= RowCount())
        return;
    BoolCell(kUseCol, row).SetValue(data.pair.use, silent);
    StrCell(kText1Col, row).SetValue(data.pair.text1, silent);
    StrCell(kText2Col, row).SetValue(data.pair.text2, silent);
    IntCell(kLessonCol, row).SetValue(data.lesson, silent);
}

void TMEditLessonTableModel::SwapRows(int a, int b) {
    if (a <= 0 || b <= 0 || a >= RowCount() || b >= RowCount() || a == b)
        return;
    auto swapBool = [&](int col) {
        const bool va = BoolCell(col, a).GetValue();
        BoolCell(col, a).SetValue(BoolCell(col, b).GetValue(), false);
        BoolCell(col, b).SetValue(va, false);
    };
    auto swapStr = [&](int col) {
        std::string va = StrCell(col, a).GetValue();
        StrCell(col, a).SetValue(StrCell(col, b).GetValue(), false);
        StrCell(col, b).SetValue(std::move(va), false);
    };
    swapBool(kUseCol);
    swapStr(kText1Col);
    swapStr(kText2Col);
    const std::int32_t la = IntCell(kLessonCol, a).GetValue();
    IntCell(kLessonCol, a).SetValue(IntCell(kLessonCol, b).GetValue(), false);
    IntCell(kLessonCol, b).SetValue(la, false);
    swapBool(kDrawnCol);
    TMTableRow& ra = *rows_[static_cast<std::size_t>(a)];
    TMTableRow& rb = *rows_[static_cast<std::size_t>(b)];
    const std::int32_t na = ra.GetNumber();
    ra.SetNumber(rb.GetNumber());
    rb.SetNumber(na);
    std::swap(OriginOf(a), OriginOf(b));
}

void TMEditLessonTableModel::DrawCell(ITableCanvas& canvas, const TRect& rect, int col, int row) {
    if (row == 0) {
        if (const TMTableColumn* column = ColumnAt(col))
            column->DrawHeader(canvas, rect);
        return;
    }
    const TMTableRow* r = RowAt(row);
    if (r == nullptr)
        return;
    if (row == editRow_) {
        if (ITableEditor* editor = ColumnEditor(col); editor != nullptr && col > 0)
            editor->SetBounds(rect.left + 1, rect.top + 1, rect.Width() - 2);
        if (col == editCol_)
            return;
    }
    if (const TMTableCell* cell = r->CellAt(col))
        cell->Draw(canvas, rect, r->IsMarked());
}

bool TMEditLessonTableModel::Take(int col, int row, std::size_t* refusedAt) {
    if (row <= 0 || row >= RowCount())
        return true;
    ITableEditor* editor = ColumnEditor(col);
    if (editor == nullptr || !editor->IsVisible())
        return true;
    if (col == kText1Col || col == kText2Col) {
        std::string stored;
        std::size_t at = 0;
        bool notInPage = false;
        std::string problem = PhraseTextProblem(editor->EnteredText(), col == kText2Col, *page_,
                                                stored, &at, &notInPage);
        if (!problem.empty()) {
            if (refusedAt != nullptr)
                *refusedAt = at;
            if (onRefused_)
                onRefused_(TTextRefusal{col, row, std::move(problem), ColumnAt(col)->Title(), at,
                                        notInPage ? page_->Number() : 0});
            return false;
        }
        StrCell(col, row).SetValue(std::move(stored), false);
    } else if (col == kLessonCol) {
        IntCell(col, row).SetValue(editor->Value(), false);
    }
    return true;
}

void TMEditLessonTableModel::CommitEditor(int col, int row) {
    Take(col, row, nullptr);
}

void TMEditLessonTableModel::HideEditors() {
    std::size_t refusedAt = 0;
    if (editCol_ >= 0 && !Take(editCol_, editRow_, &refusedAt)) {
        // Nothing typed is lost: the text stays where the learner can change it.
        ITableEditor* editor = ColumnEditor(editCol_);
        editor->PlaceCursor(refusedAt);
        editor->SetFocus();
        return;
    }
    TMAbstractTableModel::HideEditors();
    editCol_ = -1;
    editRow_ = -1;
}

bool TMEditLessonTableModel::TakeOpenEditor() {
    HideEditors();
    return editCol_ < 0;
}

void TMEditLessonTableModel::CancelEditor() {
    TMAbstractTableModel::HideEditors();
    editCol_ = -1;
    editRow_ = -1;
}

void TMEditLessonTableModel::CellClicked(int col, int row, int clientWidth, int clientHeight,
                                         const TRect& rect) {
    if (row == 0) {
        Sort(col);
        return;
    }
    if (row < 0 || row >= RowCount())
        return;
    const int marked = MarkedRow();
    if (marked == 0)
        return;
    if (!TakeOpenEditor())
        return;
    if (row != marked) {
        MarkRow(row);
        return;
    }
    switch (col) {
    case kUseCol: {
        TMBolTableCell& use = BoolCell(kUseCol, row);
        use.SetValue(!use.GetValue(), false);
        break;
    }
    case kText1Col:
    case kText2Col:
    case kLessonCol:
        OpenEditor(col, row, clientWidth, clientHeight, rect);
        break;
    default:
        break;
    }
}

void TMEditLessonTableModel::OpenEditor(int col, int row, int clientWidth, int clientHeight,
                                        const TRect& rect) {
    ITableEditor* editor = ColumnEditor(col);
    if (editor == nullptr)
        return;
    const bool spin = col == kLessonCol;
    if (spin) {
        const std::int32_t value = IntCell(col, row).GetValue();
        // A lesson number outside the wrap range must survive an opened and closed editor.
        editor->SetRange(std::min(kSpinLow, value), std::max(kSpinHigh, value));
        editor->SetValue(value);
    } else {
        editor->SetText(page_->ToUtf8(StrCell(col, row).GetValue()));
    }
    editor->SetBounds(rect.left + 1, rect.top + 1, rect.Width() - 2);
    const bool insideWidth = ColumnWidth(col) + rect.left + 1 < clientWidth;
    const bool insideHeight = spin ? rect.bottom + 1 < clientHeight : rect.bottom < clientHeight;
    if (!insideWidth || !insideHeight)
        return;
    editor->Show();
    editor->SetFocus();
    editCol_ = col;
    editRow_ = row;
}

void TMEditLessonTableModel::MarkCellChanged(int col, int row) {
    if (col == kUseCol || col == kDrawnCol)
        BoolCell(col, row).MarkChanged();
    else if (col == kLessonCol)
        IntCell(col, row).MarkChanged();
    else
        StrCell(col, row).MarkChanged();
}

bool TMEditLessonTableModel::IsModified() const {
    return rowsInsertedOrRemoved_ || TMAbstractTableModel::IsModified();
}

void TMEditLessonTableModel::SetCollation(int col, std::shared_ptr<const TCollation> collation) {
    if (col == kText1Col || col == kText2Col)
        collations_[static_cast<std::size_t>(col - kText1Col)] = std::move(collation);
}

void TMEditLessonTableModel::Sort(int key) {
    if (!TakeOpenEditor())
        return;
    const int rowCount = RowCount();
    const std::size_t n = rowCount > 1 ? static_cast<std::size_t>(rowCount - 1) : 0;
    if (key < 0 || key > 3 || n < 2)
        return;

    // Element x is the row at x + 1 before the sort. The order of a stable sort is the order
    // that exchanging neighbours that are out of order gives.
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto row = [](std::size_t x) { return static_cast<int>(x) + 1; };
    switch (key) {
    case 0:
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return BoolCell(kUseCol, row(a)).GetValue() && !BoolCell(kUseCol, row(b)).GetValue();
        });
        break;
    case 1:
    case 2:
        if (const auto& collation = collations_[static_cast<std::size_t>(key - 1)]) {
            // Each phrase keyed once; phrases alike but for case are equal.
            std::vector<std::string> keys(n);
            for (std::size_t x = 0; x < n; ++x)
                keys[x] = collation->Key(StrCell(key, row(x)).GetValue(), *page_);
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
        } else {
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                return page_->Compare(StrCell(key, row(a)).GetValue(),
                                      StrCell(key, row(b)).GetValue(), true) < 0;
            });
        }
        break;
    default:
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return IntCell(kLessonCol, row(a)).GetValue() < IntCell(kLessonCol, row(b)).GetValue();
        });
        break;
    }
    std::vector<std::size_t> final(n);
    bool moved = false;
    for (std::size_t i = 0; i < n; ++i) {
        final[order[i]] = i;
        moved = moved || order[i] != i;
    }
    if (!moved)
        return;

    // Exchanging neighbours moves an element left one place in each pass while a greater one
    // stands left of it, and from then on only right: it visits every position from its start
    // less that count up to the larger of its start and its end, and no other. A position
    // holds the values of the elements that visit it, so a cell there changes exactly when
    // one of them carries another value in that column.
    std::vector<std::size_t> first(n);
    std::vector<std::size_t> last(n);
    TCountTree placed(n);
    for (std::size_t x = 0; x < n; ++x) {
        const auto greaterBefore = static_cast<std::size_t>(static_cast<std::int64_t>(x) -
                                                            placed.CountAtOrBelow(final[x]));
        placed.Add(final[x]);
        first[x] = x - greaterBefore;
        last[x] = std::max(x, final[x]);
    }
    std::array<std::vector<bool>, kColumnCount> changed;
    for (int col = 0; col < kColumnCount; ++col) {
        std::vector<int> id(n);
        std::unordered_map<std::string_view, int> ids;
        for (std::size_t x = 0; x < n; ++x) {
            if (col == kUseCol || col == kDrawnCol)
                id[x] = BoolCell(col, row(x)).GetValue() ? 1 : 0;
            else if (col == kLessonCol)
                id[x] = IntCell(col, row(x)).GetValue();
            else
                id[x] =
                    ids.try_emplace(StrCell(col, row(x)).GetValue(), static_cast<int>(ids.size()))
                        .first->second;
        }
        TCoverTree cover(n);
        for (std::size_t x = 0; x < n; ++x)
            cover.Cover(first[x], last[x], id[x]);
        changed[static_cast<std::size_t>(col)].resize(n);
        for (std::size_t i = 0; i < n; ++i)
            changed[static_cast<std::size_t>(col)][i] = cover.Differs(i, id[i]);
    }

    // The values in their new order, then written back; the marks computed above are added.
    std::vector<rWordPairData> data(n);
    std::vector<bool> drawn(n);
    std::vector<std::int32_t> numbers(n);
    for (std::size_t x = 0; x < n; ++x) {
        data[x] = RowData(row(x));
        drawn[x] = BoolCell(kDrawnCol, row(x)).GetValue();
        numbers[x] = rows_[x + 1]->GetNumber();
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t x = order[i];
        const int r = row(i);
        SetRowData(r, data[x], true);
        BoolCell(kDrawnCol, r).SetValue(drawn[x], true);
        rows_[i + 1]->SetNumber(numbers[x]);
        OriginOf(r) = data[x].origin;
        for (int col = 0; col < kColumnCount; ++col)
            if (changed[static_cast<std::size_t>(col)][i])
                MarkCellChanged(col, r);
    }
}

} // namespace lexaro
