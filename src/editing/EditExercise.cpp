#include "editing/EditExercise.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/HelpWindow.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "editing/EditLesson.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <system_error>

namespace lexaro {

namespace {

using namespace exercise_editor_text;

// The client area as the editor was always laid out; it grows when its texts need more.
constexpr int kClientWidth = 371;
constexpr int kClientHeight = 442;
constexpr int kButtonSize = 26;
constexpr int kHintMs = 5000;
constexpr int kListIconSize = 16;
// Wide enough for the file dialog's size and date columns.
constexpr int kFileDialogWidth = 720;
constexpr int kFileDialogHeight = 460;

// The file dialogs' own texts; they are not window texts.
constexpr const char* kOpenTitle = "Open a Language File";
constexpr const char* kOpenFilter = "Language file (*.lang)";
// The files are named ".lang": on a file system that tells case apart a typed "x" must find
// x.lang.
constexpr const char* kOpenSuffix = "lang";
constexpr const char* kSaveTitle = "Save Language File";
constexpr const char* kSaveFilter = "Language files (*.lang)";
constexpr const char* kSaveSuffix = "lang";

QPushButton* barButton(QWidget* parent, const char* name, const char* image) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFlat(true);
    // Enter never presses a bar button by accident.
    button->setAutoDefault(false);
    button->setDefault(false);
    // A click leaves the focus where it is, so leaving a field is never triggered by the
    // button that is about to act; the keyboard still reaches every button.
    button->setFocusPolicy(Qt::TabFocus);
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

QLabel* label(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

QLineEdit* field(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTipDuration(kHintMs);
    return edit;
}

// Message text from the core: line breaks as the core writes them ("\r\n").
QString messageText(const std::string& text) {
    QString out = QtFromCp1252(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

// The file dialogs leave out files that cannot be written: the editor and the exercise write
// the language file they work on.
class THideReadOnlyFiles final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files == nullptr)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        if (info.isDir())
            return true;
        // By the file's own marks, as the write refuses it, whoever runs the program.
        return (info.permissions() &
                (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0;
    }
};

// Qt's own file dialog: the name column takes the room, size, type and date show whole.
void PrepareFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(dialog.acceptMode() == QFileDialog::AcceptOpen ? kOpenFilter
                                                                        : kSaveFilter);
    dialog.setDefaultSuffix(dialog.acceptMode() == QFileDialog::AcceptOpen ? kOpenSuffix
                                                                           : kSaveSuffix);
    dialog.setProxyModel(new THideReadOnlyFiles(&dialog));
    if (auto* details = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    dialog.resize(kFileDialogWidth, kFileDialogHeight);
}

bool IsLeaving(Qt::FocusReason reason) {
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        // A message box, a menu or another window took the focus: the field is not left.
        return false;
    }
}

// The learner's answer to a Yes / No / Cancel question.
TSaveAnswer SaveAnswerOf(int button) {
    switch (button) {
    case kIdYes:
        return TSaveAnswer::Yes;
    case kIdNo:
        return TSaveAnswer::No;
    default:
        return TSaveAnswer::Cancel;
    }
}

} // namespace

TEditExerciseDlg::TEditExerciseDlg(const TWindowContext& context, QWidget* owner)
    : QDialog(owner), context_(context) {
    EnsureResources();
    setObjectName("TEditExerciseDlg");
    setModal(true);
    // Only a close box in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    IEditExerciseView& view = *this;
    logic_ = std::make_unique<TEditExerciseLogic>(context_.settings, context_.texts, view);
    buildForm();
    applyTexts();
    refresh();
    // Creation selects the first lesson; the focus waits for the window to show.
    (void)logic_->TakeFocus();

    SetHelpContext(*this, kHelpExerciseEditor);
    SetHelpContext(*buttonBar, kHelpExerciseEditor);
    SetHelpContext(*exerciseBox, kHelpExerciseEditor);
    InstallHelpKey(*this, [show = context_.showHelp](int helpContext) {
        if (show)
            show(helpContext);
    });

    resize(std::max(kClientWidth, sizeHint().width()),
           std::max(kClientHeight, sizeHint().height()));
    if (!fitFormToScreen(*this, true, true, true))
        greySizeItem(*this);
}

TEditExerciseDlg::~TEditExerciseDlg() = default;

int TEditExerciseDlg::exec() {
    return QDialog::exec();
}

void TEditExerciseDlg::buildForm() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 6, 8, 8);
    root->setSpacing(6);

    buttonBar = new QFrame(this);
    buttonBar->setObjectName("buttonBar");
    auto* bar = new QHBoxLayout(buttonBar);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(2);
    btnClose = barButton(buttonBar, "btnClose", "close.svg");
    btnSave = barButton(buttonBar, "btnSave", "ok.svg");
    btnOpenLangFile = barButton(buttonBar, "btnOpenLangFile", "open-file.svg");
    btnNewLangFile = barButton(buttonBar, "btnNewLangFile", "new-file.svg");
    btnSaveLangFile = barButton(buttonBar, "btnSaveLangFile", "save.svg");
    btnSaveLangfileAs = barButton(buttonBar, "btnSaveLangfileAs", "save-as.svg");
    btnEditLesson = barButton(buttonBar, "btnEditLesson", "edit-lesson.svg");
    btnNewLesson = barButton(buttonBar, "btnNewLesson", "new-lesson.svg");
    btnDeleteLesson = barButton(buttonBar, "btnDeleteLesson", "delete.svg");
    btnHelp = barButton(buttonBar, "btnHelp", "help.svg");
    bar->addWidget(btnClose);
    bar->addWidget(btnSave);
    bar->addWidget(separator(buttonBar));
    for (QPushButton* b : {btnOpenLangFile, btnNewLangFile, btnSaveLangFile, btnSaveLangfileAs})
        bar->addWidget(b);
    bar->addWidget(separator(buttonBar));
    for (QPushButton* b : {btnEditLesson, btnNewLesson, btnDeleteLesson})
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(btnHelp);
    root->addWidget(buttonBar);

    exerciseBox = new QGroupBox(this);
    exerciseBox->setObjectName("exerciseBox");
    root->addWidget(exerciseBox, 1);
    auto* grid = new QGridLayout(exerciseBox);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    // The language file across the top.
    fileNameBox = new QGroupBox(exerciseBox);
    fileNameBox->setObjectName("fileNameBox");
    auto* fileGrid = new QGridLayout(fileNameBox);
    fileGrid->setContentsMargins(8, 4, 8, 6);
    fileGrid->setHorizontalSpacing(6);
    fileGrid->setVerticalSpacing(4);
    labelFile = label(fileNameBox, "labelFile");
    editFileName = field(fileNameBox, "editFileName");
    editFileName->setReadOnly(true);
    labelLang1 = label(fileNameBox, "labelLang1");
    editLang1 = field(fileNameBox, "editLang1");
    labelLang2 = label(fileNameBox, "labelLang2");
    editLang2 = field(fileNameBox, "editLang2");
    AlignAsWritten(*editLang1);
    AlignAsWritten(*editLang2);
    labelFile->setBuddy(editFileName);
    labelLang1->setBuddy(editLang1);
    labelLang2->setBuddy(editLang2);
    fileGrid->addWidget(labelFile, 0, 0);
    fileGrid->addWidget(editFileName, 0, 1);
    fileGrid->addWidget(labelLang1, 1, 0);
    fileGrid->addWidget(editLang1, 1, 1);
    fileGrid->addWidget(labelLang2, 2, 0);
    fileGrid->addWidget(editLang2, 2, 1);
    fileGrid->setColumnStretch(1, 1);
    grid->addWidget(fileNameBox, 0, 0, 1, 2);

    // The lessons at the left, their numbers at the right.
    availableLessonBox = new QGroupBox(exerciseBox);
    availableLessonBox->setObjectName("availableLessonBox");
    auto* listLayout = new QVBoxLayout(availableLessonBox);
    listLayout->setContentsMargins(6, 4, 6, 6);
    lessonList = new QListWidget(availableLessonBox);
    lessonList->setObjectName("lessonList");
    lessonList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lessonList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lessonList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lessonList->setIconSize(QSize(kListIconSize, kListIconSize));
    lessonList->setUniformItemSizes(true);
    lessonList->setMinimumWidth(130);
    listLayout->addWidget(lessonList);
    grid->addWidget(availableLessonBox, 1, 0, 2, 1);

    wordBox = new QGroupBox(exerciseBox);
    wordBox->setObjectName("wordBox");
    auto* wordGrid = new QGridLayout(wordBox);
    wordGrid->setContentsMargins(8, 4, 8, 6);
    wordGrid->setHorizontalSpacing(4);
    wordGrid->setVerticalSpacing(4);
    labelMaxWords = label(wordBox, "labelMaxWords");
    editMaxWords = field(wordBox, "editMaxWords");
    editMaxWords->setMaxLength(10);
    editMaxWords->setFixedWidth(editMaxWords->fontMetrics().horizontalAdvance("00000") + 14);
    labelMaxWords->setBuddy(editMaxWords);
    upDownMaxWords = new QWidget(wordBox);
    upDownMaxWords->setObjectName("upDownMaxWords");
    auto* arrows = new QVBoxLayout(upDownMaxWords);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    upMaxWords = new QToolButton(upDownMaxWords);
    upMaxWords->setObjectName("upMaxWords");
    upMaxWords->setArrowType(Qt::UpArrow);
    downMaxWords = new QToolButton(upDownMaxWords);
    downMaxWords->setObjectName("downMaxWords");
    downMaxWords->setArrowType(Qt::DownArrow);
    const int arrowHeight = editMaxWords->sizeHint().height() / 2;
    for (QToolButton* b : {upMaxWords, downMaxWords}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(16, arrowHeight);
        arrows->addWidget(b);
    }
    auto* maxRow = new QHBoxLayout;
    maxRow->setSpacing(1);
    maxRow->addWidget(editMaxWords);
    maxRow->addWidget(upDownMaxWords);
    maxRow->addStretch(1);
    labelTotalWords = label(wordBox, "labelTotalWords");
    labelValueTotalWords = label(wordBox, "labelValueTotalWords");
    wordGrid->addWidget(labelMaxWords, 0, 0, 1, 2);
    wordGrid->addLayout(maxRow, 1, 0, 1, 2);
    wordGrid->addWidget(labelTotalWords, 2, 0);
    wordGrid->addWidget(labelValueTotalWords, 2, 1);
    wordGrid->setColumnStretch(1, 1);
    grid->addWidget(wordBox, 1, 1);

    lessonBox = new QGroupBox(exerciseBox);
    lessonBox->setObjectName("lessonBox");
    auto* lessonGrid = new QGridLayout(lessonBox);
    lessonGrid->setContentsMargins(8, 4, 8, 6);
    lessonGrid->setHorizontalSpacing(4);
    lessonGrid->setVerticalSpacing(4);
    labelNbrWords = label(lessonBox, "labelNbrWords");
    labelValueNbrWords = label(lessonBox, "labelValueNbrWords");
    labelUsedWords = label(lessonBox, "labelUsedWords");
    labelValueUsedWords = label(lessonBox, "labelValueUsedWords");
    lessonGrid->addWidget(labelNbrWords, 0, 0);
    lessonGrid->addWidget(labelValueNbrWords, 0, 1);
    lessonGrid->addWidget(labelUsedWords, 1, 0);
    lessonGrid->addWidget(labelValueUsedWords, 1, 1);
    lessonGrid->setColumnStretch(1, 1);
    lessonGrid->setRowStretch(2, 1);
    grid->addWidget(lessonBox, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);

    // Keyboard order: the lessons, the names, the maximum, then the bar.
    setTabOrder(lessonList, editFileName);
    setTabOrder(editFileName, editLang1);
    setTabOrder(editLang1, editLang2);
    setTabOrder(editLang2, editMaxWords);
    setTabOrder(editMaxWords, btnClose);
    QWidget* previous = btnClose;
    for (QPushButton* b :
         {btnSave, btnOpenLangFile, btnNewLangFile, btnSaveLangFile, btnSaveLangfileAs,
          btnEditLesson, btnNewLesson, btnDeleteLesson, btnHelp}) {
        setTabOrder(previous, b);
        previous = b;
    }

    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnOpenLangFile, &QPushButton::clicked, this, [this] { btnOpenLangFileClick(); });
    connect(btnNewLangFile, &QPushButton::clicked, this, [this] { btnNewLangFileClick(); });
    connect(btnSaveLangFile, &QPushButton::clicked, this, [this] { btnSaveLangFileClick(); });
    connect(btnSaveLangfileAs, &QPushButton::clicked, this, [this] { btnSaveLangfileAsClick(); });
    connect(btnEditLesson, &QPushButton::clicked, this, [this] { btnEditLessonClick(); });
    connect(btnNewLesson, &QPushButton::clicked, this, [this] { btnNewLessonClick(); });
    connect(btnDeleteLesson, &QPushButton::clicked, this, [this] { btnDeleteLessonClick(); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
    // Ctrl+S saves the language file, or asks for a name while it has none.
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    save->setContext(Qt::WindowShortcut);
    connect(save, &QShortcut::activated, this, [this] {
        logic_->SaveCommand();
        refresh();
    });

    connect(lessonList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (syncing_)
            return;
        logic_->SetTicked(lessonList->row(item), item->checkState() == Qt::Checked);
        listChanged();
    });
    connect(lessonList, &QListWidget::itemSelectionChanged, this, [this] {
        if (syncing_)
            return;
        std::vector<int> rows;
        for (int row = 0; row < lessonList->count(); ++row)
            if (lessonList->item(row)->isSelected())
                rows.push_back(row);
        logic_->SetSelection(rows);
        listChanged();
    });
    connect(lessonList, &QListWidget::itemDoubleClicked, this, [this] {
        logic_->ListDoubleClick();
        refresh();
    });
    lessonList->installEventFilter(this);

    connect(editLang1, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_->SetLangField(1, text.toStdString());
        refresh();
    });
    connect(editLang2, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_->SetLangField(2, text.toStdString());
        refresh();
    });
    connect(editMaxWords, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_->SetMaxWordsField(text.toStdString()); });
    for (QLineEdit* edit : {editLang1, editLang2, editMaxWords})
        edit->installEventFilter(this);
    connect(upMaxWords, &QToolButton::clicked, this, [this] { stepMaxWords(1); });
    connect(downMaxWords, &QToolButton::clicked, this, [this] { stepMaxWords(-1); });
}

void TEditExerciseDlg::applyTexts() {
    auto t = [this](std::int32_t n) { return QtFromCp1252(logic_->Text(n)); };
    auto blanked = [this](std::int32_t n) { return QtFromCp1252(logic_->Blanked(n)); };
    setWindowTitle(QtFromCp1252(logic_->Caption()));
    auto withKey = [this](std::int32_t hint, std::int32_t key) {
        return QtFromCp1252(HintWithKey(logic_->Text(hint), logic_->Text(key)));
    };
    btnClose->setToolTip(withKey(kCloseHintEditor, key_text::kEscape));
    btnSave->setToolTip(t(kOkHint));
    btnOpenLangFile->setToolTip(t(kOpenHint));
    btnNewLangFile->setToolTip(t(kNewFileHint));
    btnSaveLangFile->setToolTip(withKey(kSaveHint, key_text::kSave));
    btnSaveLangfileAs->setToolTip(t(kSaveAsHint));
    btnEditLesson->setToolTip(t(kEditLessonHint));
    btnNewLesson->setToolTip(t(kNewLessonHint));
    btnDeleteLesson->setToolTip(t(kDeleteLessonHint));
    btnHelp->setToolTip(withKey(kHelpHint, key_text::kHelp));
    exerciseBox->setTitle(blanked(kExercise));
    availableLessonBox->setTitle(blanked(kAvailableLessons));
    fileNameBox->setTitle(blanked(kLangFile));
    labelFile->setText(t(kFileName));
    labelLang1->setText(t(kLanguage) + " 1");
    labelLang2->setText(t(kLanguage) + " 2");
    wordBox->setTitle(blanked(kPhrases));
    labelMaxWords->setText(t(kMaxWords));
    editMaxWords->setToolTip(t(kMaxWordsHint));
    labelTotalWords->setText(t(kTotalWords));
    lessonBox->setTitle(blanked(kSelectedLesson));
    labelNbrWords->setText(t(kPairCount));
    labelUsedWords->setText(t(kUsedCount));
}

void TEditExerciseDlg::rebuildList() {
    syncing_ = true;
    lessonList->clear();
    static const QIcon icon(QStringLiteral(":/images/lessons.svg"));
    for (const TLessonListItem& entry : logic_->Items()) {
        auto* item = new QListWidgetItem(icon, QtFromCp1252(entry.caption), lessonList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        // Every item shows its check box, ticked or not.
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    }
    listShown_ = logic_->ListVersion();
    syncing_ = false;
    syncListMarks();
}

void TEditExerciseDlg::syncListMarks() {
    syncing_ = true;
    const std::vector<TLessonListItem>& items = logic_->Items();
    QListWidgetItem* current = nullptr;
    for (int row = 0; row < lessonList->count(); ++row) {
        const TLessonListItem& entry = items[static_cast<std::size_t>(row)];
        QListWidgetItem* item = lessonList->item(row);
        const Qt::CheckState state = entry.ticked ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state)
            item->setCheckState(state);
        if (item->isSelected() != entry.selected)
            item->setSelected(entry.selected);
        if (entry.selected && current == nullptr)
            current = item;
    }
    // The keyboard goes on from the first selected lesson.
    const QListWidgetItem* at = lessonList->currentItem();
    if (current != nullptr && (at == nullptr || !at->isSelected()))
        lessonList->setCurrentItem(current, QItemSelectionModel::NoUpdate);
    syncing_ = false;
}

void TEditExerciseDlg::refresh() {
    if (listShown_ != logic_->ListVersion() ||
        lessonList->count() != static_cast<int>(logic_->Items().size()))
        rebuildList();
    else
        syncListMarks();

    if (fieldsShown_ != logic_->FieldsVersion()) {
        fieldsShown_ = logic_->FieldsVersion();
        const std::pair<QLineEdit*, QString> values[] = {
            {editLang1, QString::fromStdString(logic_->LangField(1))},
            {editLang2, QString::fromStdString(logic_->LangField(2))},
            {editMaxWords, QString::fromStdString(logic_->MaxWordsField())}};
        for (const auto& [edit, text] : values)
            if (edit->text() != text)
                edit->setText(text);
    }
    editFileName->setText(QString::fromStdString(logic_->FileNameField()));
    const std::optional<std::filesystem::path> hint = logic_->FileNameHint();
    editFileName->setToolTip(hint ? QtFromPath(*hint) : QString());

    const TEditExerciseCounters counters = logic_->Counters();
    labelValueNbrWords->setText(QtFromCp1252(counters.pairs));
    labelValueUsedWords->setText(QtFromCp1252(counters.used));
    labelValueTotalWords->setText(QtFromCp1252(counters.total));

    const TEditExerciseButtons b = logic_->Buttons();
    btnSaveLangFile->setEnabled(b.save);
    btnSaveLangfileAs->setEnabled(b.saveAs);
    btnSave->setEnabled(b.ok);
    btnDeleteLesson->setEnabled(b.deleteLesson);
    btnEditLesson->setEnabled(b.editLesson);
    btnNewLesson->setEnabled(b.newLesson);
    // The names of a file that exists are its own: they look read-only and say so.
    for (QLineEdit* edit : {editLang1, editLang2}) {
        edit->setReadOnly(!b.langEditable);
        QPalette look = palette();
        if (!b.langEditable)
            look.setColor(QPalette::Base, look.color(QPalette::Window));
        edit->setPalette(look);
    }
    editLang1->setToolTip(QtFromCp1252(logic_->Text(b.langEditable ? kLang1Hint : kNamesKeptHint)));
    editLang2->setToolTip(QtFromCp1252(logic_->Text(b.langEditable ? kLang2Hint : kNamesKeptHint)));

    QWidget* target = nullptr;
    switch (logic_->TakeFocus()) {
    case TEditExerciseFocus::LessonList:
        target = lessonList;
        break;
    case TEditExerciseFocus::Lang1:
        target = editLang1;
        break;
    case TEditExerciseFocus::Lang2:
        target = editLang2;
        break;
    case TEditExerciseFocus::MaxWords:
        target = editMaxWords;
        break;
    case TEditExerciseFocus::None:
        break;
    }
    if (target != nullptr) {
        // Putting the focus somewhere is not leaving the field that had it.
        syncing_ = true;
        target->setFocus(Qt::OtherFocusReason);
        syncing_ = false;
    }
}

void TEditExerciseDlg::listChanged() {
    // The ticks and the counters are checked once the click or key is done: a message box
    // must not open in the middle of the list's own handling.
    if (listClickPending_)
        return;
    listClickPending_ = true;
    QTimer::singleShot(0, this, [this] {
        listClickPending_ = false;
        logic_->ListClicked();
        refresh();
    });
}

void TEditExerciseDlg::fieldLeft(QLineEdit* edit) {
    bool stays = true;
    if (edit == editLang1)
        stays = logic_->LeaveLangField(1);
    else if (edit == editLang2)
        stays = logic_->LeaveLangField(2);
    else if (edit == editMaxWords)
        stays = logic_->LeaveMaxWords();
    if (!stays) {
        syncing_ = true;
        edit->setFocus(Qt::OtherFocusReason);
        syncing_ = false;
    }
    refresh();
}

void TEditExerciseDlg::stepMaxWords(int delta) {
    logic_->StepMaxWords(delta);
    refresh();
}

bool TEditExerciseDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lessonList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btnEditLessonClick();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            btnDeleteLessonClick();
            return true;
        }
    }
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit != nullptr && edit == editMaxWords && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            stepMaxWords(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    if (edit != nullptr && event->type() == QEvent::FocusOut && !syncing_ &&
        IsLeaving(static_cast<QFocusEvent*>(event)->reason())) {
        // Checked once the focus has moved, so that a message box does not open in the middle
        // of the change.
        QTimer::singleShot(0, this, [this, edit] { fieldLeft(edit); });
    }
    return QDialog::eventFilter(watched, event);
}

void TEditExerciseDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    refresh();
    // The list takes the focus; a file of the settings that could not be read is reported once
    // the window stands.
    QTimer::singleShot(0, this, [this] {
        logic_->WindowShown();
        refresh();
    });
}

void TEditExerciseDlg::reject() {
    switch (logic_->CloseRequested()) {
    case TCloseResult::Closed:
        done(kIdCancel);
        return;
    case TCloseResult::Saved:
        done(kIdOk);
        return;
    case TCloseResult::Stay:
        break;
    }
    refresh();
}

void TEditExerciseDlg::btnCloseClick() {
    reject();
}

void TEditExerciseDlg::btnSaveClick() {
    if (logic_->Ok()) {
        done(kIdOk);
        return;
    }
    refresh();
}

void TEditExerciseDlg::btnOpenLangFileClick() {
    logic_->OpenLangFile();
    refresh();
}

void TEditExerciseDlg::btnNewLangFileClick() {
    logic_->NewLangFile();
    refresh();
}

void TEditExerciseDlg::btnSaveLangFileClick() {
    logic_->SaveLangFile();
    refresh();
}

void TEditExerciseDlg::btnSaveLangfileAsClick() {
    logic_->SaveLangFileAs();
    refresh();
}

void TEditExerciseDlg::btnEditLessonClick() {
    logic_->ListDoubleClick();
    refresh();
}

void TEditExerciseDlg::btnNewLessonClick() {
    logic_->NewLesson();
    refresh();
}

void TEditExerciseDlg::btnDeleteLessonClick() {
    logic_->DeleteLessons();
    refresh();
}

void TEditExerciseDlg::btnHelpClick() {
    if (context_.showHelp)
        context_.showHelp(kHelpExerciseEditor);
}

std::optional<std::filesystem::path>
TEditExerciseDlg::ChooseFileToOpen(const std::filesystem::path& folder) {
    std::error_code ec;
    const std::filesystem::path start =
        std::filesystem::is_directory(folder, ec) ? folder : folder.parent_path();
    QFileDialog dialog(this, kOpenTitle, QtFromPath(start));
    dialog.setObjectName("openLangFileDlg");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    PrepareFileDialog(dialog);
    fileDialog_ = &dialog;
    const int result = dialog.exec();
    fileDialog_ = nullptr;
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return PathFromQt(dialog.selectedFiles().constFirst());
}

std::optional<std::filesystem::path>
TEditExerciseDlg::ChooseFileToSave(const std::filesystem::path& folder,
                                   const std::filesystem::path& fileName) {
    QFileDialog dialog(this, kSaveTitle, QtFromPath(folder));
    dialog.setObjectName("saveLangFileDlg");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    PrepareFileDialog(dialog);
    if (!fileName.empty())
        dialog.selectFile(QtFromPath(fileName));
    fileDialog_ = &dialog;
    const int result = dialog.exec();
    fileDialog_ = nullptr;
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return PathFromQt(dialog.selectedFiles().constFirst());
}

TLessonEditOutcome TEditExerciseDlg::EditLessons(const TEditLessonInput& input) {
    std::unique_ptr<TeditLessonDlg> editor = CreateEditLessonDlg(context_, input, this);
    TLessonEditOutcome outcome;
    outcome.result = editor->exec();
    outcome.modified = editor->IsModified();
    return outcome;
}

void TEditExerciseDlg::Inform(const std::string& caption, const std::string& text, bool beep) {
    QString shown = QtFromUtf8(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    showMessage(QtFromCp1252(caption), shown, kMbIconInformation, beep, this);
}

TSaveAnswer TEditExerciseDlg::AskToSave(const std::string& caption, const std::string& text) {
    return SaveAnswerOf(showMessage(QtFromCp1252(caption), messageText(text),
                                    kMbIconInformation | kMbYesNoCancel, true, this));
}

TSaveAnswer TEditExerciseDlg::AskSaveDiscardCancel(const std::string& caption,
                                                   const std::string& text) {
    const auto t = [this](std::int32_t n) { return QtFromCp1252(logic_->Text(n)); };
    return SaveAnswerOf(
        askQuestion(QtFromCp1252(caption), messageText(text),
                    QuestionButtons{t(kAnswerSave), t(kAnswerDiscard), t(kAnswerCancel), kIdYes},
                    kMbIconWarning, true, this));
}

void TEditExerciseDlg::Beep() {
    QApplication::beep();
}

std::unique_ptr<IExerciseEditor> MakeExerciseEditor(const TWindowContext& context, QWidget* owner) {
    return std::make_unique<TEditExerciseDlg>(context, owner);
}

} // namespace lexaro
