// The lesson editor's decisions: commands, button states, the counter, doubles, saving, the
// column widths and the keys of the grid.

#include "editing/EditLessonLogic.h"
#include "EditingFakes.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

using test::FakeEditorFactory;
using test::MakeLessons;
using test::PairPlan;

std::string Texts(std::int32_t n) {
    // The message of a character the code page lacks, with its places.
    if (n == kTextNotInCodePage)
        return "%1 is not in %2";
    return "<" + std::to_string(n) + ">";
}

std::vector<std::string> Column1(const TEditLessonLogic& logic) {
    std::vector<std::string> out;
    for (int r = 1; r < logic.Model().RowCount(); ++r)
        out.push_back(logic.Model().RowData(r).pair.text1);
    return out;
}

// "lesson: text1/text2 ..." for every pair of every lesson, in order.
std::string Describe(const TVector<TLesson>& lessons) {
    std::string out;
    for (const auto& lesson : lessons) {
        out += (out.empty() ? "" : " | ") + std::to_string(lesson->number) + ":";
        for (std::int32_t s = 0; s < lesson->SlotCount(); ++s) {
            const auto pair = lesson->PairAt(s);
            out += " " + std::to_string(pair->id) + "=" + pair->text1 + "/" + pair->text2 +
                   (pair->use ? "*" : "") + (pair->drawn ? "!" : "");
        }
    }
    return out;
}

class EditLesson : public ::testing::Test {
protected:
    void Open(const std::vector<std::pair<int, std::vector<PairPlan>>>& plan) {
        if (input_.lang1Name.empty())
            input_.lang1Name = "English";
        if (input_.lang2Name.empty())
            input_.lang2Name = "Deutsch";
        input_.lessons = MakeLessons(plan);
        input_.clipboard = clipboard_;
        logic_ = std::make_unique<TEditLessonLogic>(Texts, input_, &factory_);
        logic_->SetMessageHandler([this](const std::string& text) { messages_.push_back(text); });
    }
    TMEditLessonTableModel& Model() { return logic_->Model(); }

    FakeEditorFactory factory_;
    std::shared_ptr<TMWordPairData> clipboard_ = std::make_shared<TMWordPairData>();
    TEditLessonInput input_;
    std::unique_ptr<TEditLessonLogic> logic_;
    std::vector<std::string> messages_;
};

TEST(LessonColumnWidths, FillTheClientWidthLessSixPixels) {
    const struct {
        int client;
        std::array<int, 4> widths;
    } cases[] = {
        {606, {66, 234, 234, 66}},
        {512, {56, 197, 197, 56}},
        // 1.5 x 11 = 16.5 and 1.5 x 39 = 58.5: halves go to the even neighbour.
        {156, {16, 58, 58, 18}},
        {6, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LessonColumnWidths(c.client), c.widths) << c.client;
}

TEST(GridKeys, ArrowsMoveEnterAndF2ActEscapeCancelsDeleteRemoves) {
    using K = TGridKey;
    using A = TGridAction;
    const struct {
        TGridKey key;
        int col;
        int row;
        bool editing;
        TGridAction action;
        int toCol;
        int toRow;
    } cases[] = {
        {K::Down, 1, 5, false, A::Move, 1, 6},      {K::Up, 1, 5, false, A::Move, 1, 4},
        {K::Up, 1, 1, false, A::None, 1, 1},        {K::Down, 1, 20, false, A::None, 1, 20},
        {K::PageDown, 2, 5, false, A::Move, 2, 15}, {K::PageDown, 2, 15, false, A::Move, 2, 20},
        {K::PageUp, 2, 5, false, A::Move, 2, 1},    {K::Home, 0, 9, false, A::Move, 0, 1},
        {K::End, 0, 9, false, A::Move, 0, 20},      {K::Right, 3, 9, false, A::None, 3, 9},
        {K::Left, 3, 9, false, A::Move, 2, 9},      {K::Enter, 1, 9, false, A::Activate, 1, 9},
        {K::F2, 3, 9, false, A::Activate, 3, 9},    {K::Space, 0, 9, false, A::Activate, 0, 9},
        {K::Delete, 1, 9, false, A::Delete, 1, 9},  {K::Escape, 1, 9, false, A::None, 1, 9},
        {K::Escape, 1, 9, true, A::Cancel, 1, 9},   {K::Delete, 1, 9, true, A::None, 1, 9},
        {K::Down, 1, 9, true, A::None, 1, 9},       {K::Enter, 1, 9, true, A::None, 1, 9},
    };
    for (const auto& c : cases) {
        const TGridKeyDecision d = DecideGridKey(c.key, c.col, c.row, 4, 21, 10, c.editing);
        EXPECT_EQ(d.action, c.action) << static_cast<int>(c.key) << " at " << c.row;
        EXPECT_EQ(d.col, c.toCol) << static_cast<int>(c.key);
        EXPECT_EQ(d.row, c.toRow) << static_cast<int>(c.key);
    }
}

TEST(EditLessonKeys, TabWalksThePhraseCellsRowByRowAndStopsAtTheEnds) {
    using A = TGridAction;
    // 20 entries (rows 1 to 20); columns: 0 use, 1 and 2 the phrases, 3 the lesson.
    const struct {
        bool forward;
        int col;
        int row;
        TGridAction action;
        int toCol;
        int toRow;
    } cases[] = {
        {true, 1, 5, A::Move, 2, 5},  {true, 2, 5, A::Move, 1, 6},   {true, 3, 5, A::Move, 1, 6},
        {true, 0, 5, A::Move, 1, 5},  {true, 2, 20, A::None, 2, 20}, {true, 1, 20, A::Move, 2, 20},
        {false, 2, 5, A::Move, 1, 5}, {false, 1, 5, A::Move, 2, 4},  {false, 3, 5, A::Move, 2, 5},
        {false, 1, 1, A::None, 1, 1}, {false, 2, 1, A::Move, 1, 1},
    };
    for (const auto& c : cases) {
        const TGridKeyDecision d = DecideTabKey(c.forward, c.col, c.row, 21);
        SCOPED_TRACE(testing::Message()
                     << (c.forward ? "Tab" : "Shift+Tab") << " from " << c.col << "," << c.row);
        EXPECT_EQ(d.action, c.action);
        EXPECT_EQ(d.col, c.toCol);
        EXPECT_EQ(d.row, c.toRow);
    }
}

TEST_F(EditLesson, TitlesCounterMenuAndButtonStates) {
    Open({{4, {{"a", "A"}, {"b", "B"}}}});
    EXPECT_EQ(logic_->Caption(), "<132>");
    EXPECT_EQ(logic_->CounterText(), " : 2");
    EXPECT_EQ(logic_->FirstLessonNo(), 4);
    EXPECT_EQ(Model().ColumnAt(0)->Title(), "<101>");
    EXPECT_EQ(Model().ColumnAt(1)->Title(), "English");
    EXPECT_EQ(Model().ColumnAt(3)->Title(), "<113>");
    EXPECT_EQ(logic_->TableHint(), "<115>\r\n<111>");
    EXPECT_EQ(logic_->MenuCaptions(),
              (std::array<std::string, 6>{"<100>", "<108> English", "<108> Deutsch", "<114>",
                                          "<109> English <110>", "<109> Deutsch <110>"}));
    const TEditLessonButtons b = logic_->Buttons();
    EXPECT_TRUE(b.save);
    EXPECT_TRUE(b.deleteEntry);
    EXPECT_FALSE(b.paste) << "a clipboard that was never filled";
}

TEST_F(EditLesson, AddInsertsANewEntryAtTheTopAndMarksIt) {
    Open({{4, {{"a", "A"}}}, {9, {{"b", "B"}}}});
    Model().MarkRow(2);
    logic_->AddEntry();
    const rWordPairData added = Model().RowData(1);
    EXPECT_TRUE(added.pair.use);
    EXPECT_EQ(added.pair.text1, "");
    EXPECT_EQ(added.lesson, 4) << "the first lesson's number";
    EXPECT_EQ(Model().MarkedRow(), 1);
    EXPECT_EQ(logic_->CounterText(), " : 3");
}

TEST_F(EditLesson, DeletingMovesTheMarkAndNeverLeavesTheTableEmpty) {
    Open({{4, {{"a", "A"}, {"b", "B"}, {"c", "C"}}}});
    Model().MarkRow(3);
    logic_->DeleteEntry();
    EXPECT_EQ(Column1(*logic_), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Model().MarkedRow(), 2) << "the last row was deleted: the new last row";
    Model().MarkRow(1);
    logic_->DeleteEntry();
    EXPECT_EQ(Model().MarkedRow(), 1) << "another row: the same index";
    logic_->DeleteEntry();
    ASSERT_EQ(Model().RowCount(), 2) << "the only entry gives way to a new empty one";
    EXPECT_EQ(Model().RowData(1).lesson, 4);
    EXPECT_TRUE(Model().RowData(1).pair.use);
    EXPECT_EQ(Model().RowData(1).pair.text1, "");
    EXPECT_EQ(logic_->CounterText(), " : 1");
    EXPECT_EQ(Model().MarkedRow(), 1);
}

TEST_F(EditLesson, CutAndPasteMoveAnEntryAndTheClipboardKeepsIt) {
    Open({{4, {{"a", "A"}, {"b", "B", false}, {"c", "C"}}}});
    Model().MarkRow(2);
    logic_->Cut();
    EXPECT_EQ(Column1(*logic_), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(logic_->Buttons().paste);
    EXPECT_EQ(clipboard_->GetData().pair.text1, "b");
    Model().MarkRow(1);
    logic_->Paste();
    logic_->Paste();
    EXPECT_EQ(Column1(*logic_), (std::vector<std::string>{"b", "b", "a", "c"}));
    EXPECT_FALSE(Model().RowData(1).pair.use);
    EXPECT_EQ(Model().MarkedRow(), 1);
}

// A pasted entry belongs where it is pasted: to the lesson of the row it is pasted at, or of
// the table, never back to the lesson it was cut from.
TEST_F(EditLesson, PastedEntriesTakeTheLessonOfTheRowTheyArePastedAt) {
    Open({{3, {{"cut", "CUT"}, {"x", "X"}}}});
    Model().MarkRow(1);
    logic_->Cut();
    // The clipboard outlives the editor.
    Open({{5, {{"a", "A"}}}, {6, {{"b", "B"}}}});
    EXPECT_TRUE(logic_->Buttons().paste);
    Model().MarkRow(2);
    logic_->Paste();
    EXPECT_EQ(Model().RowData(2).pair.text1, "cut");
    EXPECT_EQ(Model().RowData(2).lesson, 6) << "the lesson of the row it was pasted at";
    ASSERT_EQ(logic_->Save(), TLessonSave::Saved);
    EXPECT_EQ(Describe(*input_.lessons), "5: 0=a/A* | 6: 0=cut/CUT* 1=b/B*");
}

TEST_F(EditLesson, PasteWithAnEmptyClipboardDoesNothing) {
    Open({{4, {{"a", "A"}}}});
    logic_->Paste();
    EXPECT_EQ(Model().RowCount(), 2);
    EXPECT_FALSE(Model().IsModified());
}

TEST_F(EditLesson, UseAllAndRenumberGiveEveryEntryTheMarkedOnesValue) {
    Open({{4, {{"a", "A", false}, {"b", "B", true}}}, {6, {{"c", "C", false}}}});
    Model().MarkRow(3);
    // A number still in the open spin box counts for renumbering.
    Model().CellClicked(3, 3, 1000, 1000, TRect{0, 0, 56, 22});
    factory_.made[2]->value = 12;
    logic_->UpdateId();
    for (int r = 1; r < Model().RowCount(); ++r)
        EXPECT_EQ(Model().RowData(r).lesson, 12) << r;
    logic_->SelectAll();
    for (int r = 1; r < Model().RowCount(); ++r)
        EXPECT_FALSE(Model().RowData(r).pair.use) << r;
    EXPECT_TRUE(Model().IsModified());
}

// The search for doubles looks at the exercise editor's file as edited so far: its other
// lessons, and the table's own entries that stand in other lessons. The lessons in the table
// are searched as the table has them, not as the file had them.
TEST_F(EditLesson, SearchForDoublesLooksAtTheFileAsEditedSoFar) {
    const auto file = MakeLessons({{3, {{"house", "Haus"}}},
                                   {5, {{"HOUSE", "Haus"}}},
                                   {12, {{"tree", "Haus"}}},
                                   {7, {{"x", "y"}}}});
    input_.fileLessons.assign(file->begin(), file->end());
    Open({{5, {{"House", "haus"}, {"", ""}, {"garden", "Haus"}}}});
    // The third entry now goes to lesson 9.
    Model().SetRowData(3, rWordPairData{{"garden", "Haus", 0, true, false}, 9, {}}, false);
    // Lesson 5 is the entry's own lesson and is skipped, in the file and in the table.
    EXPECT_EQ(logic_->SearchDoubles(1), "<105>\r\n<106>3");
    EXPECT_EQ(logic_->SearchDoubles(2), "<105>\r\n<106>3-9-12");
    Model().MarkRow(2);
    EXPECT_EQ(logic_->SearchDoubles(1), "<107>") << "an empty phrase matches nothing";
    input_.fileLessons.clear();
    Open({{5, {{"House", "haus"}}}});
    EXPECT_EQ(logic_->SearchDoubles(1), "<107>") << "no other lesson";
}

// Doubles differ at most in case, as the answer check counts case: under either pairing of i,
// so in a Turkish file "Internet" and "internet" are doubles (in the file and in the table),
// but "kır" and "kir" are two words.
TEST_F(EditLesson, DoublesIgnoreCaseUnderEitherPairingOfI) {
    const TCodePage& turkish = TCodePage::Get(1254);
    const auto stored = [&](const std::string& utf8) {
        std::string out;
        EXPECT_TRUE(turkish.FromUtf8(utf8, out));
        return out;
    };
    input_.codePage = &turkish;
    const auto file = MakeLessons({{3, {{"internet", "x"}}}, {8, {{stored("kir"), "y"}}}});
    input_.fileLessons.assign(file->begin(), file->end());
    Open({{5, {{"Internet", "a"}, {stored("kır"), "b"}}}, {6, {{"INTERNET", "c"}}}});
    Model().MarkRow(1);
    EXPECT_EQ(logic_->SearchDoubles(1), "<105>\r\n<106>3-6");
    Model().MarkRow(2);
    EXPECT_EQ(logic_->SearchDoubles(1), "<107>");
}

TEST_F(EditLesson, SaveRebuildsTheLessonsInOrder) {
    Open({{4, {{"a", "A", true, true}, {"b", "B", true}, {"c", "C", false}}}, {9, {{"d", "D"}}}});
    // The entry "c" goes to lesson 7: it comes back after the lower lessons.
    Model().SetRowData(3, rWordPairData{{"c", "C", 0, false, false}, 7, {}}, false);
    ASSERT_EQ(logic_->Save(), TLessonSave::Saved);
    EXPECT_TRUE(logic_->IsModified());
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A* 1=b/B* | 7: 0=c/C | 9: 0=d/D*");
}

// Entries with a phrase on one side only are named before they would be left out; the learner
// goes back to them (the first is marked) or saves without them. Empty entries go silently.
TEST_F(EditLesson, SaveNamesEntriesWithOnePhraseBeforeLeavingThemOut) {
    Open({{4, {{"a", "A", true, true}, {"b", "", true}, {"", "", true}, {"c", "C", false}}},
          {2, {{"", "only B"}}},
          {9, {{"d", "D"}}}});
    Model().SetRowData(4, rWordPairData{{"c", "C", 0, false, false}, 7, {}}, false);
    EXPECT_EQ(logic_->IncompleteRows(), (std::vector<int>{2, 5}));
    EXPECT_EQ(logic_->Save(), TLessonSave::Incomplete);
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A*! 1=b/* 2=/* 3=c/C | 2: 0=/only B* | 9: 0=d/D*")
        << "nothing saved yet";
    EXPECT_EQ(logic_->IncompleteText(), "<169>\r\nb (<113> 4)\r\nonly B (<113> 2)\r\n<170>");
    logic_->MarkFirstIncomplete();
    EXPECT_EQ(Model().MarkedRow(), 2) << "back at the first of them";

    ASSERT_EQ(logic_->Save(true), TLessonSave::Saved);
    EXPECT_TRUE(logic_->IsModified());
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A* | 7: 0=c/C | 9: 0=d/D*");

    // A long list is cut after ten entries.
    std::vector<PairPlan> many;
    for (int i = 0; i < 13; ++i)
        many.push_back({"w" + std::to_string(i), ""});
    Open({{1, many}});
    const std::string text = logic_->IncompleteText();
    EXPECT_NE(text.find("w9 (<113> 1)"), std::string::npos);
    EXPECT_EQ(text.find("w10"), std::string::npos);
    EXPECT_NE(text.find("<173>"), std::string::npos);
}

TEST_F(EditLesson, SaveWithoutChangesLeavesTheLessonsAlone) {
    Open({{4, {{"a", "A", true, true}, {"b", ""}}}});
    const auto before = input_.lessons->Get(0);
    ASSERT_EQ(logic_->Save(), TLessonSave::Saved);
    EXPECT_FALSE(logic_->IsModified());
    EXPECT_EQ(input_.lessons->Get(0), before);
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A*! 1=b/*");
}

TEST_F(EditLesson, RemovingTheLastEntryAloneIsSaved) {
    Open({{4, {{"a", "A"}, {"b", "B"}}}});
    Model().MarkRow(2);
    logic_->DeleteEntry();
    ASSERT_EQ(logic_->Save(), TLessonSave::Saved);
    EXPECT_TRUE(logic_->IsModified());
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A*");
}

TEST_F(EditLesson, AnEditThatIsLaterWrittenBackIsStillSaved) {
    Open({{4, {{"a", "A", true}, {"b", "B", true}}}});
    // Untick an entry, then give every entry the marked one's mark (ticked): the values are
    // back as they were, but the learner did edit.
    Model().CellClicked(0, 1, 1000, 1000, TRect{0, 0, 49, 22});
    Model().MarkRow(2);
    logic_->SelectAll();
    ASSERT_EQ(logic_->Save(), TLessonSave::Saved);
    EXPECT_TRUE(logic_->IsModified());
}

TEST_F(EditLesson, SaveStopsWhenTheOpenEditorHoldsTextThatCannotBeStored) {
    Open({{4, {{"a", "A"}}}});
    Model().CellClicked(1, 1, 1000, 1000, TRect{50, 25, 248, 47});
    factory_.made[0]->entered = "a#";
    EXPECT_EQ(logic_->Save(), TLessonSave::Refused);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "<152>");
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A*");
    EXPECT_FALSE(logic_->IsModified());
}

// In a file of another code page the editor takes what that page holds, refuses the rest by
// name, shows names and phrases as their characters, and sorts and seeks doubles by its rules.
TEST_F(EditLesson, TheFilesCodePageRulesWhatIsTakenShownAndSorted) {
    const TCodePage& cyrillic = TCodePage::Get(1251);
    const auto stored = [&](const std::string& utf8) {
        std::string out;
        EXPECT_TRUE(cyrillic.FromUtf8(utf8, out));
        return out;
    };
    input_.codePage = &cyrillic;
    const auto file = MakeLessons({{7, {{stored("ЖУК"), "beetle"}}}});
    input_.fileLessons.assign(file->begin(), file->end());
    input_.lang1Name = stored("Русский");
    Open({{4, {{stored("яблоко"), "apple"}, {stored("жук"), "beetle"}}}});
    EXPECT_EQ(logic_->MenuCaptions()[1], "<108> Русский");
    EXPECT_EQ(logic_->Model().ColumnAt(1)->Title(), "Русский");

    Model().MarkRow(2);
    EXPECT_EQ(logic_->SearchDoubles(1), "<105>\r\n<106>7") << "upper case of the code page";

    logic_->SortBy(1);
    EXPECT_EQ(Column1(*logic_), (std::vector<std::string>{stored("жук"), stored("яблоко")}));

    Model().MarkRow(1);
    Model().CellClicked(1, 1, 1000, 1000, TRect{50, 25, 248, 47});
    ASSERT_FALSE(factory_.made.empty());
    factory_.made[0]->entered = "ёжик";
    ASSERT_EQ(logic_->Save(), TLessonSave::Saved);
    EXPECT_EQ(Describe(*input_.lessons),
              "4: 0=" + stored("ёжик") + "/beetle* 1=" + stored("яблоко") + "/apple*");

    Model().CellClicked(1, 1, 1000, 1000, TRect{50, 25, 248, 47});
    factory_.made[0]->entered = "Müller";
    EXPECT_EQ(logic_->Save(), TLessonSave::Refused);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "\"ü\" is not in <177>") << "the character and the code page";
    std::string out;
    EXPECT_EQ(PhraseTextProblem("Müller", false, cyrillic, out), "\"ü\"");
}

// Each phrase column sorts in the alphabetical order of its language, named as the file
// names it (an unknown name: the order shared by all languages), under the file's code page.
TEST_F(EditLesson, EachColumnSortsInItsLanguagesOwnOrder) {
    const struct {
        int page;
        const char* language; // UTF-8
        std::vector<std::string> phrases;
        std::vector<std::string> sorted;
    } cases[] = {
        {1252, "Svenska", {"öl", "zon", "åka", "apa", "ärm"}, {"apa", "zon", "åka", "ärm", "öl"}},
        {1252,
         "Deutsch",
         {"Zug", "Öl", "Äpfel", "Ofen", "apfel"},
         {"apfel", "Äpfel", "Ofen", "Öl", "Zug"}},
        {1250,
         "Čeština",
         {"chata", "hrad", "ihned", "cukr", "čaj"},
         {"cukr", "čaj", "hrad", "chata", "ihned"}},
        {1254,
         "Türkçe",
         {"dağ", "çay", "cuma", "şeker", "sulu"},
         {"cuma", "çay", "dağ", "sulu", "şeker"}},
        {1257, "Lietuvių", {"jis", "yra", "iki", "kas"}, {"iki", "yra", "jis", "kas"}},
        {1252, "Vocabulary", {"öl", "zon", "åka", "apa"}, {"åka", "apa", "öl", "zon"}},
    };
    for (const auto& c : cases) {
        for (const int column : {1, 2}) {
            const TCodePage& page = TCodePage::Get(c.page);
            const auto stored = [&](const std::string& utf8) {
                std::string out;
                EXPECT_TRUE(page.FromUtf8(utf8, out)) << utf8;
                return out;
            };
            input_ = TEditLessonInput{};
            input_.codePage = &page;
            // The other column's language orders otherwise (Swedish puts ö last, Estonian
            // puts z beside s), so only the column's own language can give the order.
            (column == 1 ? input_.lang1Name : input_.lang2Name) = stored(c.language);
            (column == 1 ? input_.lang2Name : input_.lang1Name) = "Eesti";
            std::vector<PairPlan> pairs;
            for (std::size_t i = 0; i < c.phrases.size(); ++i) {
                const std::string phrase = stored(c.phrases[i]);
                const std::string other = "p" + std::to_string(i);
                pairs.push_back(column == 1 ? PairPlan{phrase, other} : PairPlan{other, phrase});
            }
            Open({{3, pairs}});
            logic_->SortBy(column);
            std::vector<std::string> sorted;
            for (int r = 1; r < Model().RowCount(); ++r) {
                const rWordPairData row = Model().RowData(r);
                const std::string& phrase = column == 1 ? row.pair.text1 : row.pair.text2;
                const std::string& other = column == 1 ? row.pair.text2 : row.pair.text1;
                sorted.push_back(page.ToUtf8(phrase));
                // The pair stays together.
                const auto at = std::find(c.phrases.begin(), c.phrases.end(), sorted.back());
                EXPECT_EQ(other, "p" + std::to_string(at - c.phrases.begin()));
            }
            EXPECT_EQ(sorted, c.sorted) << c.language << ", column " << column;
        }
    }
}

// The sort stays stable: phrases equal but for case keep their order, empty ones come first,
// each row keeps its other phrase.
TEST_F(EditLesson, TheLanguagesOrderKeepsEqualRowsInTheirOrder) {
    input_.lang1Name = "Svenska";
    Open({{1, {{"b", "1"}, {"a", "2"}, {"b", "3"}, {"B", "4"}}}, {2, {{"a", "5"}, {"b", "6"}}}});
    Model().InsertRow(rWordPairData{}, 3);
    logic_->SortBy(1);
    std::vector<std::string> order;
    for (int r = 1; r < Model().RowCount(); ++r)
        order.push_back(Model().RowData(r).pair.text1 + Model().RowData(r).pair.text2);
    EXPECT_EQ(order, (std::vector<std::string>{"", "a2", "a5", "b1", "b3", "B4", "b6"}));
}

TEST_F(EditLesson, CloseDropsEveryEdit) {
    Open({{4, {{"a", "A"}}}});
    logic_->AddEntry();
    logic_->Close();
    EXPECT_FALSE(logic_->IsModified());
    EXPECT_EQ(Describe(*input_.lessons), "4: 0=a/A*");
}

TEST_F(EditLesson, WithoutLessonsTheTableStartsWithOneNewEntry) {
    input_.clipboard = clipboard_;
    logic_ = std::make_unique<TEditLessonLogic>(Texts, input_, &factory_);
    ASSERT_EQ(logic_->Model().RowCount(), 2);
    EXPECT_EQ(logic_->Model().RowData(1).lesson, 1);
    EXPECT_FALSE(logic_->HasUnsavedEdits()) << "the new entry alone is no edit";
    // A lesson without pairs starts so too.
    Open({{6, {}}});
    ASSERT_EQ(Model().RowCount(), 2);
    EXPECT_EQ(Model().RowData(1).lesson, 6);
    EXPECT_FALSE(logic_->HasUnsavedEdits());
    logic_->AddEntry();
    EXPECT_TRUE(logic_->HasUnsavedEdits());
}

} // namespace
} // namespace lexaro
