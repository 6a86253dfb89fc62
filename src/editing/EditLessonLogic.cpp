#include "editing/EditLessonLogic.h"

#include "app/AppLangHandl.h"
#include "data/Collation.h"
#include "data/Languages.h"
#include "data/StrUtil.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <set>

namespace lexaro {

namespace {

constexpr std::int32_t kTextUse = 101;
constexpr std::int32_t kTextLessonColumn = 113;
constexpr std::int32_t kTextDoublesFound = 105;
constexpr std::int32_t kTextDoublesLessons = 106;
constexpr std::int32_t kTextNoDoubles = 107;
constexpr std::int32_t kTextSortBy = 108;
constexpr std::int32_t kTextSearch = 109;
constexpr std::int32_t kTextInOtherLessons = 110;
constexpr std::int32_t kTextTableHintMenu = 111;
constexpr std::int32_t kTextTableHintClick = 115;
constexpr std::int32_t kTextSortUse = 100;
constexpr std::int32_t kTextSortLesson = 114;

// The lessons as given, or an empty vector; never none.
const TVector<TLesson>& LessonsOf(const TEditLessonInput& input) {
    static const TVector<TLesson> none;
    return input.lessons ? *input.lessons : none;
}

std::int32_t FirstNumber(const TVector<TLesson>& lessons) {
    for (const std::shared_ptr<TLesson>& lesson : lessons)
        if (lesson)
            return lesson->number;
    return 1;
}

} // namespace

std::array<int, 4> LessonColumnWidths(int clientWidth) {
    const int base = clientWidth - 6;
    const double unit = base / 100.0;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const int first = static_cast<int>(std::nearbyint(unit * 11));
    const int phrase = static_cast<int>(std::nearbyint(unit * 39));
    return {first, phrase, phrase, base - first - 2 * phrase};
}

TGridKeyDecision DecideGridKey(TGridKey key, int col, int row, int colCount, int rowCount,
                               int pageRows, bool editorOpen) {
    TGridKeyDecision d{TGridAction::None, col, row};
    const int lastRow = rowCount - 1;
    if (editorOpen) {
        if (key == TGridKey::Escape)
            d.action = TGridAction::Cancel;
        return d;
    }
    if (lastRow < 1)
        return d;
    auto moveTo = [&](int c, int r) {
        d.col = std::clamp(c, 0, std::max(0, colCount - 1));
        d.row = std::clamp(r, 1, lastRow);
        d.action = d.col == col && d.row == row ? TGridAction::None : TGridAction::Move;
    };
    const int page = std::max(1, pageRows);
    switch (key) {
    case TGridKey::Up:
        moveTo(col, row - 1);
        break;
    case TGridKey::Down:
        moveTo(col, row + 1);
        break;
    case TGridKey::PageUp:
        moveTo(col, row - page);
        break;
    case TGridKey::PageDown:
        moveTo(col, row + page);
        break;
    case TGridKey::Home:
        moveTo(col, 1);
        break;
    case TGridKey::End:
        moveTo(col, lastRow);
        break;
    case TGridKey::Left:
        moveTo(col - 1, row);
        break;
    case TGridKey::Right:
        moveTo(col + 1, row);
        break;
    case TGridKey::Enter:
    case TGridKey::F2:
    case TGridKey::Space:
        if (row >= 1 && row <= lastRow)
            d.action = TGridAction::Activate;
        break;
    case TGridKey::Delete:
        d.action = TGridAction::Delete;
        break;
    case TGridKey::Escape:
    case TGridKey::Other:
        break;
    }
    return d;
}

TGridKeyDecision DecideTabKey(bool forward, int col, int row, int rowCount) {
    constexpr int first = TMEditLessonTableModel::kText1Col;
    constexpr int last = TMEditLessonTableModel::kText2Col;
    TGridKeyDecision d{TGridAction::None, col, row};
    int toCol = col;
    int toRow = row;
    if (forward) {
        if (col < first) {
            toCol = first;
        } else if (col < last) {
            toCol = col + 1;
        } else {
            toCol = first;
            ++toRow;
        }
    } else {
        if (col > last) {
            toCol = last;
        } else if (col > first) {
            toCol = col - 1;
        } else {
            toCol = last;
            --toRow;
        }
    }
    if (toRow < 1 || toRow > rowCount - 1)
        return d;
    return TGridKeyDecision{TGridAction::Move, toCol, toRow};
}

TEditLessonLogic::TEditLessonLogic(TTextSource texts, TEditLessonInput input,
                                   ITableEditorFactory* editors)
    : texts_(std::move(texts)), input_(std::move(input)) {
    if (!input_.clipboard)
        input_.clipboard = std::make_shared<TMWordPairData>();
    const TVector<TLesson>& lessons = LessonsOf(input_);
    firstLessonNo_ = FirstNumber(lessons);
    model_ = std::make_unique<TMEditLessonTableModel>(
        std::array<std::string, 4>{Text(kTextUse), Page().ToUtf8(input_.lang1Name),
                                   Page().ToUtf8(input_.lang2Name), Text(kTextLessonColumn)},
        lessons, editors, input_.origins.get(), Page());
    // Each phrase column sorts in its language's alphabetical order (an unknown language
    // name: the order shared by all languages).
    for (const int col : {TMEditLessonTableModel::kText1Col, TMEditLessonTableModel::kText2Col}) {
        const std::string& name =
            col == TMEditLessonTableModel::kText1Col ? input_.lang1Name : input_.lang2Name;
        const TLanguage* language = FindLanguage(name, Page());
        model_->SetCollation(col, std::make_shared<const TCollation>(language ? language->locale
                                                                              : std::string_view(),
                                                                     TCollationStrength::Accents));
    }
    model_->SetRefusalHandler(
        [this](const TTextRefusal& refusal) { Report(RefusalText(refusal)); });
}

std::string TEditLessonLogic::Text(std::int32_t number) const {
    return TCodePage::Western().ToUtf8(texts_ ? texts_(number) : std::string(kMissingText));
}

const TCodePage& TEditLessonLogic::Page() const {
    return input_.codePage != nullptr ? *input_.codePage : TCodePage::Western();
}

void TEditLessonLogic::Report(const std::string& text) const {
    if (onMessage_)
        onMessage_(text);
}

std::string TEditLessonLogic::RefusalText(const TTextRefusal& refusal) const {
    // A character the code page lacks is named with the code page, as the settings name it.
    if (refusal.codePage != 0)
        return FillText(Text(kTextNotInCodePage),
                        {refusal.character, Text(CodePageNameText(refusal.codePage))});
    return FillText(Text(kTextPhraseRefused), {refusal.character, refusal.language});
}

std::string TEditLessonLogic::CounterText() const {
    return " : " + std::to_string(model_->RowCount() - 1);
}

std::string TEditLessonLogic::TableHint() const {
    return Text(kTextTableHintClick) + "\r\n" + Text(kTextTableHintMenu);
}

std::array<std::string, 6> TEditLessonLogic::MenuCaptions() const {
    const std::string lang1 = Page().ToUtf8(input_.lang1Name);
    const std::string lang2 = Page().ToUtf8(input_.lang2Name);
    return {Text(kTextSortUse),
            Text(kTextSortBy) + " " + lang1,
            Text(kTextSortBy) + " " + lang2,
            Text(kTextSortLesson),
            Text(kTextSearch) + " " + lang1 + " " + Text(kTextInOtherLessons),
            Text(kTextSearch) + " " + lang2 + " " + Text(kTextInOtherLessons)};
}

TEditLessonButtons TEditLessonLogic::Buttons() const {
    TEditLessonButtons b;
    const bool rows = model_->RowCount() > 1;
    b.save = rows;
    b.deleteEntry = rows;
    b.cut = rows;
    b.paste = !input_.clipboard->IsEmpty();
    return b;
}

void TEditLessonLogic::Insert(const rWordPairData& data, int position) {
    // A failure (out of memory) leaves the table as far as it got; the editor goes on.
    try {
        if (model_->InsertRow(data, position))
            model_->MarkRow(position);
    } catch (const std::exception&) {
    }
}

void TEditLessonLogic::AddEntry() {
    rWordPairData entry;
    entry.pair.use = true;
    entry.lesson = firstLessonNo_;
    Insert(entry, 1);
}

void TEditLessonLogic::DeleteEntry() {
    try {
        const int row = model_->MarkedRow();
        if (row <= 0)
            return;
        const bool wasLast = row == model_->RowCount() - 1;
        if (!model_->DeleteRow(row))
            return;
        if (model_->RowCount() < 2) {
            AddEntry();
            return;
        }
        model_->MarkRow(wasLast ? row - 1 : row);
    } catch (const std::exception&) {
    }
}

void TEditLessonLogic::Cut() {
    if (!model_->TakeOpenEditor())
        return;
    const int row = model_->MarkedRow();
    if (row <= 0)
        return;
    input_.clipboard->SetData(model_->RowData(row));
    DeleteEntry();
}

void TEditLessonLogic::Paste() {
    rWordPairData data = input_.clipboard->GetData();
    if (data.lesson <= 0)
        return;
    const int row = model_->MarkedRow();
    // The entry belongs where it is pasted, not to the lesson it was cut from.
    data.lesson = row > 0 ? model_->RowData(row).lesson : firstLessonNo_;
    // The pair it was cut from is in the table again: this one is a copy.
    if (data.origin && model_->HasOrigin(*data.origin))
        data.origin.reset();
    Insert(data, row > 0 ? row : 1);
}

void TEditLessonLogic::UpdateId() {
    const int row = model_->MarkedRow();
    if (row <= 0)
        return;
    model_->CommitEditor(TMEditLessonTableModel::kLessonCol, row);
    const std::int32_t number = model_->RowData(row).lesson;
    for (int i = 1; i < model_->RowCount(); ++i) {
        if (i == row)
            continue;
        rWordPairData data = model_->RowData(i);
        data.lesson = number;
        model_->SetRowData(i, data, false);
    }
}

void TEditLessonLogic::SelectAll() {
    const int row = model_->MarkedRow();
    if (row <= 0)
        return;
    const bool use = model_->RowData(row).pair.use;
    for (int i = 1; i < model_->RowCount(); ++i) {
        if (i == row)
            continue;
        rWordPairData data = model_->RowData(i);
        data.pair.use = use;
        model_->SetRowData(i, data, false);
    }
}

void TEditLessonLogic::SortBy(int key) {
    model_->Sort(key);
}

std::string TEditLessonLogic::SearchDoubles(int language) const {
    const int marked = model_->MarkedRow();
    const rWordPairData data = model_->RowData(marked);
    const bool second = language == 2;
    const std::string& phrase = second ? data.pair.text2 : data.pair.text1;
    std::set<std::int32_t> found;
    if (!phrase.empty()) {
        // The lessons in the table are searched as the table has them.
        std::set<std::int32_t> inTable;
        for (const std::shared_ptr<TLesson>& lesson : LessonsOf(input_))
            if (lesson)
                inTable.insert(lesson->number);
        for (const std::shared_ptr<const TLesson>& lesson : input_.fileLessons) {
            if (!lesson || lesson->number == data.lesson || inTable.contains(lesson->number))
                continue;
            if (lesson->FindText(phrase, second, Page()) != -1)
                found.insert(lesson->number);
        }
        for (int row = 1; row < model_->RowCount(); ++row) {
            const rWordPairData other = model_->RowData(row);
            const std::string& text = second ? other.pair.text2 : other.pair.text1;
            if (row != marked && other.lesson != data.lesson && !text.empty() &&
                Page().SameTextUpper(text, phrase))
                found.insert(other.lesson);
        }
    }
    if (found.empty())
        return Text(kTextNoDoubles);
    std::string numbers;
    for (const std::int32_t number : found)
        numbers += (numbers.empty() ? "" : "-") + std::to_string(number);
    return Text(kTextDoublesFound) + "\r\n" + Text(kTextDoublesLessons) + numbers;
}

std::vector<int> TEditLessonLogic::IncompleteRows() const {
    std::vector<int> rows;
    for (int row = 1; row < model_->RowCount(); ++row) {
        const rWordPairData data = model_->RowData(row);
        if (data.pair.text1.empty() != data.pair.text2.empty())
            rows.push_back(row);
    }
    return rows;
}

std::string TEditLessonLogic::IncompleteText() const {
    constexpr std::size_t kListed = 10;
    const std::vector<int> rows = IncompleteRows();
    std::string text = Text(kTextOneSidedEntries);
    for (std::size_t i = 0; i < rows.size() && i < kListed; ++i) {
        const rWordPairData data = model_->RowData(rows[i]);
        const std::string& phrase = data.pair.text1.empty() ? data.pair.text2 : data.pair.text1;
        text += "\r\n" + Page().ToUtf8(phrase) + " (" + Text(kTextLessonColumn) + " " +
                std::to_string(data.lesson) + ")";
    }
    if (rows.size() > kListed)
        text += "\r\n" + FillText(Text(kTextMoreEntries), {std::to_string(rows.size() - kListed)});
    return text + "\r\n" + Text(kTextFillOrLeaveOut);
}

void TEditLessonLogic::MarkFirstIncomplete() {
    const std::vector<int> rows = IncompleteRows();
    if (!rows.empty())
        model_->MarkRow(rows.front());
}

bool TEditLessonLogic::CommitOpenEditor() {
    return model_->TakeOpenEditor();
}

bool TEditLessonLogic::HasUnsavedEdits() const {
    return model_->IsModified();
}

std::string TEditLessonLogic::UnsavedQuestion() const {
    return Text(kTextEntriesUnsaved) + "\r\n" + Text(kTextSaveChanges);
}

TLessonSave TEditLessonLogic::Save(bool leaveOut) {
    if (!model_->TakeOpenEditor())
        return TLessonSave::Refused;
    const bool modified = model_->IsModified();
    if (!modified) {
        modified_ = false;
        return TLessonSave::Saved;
    }
    if (!leaveOut && !IncompleteRows().empty())
        return TLessonSave::Incomplete;
    model_->Sort(TMEditLessonTableModel::kLessonCol);

    // The rows by lesson, as they stand after the sort; complete rows only.
    TVector<TLesson> rebuilt;
    std::shared_ptr<TLesson> current;
    std::int32_t currentPairs = 0;
    auto finish = [&] {
        if (current && current->PairCount() > 0)
            rebuilt.Add(current);
    };
    for (int row = 1; row < model_->RowCount(); ++row) {
        const rWordPairData data = model_->RowData(row);
        if (!current || data.lesson != current->number) {
            finish();
            current = std::make_shared<TLesson>();
            current->number = data.lesson;
            currentPairs = 0;
        }
        if (data.pair.text1.empty() || data.pair.text2.empty())
            continue;
        // Pairs are numbered in table order; a lesson is built without gaps, so the next free
        // slot is always the count so far.
        std::shared_ptr<TWordPear> pair = current->NewPair(currentPairs);
        if (!pair) {
            Report(FillText(Text(kTextLessonTooLarge), {std::to_string(current->number)}));
            return TLessonSave::Refused;
        }
        ++currentPairs;
        if (input_.origins)
            input_.origins->Set(pair, data.origin);
        pair->use = data.pair.use;
        pair->drawn = false;
        pair->text1 = data.pair.text1;
        pair->text2 = data.pair.text2;
    }
    finish();

    modified_ = true;
    if (!input_.lessons)
        input_.lessons = std::make_shared<TVector<TLesson>>();
    input_.lessons->Clear();
    for (const std::shared_ptr<TLesson>& lesson : rebuilt)
        input_.lessons->Add(lesson);
    return TLessonSave::Saved;
}

void TEditLessonLogic::Close() {
    modified_ = false;
}

} // namespace lexaro
