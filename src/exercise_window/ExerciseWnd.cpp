#include "exercise_window/ExerciseWnd.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/FormFit.h"
#include "app/HelpContexts.h"
#include "app/HelpWindow.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "data/TextSteps.h"
#include "exercise/AnswerCheck.h"
#include "exercise/ExerciseSpeech.h"
#include "exercise_window/QtCardCanvas.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSvgRenderer>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <utility>

namespace lexaro {

namespace {

// The window at 100 per cent.
constexpr int kWindowWidth = 635;
constexpr int kWindowHeight = 335;
constexpr QPoint kTableAt{12, 46};
constexpr int kHintMs = 5000;
// The run table's columns: none, presented text, a narrow gap, solution; in Write mode a gap
// and the typed answer with its verdict besides, in the same width.
constexpr std::array<int, 4> kColumnWidths{0, 208, 3, 208};
constexpr std::array<int, 6> kWriteColumnWidths{0, 136, 3, 136, 3, 141};
// The answer strip under the card table in Write mode: the field and the verdict.
constexpr int kAnswerHeight = 24;
constexpr int kVerdictHeight = 24;
constexpr int kAnswerGap = 4;
const QColor kRightColour(0x1A, 0x7F, 0x37);
const QColor kWrongColour(0xB0, 0x00, 0x20);

QString ImagePath(const char* name) {
    return QStringLiteral(":/images/") + QLatin1String(name);
}

// An SVG picture of the program drawn at exactly this size on what the image holds.
void RenderSvg(QImage& image, const QString& path, const QRectF& into) {
    QSvgRenderer svg(path);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, into);
}

int ScreenDensity(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

std::optional<TExerciseKey> RunKey(const QKeyEvent& event) {
    const bool digit = event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9;
    // Alt with a digit chooses a priority, also while an answer is being typed.
    const Qt::KeyboardModifiers mods =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (digit && mods == Qt::AltModifier)
        return AltDigitKey(event.key() - Qt::Key_0);
    // Other shortcuts with Ctrl, Alt or Meta belong to others.
    if (mods)
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TExerciseKey::Enter;
    case Qt::Key_Space:
        return TExerciseKey::Space;
    case Qt::Key_Escape:
        return TExerciseKey::Escape;
    case Qt::Key_Left:
        return TExerciseKey::Left;
    case Qt::Key_Up:
        return TExerciseKey::Up;
    case Qt::Key_Right:
        return TExerciseKey::Right;
    case Qt::Key_Down:
        return TExerciseKey::Down;
    default:
        break;
    }
    if (digit)
        return DigitKey(event.key() - Qt::Key_0);
    return std::nullopt;
}

QPushButton* PictureButton(QWidget* parent, const char* name, const char* image) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFlat(true);
    button->setIcon(QIcon(ImagePath(image)));
    button->setEnabled(false);
    button->setToolTipDuration(kHintMs);
    // The keyboard works through Space and Enter wherever the focus is; the buttons never
    // take it from the priority buttons.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TCardSize CardPictureSizeFor(int pixelsPerInch) {
    if (pixelsPerInch <= 110)
        return {290, 140};
    if (pixelsPerInch <= 130)
        return {362, 175};
    return {435, 210};
}

TCardTablePictures MakeCardTablePictures(int pixelsPerInch) {
    EnsureResources();
    TCardTablePictures pictures;
    const TCardSize card = CardPictureSizeFor(pixelsPerInch);
    pictures.layout = CardTableLayout(pixelsPerInch, card);
    const TCardSize table = pictures.layout.background;

    pictures.background = QImage(table.w, table.h, QImage::Format_RGB32);
    pictures.background.fill(QColor(0x2F, 0x7D, 0x5A));
    RenderSvg(pictures.background, ImagePath("card-table.svg"), QRectF(0, 0, table.w, table.h));

    // The card on the table where it comes to rest: its shadow and corners fall on the table.
    const TCardRect rest = pictures.layout.restingCard;
    pictures.card = pictures.background.copy(rest.x, rest.y, card.w, card.h);
    const char* name = card.w == 290   ? "card-100.svg"
                       : card.w == 362 ? "card-125.svg"
                                       : "card-150.svg";
    RenderSvg(pictures.card, ImagePath(name), QRectF(0, 0, card.w, card.h));
    return pictures;
}

// --- The table ------------------------------------------------------------------------------

TCardTableView::TCardTableView(QWidget* parent) : QWidget(parent) {
    // The picture covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCardTableView::paintEvent(QPaintEvent* event) {
    if (canvas_ == nullptr)
        return;
    QPainter painter(this);
    canvas_->PaintWindow(painter, event->rect());
}

// --- The context ----------------------------------------------------------------------------

TExerciseRunContext ExerciseRunContextOf(const TWindowContext& context) {
    const std::shared_ptr<TAppIniFile>& settings = context.settings;
    if (!settings || !context.texts)
        throw std::invalid_argument("The exercise window needs the settings and the texts");
    TExerciseRunContext run;
    // Each record shares the settings object: the run keeps it alive while it needs it.
    run.exercise = std::shared_ptr<TExerciseData>(settings, &settings->exercise);
    run.general = std::shared_ptr<TGeneralProperty>(settings, &settings->general);
    run.font = std::shared_ptr<const TFontProperty>(settings, &settings->font);
    run.voices = std::shared_ptr<const AVoiceProperty>(settings, &settings->voices);
    run.codePage = std::shared_ptr<const std::int32_t>(settings, &settings->CodePage);
    run.langFile = context.langFile;
    if (context.speech)
        run.speech = std::make_shared<TEngineSpeech>(context.speech);
    run.text = [texts = context.texts](std::int32_t number) { return texts->GetText(number); };
    run.firstLanguage = context.firstLanguage;
    run.splitHeldBack = context.splitHeldBack;
    run.saveMarks = context.saveMarks;
    run.recordCard = context.recordCard;
    return run;
}

std::unique_ptr<IExerciseWindow> MakeExerciseWindow(const TWindowContext& context, QWidget* owner) {
    return std::make_unique<TExerciseDlg>(ExerciseRunContextOf(context), context.showHelp, owner);
}

// --- The window -----------------------------------------------------------------------------

TExerciseDlg::TExerciseDlg(TExerciseRunContext context, std::function<void(int)> showHelp,
                           QWidget* owner, int pixelsPerInch)
    : QWidget(owner, Qt::Window), showHelp_(std::move(showHelp)) {
    EnsureResources();
    setObjectName("TExerciseDlg");
    // A system menu and a minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    ppi_ = pixelsPerInch > 0 ? pixelsPerInch : ScreenDensity(owner ? *owner : *this);
    percent_ = static_cast<int>(std::lround(FormScaleFactor(ppi_) * 100));
    pictures_ = MakeCardTablePictures(ppi_);
    BuildForm();

    canvas_ = std::make_unique<TQtCardCanvas>(*groundImage, pictures_.background, QPoint(0, 0),
                                              pictures_.card, ppi_, QPoint(0, 0));
    groundImage->SetCanvas(canvas_.get());
    cards_ = std::make_unique<TCardGraphics>(*canvas_);
    run_ = std::make_unique<TExerciseRun>(std::move(context), static_cast<IExerciseView&>(*this));

    SetHelpContext(*this, kHelpExercise);
    SetHelpContext(*prioBox, kHelpPriorities);
    InstallHelpKey(*this, [this](int helpContext) {
        if (showHelp_)
            showHelp_(helpContext);
    });

    // The window's size at its density, and no smaller than its controls need.
    resize(kWindowWidth, kWindowHeight);
    cutToScreen_ = fitFormToScreen(*this, true, true, false);
    const QSize client = findChild<QWidget*>("client")->minimumSize();
    if (!cutToScreen_) {
        resize(size().expandedTo(client));
        greySizeItem(*this);
    }
}

TExerciseDlg::~TExerciseDlg() {
    // The run's close needs the window's parts; a window destroyed while open closes first.
    if (run_ && isVisible())
        run_->Close();
}

void TExerciseDlg::BuildForm() {
    const auto s = [this](int v) { return v * percent_ / 100; };
    const TCardSize table = pictures_.layout.background;
    const QRect tableRect(s(kTableAt.x()), s(kTableAt.y()), table.w, table.h);
    tableRect_ = tableRect;

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("clientScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    // Scroll bars appear only when the window had to be cut to the screen.
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto* client = new QWidget(scroll);
    client->setObjectName("client");
    scroll->setWidget(client);

    // State of the run above the table.
    stateBox = new QGroupBox(client);
    stateBox->setObjectName("stateBox");
    stateBox->setGeometry(s(8), s(2), tableRect.width() + s(8), s(40));
    auto* stateRow = new QHBoxLayout(stateBox);
    stateRow->setContentsMargins(s(8), s(2), s(8), s(4));
    const auto label = [&](const char* name) {
        auto* l = new QLabel(stateBox);
        l->setObjectName(name);
        return l;
    };
    labelMode = label("labelMode");
    modeValue = label("modeValue");
    labelState = label("labelState");
    stateValue = label("stateValue");
    labelWNbr = label("labelWNbr");
    wNbrValue = label("wNbrValue");
    // The counter's room for "300/300".
    wNbrValue->setMinimumWidth(wNbrValue->fontMetrics().horizontalAdvance("300/300") + 4);
    for (QLabel* value : {modeValue, stateValue, wNbrValue}) {
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
    }
    using LabelPair = std::pair<QLabel*, QLabel*>;
    for (const auto& [name, value] : std::initializer_list<LabelPair>{
             {labelMode, modeValue}, {labelState, stateValue}, {labelWNbr, wNbrValue}}) {
        stateRow->addWidget(name);
        stateRow->addWidget(value);
        stateRow->addStretch(1);
    }

    // The card table, and the table of the run in the same place.
    groundImage = new TCardTableView(client);
    groundImage->setObjectName("groundImage");
    groundImage->setGeometry(tableRect);

    exerciseList = new QTreeWidget(client);
    exerciseList->setObjectName("exerciseList");
    exerciseList->setGeometry(tableRect);
    exerciseList->setColumnCount(static_cast<int>(kColumnWidths.size()));
    exerciseList->setHeaderHidden(false);
    exerciseList->setRootIsDecorated(false);
    exerciseList->setIndentation(0);
    exerciseList->setUniformRowHeights(true);
    exerciseList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    exerciseList->setSelectionBehavior(QAbstractItemView::SelectRows);
    exerciseList->setSelectionMode(QAbstractItemView::SingleSelection);
    exerciseList->header()->setStretchLastSection(false);
    // The gap column is only 3 pixels wide, the first none.
    exerciseList->header()->setMinimumSectionSize(0);
    for (std::size_t c = 0; c < kColumnWidths.size(); ++c)
        exerciseList->setColumnWidth(static_cast<int>(c), s(kColumnWidths[c]));
    exerciseList->hide();
    connect(exerciseList, &QTreeWidget::itemSelectionChanged, this,
            &TExerciseDlg::TableSelectionChanged);

    // Write mode's answer field and verdict below the table, hidden in the other modes.
    answerEdit = new QLineEdit(client);
    answerEdit->setObjectName("answerEdit");
    answerEdit->setMaxLength(static_cast<int>(kAnswerLimit));
    answerEdit->setGeometry(s(8), tableRect.bottom() + 1 + s(6), tableRect.width() + s(8),
                            s(kAnswerHeight));
    QFont answerFont = answerEdit->font();
    answerFont.setPointSizeF(answerFont.pointSizeF() * 1.2);
    answerEdit->setFont(answerFont);
    answerEdit->hide();
    // A right-to-left answer stands at the right of the field as it is typed. The field takes
    // the system's input methods (composed text of Japanese, Chinese, ... comes as an input
    // method event, which the key filter lets through).
    answerEdit->setAttribute(Qt::WA_InputMethodEnabled, true);
    AlignAsWritten(*answerEdit);
    // The limit counts characters as the learner sees them: a letter with its marks, a
    // syllable, is one (the field's own limit counts UTF-16 units, and is set high for that).
    connect(answerEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!page_->IsUtf8())
            return;
        const std::string utf8 = text.toStdString();
        const std::vector<std::size_t> starts = Utf8CharacterStarts(utf8);
        if (starts.size() > kAnswerLimit)
            answerEdit->setText(QtFromUtf8(std::string_view(utf8).substr(0, starts[kAnswerLimit])));
    });
    verdictLabel = new QLabel(client);
    verdictLabel->setObjectName("verdictLabel");
    verdictLabel->setTextFormat(Qt::RichText);
    verdictLabel->setFont(answerFont);
    verdictLabel->setGeometry(s(8), answerEdit->geometry().bottom() + 1 + s(kAnswerGap),
                              tableRect.width() + s(8), s(kVerdictHeight));
    verdictLabel->hide();

    // START, STOP and Next below the table.
    btnBox = new QGroupBox(client);
    btnBox->setObjectName("btnBox");
    btnBox->setGeometry(s(8), tableRect.bottom() + 1 + s(6), tableRect.width() + s(8), s(88));
    auto* buttonRow = new QHBoxLayout(btnBox);
    buttonRow->setContentsMargins(s(10), s(8), s(10), s(8));
    buttonRow->setSpacing(s(12));
    btnRun = PictureButton(btnBox, "btnRun", "run.svg");
    btnStop = PictureButton(btnBox, "btnStop", "stop.svg");
    btnNext = PictureButton(btnBox, "btnNext", "next.svg");
    for (QPushButton* button : {btnRun, btnStop, btnNext}) {
        button->setIconSize(QSize(s(40), s(40)));
        button->setMinimumHeight(s(60));
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
        buttonRow->addWidget(button, 1);
    }
    connect(btnRun, &QPushButton::clicked, this, [this] { run_->Start(); });
    connect(btnStop, &QPushButton::clicked, this, [this] { run_->Stop(); });
    connect(btnNext, &QPushButton::clicked, this, [this] { run_->Next(); });

    // The priorities right of the table.
    prioBox = new QGroupBox(client);
    prioBox->setObjectName("prioBox");
    const int prioLeft = tableRect.right() + 1 + s(10);
    const int prioHeight = btnBox->geometry().bottom() - s(2) + 1;
    prioBox->setGeometry(prioLeft, s(2), std::max(s(166), s(kWindowWidth - 7) - prioLeft),
                         prioHeight);
    auto* prioColumn = new QVBoxLayout(prioBox);
    prioColumn->setContentsMargins(s(10), s(6), s(6), s(6));
    prioGroup = new QButtonGroup(this);
    prioGroup->setExclusive(true);
    for (int p = 0; p < static_cast<int>(rbPrio.size()); ++p) {
        auto* rb = new QRadioButton(prioBox);
        rb->setObjectName(QStringLiteral("rbPrio%1").arg(p));
        prioGroup->addButton(rb, p);
        prioColumn->addWidget(rb);
        rbPrio[static_cast<std::size_t>(p)] = rb;
    }
    // A click by the learner only: a button checked by the program reports nothing.
    connect(prioGroup, &QButtonGroup::idClicked, this,
            [this](int priority) { run_->PriorityClicked(priority); });

    client->setMinimumSize(
        std::max(s(kWindowWidth), prioBox->geometry().right() + 1 + s(7)),
        std::max(s(kWindowHeight),
                 std::max(prioBox->geometry().bottom(), btnBox->geometry().bottom()) + 1 + s(5)));

    // The keys of the run reach it wherever the focus is.
    for (QWidget* w :
         std::initializer_list<QWidget*>{exerciseList, btnRun, btnStop, btnNext, answerEdit})
        w->installEventFilter(this);
    for (QRadioButton* rb : rbPrio)
        rb->installEventFilter(this);

    timerPresentDelay = new QTimer(this);
    timerAnswerDelay = new QTimer(this);
    timerGraphic = new QTimer(this);
    timerPresentDelay->setObjectName("timerPresentDelay");
    timerAnswerDelay->setObjectName("timerAnswerDelay");
    timerGraphic->setObjectName("timerGraphic");
    timerGraphic->setInterval(60);
    for (const TExerciseTimer t :
         {TExerciseTimer::PresentDelay, TExerciseTimer::AnswerDelay, TExerciseTimer::Graphic}) {
        QTimer* timer = TimerOf(t);
        // As exact as the system allows: the graphic timer paces animations and letters, and a
        // coarse timer lets a 5 s delay run up to a quarter of a second late.
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, t] { run_->TimerTick(t); });
    }
}

// --- IExerciseWindow ------------------------------------------------------------------------

void TExerciseDlg::ShowExercise() {
    if (!isVisible())
        show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

bool TExerciseDlg::IsExerciseVisible() const {
    return isVisible();
}

void TExerciseDlg::CloseExercise() {
    close();
}

void TExerciseDlg::ApplyTexts() {
    run_->ApplyTexts();
}

// --- Events ---------------------------------------------------------------------------------

void TExerciseDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Shown by the program (not restored from the task bar): a fresh run.
    if (!event->spontaneous())
        run_->Show();
}

void TExerciseDlg::closeEvent(QCloseEvent* event) {
    run_->Close();
    event->accept();
    QWidget::closeEvent(event);
}

void TExerciseDlg::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        run_->Activate();
}

void TExerciseDlg::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(*event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool TExerciseDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (press && HandleKey(static_cast<QKeyEvent&>(*event)))
        return true;
    // Space and Enter are the run's keys only. A radio button would click itself again on
    // Space: the priority it shows would go to whatever card is current, with no choice made.
    if ((press || event->type() == QEvent::KeyRelease) &&
        std::find(rbPrio.begin(), rbPrio.end(), watched) != rbPrio.end()) {
        const int key = static_cast<QKeyEvent&>(*event).key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TExerciseDlg::HandleKey(const QKeyEvent& event) {
    const std::optional<TExerciseKey> key = RunKey(event);
    return key && run_->KeyDown(*key);
}

void TExerciseDlg::TableSelectionChanged() {
    // Only the learner's choices on the shown table; clearing and filling it are the run's.
    if (!exerciseList->isVisible())
        return;
    const QModelIndexList rows = exerciseList->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& row : rows)
        if (first < 0 || row.row() < first)
            first = row.row();
    run_->TableRowSelected(first);
}

QTimer* TExerciseDlg::TimerOf(TExerciseTimer timer) const {
    switch (timer) {
    case TExerciseTimer::PresentDelay:
        return timerPresentDelay;
    case TExerciseTimer::AnswerDelay:
        return timerAnswerDelay;
    case TExerciseTimer::Graphic:
        break;
    }
    return timerGraphic;
}

// --- IExerciseView --------------------------------------------------------------------------

void TExerciseDlg::SetTimerInterval(TExerciseTimer timer, std::int32_t ms) {
    // A running timer starts its period anew, as a window timer does.
    TimerOf(timer)->setInterval(ms);
}

std::int32_t TExerciseDlg::TimerInterval(TExerciseTimer timer) const {
    return TimerOf(timer)->interval();
}

void TExerciseDlg::SetTimerEnabled(TExerciseTimer timer, bool enabled) {
    QTimer* t = TimerOf(timer);
    if (!enabled)
        t->stop();
    else if (!t->isActive())
        t->start();
}

bool TExerciseDlg::TimerEnabled(TExerciseTimer timer) const {
    return TimerOf(timer)->isActive();
}

void TExerciseDlg::SetUpCard() {
    // A new show starts on the bare table, whatever the last one left on it.
    canvas_->PaintBackground();
    cards_->Setup();
}

void TExerciseDlg::ReleaseCard() {
    cards_->Release();
}

void TExerciseDlg::ResetCard() {
    cards_->WipeStep(true);
}

bool TExerciseDlg::WipeStep() {
    return cards_->WipeStep(false);
}

void TExerciseDlg::ClearCardLine(std::int32_t line) {
    cards_->ClearCardLine(line);
}

void TExerciseDlg::SetCardFont(const TFontProperty& font) {
    cards_->SetCardFont(font);
}

void TExerciseDlg::StartFlyIn() {
    cards_->StartFlyIn();
}

std::int32_t TExerciseDlg::FlyInFrame() {
    return cards_->FlyInFrame();
}

bool TExerciseDlg::WriteCardText(const std::string& text, std::int32_t line, bool allAtOnce) {
    return cards_->WriteCardText(text, line, allAtOnce);
}

void TExerciseDlg::PrepareCardText(const std::string& text, std::int32_t line) {
    cards_->PrepareCardText(text, line);
}

void TExerciseDlg::SetCodePage(const TCodePage& page) {
    page_ = &page;
    canvas_->SetCodePage(page);
    cards_->SetCodePage(page);
    // A Unicode character may take several UTF-16 units: the characters are counted on edit.
    answerEdit->setMaxLength(static_cast<int>(page.IsUtf8() ? kAnswerLimit * 8 : kAnswerLimit));
}

void TExerciseDlg::SetTexts(const TExerciseTexts& texts) {
    setWindowTitle(QtFromUtf8(texts.caption));
    labelMode->setText(QtFromUtf8(texts.modeLabel));
    labelState->setText(QtFromUtf8(texts.stateLabel));
    labelWNbr->setText(QtFromUtf8(texts.counterLabel));
    btnRun->setText(QtFromUtf8(texts.start));
    btnStop->setText(QtFromUtf8(texts.stop));
    btnNext->setText(QtFromUtf8(texts.next));
    btnRun->setToolTip(QtFromUtf8(texts.startHint));
    btnStop->setToolTip(QtFromUtf8(texts.stopHint));
    btnNext->setToolTip(QtFromUtf8(texts.nextHint));
    prioBox->setTitle(QtFromUtf8(texts.priorityBox));
    priorityHint_ = QtFromUtf8(texts.priorityHint);
    prioBox->setToolTip(answerShown_ ? priorityHint_ : QString());
    noAnswer_ = QtFromUtf8(texts.noAnswer);
    columns_ = {QString(), QtFromUtf8(texts.shownColumn),
                QString(), QtFromUtf8(texts.solutionColumn),
                QString(), QtFromUtf8(texts.answerColumn)};
    SetTableHeaders();
    answerHint_ = QtFromUtf8(texts.answerHint);
    if (!answerEdit->isReadOnly())
        answerEdit->setPlaceholderText(answerHint_);
    for (std::size_t p = 0; p < rbPrio.size(); ++p)
        rbPrio[p]->setText(QtFromUtf8(texts.priorities[p]));
    // The longest priority (German "nicht mehr verwenden") is wider than the box of the
    // English texts: the box, and with it the client, grows until no caption is cut.
    prioBox->layout()->invalidate();
    const int needed = std::max(prioBox->sizeHint().width(), prioBox->minimumSizeHint().width());
    if (prioBox->width() < needed) {
        prioBox->resize(needed, prioBox->height());
        auto* client = findChild<QWidget*>("client");
        client->setMinimumWidth(
            std::max(client->minimumWidth(), prioBox->geometry().right() + 1 + 7 * percent_ / 100));
        // A window that fits the screen grows with its client; one cut to the screen scrolls.
        if (!cutToScreen_) {
            setMinimumSize(0, 0);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            resize(size().expandedTo(client->minimumSize()));
            greySizeItem(*this);
        }
    }
}

void TExerciseDlg::SetModeText(const std::string& text) {
    modeValue->setText(QtFromUtf8(text));
}

void TExerciseDlg::SetStateText(const std::string& text) {
    stateValue->setText(QtFromUtf8(text));
}

void TExerciseDlg::SetCounterText(const std::string& text) {
    wNbrValue->setText(QtFromUtf8(text));
}

void TExerciseDlg::SetButtons(const TExerciseButtons& buttons) {
    btnRun->setEnabled(buttons.start);
    btnStop->setEnabled(buttons.stop);
    btnNext->setEnabled(buttons.next);
}

void TExerciseDlg::CheckPriority(std::int32_t priority) {
    if (priority >= 0 && priority < static_cast<std::int32_t>(rbPrio.size())) {
        // setChecked reports no click.
        rbPrio[static_cast<std::size_t>(priority)]->setChecked(true);
        return;
    }
    // None: an exclusive group keeps one checked unless told otherwise for a moment.
    prioGroup->setExclusive(false);
    for (QRadioButton* rb : rbPrio)
        rb->setChecked(false);
    prioGroup->setExclusive(true);
}

void TExerciseDlg::FocusPriority(std::int32_t priority) {
    if (priority >= 0 && priority < static_cast<std::int32_t>(rbPrio.size()))
        rbPrio[static_cast<std::size_t>(priority)]->setFocus();
}

void TExerciseDlg::SetTableHeaders() {
    QStringList headers;
    for (int c = 0; c < exerciseList->columnCount() && c < static_cast<int>(columns_.size()); ++c)
        headers << columns_[static_cast<std::size_t>(c)];
    exerciseList->setHeaderLabels(headers);
    if (QTreeWidgetItem* header = exerciseList->headerItem())
        header->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

void TExerciseDlg::ClearTable() {
    const QSignalBlocker quiet(exerciseList);
    exerciseList->clear();
    // Back to the two texts until an answer is judged.
    exerciseList->setColumnCount(static_cast<int>(kColumnWidths.size()));
    for (std::size_t c = 0; c < kColumnWidths.size(); ++c)
        exerciseList->setColumnWidth(static_cast<int>(c), kColumnWidths[c] * percent_ / 100);
    SetTableHeaders();
}

void TExerciseDlg::AddTableRow(const std::string& presented, const std::string& solution) {
    const QSignalBlocker quiet(exerciseList);
    const QString shown = QtFromStored(presented, *page_);
    const QString answer = QtFromStored(solution, *page_);
    auto* row = new QTreeWidgetItem(exerciseList, {QString(), shown, QString(), answer});
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    row->setTextAlignment(2, Qt::AlignHCenter | Qt::AlignVCenter);
    row->setTextAlignment(3, AlignmentOf(answer));
    // A text wider than its column is cut with "…": the whole of it is its tool tip.
    row->setToolTip(1, shown);
    row->setToolTip(3, answer);
}

void TExerciseDlg::SetTableAnswer(std::int32_t row, const std::string& typed,
                                  const std::string& verdict, bool right) {
    QTreeWidgetItem* item = exerciseList->topLevelItem(row);
    if (item == nullptr)
        return;
    const QSignalBlocker quiet(exerciseList);
    if (exerciseList->columnCount() < static_cast<int>(kWriteColumnWidths.size())) {
        exerciseList->setColumnCount(static_cast<int>(kWriteColumnWidths.size()));
        for (std::size_t c = 0; c < kWriteColumnWidths.size(); ++c)
            exerciseList->setColumnWidth(static_cast<int>(c),
                                         kWriteColumnWidths[c] * percent_ / 100);
        SetTableHeaders();
    }
    const int column = static_cast<int>(kWriteColumnWidths.size()) - 1;
    const QString answer = typed.empty() ? noAnswer_ : QtFromStored(typed, *page_);
    const QString text = QtFromUtf8(verdict) + QStringLiteral(": ") + answer;
    item->setText(column, text);
    item->setToolTip(column, text);
    item->setTextAlignment(column, AlignmentOf(answer));
    item->setForeground(column, right ? kRightColour : kWrongColour);
}

void TExerciseDlg::HideTable() {
    exerciseList->hide();
}

void TExerciseDlg::ShowTable() {
    exerciseList->show();
    exerciseList->raise();
    const int rows = exerciseList->topLevelItemCount();
    if (rows > 0) {
        // The selection reports itself to the run, as the learner's would.
        exerciseList->setCurrentItem(exerciseList->topLevelItem(rows - 1));
        exerciseList->scrollToItem(exerciseList->topLevelItem(rows - 1));
    }
    exerciseList->setFocus();
}

void TExerciseDlg::FocusTable() {
    exerciseList->setFocus();
}

// --- Write mode -----------------------------------------------------------------------------

void TExerciseDlg::PlaceAnswerStrip() {
    const auto s = [this](int v) { return v * percent_ / 100; };
    const int strip = answerShown_ ? s(kAnswerHeight + kAnswerGap + kVerdictHeight + 6) : 0;
    answerEdit->setVisible(answerShown_);
    verdictLabel->setVisible(answerShown_);
    const int before = btnBox->y();
    btnBox->move(btnBox->x(), tableRect_.bottom() + 1 + s(6) + strip);
    prioBox->resize(prioBox->width(), btnBox->geometry().bottom() - prioBox->y() + 1);
    const int delta = btnBox->y() - before;
    if (delta == 0)
        return;
    auto* client = findChild<QWidget*>("client");
    client->setMinimumHeight(client->minimumHeight() + delta);
    // A window that fits the screen grows and shrinks with its strip; one cut to it scrolls.
    if (!cutToScreen_)
        setFixedSize(width(), height() + delta);
}

void TExerciseDlg::ShowAnswerField(bool shown) {
    if (shown == answerShown_)
        return;
    answerShown_ = shown;
    prioBox->setToolTip(shown ? priorityHint_ : QString());
    if (!shown) {
        answerEdit->clear();
        verdictLabel->clear();
    }
    PlaceAnswerStrip();
}

std::string TExerciseDlg::AnswerText() const {
    // Composed (NFC) on its way in; the run cuts it to whole characters at the limit.
    return answerEdit->text().normalized(QString::NormalizationForm_C).toStdString();
}

void TExerciseDlg::OpenAnswer() {
    answerEdit->clear();
    answerEdit->setReadOnly(false);
    answerEdit->setPlaceholderText(answerHint_);
    verdictLabel->clear();
    answerEdit->setFocus();
}

void TExerciseDlg::ClearAnswer() {
    answerEdit->clear();
}

void TExerciseDlg::FocusAnswer() {
    answerEdit->setFocus();
}

void TExerciseDlg::ShowVerdict(const TAnswerView& verdict) {
    answerEdit->setReadOnly(true);
    // The field takes nothing more for this card: no hint to type.
    answerEdit->setPlaceholderText(QString());
    const QColor colour = verdict.right ? kRightColour : kWrongColour;
    QString html = QStringLiteral("<b style=\"color:%1\">%2</b>")
                       .arg(colour.name(), QtFromUtf8(verdict.verdict).toHtmlEscaped());
    if (!verdict.right && !verdict.typed.empty()) {
        // The typed answer with the letters that differ marked, a character as the learner sees
        // it at a time; neighbours marked alike stay in one run, so joined letters stay joined.
        html += QStringLiteral("&nbsp;&nbsp;");
        const std::vector<std::size_t> starts = CharacterStarts(verdict.typed, *page_);
        QString part;
        bool partDiffers = false;
        const auto flush = [&] {
            if (part.isEmpty())
                return;
            html += partDiffers
                        ? QStringLiteral("<span style=\"color:%1; text-decoration:underline; "
                                         "font-weight:bold\">%2</span>")
                              .arg(kWrongColour.name(), part)
                        : part;
            part.clear();
        };
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : verdict.typed.size();
            QString letter =
                QtFromStored(std::string_view(verdict.typed).substr(starts[k], end - starts[k]),
                             *page_)
                    .toHtmlEscaped();
            if (letter == QStringLiteral(" "))
                letter = QStringLiteral("&nbsp;");
            const bool differs = starts[k] < verdict.differs.size() && verdict.differs[starts[k]];
            if (differs != partDiffers)
                flush();
            partDiffers = differs;
            part += letter;
        }
        flush();
    }
    verdictLabel->setText(html);
}

bool TExerciseDlg::AskYesNo(const std::string& caption, const std::string& text, bool beep) {
    QString shown = QtFromUtf8(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return showMessage(QtFromUtf8(caption), shown, kMbYesNo | kMbIconInformation, beep, this) ==
           kIdYes;
}

void TExerciseDlg::CloseWindow() {
    close();
}

} // namespace lexaro
