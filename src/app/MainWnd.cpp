#include "app/MainWnd.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpWindow.h"
#include "app/QtMessageSink.h"
#include "app/QtText.h"
#include "app/T_MAboutDlg.h"
#include "app/UiHelpers.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "exercise/ExerciseHelpFunc.h"
#include "speech/DesktopSpeech.h"
#include "speech/SpeechEngine.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
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
constexpr const char* kLanguageNotFound = "Language not found";

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

// The picture beside a language file: same folder and stem, extension .Bmp in any case
// (on a case-sensitive file system only the extension's case is free).
QString findLangPicture(const std::string& langFile) {
    const std::string stemPath = SiblingWithExtension(langFile, "");
    const std::string exact = stemPath + ".Bmp";
    if (CheckFileExists(exact))
        return QtFromCp1252(exact);
    const QFileInfo stemInfo(QtFromCp1252(stemPath));
    const QDir folder = stemInfo.dir();
    const QString stem = stemInfo.fileName();
    if (stem.isEmpty() || !folder.exists())
        return {};
    for (const QString& name : folder.entryList(QDir::Files)) {
        if (name.size() == stem.size() + 4 && name.startsWith(stem, Qt::CaseSensitive) &&
            name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
            return folder.filePath(name);
    }
    return {};
}

} // namespace

SpeechEngineFactory DesktopSpeechEngineFactory() {
    return [](const std::string& appFolder) { return MakeDesktopSpeechEngine(appFolder); };
}

tMainWindow::tMainWindow(std::string appFolder, SpeechEngineFactory speech, QWidget* parent)
    : QMainWindow(parent), appFolder_(std::move(appFolder)), speechFactory_(std::move(speech)) {
    EnsureResources();
    setObjectName("tMainWindow");
    setWindowTitle(kAppTitle);
    setWindowIcon(picture("app-icon.svg"));
    // A system menu and a minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    sink_ = std::make_unique<TQtMessageSink>(this);
    buildForm();
    buildMenu();

    settings_ = std::make_shared<TAppIniFile>(appFolder_, sink_.get());
    uiLanguage_ = settings_->Language;
    if (!settings_->iniFound) {
        settings_.reset();
        ended_ = true;
        return;
    }

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (!fitFormToScreen(*this, true, false, true))
        greySizeItem(*this);

    firstShowPending_ = true;
    texts_ = std::make_shared<TAppLangHandler>();
    langHandler_ = std::make_shared<TLangFHandler>();
    createSpeechEngine();

    exercisePossible_ = false;
    composedByEditor_ = false;
    langFileFound_ = false;
    initialised_ = true;
}

tMainWindow::~tMainWindow() = default;

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
    btnHelp = flatButton(mainBox, "btnHelp", "help.svg", 30);
    buttonRow->addWidget(btnGeneralProperty);
    buttonRow->addWidget(btnEditExercise);
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
    choiceLayout->addWidget(cbNewLoad);
    choiceLayout->addWidget(cbResetPrio);
    grid->addWidget(wordChoosBox, 0, 3, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    // Keyboard order: start, presented language, composition, then the small buttons.
    setTabOrder(btnExerciseRun, rbtnFirstLang);
    setTabOrder(rbtnFirstLang, rbtnSecondLang);
    setTabOrder(rbtnSecondLang, cbNewLoad);
    setTabOrder(cbNewLoad, cbResetPrio);
    setTabOrder(cbResetPrio, btnGeneralProperty);
    setTabOrder(btnGeneralProperty, btnEditExercise);
    setTabOrder(btnEditExercise, btnHelp);

    connect(btnExerciseRun, &QPushButton::clicked, this, &tMainWindow::ExerciseRun);
    connect(btnGeneralProperty, &QPushButton::clicked, this, &tMainWindow::GeneralProperty);
    connect(btnEditExercise, &QPushButton::clicked, this, &tMainWindow::EditExercise);
    connect(btnHelp, &QPushButton::clicked, this,
            [this] { ShowHelpTopic(QStringLiteral("Hauptfenster")); });
    connect(cbNewLoad, &QCheckBox::clicked, this, &tMainWindow::cbNewLoadClick);
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
    connect(mExerciseExit, &QAction::triggered, this, &QWidget::close);
    connect(mAppEnglish, &QAction::triggered, this, [this] { ApplyUiLanguage("EN"); });
    connect(mAppGerman, &QAction::triggered, this, [this] { ApplyUiLanguage("DE"); });
    connect(mHelpGeneral, &QAction::triggered, this,
            [this] { ShowHelpTopic(QStringLiteral("Allgemeines")); });
    connect(mHelpContents, &QAction::triggered, this, &tMainWindow::ShowHelpContents);
    connect(mHelpAbout, &QAction::triggered, this, &tMainWindow::ShowAbout);
}

void tMainWindow::SetExerciseWindowFactory(ExerciseWindowFactory factory) {
    exerciseWindowFactory_ = std::move(factory);
    if (initialised_)
        ControlUpdate();
}

void tMainWindow::SetExerciseEditorFactory(ExerciseEditorFactory factory) {
    exerciseEditorFactory_ = std::move(factory);
    if (initialised_)
        ControlUpdate();
}

void tMainWindow::SetSettingsDialogFactory(SettingsDialogFactory factory) {
    settingsDialogFactory_ = std::move(factory);
    if (initialised_)
        ControlUpdate();
}

QString tMainWindow::Text(int number) const {
    return texts_ ? QtFromCp1252(texts_->GetText(number)) : QString::fromLatin1(kMissingText);
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
    const QString caption = settings_ ? QtFromCp1252(settings_->appTitle) : QString(kAppTitle);
    showMessage(caption, text, kMbIconWarning | kMbOk, true, this);
}

void tMainWindow::setVisible(bool visible) {
    if (visible && ended_)
        return;
    if (visible && initialised_ && firstShowPending_) {
        bool shown = false;
        guarded([&] { shown = firstShow(); });
        if (!shown) {
            endProgram();
            return;
        }
    }
    QMainWindow::setVisible(visible);
}

bool tMainWindow::firstShow() {
    if (!texts_->OpenTextDb(JoinPath(appFolder_, kTextDbName), "Lexaro", sink_.get()))
        return false;
    const bool exerciseComplete = settings_->ReadExerciseSection();
    langFileFound_ = CheckFileExists(settings_->exercise.LangFileName);
    if (uiLanguage_ == "EN" || uiLanguage_ == "DE") {
        if (!texts_->SelectLanguage(uiLanguage_)) {
            uiLanguage_ = settings_->Language;
            showMessage(QtFromCp1252(settings_->appTitle), kLanguageNotFound,
                        kMbIconInformation | kMbOk, true, this);
            return false;
        }
        applyTexts();
    }
    exercisePossible_ = exerciseComplete && langFileFound_;
    settings_->ReadGeneralSection();
    settings_->ReadFontSection();
    settings_->ReadVoiceSection();
    ShowLangFileAndLessons();
    firstShowPending_ = false;
    return true;
}

void tMainWindow::endProgram() {
    // Nothing was changed yet, so nothing is written back.
    ended_ = true;
    initialised_ = false;
    destroySpeechEngine();
}

void tMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (initialised_)
        ControlUpdate();
}

bool tMainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && initialised_ && !firstShowPending_)
        activate();
    return handled;
}

void tMainWindow::activate() {
    if (activating_)
        return;
    activating_ = true;
    ControlUpdate();
    if (speech_) {
        // Starting the speech control can take a while the first time.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        guarded([&] { openSpeechEngine(); });
        QApplication::restoreOverrideCursor();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    activating_ = false;
}

void tMainWindow::ApplyUiLanguage(const std::string& code) {
    if (!initialised_)
        return;
    QAction* before = uiLanguage_ == "DE" ? mAppGerman : mAppEnglish;
    bool selected = false;
    guarded([&] { selected = texts_->SelectLanguage(code); });
    if (!selected) {
        uiLanguage_ = settings_->Language;
        showMessage(QtFromCp1252(settings_->appTitle), kLanguageNotFound,
                    kMbIconInformation | kMbOk, true, this);
        // The clicked item does not stay checked.
        before->setChecked(true);
        return;
    }
    uiLanguage_ = code;
    applyTexts();
    // The lesson label and the placeholders follow the language, also with a file shown.
    ShowLangFileAndLessons();
    if (exerciseWnd_ && exerciseWnd_->IsExerciseVisible())
        guarded([&] { exerciseWnd_->ApplyTexts(); });
    if (helpWindow_)
        helpWindow_->SetHelpFolder(appFolder_, uiLanguage_);
}

void tMainWindow::applyTexts() {
    const QString title = Text(0) + kVersionSuffix;
    setWindowTitle(title);
    settings_->appTitle = Cp1252FromQtLossy(title);

    selectLangBox->setTitle(" " + Text(1) + " ");
    wordChoosBox->setTitle(" " + Text(2) + " ");
    cbNewLoad->setText(Text(3));
    cbNewLoad->setToolTip(Text(4));
    cbResetPrio->setText(Text(5));
    cbResetPrio->setToolTip(Text(6));
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
    mExerciseExit->setText(Text(17));
    mAppLanguage->setTitle(Text(18));
    mAppEnglish->setText(Text(19));
    mAppGerman->setText(Text(20));
    mHelp->setTitle(Text(21));
    mHelpGeneral->setText(Text(22));
    mHelpContents->setText(Text(23));
    mHelpAbout->setText(Text(137));

    (uiLanguage_ == "DE" ? mAppGerman : mAppEnglish)->setChecked(true);
}

void tMainWindow::ShowLangFileAndLessons() {
    if (!settings_)
        return;
    const TExerciseData& data = settings_->exercise;
    QString lessons = Text(46) + Text(47);
    if (langFileFound_) {
        panelLangFile->setText(QtFromCp1252(data.Lang1) + " - " + QtFromCp1252(data.Lang2));
        if (!data.AvailableUnits.empty()) {
            QStringList numbers;
            for (const std::int32_t lesson : data.AvailableUnits)
                numbers << QString::number(lesson);
            lessons = Text(46) + " : " + numbers.join(',');
        }
        rbtnFirstLang->setText(QtFromCp1252(data.Lang1));
        rbtnSecondLang->setText(QtFromCp1252(data.Lang2));
        (data.FirstLang ? rbtnFirstLang : rbtnSecondLang)->setChecked(true);
        const QString picturePath = findLangPicture(data.LangFileName);
        if (!picturePath.isEmpty()) {
            // The picture is a bitmap, as its extension says; naming the format spares probing
            // every image plugin.
            QPixmap loaded(picturePath, "BMP");
            if (!loaded.isNull())
                langPicture_ = loaded;
        }
    } else {
        panelLangFile->setText(Text(133));
        rbtnFirstLang->setText(Text(134));
        rbtnSecondLang->setText(Text(134));
        rbtnFirstLang->setChecked(true);
        langPicture_ = defaultLangPicture_;
    }
    labelSelUnits->setText(lessons);
    imageLangFile->setPixmap(langPicture_);
}

void tMainWindow::ControlUpdate() {
    const bool run = exercisePossible_ && static_cast<bool>(exerciseWindowFactory_);
    btnExerciseRun->setEnabled(run);
    mExerciseRun->setEnabled(run);
    rbtnFirstLang->setEnabled(btnExerciseRun->isEnabled());
    rbtnSecondLang->setEnabled(btnExerciseRun->isEnabled());
    cbNewLoad->setEnabled(btnExerciseRun->isEnabled());
    cbResetPrio->setEnabled(cbNewLoad->isEnabled());

    const bool exerciseShown = exerciseWnd_ && exerciseWnd_->IsExerciseVisible();
    const bool edit = !exerciseShown && static_cast<bool>(exerciseEditorFactory_);
    btnEditExercise->setEnabled(edit);
    mExerciseEditLessons->setEnabled(edit);
    const bool settings = static_cast<bool>(settingsDialogFactory_);
    btnGeneralProperty->setEnabled(settings);
    mExerciseGenSettings->setEnabled(settings);
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
    if (settings_)
        settings_->exercise.FirstLang = rbtnFirstLang->isChecked();
}

bool tMainWindow::IsFirstLangChecked() const {
    return rbtnFirstLang->isChecked();
}

void tMainWindow::SplitHeldBack() {
    if (settings_)
        splitHeldBack(*settings_);
}

void tMainWindow::ExerciseRun() {
    if (!initialised_ || !exercisePossible_ || !exerciseWindowFactory_)
        return;
    guarded([&] {
        // A running exercise addresses the list by position: never compose under it.
        if (exerciseWnd_ && exerciseWnd_->IsExerciseVisible()) {
            exerciseWnd_->ShowExercise();
            ControlUpdate();
            return;
        }
        ArrayWordData& list = settings_->exercise.ExerciseWords;
        if (!composedByEditor_) {
            if (list.empty() || cbNewLoad->isChecked()) {
                composeNew(*settings_, *langHandler_);
            } else {
                composeContinue(*settings_, *langHandler_, cbResetPrio->isChecked());
                if (!entriesValid(*settings_, *langHandler_))
                    composeNew(*settings_, *langHandler_);
            }
        }
        // The editor's composition is shown once; later starts compose as usual.
        composedByEditor_ = false;
        if (list.empty()) {
            showMessage(Text(0), Text(112), kMbIconInformation | kMbOk, true, this);
            return;
        }
        if (!exerciseWnd_)
            exerciseWnd_ = exerciseWindowFactory_(*this);
        if (exerciseWnd_)
            exerciseWnd_->ShowExercise();
        ControlUpdate();
    });
}

void tMainWindow::EditExercise() {
    if (!initialised_ || !exerciseEditorFactory_)
        return;
    if (exerciseWnd_ && exerciseWnd_->IsExerciseVisible())
        return;
    guarded([&] {
        std::unique_ptr<IExerciseEditor> editor = exerciseEditorFactory_(*this);
        if (!editor)
            return;
        if (editor->exec() == 1) {
            langFileFound_ = CheckFileExists(settings_->exercise.LangFileName);
            exercisePossible_ = !settings_->exercise.AvailableUnits.empty() && langFileFound_;
            ShowLangFileAndLessons();
            ControlUpdate();
        }
        ArrayWordData& list = settings_->exercise.ExerciseWords;
        switch (editor->GetChangeKind()) {
        case 5: {
            const auto max = static_cast<std::size_t>(std::max(0, settings_->exercise.MaxWords));
            if (max < list.size())
                list.resize(max);
            else
                fillFresh(*settings_, *langHandler_);
            break;
        }
        case 6:
        case 7:
            composeNew(*settings_, *langHandler_);
            composedByEditor_ = true;
            break;
        default:
            break;
        }
    });
}

void tMainWindow::GeneralProperty() {
    if (!initialised_ || !settingsDialogFactory_)
        return;
    guarded([&] {
        std::unique_ptr<ISettingsDialog> dialog = settingsDialogFactory_(*this);
        if (dialog)
            dialog->exec();
    });
}

void tMainWindow::ShowHelpTopic(const QString& topic) {
    guarded([&] {
        if (!helpWindow_)
            helpWindow_ = new THelpWindow(this);
        helpWindow_->SetHelpFolder(appFolder_, uiLanguage_);
        helpWindow_->ShowTopic(topic);
    });
}

void tMainWindow::ShowHelpContents() {
    guarded([&] {
        if (!helpWindow_)
            helpWindow_ = new THelpWindow(this);
        helpWindow_->SetHelpFolder(appFolder_, uiLanguage_);
        helpWindow_->ShowContents();
    });
}

void tMainWindow::ShowAbout() {
    TMAboutDlg about(windowIcon(), kAppTitle, this);
    about.exec();
}

void tMainWindow::closeEvent(QCloseEvent* event) {
    if (exerciseWnd_ && exerciseWnd_->IsExerciseVisible())
        guarded([&] { exerciseWnd_->CloseExercise(); });
    if (initialised_)
        closeSequence();
    event->accept();
    QMainWindow::closeEvent(event);
}

void tMainWindow::closeSequence() {
    initialised_ = false;
    if (helpWindow_)
        helpWindow_->close();
    // A failed write is reported; the window closes all the same.
    guarded([&] { settings_->WriteAll(uiLanguage_); });
    destroySpeechEngine();
}

void tMainWindow::createSpeechEngine() {
    if (!speechFactory_)
        return;
    // Without speech the program still runs: the engine stays absent.
    guarded([&] { speech_ = speechFactory_(appFolder_); });
}

bool tMainWindow::openSpeechEngine() {
    return speech_ && speech_->Open();
}

void tMainWindow::destroySpeechEngine() {
    speech_.reset();
}

} // namespace lexaro
