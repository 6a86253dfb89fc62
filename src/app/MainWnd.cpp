#include "app/MainWnd.h"

#include "app/HelpContexts.h"
#include "app/HelpWindow.h"
#include "app/MainWndLogic.h"
#include "app/QtMessageSink.h"
#include "app/QtText.h"
#include "app/T_MAboutDlg.h"
#include "app/UiHelpers.h"
#include "speech/SpeechEngine.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace lexaro {

namespace {

// The client area of the window (below the menu).
constexpr int kClientWidth = 688;
constexpr int kClientHeight = 128;
constexpr int kHintMs = 5000;
constexpr int kLangPictureSize = 22;
constexpr const char* kVersionSuffix = " V2.02";
constexpr int kTextDueFirst = 232;
constexpr int kTextDueFirstHint = 233;

QIcon picture(const char* name) {
    return QIcon(QStringLiteral(":/images/") + name);
}

QPushButton* flatButton(QWidget* parent, const char* name, const char* image, int size) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFlat(true);
    // Enter on the focused button presses it, as in the program's dialogs.
    button->setAutoDefault(true);
    button->setIcon(picture(image));
    button->setIconSize(QSize(size - 10, size - 10));
    button->setFixedSize(size, size);
    button->setToolTipDuration(kHintMs);
    return button;
}

} // namespace

tMainWindow::tMainWindow(const std::filesystem::path& appFolder, SpeechEngineFactory speech,
                         QWidget* parent)
    : tMainWindow(TAppFolders::Portable(appFolder), std::move(speech), parent) {}

tMainWindow::tMainWindow(const TAppFolders& folders, SpeechEngineFactory speech, QWidget* parent)
    : QMainWindow(parent) {
    EnsureResources();
    setObjectName("tMainWindow");
    setWindowTitle(kAppTitle);
    setWindowIcon(picture("app-icon.svg"));
    // A system menu and a minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    sink_ = std::make_shared<TQtMessageSink>(this);
    buildForm();
    buildMenu();
    SetHelpContext(*this, kHelpMainWindow);
    SetHelpContext(*selectLangBox, kHelpComposition);
    SetHelpContext(*wordChoosBox, kHelpComposition);
    SetHelpContext(*mHelpGeneral, kHelpGeneral);
    SetHelpContext(*mHelpContents, kHelpMainWindow);
    InstallHelpKey(*this, [this](int context) { ShowHelpContext(context); });

    logic_ = std::make_unique<TMainWndLogic>(folders, sink_);
    if (HasEnded())
        return;

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (!fitFormToScreen(*this, true, false, true))
        greySizeItem(*this);

    // Without speech the program still runs: the engine stays absent.
    if (speech)
        guarded([&] { logic_->SetSpeech(speech(folders.resources)); });
}

tMainWindow::~tMainWindow() = default;

bool tMainWindow::HasEnded() const {
    return logic_ == nullptr || logic_->State() == TMainState::Ended;
}

TWindowContext tMainWindow::Context() {
    TWindowContext context = logic_->Context();
    // A window that outlives this one finds no help instead of a dangling window.
    context.showHelp = [window = QPointer<tMainWindow>(this)](int helpContext) {
        if (window)
            window->ShowHelpContext(helpContext);
    };
    return context;
}

bool tMainWindow::exerciseVisible() const {
    return exerciseWnd_ && exerciseWnd_->IsExerciseVisible();
}

void tMainWindow::SetExerciseWindowFactory(ExerciseWindowFactory factory) {
    exerciseWindowFactory_ = std::move(factory);
    if (!HasEnded())
        ControlUpdate();
}

void tMainWindow::SetExerciseEditorFactory(ExerciseEditorFactory factory) {
    exerciseEditorFactory_ = std::move(factory);
    if (!HasEnded())
        ControlUpdate();
}

void tMainWindow::SetSettingsDialogFactory(SettingsDialogFactory factory) {
    settingsDialogFactory_ = std::move(factory);
    if (!HasEnded())
        ControlUpdate();
}

void tMainWindow::SetProgressWindowFactory(ProgressWindowFactory factory) {
    progressWindowFactory_ = std::move(factory);
    if (!HasEnded())
        ControlUpdate();
}

void tMainWindow::buildForm() {
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("clientScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // Scroll bars appear only when the window had to be cut to the screen.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* client = new QWidget(scroll);
    client->setObjectName("client");
    client->setMinimumSize(kClientWidth, kClientHeight);
    scroll->setWidget(client);
    setCentralWidget(scroll);

    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(4, 0, 4, 4);
    mainBox = new QGroupBox(client);
    mainBox->setObjectName("mainBox");
    clientLayout->addWidget(mainBox);

    // The language file panel spans the two middle columns so that long names and the German
    // placeholders fit beside the two groups.
    auto* grid = new QGridLayout(mainBox);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    btnExerciseRun = flatButton(mainBox, "btnExerciseRun", "run.svg", 46);
    btnExerciseRun->setIconSize(QSize(38, 38));
    btnExerciseRun->setEnabled(false);
    grid->addWidget(btnExerciseRun, 0, 0, 2, 1, Qt::AlignTop);
    panelLangFile = new QLabel(mainBox);
    panelLangFile->setObjectName("panelLangFile");
    panelLangFile->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont bold = panelLangFile->font();
    bold.setBold(true);
    panelLangFile->setFont(bold);
    panelLangFile->setFixedHeight(kLangPictureSize + 8);
    panelLangFile->setIndent(kLangPictureSize + 8);
    panelLangFile->setMinimumWidth(120);
    panelLangFile->setToolTipDuration(kHintMs);
    imageLangFile = new QLabel(panelLangFile);
    imageLangFile->setObjectName("imageLangFile");
    imageLangFile->setGeometry(4, 4, kLangPictureSize, kLangPictureSize);
    imageLangFile->setScaledContents(true);
    grid->addWidget(panelLangFile, 0, 1, 1, 2);

    panelUnits = new QFrame(mainBox);
    panelUnits->setObjectName("panelUnits");
    panelUnits->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panelUnits->setFixedHeight(kLangPictureSize + 8);
    auto* unitsLayout = new QHBoxLayout(panelUnits);
    unitsLayout->setContentsMargins(3, 3, 4, 3);
    unitsLayout->setSpacing(5);
    imageUnits = new QLabel(panelUnits);
    imageUnits->setObjectName("imageUnits");
    imageUnits->setFixedSize(kLangPictureSize, kLangPictureSize);
    imageUnits->setPixmap(picture("lessons.svg").pixmap(kLangPictureSize, kLangPictureSize));
    labelSelUnits = new QLabel(panelUnits);
    labelSelUnits->setObjectName("labelSelUnits");
    labelSelUnits->setToolTipDuration(kHintMs);
    unitsLayout->addWidget(imageUnits);
    unitsLayout->addWidget(labelSelUnits, 1);
    grid->addWidget(panelUnits, 1, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(4);
    btnGeneralProperty = flatButton(mainBox, "btnGeneralProperty", "settings.svg", 30);
    btnEditExercise = flatButton(mainBox, "btnEditExercise", "edit.svg", 30);
    btnProgress = flatButton(mainBox, "btnProgress", "progress.svg", 30);
    btnHelp = flatButton(mainBox, "btnHelp", "help.svg", 30);
    buttonRow->addWidget(btnGeneralProperty);
    buttonRow->addWidget(btnEditExercise);
    buttonRow->addWidget(btnProgress);
    buttonRow->addWidget(btnHelp);
    buttonRow->addStretch(1);
    grid->addLayout(buttonRow, 2, 1);

    selectLangBox = new QGroupBox(" Presented Language ", mainBox);
    selectLangBox->setObjectName("selectLangBox");
    auto* langLayout = new QVBoxLayout(selectLangBox);
    langLayout->setContentsMargins(8, 2, 8, 2);
    langLayout->setSpacing(2);
    rbtnFirstLang = new QRadioButton(selectLangBox);
    rbtnFirstLang->setObjectName("rbtnFirstLang");
    rbtnFirstLang->setChecked(true);
    rbtnSecondLang = new QRadioButton(selectLangBox);
    rbtnSecondLang->setObjectName("rbtnSecondLang");
    langLayout->addWidget(rbtnFirstLang);
    langLayout->addWidget(rbtnSecondLang);
    grid->addWidget(selectLangBox, 1, 2, 2, 1);

    wordChoosBox = new QGroupBox(" Phrase Choice ", mainBox);
    wordChoosBox->setObjectName("wordChoosBox");
    auto* choiceLayout = new QVBoxLayout(wordChoosBox);
    choiceLayout->setContentsMargins(8, 4, 8, 4);
    cbNewLoad = new QCheckBox("New Compose", wordChoosBox);
    cbNewLoad->setObjectName("cbNewLoad");
    cbNewLoad->setToolTipDuration(kHintMs);
    cbResetPrio = new QCheckBox("Reset priority of Phrases", wordChoosBox);
    cbResetPrio->setObjectName("cbResetPrio");
    cbResetPrio->setToolTipDuration(kHintMs);
    cbDueFirst = new QCheckBox("Due words first", wordChoosBox);
    cbDueFirst->setObjectName("cbDueFirst");
    cbDueFirst->setToolTipDuration(kHintMs);
    choiceLayout->addWidget(cbNewLoad);
    choiceLayout->addWidget(cbResetPrio);
    choiceLayout->addWidget(cbDueFirst);
    grid->addWidget(wordChoosBox, 0, 3, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    // Keyboard order: start, presented language, composition, then the small buttons.
    setTabOrder(btnExerciseRun, rbtnFirstLang);
    setTabOrder(rbtnFirstLang, rbtnSecondLang);
    setTabOrder(rbtnSecondLang, cbNewLoad);
    setTabOrder(cbNewLoad, cbResetPrio);
    setTabOrder(cbResetPrio, cbDueFirst);
    setTabOrder(cbDueFirst, btnGeneralProperty);
    setTabOrder(btnGeneralProperty, btnEditExercise);
    setTabOrder(btnEditExercise, btnProgress);
    setTabOrder(btnProgress, btnHelp);

    connect(btnExerciseRun, &QPushButton::clicked, this, &tMainWindow::ExerciseRun);
    connect(btnGeneralProperty, &QPushButton::clicked, this, &tMainWindow::GeneralProperty);
    connect(btnEditExercise, &QPushButton::clicked, this, &tMainWindow::EditExercise);
    connect(btnProgress, &QPushButton::clicked, this, &tMainWindow::ShowProgress);
    connect(btnHelp, &QPushButton::clicked, this, [this] { ShowHelpContext(kHelpMainWindow); });
    connect(cbNewLoad, &QCheckBox::clicked, this, &tMainWindow::cbNewLoadClick);
    connect(cbDueFirst, &QCheckBox::clicked, this, [this](bool on) {
        logic_->SetDueWordsFirst(on);
        ControlUpdate();
    });
    connect(rbtnFirstLang, &QRadioButton::clicked, this, &tMainWindow::langRadioClick);
    connect(rbtnSecondLang, &QRadioButton::clicked, this, &tMainWindow::langRadioClick);

    defaultLangPicture_ = picture("langfile.svg").pixmap(kLangPictureSize, kLangPictureSize);
    // Until a language file brings its own picture the default one stands in the panel.
    langPicture_ = defaultLangPicture_;
}

void tMainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    mExercise = bar->addMenu("&Exercise");
    mExercise->setObjectName("mExercise");
    mExerciseRun = mExercise->addAction(picture("run.svg"), "&Start");
    mExerciseGenSettings = mExercise->addAction(picture("settings.svg"), "&General Settings...");
    mExerciseEditLessons = mExercise->addAction(picture("edit.svg"), "&Edit Lessons, Words...");
    mExerciseProgress = mExercise->addAction(picture("progress.svg"), "&Progress...");
    mExercise->addSeparator();
    mExerciseExit = mExercise->addAction("E&xit");

    mAppLanguage = bar->addMenu("&Application Language");
    mAppLanguage->setObjectName("mAppLanguage");
    languageGroup_ = new QActionGroup(this);
    languageGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    mAppEnglish = mAppLanguage->addAction("&English");
    mAppGerman = mAppLanguage->addAction("&German");
    for (QAction* item : {mAppEnglish, mAppGerman}) {
        item->setCheckable(true);
        languageGroup_->addAction(item);
    }
    mAppEnglish->setChecked(true);

    mHelp = bar->addMenu("&Help");
    mHelp->setObjectName("mHelp");
    mHelpGeneral = mHelp->addAction(picture("help.svg"), "&General");
    mHelpContents = mHelp->addAction("&Contents");
    mHelp->addSeparator();
    mHelpAbout = mHelp->addAction("&About");

    const std::pair<QAction*, const char*> names[] = {
        {mExerciseRun, "mExerciseRun"},
        {mExerciseGenSettings, "mExerciseGenSettings"},
        {mExerciseEditLessons, "mExerciseEditLessons"},
        {mExerciseProgress, "mExerciseProgress"},
        {mExerciseExit, "mExerciseExit"},
        {mAppEnglish, "mAppEnglish"},
        {mAppGerman, "mAppGerman"},
        {mHelpGeneral, "mHelpGeneral"},
        {mHelpContents, "mHelpContents"},
        {mHelpAbout, "mHelpAbout"}};
    for (const auto& [item, name] : names)
        item->setObjectName(name);

    connect(mExerciseRun, &QAction::triggered, this, &tMainWindow::ExerciseRun);
    connect(mExerciseGenSettings, &QAction::triggered, this, &tMainWindow::GeneralProperty);
    connect(mExerciseEditLessons, &QAction::triggered, this, &tMainWindow::EditExercise);
    connect(mExerciseProgress, &QAction::triggered, this, &tMainWindow::ShowProgress);
    connect(mExerciseExit, &QAction::triggered, this, &QWidget::close);
    connect(mAppEnglish, &QAction::triggered, this, [this] { ApplyUiLanguage("EN"); });
    connect(mAppGerman, &QAction::triggered, this, [this] { ApplyUiLanguage("DE"); });
    connect(mHelpGeneral, &QAction::triggered, this, [this] { ShowHelpContext(kHelpGeneral); });
    connect(mHelpContents, &QAction::triggered, this, &tMainWindow::ShowHelpContents);
    connect(mHelpAbout, &QAction::triggered, this, &tMainWindow::ShowAbout);
}

QString tMainWindow::Text(int number) const {
    return logic_ ? QtFromCp1252(logic_->Text(number)) : QString::fromLatin1(kMissingText);
}

template <typename Action> void tMainWindow::guarded(Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        reportError(QtFromCp1252(error.what()));
    } catch (...) {
        reportError(QStringLiteral("Unknown error"));
    }
}

void tMainWindow::reportError(const QString& text) {
    const QString caption = logic_ ? QtFromCp1252(logic_->AppTitle()) : QString(kAppTitle);
    showMessage(caption, text, kMbIconWarning | kMbOk, true, this);
}

void tMainWindow::setVisible(bool visible) {
    if (visible && HasEnded())
        return;
    if (visible && logic_->State() == TMainState::Starting) {
        bool shown = false;
        guarded([&] { shown = logic_->FirstShow(); });
        if (!shown) {
            endProgram();
            return;
        }
        if (logic_->TextsSelected())
            applyTexts();
        ShowLangFileAndLessons();
    }
    QMainWindow::setVisible(visible);
}

void tMainWindow::endProgram() {
    // Nothing was changed yet, so nothing is written back.
    logic_->End();
    logic_->SetSpeech(nullptr);
}

void tMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (logic_->State() == TMainState::Ready)
        ControlUpdate();
}

bool tMainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && logic_ && logic_->State() == TMainState::Ready)
        activate();
    return handled;
}

void tMainWindow::activate() {
    if (activating_)
        return;
    activating_ = true;
    ControlUpdate();
    if (const std::shared_ptr<TSpeechEngine> speech = logic_->Speech()) {
        // Starting the speech control can take a while the first time.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        guarded([&] { speech->Open(); });
        QApplication::restoreOverrideCursor();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    activating_ = false;
}

void tMainWindow::ApplyUiLanguage(const std::string& code) {
    if (logic_->State() != TMainState::Ready)
        return;
    QAction* before = logic_->UiLanguage() == "DE" ? mAppGerman : mAppEnglish;
    bool selected = false;
    guarded([&] { selected = logic_->SelectUiLanguage(code); });
    if (!selected) {
        // The clicked item does not stay checked.
        before->setChecked(true);
        return;
    }
    applyTexts();
    // The lesson label and the placeholders follow the language, also with a file shown.
    ShowLangFileAndLessons();
    if (exerciseVisible())
        guarded([&] { exerciseWnd_->ApplyTexts(); });
    if (progressWnd_ && progressWnd_->IsProgressVisible())
        guarded([&] { progressWnd_->ApplyTexts(); });
    if (helpWindow_)
        helpWindow_->SetHelpFolder(logic_->Folders().resources, logic_->UiLanguage());
}

void tMainWindow::applyTexts() {
    setWindowTitle(Text(0) + kVersionSuffix);

    selectLangBox->setTitle(" " + Text(1) + " ");
    wordChoosBox->setTitle(" " + Text(2) + " ");
    cbNewLoad->setText(Text(3));
    cbNewLoad->setToolTip(Text(4));
    cbResetPrio->setText(Text(5));
    cbResetPrio->setToolTip(Text(6));
    cbDueFirst->setText(Text(kTextDueFirst));
    cbDueFirst->setToolTip(QtFromCp1252(
        FillText(logic_->Text(kTextDueFirstHint), {std::to_string(logic_->DueTarget())})));
    panelLangFile->setToolTip(Text(7));
    labelSelUnits->setToolTip(Text(8));
    btnExerciseRun->setToolTip(Text(9));
    btnGeneralProperty->setToolTip(Text(10));
    btnEditExercise->setToolTip(Text(11));
    btnHelp->setToolTip(Text(12));

    mExercise->setTitle(Text(13));
    mExerciseRun->setText(Text(14));
    mExerciseGenSettings->setText(Text(15));
    mExerciseEditLessons->setText(Text(16));
    mExerciseProgress->setText(Text(191));
    btnProgress->setToolTip(Text(192));
    mExerciseExit->setText(Text(17));
    mAppLanguage->setTitle(Text(18));
    mAppEnglish->setText(Text(19));
    mAppGerman->setText(Text(20));
    mHelp->setTitle(Text(21));
    mHelpGeneral->setText(Text(22));
    mHelpContents->setText(Text(23));
    mHelpAbout->setText(Text(137));

    (logic_->UiLanguage() == "DE" ? mAppGerman : mAppEnglish)->setChecked(true);
}

void tMainWindow::ShowLangFileAndLessons() {
    if (HasEnded())
        return;
    const TLangFileView view = logic_->LangFileView();
    panelLangFile->setText(QtFromUtf8(view.panel));
    labelSelUnits->setText(QtFromUtf8(view.lessons));
    rbtnFirstLang->setText(QtFromUtf8(view.firstLang));
    rbtnSecondLang->setText(QtFromUtf8(view.secondLang));
    (view.firstChecked ? rbtnFirstLang : rbtnSecondLang)->setChecked(true);
    if (!view.found) {
        langPicture_ = defaultLangPicture_;
    } else if (!view.picture.empty()) {
        // The picture is a bitmap, as its extension says; naming the format spares probing
        // every image plugin. One that does not load leaves the previous picture.
        const QPixmap loaded(QtFromPath(view.picture), "BMP");
        if (!loaded.isNull())
            langPicture_ = loaded;
    }
    imageLangFile->setPixmap(langPicture_);
}

void tMainWindow::ControlUpdate() {
    const TControlView view = logic_->Controls(
        exerciseVisible(), static_cast<bool>(exerciseWindowFactory_),
        static_cast<bool>(exerciseEditorFactory_), static_cast<bool>(settingsDialogFactory_));
    btnExerciseRun->setEnabled(view.run);
    mExerciseRun->setEnabled(view.run);
    rbtnFirstLang->setEnabled(view.chooseLanguage);
    rbtnSecondLang->setEnabled(view.chooseLanguage);
    cbNewLoad->setEnabled(view.newCompose);
    cbResetPrio->setEnabled(view.resetPrio);
    cbDueFirst->setEnabled(view.dueFirst);
    cbDueFirst->setChecked(logic_->DueWordsFirst());
    btnEditExercise->setEnabled(view.editExercise);
    mExerciseEditLessons->setEnabled(view.editExercise);
    btnGeneralProperty->setEnabled(view.settings);
    mExerciseGenSettings->setEnabled(view.settings);
    const bool progress = progressWindowFactory_ && logic_->ProgressPossible();
    btnProgress->setEnabled(progress);
    mExerciseProgress->setEnabled(progress);
}

void tMainWindow::cbNewLoadClick() {
    if (cbNewLoad->isChecked()) {
        cbResetPrio->setChecked(true);
        cbResetPrio->setEnabled(false);
    } else {
        cbResetPrio->setEnabled(true);
    }
}

void tMainWindow::langRadioClick() {
    logic_->SetFirstLanguage(rbtnFirstLang->isChecked());
}

void tMainWindow::ExerciseRun() {
    if (logic_->State() != TMainState::Ready || !exerciseWindowFactory_)
        return;
    guarded([&] {
        const bool show = logic_->StartExercise(exerciseVisible(), cbNewLoad->isChecked(),
                                                cbResetPrio->isChecked());
        if (show) {
            if (!exerciseWnd_)
                exerciseWnd_ = exerciseWindowFactory_(Context(), this);
            if (exerciseWnd_)
                exerciseWnd_->ShowExercise();
        }
        ControlUpdate();
    });
}

void tMainWindow::EditExercise() {
    if (logic_->State() != TMainState::Ready || !exerciseEditorFactory_ || exerciseVisible())
        return;
    guarded([&] {
        std::unique_ptr<IExerciseEditor> editor = exerciseEditorFactory_(Context(), this);
        if (!editor)
            return;
        const bool ok = editor->exec() == kIdOk;
        logic_->EditorClosed(ok, editor->GetChangeKind(), editor->ExerciseFileRenumbering());
        if (ok) {
            ShowLangFileAndLessons();
            ControlUpdate();
        }
    });
}

void tMainWindow::GeneralProperty() {
    if (logic_->State() != TMainState::Ready || !settingsDialogFactory_)
        return;
    guarded([&] {
        std::unique_ptr<ISettingsDialog> dialog = settingsDialogFactory_(Context(), this);
        if (!dialog)
            return;
        dialog->exec();
        // Another code page shows the language names anew; an open exercise takes it at its
        // next activation.
        ShowLangFileAndLessons();
    });
}

void tMainWindow::ShowProgress() {
    if (!progressWindowFactory_ || !logic_->ProgressPossible())
        return;
    guarded([&] {
        // Made anew each time, so it shows the figures of now.
        progressWnd_.reset();
        progressWnd_ = progressWindowFactory_(Context(), this);
        if (progressWnd_)
            progressWnd_->ShowProgress();
    });
}

void tMainWindow::ShowHelpTopic(const QString& topic) {
    guarded([&] {
        if (!helpWindow_)
            helpWindow_ = new THelpWindow(this);
        helpWindow_->SetHelpFolder(logic_->Folders().resources, logic_->UiLanguage());
        helpWindow_->ShowTopic(topic);
    });
}

void tMainWindow::ShowHelpContext(int context) {
    const std::string_view topic = HelpTopic(context);
    if (!topic.empty())
        ShowHelpTopic(QString::fromLatin1(topic.data(), static_cast<qsizetype>(topic.size())));
}

void tMainWindow::ShowHelpContents() {
    guarded([&] {
        if (!helpWindow_)
            helpWindow_ = new THelpWindow(this);
        helpWindow_->SetHelpFolder(logic_->Folders().resources, logic_->UiLanguage());
        helpWindow_->ShowContents();
    });
}

void tMainWindow::ShowAbout() {
    TAboutFacts facts;
    facts.program = "Lexaro";
    facts.version = LEXARO_VERSION;
    facts.folders = logic_->Folders();
    facts.libraries =
        UsedLibraries(logic_->Speech() ? logic_->Speech()->LibraryName() : std::string());
    const std::shared_ptr<TAppLangHandler> texts = logic_->Texts();
    const TAboutText text = MakeAboutText(
        [texts](std::int32_t n) { return texts ? texts->GetText(n) : std::string(kMissingText); },
        facts);
    TMAboutDlg about(windowIcon(), kAppTitle, text, this);
    about.exec();
}

void tMainWindow::closeEvent(QCloseEvent* event) {
    if (exerciseVisible())
        guarded([&] { exerciseWnd_->CloseExercise(); });
    if (logic_ && logic_->State() == TMainState::Ready) {
        if (helpWindow_)
            helpWindow_->close();
        // A failed write is reported; the window closes all the same.
        guarded([&] { logic_->Close(); });
    }
    event->accept();
    QMainWindow::closeEvent(event);
}

} // namespace lexaro
