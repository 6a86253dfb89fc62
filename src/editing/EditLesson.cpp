#include "editing/EditLesson.h"

#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/HelpWindow.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "editing/QtTableCanvas.h"
#include "editing/T_MTable.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <array>

namespace lexaro {

namespace {

// The client area; the button bar along its top, the table below.
constexpr int kClientWidth = 569;
constexpr int kClientHeight = 420;
constexpr int kBarLeft = 10;
constexpr int kBarTop = 6;
constexpr int kBarHeight = 30;
constexpr int kButtonSize = 26;
constexpr int kHintMs = 5000;

QPushButton* barButton(QWidget* parent, const char* name, const char* image) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFlat(true);
    // Enter belongs to the table's editors, never to a button of the bar.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setIcon(QIcon(QStringLiteral(":/images/") + image));
    button->setIconSize(QSize(kButtonSize - 8, kButtonSize - 8));
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setToolTipDuration(kHintMs);
    return button;
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(kButtonSize - 4);
    return line;
}

// Message text from the core: line breaks as the core writes them ("\r\n").
QString messageText(const std::string& text) {
    QString out = QtFromUtf8(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

} // namespace

TeditLessonDlg::TeditLessonDlg(const TWindowContext& context, TEditLessonInput input,
                               QWidget* owner)
    : QDialog(owner), context_(context), editors_(std::make_unique<TQtEditorFactory>()) {
    EnsureResources();
    setObjectName("TeditLessonDlg");
    setModal(true);
    // Only a close box in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto texts = context_.texts;
    TTextSource source = [texts](std::int32_t n) {
        return texts ? texts->GetText(n) : std::string(kMissingText);
    };
    logic_ = std::make_unique<TEditLessonLogic>(source, std::move(input), editors_.get());
    logic_->SetMessageHandler([this](const std::string& text) {
        // Refusals arise inside clicks and scrolls: the box opens once those are done. A turn
        // of the wheel brings many of them at once; one box says it.
        if (reportPending_)
            return;
        reportPending_ = true;
        QTimer::singleShot(0, this, [this, text] {
            report(text, true);
            reportPending_ = false;
        });
    });
    buildForm();
    ApplyTexts();
    refresh();

    SetHelpContext(*this, kHelpLessonEditor);
    SetHelpContext(*buttonBar, kHelpLessonEditor);
    InstallHelpKey(*this, [show = context_.showHelp](int helpContext) {
        if (show)
            show(helpContext);
    });

    resize(kClientWidth, kClientHeight);
    if (!fitFormToScreen(*this, true, true, true))
        greySizeItem(*this);
}

TeditLessonDlg::~TeditLessonDlg() {
    // The view goes before the model it shows.
    delete table_;
    table_ = nullptr;
}

void TeditLessonDlg::buildForm() {
    buttonBar = new QFrame(this);
    buttonBar->setObjectName("buttonBar");
    buttonBar->setGeometry(kBarLeft, kBarTop, kClientWidth - 2 * kBarLeft, kBarHeight);
    auto* bar = new QHBoxLayout(buttonBar);
    bar->setContentsMargins(0, 2, 0, 2);
    bar->setSpacing(2);
    btnClose = barButton(buttonBar, "btnClose", "close.svg");
    btnSafe = barButton(buttonBar, "btnSafe", "save.svg");
    btnAddEntry = barButton(buttonBar, "btnAddEntry", "add-row.svg");
    btnDeleteEntry = barButton(buttonBar, "btnDeleteEntry", "delete-row.svg");
    btnCut = barButton(buttonBar, "btnCut", "cut.svg");
    btnPaste = barButton(buttonBar, "btnPaste", "paste.svg");
    btnUpdateId = barButton(buttonBar, "btnUpdateId", "renumber.svg");
    btnSelectAll = barButton(buttonBar, "btnSelectAll", "select-all.svg");
    btnHelp = barButton(buttonBar, "btnHelp", "help.svg");
    labelNbrWords = new QLabel(buttonBar);
    labelNbrWords->setObjectName("labelNbrWords");
    labelNbrWords->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labelEntryValue = new QLabel(buttonBar);
    labelEntryValue->setObjectName("labelEntryValue");
    labelEntryValue->setMinimumWidth(48);
    bar->addWidget(btnClose);
    bar->addWidget(btnSafe);
    bar->addWidget(separator(buttonBar));
    for (QPushButton* b : {btnAddEntry, btnDeleteEntry, btnCut, btnPaste})
        bar->addWidget(b);
    bar->addWidget(separator(buttonBar));
    bar->addWidget(btnUpdateId);
    bar->addWidget(btnSelectAll);
    bar->addWidget(separator(buttonBar));
    bar->addStretch(1);
    bar->addWidget(labelNbrWords);
    bar->addWidget(labelEntryValue);
    bar->addWidget(btnHelp);

    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    connect(btnSafe, &QPushButton::clicked, this, [this] { btnSafeClick(); });
    connect(btnAddEntry, &QPushButton::clicked, this, [this] { btnAddEntryClick(); });
    connect(btnDeleteEntry, &QPushButton::clicked, this, [this] { btnDeleteEntryClick(); });
    connect(btnCut, &QPushButton::clicked, this, [this] { btnCutClick(); });
    connect(btnPaste, &QPushButton::clicked, this, [this] { btnPasteClick(); });
    connect(btnUpdateId, &QPushButton::clicked, this, [this] { btnUpdateIdClick(); });
    connect(btnSelectAll, &QPushButton::clicked, this, [this] { btnSelectAllClick(); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
    // Ctrl+S saves from anywhere in the window, an open cell editor included.
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    save->setContext(Qt::WindowShortcut);
    connect(save, &QShortcut::activated, this, [this] { btnSafeClick(); });

    // The table below the bar: 10 pixels apart, as wide as the bar, margins of 10.
    const int top = kBarTop + kBarHeight + 10;
    table_ = new TMTable(this, kBarLeft, top, buttonBar->width(), kClientHeight - kBarHeight - 40,
                         true, TTableMargins{10, 10, 10, 10}, std::string(), &logic_->Model());
    TMBaseTable* grid = table_->GetGrid();
    connect(grid, &TMBaseTable::deleteRequested, this, [this] { btnDeleteEntryClick(); });

    sortMenue = new QMenu(this);
    sortMenue->setObjectName("sortMenue");
    auto item = [this](const char* name) {
        QAction* action = sortMenue->addAction(QString());
        action->setObjectName(name);
        return action;
    };
    sortItem0 = item("sortItem0");
    sortItem1 = item("sortItem1");
    sortItem2 = item("sortItem2");
    sortItem3 = item("sortItem3");
    sortMenue->addSeparator()->setObjectName("N1");
    searchLang1 = item("searchLang1");
    searchLang2 = item("searchLang2");
    const std::array<QAction*, 4> sorts{sortItem0, sortItem1, sortItem2, sortItem3};
    for (int key = 0; key < 4; ++key)
        connect(sorts[static_cast<std::size_t>(key)], &QAction::triggered, this,
                [this, key] { SortBy(key); });
    connect(searchLang1, &QAction::triggered, this, [this] { SearchDoubles(1); });
    connect(searchLang2, &QAction::triggered, this, [this] { SearchDoubles(2); });
    grid->SetContextMenu(sortMenue);
}

void TeditLessonDlg::ApplyTexts() {
    auto t = [this](std::int32_t n) { return QtFromUtf8(logic_->Text(n)); };
    auto withKey = [this](std::int32_t hint, std::int32_t key) {
        return QtFromUtf8(HintWithKey(logic_->Text(hint), logic_->Text(key)));
    };
    setWindowTitle(QtFromUtf8(logic_->Caption()));
    labelNbrWords->setText(t(102));
    btnClose->setToolTip(withKey(kTextEditorClose, key_text::kEscape));
    btnSafe->setToolTip(withKey(45, key_text::kSave));
    btnAddEntry->setToolTip(t(103));
    btnDeleteEntry->setToolTip(t(104));
    btnCut->setToolTip(t(118));
    btnPaste->setToolTip(t(119));
    btnUpdateId->setToolTip(t(116));
    btnSelectAll->setToolTip(t(117));
    btnHelp->setToolTip(withKey(12, key_text::kHelp));
    const std::array<std::string, 6> items = logic_->MenuCaptions();
    const std::array<QAction*, 6> actions{sortItem0, sortItem1,   sortItem2,
                                          sortItem3, searchLang1, searchLang2};
    for (std::size_t i = 0; i < actions.size(); ++i)
        actions[i]->setText(QtFromUtf8(items[i]));
    table_->ApplyTexts([this](std::int32_t n) { return logic_->Text(n); });
    // The grid shows the hint with its line break.
    table_->GetGrid()->SetHint(messageText(logic_->TableHint()));
}

void TeditLessonDlg::refresh() {
    table_->GetGrid()->SyncWithModel();
    labelEntryValue->setText(QtFromUtf8(logic_->CounterText()));
    updateButtons();
}

void TeditLessonDlg::updateButtons() {
    const TEditLessonButtons b = logic_->Buttons();
    btnSafe->setEnabled(b.save);
    btnDeleteEntry->setEnabled(b.deleteEntry);
    btnCut->setEnabled(b.cut);
    btnPaste->setEnabled(b.paste);
}

void TeditLessonDlg::report(const std::string& text, bool warning) {
    showMessage(QtFromUtf8(logic_->Caption()), messageText(text),
                warning ? kMbIconWarning : kMbIconInformation, warning, this);
}

void TeditLessonDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    updateButtons();
    const std::array<int, 4> widths = LessonColumnWidths(table_->GetGrid()->viewport()->width());
    for (int col = 0; col < 4; ++col)
        table_->SetColumnWidth(widths[static_cast<std::size_t>(col)], col);
    table_->GetGrid()->setFocus(Qt::OtherFocusReason);
}

void TeditLessonDlg::reject() {
    // The close box and Escape (which reaches the window only while no cell editor is open:
    // there it drops the cell's typing) are Close.
    btnCloseClick();
}

void TeditLessonDlg::btnCloseClick() {
    // Text typed into an open cell counts; text the file cannot store keeps the window open.
    if (!logic_->CommitOpenEditor()) {
        refresh();
        return;
    }
    if (logic_->HasUnsavedEdits()) {
        const int answer =
            askQuestion(QtFromUtf8(logic_->Caption()), messageText(logic_->UnsavedQuestion()),
                        QuestionButtons{QtFromUtf8(logic_->Text(kTextAnswerSave)),
                                        QtFromUtf8(logic_->Text(kTextAnswerDiscard)),
                                        QtFromUtf8(logic_->Text(kTextAnswerCancel)), kIdYes},
                        kMbIconWarning, true, this);
        if (answer == kIdYes) {
            btnSafeClick();
            return;
        }
        if (answer != kIdNo) {
            refresh();
            return;
        }
    }
    logic_->Close();
    done(kEditLessonClosed);
}

void TeditLessonDlg::btnSafeClick() {
    TLessonSave saved = logic_->Save();
    if (saved == TLessonSave::Incomplete) {
        // Going back is the default: nothing is left out by a stray Enter.
        const int answer =
            askQuestion(QtFromUtf8(logic_->Caption()), messageText(logic_->IncompleteText()),
                        QuestionButtons{QtFromUtf8(logic_->Text(kTextSaveWithout)), QString(),
                                        QtFromUtf8(logic_->Text(kTextGoBack)), kIdCancel},
                        kMbIconWarning, true, this);
        if (answer == kIdYes) {
            saved = logic_->Save(true);
        } else {
            logic_->MarkFirstIncomplete();
            refresh();
            table_->GetGrid()->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (saved != TLessonSave::Saved) {
        refresh();
        return;
    }
    done(kEditLessonSaved);
}

void TeditLessonDlg::btnAddEntryClick() {
    const int before = logic_->Model().RowCount();
    logic_->AddEntry();
    refresh();
    // The new entry is typed at once: its first phrase's editor opens (not while an open
    // editor's refused text kept the entry out).
    if (logic_->Model().RowCount() > before)
        table_->GetGrid()->EditCell(TMEditLessonTableModel::kText1Col, 1);
}

void TeditLessonDlg::btnDeleteEntryClick() {
    logic_->DeleteEntry();
    refresh();
}

void TeditLessonDlg::btnCutClick() {
    logic_->Cut();
    refresh();
}

void TeditLessonDlg::btnPasteClick() {
    logic_->Paste();
    refresh();
}

void TeditLessonDlg::btnUpdateIdClick() {
    logic_->UpdateId();
    refresh();
}

void TeditLessonDlg::btnSelectAllClick() {
    logic_->SelectAll();
    refresh();
}

void TeditLessonDlg::btnHelpClick() {
    if (context_.showHelp)
        context_.showHelp(kHelpLessonEditor);
}

void TeditLessonDlg::SortBy(int key) {
    logic_->SortBy(key);
    refresh();
}

void TeditLessonDlg::SearchDoubles(int language) {
    report(logic_->SearchDoubles(language), false);
}

std::unique_ptr<TeditLessonDlg> CreateEditLessonDlg(const TWindowContext& context,
                                                    TEditLessonInput input, QWidget* owner) {
    return std::make_unique<TeditLessonDlg>(context, std::move(input), owner);
}

} // namespace lexaro
