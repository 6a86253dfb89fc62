#include "progress_window/ProgressWnd.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/HelpWindow.h"
#include "app/MainWndLogic.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "data/LangFHandler.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace lexaro {

namespace {

// The window's texts.
constexpr int kTextTitle = 190;
constexpr int kTextLessonsTitle = 193;
constexpr int kTextWaiting = 194;
constexpr int kTextPractised = 195;
constexpr int kTextHeldBack = 196;
constexpr int kTextRetired = 197;
constexpr int kTextLesson = 198;
constexpr int kTextDaysTitle = 199;
constexpr int kTextCards = 200;
constexpr int kTextTypedRight = 201;
constexpr int kTextSavePicture = 202;
constexpr int kTextSavePictureHint = 203;
constexpr int kTextShareRight = 204;
constexpr int kTextNoTyped = 205;
constexpr int kTextSkipped = 206;
constexpr int kTextSaveFailed = 207;
constexpr int kTextHelp = 12;
constexpr int kTextClose = 159;

// Colours of the four states: waiting, practised, held back, retired.
const QColor kStateColours[4] = {QColor(0xA9, 0xCB, 0xEF), QColor(0x3D, 0x7C, 0xC9),
                                 QColor(0xF2, 0xB3, 0x3D), QColor(0xB8, 0xBE, 0xC6)};

QString Number(std::int64_t n) {
    return QString::number(n);
}

// A day's label on the axis: day and month in the UI language ("11 Dec", "11. Dez.").
QString ShortDay(std::int32_t day, const std::string& language) {
    const QDate date = QDate(1970, 1, 1).addDays(day);
    return language == "DE" ? QLocale(QLocale::German).toString(date, "d. MMM")
                            : QLocale(QLocale::English).toString(date, "d MMM");
}

} // namespace

std::unique_ptr<IProgressWindow> MakeProgressWindow(const TWindowContext& context, QWidget* owner) {
    return std::make_unique<TProgressWnd>(context, owner);
}

TProgressWnd::TProgressWnd(TWindowContext context, QWidget* owner)
    : QWidget(owner, Qt::Window), context_(std::move(context)) {
    EnsureResources();
    setObjectName("TProgressWnd");
    BuildForm();
    SetHelpContext(*this, kHelpProgress);
    InstallHelpKey(*this, [this](int helpContext) {
        if (context_.showHelp)
            context_.showHelp(helpContext);
    });
    resize(900, 720);
    ApplyTexts();
}

TProgressWnd::~TProgressWnd() = default;

QString TProgressWnd::Text(int number) const {
    return context_.texts ? QtFromCp1252(context_.texts->GetText(number))
                          : QString::fromLatin1(kMissingText);
}

void TProgressWnd::BuildForm() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    charts_ = new QWidget(this);
    charts_->setObjectName("charts");
    charts_->setAutoFillBackground(true);
    auto* chartsLayout = new QVBoxLayout(charts_);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsLayout->setSpacing(2);
    lessonsView = new QChartView(new QChart, charts_);
    lessonsView->setObjectName("lessonsView");
    lessonsView->setRenderHint(QPainter::Antialiasing);
    daysView = new QChartView(new QChart, charts_);
    daysView->setObjectName("daysView");
    daysView->setRenderHint(QPainter::Antialiasing);
    // The charts are looked at, not operated: keys go to the buttons.
    lessonsView->setFocusPolicy(Qt::NoFocus);
    daysView->setFocusPolicy(Qt::NoFocus);
    summaryLabel = new QLabel(charts_);
    summaryLabel->setObjectName("summaryLabel");
    summaryLabel->setWordWrap(true);
    summaryLabel->setContentsMargins(8, 0, 8, 4);
    chartsLayout->addWidget(lessonsView, 5);
    chartsLayout->addWidget(daysView, 4);
    chartsLayout->addWidget(summaryLabel);
    layout->addWidget(charts_, 1);

    hoverLabel = new QLabel(this);
    hoverLabel->setObjectName("hoverLabel");
    hoverLabel->setMinimumHeight(hoverLabel->fontMetrics().height() + 4);
    layout->addWidget(hoverLabel);

    auto* buttons = new QHBoxLayout;
    btnSavePicture = new QPushButton(this);
    btnSavePicture->setObjectName("btnSavePicture");
    btnHelp = new QPushButton(this);
    btnHelp->setObjectName("btnHelp");
    btnClose = new QPushButton(this);
    btnClose->setObjectName("btnClose");
    buttons->addWidget(btnSavePicture);
    buttons->addStretch(1);
    buttons->addWidget(btnHelp);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    setTabOrder(btnSavePicture, btnHelp);
    setTabOrder(btnHelp, btnClose);

    connect(btnSavePicture, &QPushButton::clicked, this, &TProgressWnd::SavePictureAsked);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (context_.showHelp)
            context_.showHelp(kHelpProgress);
    });
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void TProgressWnd::ApplyTexts() {
    setWindowTitle(Text(kTextTitle));
    btnSavePicture->setText(Text(kTextSavePicture));
    btnSavePicture->setToolTip(Text(kTextSavePictureHint));
    btnHelp->setText(Text(kTextHelp));
    btnClose->setText(Text(kTextClose));
    // What hovering showed was in the language before.
    hoverLabel->clear();
    DrawLessons();
    DrawDays();
}

void TProgressWnd::ShowProgress() {
    Refresh();
    show();
    raise();
    activateWindow();
    btnClose->setFocus();
}

void TProgressWnd::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible())
        return;
    if (!isActiveWindow())
        stale_ = true;
    else if (stale_)
        Refresh();
}

void TProgressWnd::Refresh() {
    stale_ = false;
    report_ = {};
    if (context_.settings) {
        const TAppIniFile& settings = *context_.settings;
        // The main window's copy is the file as the last composition or exercise left it;
        // before any, the file is read as it is on disk (and never written from here).
        TLangFHandler fromDisk;
        const TLangFHandler* lang = context_.langFile.get();
        if (lang == nullptr || lang->SlotCount() == 0) {
            if (context_.texts)
                LoadLangFileReporting(settings, *context_.texts, fromDisk, nullptr, false);
            lang = &fromDisk;
        }
        const auto now = clock_ ? clock_() : std::chrono::system_clock::now();
        report_ = LoadProgress(settings.LangFilePath(), *lang, TCodePage::Get(settings.CodePage),
                               settings.exercise.ExerciseWords, settings.heldBack,
                               std::chrono::floor<std::chrono::seconds>(now), LocalUtcOffset);
    }
    DrawLessons();
    DrawDays();
}

void TProgressWnd::ShowHover(const QString& text) {
    hoverLabel->setText(text);
    if (!text.isEmpty())
        QToolTip::showText(QCursor::pos(), text, this);
}

QString TProgressWnd::LessonHoverText(int index) const {
    const auto& lessons = report_.figures.lessons;
    if (index < 0 || index >= static_cast<int>(lessons.size()))
        return {};
    const TLessonFigures& f = lessons[static_cast<std::size_t>(index)];
    return Text(kTextLesson) + " " + Number(f.lesson) + ":  " + Text(kTextWaiting) + " " +
           Number(f.waiting) + ",  " + Text(kTextPractised) + " " + Number(f.practised) + ",  " +
           Text(kTextHeldBack) + " " + Number(f.heldBack) + ",  " + Text(kTextRetired) + " " +
           Number(f.retired);
}

QString TProgressWnd::DayHoverText(int index) const {
    const auto& days = report_.figures.days;
    if (index < 0 || index >= static_cast<int>(days.size()))
        return {};
    const TDayFigures& d = days[static_cast<std::size_t>(index)];
    QString text = QString::fromStdString(FormatDay(d.day)) + ":  " + Text(kTextCards) + " " +
                   Number(d.counts.cards);
    const std::int64_t typed = d.counts.right + d.counts.wrong;
    if (typed > 0)
        text += ",  " + Text(kTextTypedRight) + " " +
                Number(std::llround(100.0 * static_cast<double>(d.counts.right) /
                                    static_cast<double>(typed)));
    return text;
}

void TProgressWnd::DrawLessons() {
    auto* chart = new QChart;
    chart->setTitle(Text(kTextLessonsTitle));
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* series = new QStackedBarSeries;
    const int names[4] = {kTextWaiting, kTextPractised, kTextHeldBack, kTextRetired};
    QBarSet* sets[4];
    for (int i = 0; i < 4; ++i) {
        sets[i] = new QBarSet(Text(names[i]));
        sets[i]->setColor(kStateColours[i]);
        sets[i]->setBorderColor(kStateColours[i].darker(130));
        series->append(sets[i]);
        connect(sets[i], &QBarSet::hovered, this,
                [this](bool on, int index) { ShowHover(on ? LessonHoverText(index) : QString()); });
    }
    QStringList categories;
    int most = 0;
    for (const TLessonFigures& f : report_.figures.lessons) {
        sets[0]->append(f.waiting);
        sets[1]->append(f.practised);
        sets[2]->append(f.heldBack);
        sets[3]->append(f.retired);
        categories << Number(f.lesson);
        most = std::max(most, f.Total());
    }
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setTitleText(Text(kTextLesson));
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setRange(0, std::max(most, 1));
    y->setLabelFormat("%d");
    y->applyNiceNumbers();
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    QChart* old = lessonsView->chart();
    lessonsView->setChart(chart);
    delete old;
}

void TProgressWnd::DrawDays() {
    const TProgressFigures& figures = report_.figures;
    auto* chart = new QChart;
    chart->setTitle(Text(kTextDaysTitle));
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* cards = new QBarSet(Text(kTextCards));
    cards->setColor(kStateColours[1]);
    cards->setBorderColor(kStateColours[1]);
    auto* bars = new QStackedBarSeries;
    bars->setBarWidth(0.8);
    bars->append(cards);
    connect(cards, &QBarSet::hovered, this,
            [this](bool on, int index) { ShowHover(on ? DayHoverText(index) : QString()); });
    auto* share = new QLineSeries;
    share->setName(Text(kTextTypedRight));
    share->setPointsVisible(true);
    share->setMarkerSize(7);
    QPen line(kStateColours[2].darker(120));
    line.setWidth(2);
    share->setPen(line);
    connect(share, &QLineSeries::hovered, this, [this](const QPointF& point, bool on) {
        ShowHover(on ? DayHoverText(static_cast<int>(std::lround(point.x()))) : QString());
    });
    std::int64_t most = 0;
    for (std::size_t i = 0; i < figures.days.size(); ++i) {
        const TDayCounts& c = figures.days[i].counts;
        cards->append(static_cast<qreal>(c.cards));
        most = std::max(most, c.cards);
        const std::int64_t typed = c.right + c.wrong;
        if (typed > 0)
            share->append(static_cast<qreal>(i),
                          100.0 * static_cast<qreal>(c.right) / static_cast<qreal>(typed));
    }
    chart->addSeries(bars);
    chart->addSeries(share);
    // The days are too many to name each.
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const auto count = static_cast<int>(figures.days.size());
    x->setRange(-0.5, std::max(count, 1) - 0.5);
    // A label every two weeks, the last on today; the axis takes them in ascending order.
    for (int i = count > 0 ? (count - 1) % 14 : 0; i < count; i += 14)
        x->append(ShortDay(figures.days[static_cast<std::size_t>(i)].day,
                           context_.texts ? context_.texts->Language() : std::string()),
                  i);
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    share->attachAxis(x);
    auto* y = new QValueAxis;
    y->setRange(0, static_cast<qreal>(std::max<std::int64_t>(most, 1)));
    y->setLabelFormat("%d");
    y->setTitleText(Text(kTextCards));
    y->applyNiceNumbers();
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(y);
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat("%d%%");
    percent->setTitleText(Text(kTextTypedRight));
    chart->addAxis(percent, Qt::AlignRight);
    share->attachAxis(percent);
    QChart* old = daysView->chart();
    daysView->setChart(chart);
    delete old;

    QStringList summary;
    const auto right = figures.TypedRight();
    const auto typed = right + figures.TypedWrong();
    if (const auto part = figures.ShareRight())
        summary << QtFromCp1252(FillText(context_.texts ? context_.texts->GetText(kTextShareRight)
                                                        : std::string(kMissingText),
                                         {std::to_string(std::llround(*part * 100)),
                                          std::to_string(right), std::to_string(typed)}));
    else
        summary << Text(kTextNoTyped);
    if (figures.skippedLines > 0)
        summary << QtFromCp1252(FillText(context_.texts ? context_.texts->GetText(kTextSkipped)
                                                        : std::string(kMissingText),
                                         {std::to_string(figures.skippedLines)}));
    summaryLabel->setText(summary.join("    "));
}

void TProgressWnd::SavePictureAsked() {
    QString path;
    if (askPath_) {
        path = askPath_();
    } else {
        QString suggested;
        if (context_.settings && !context_.settings->exercise.LangFileName.empty()) {
            const QFileInfo lang(QtFromPath(context_.settings->LangFilePath()));
            suggested = lang.absolutePath() + "/" + lang.completeBaseName() + "-progress.png";
        }
        QString caption = Text(kTextSavePicture);
        caption.remove(QChar(0x2026));
        path = QFileDialog::getSaveFileName(this, caption, suggested, "PNG (*.png)");
    }
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".png";
    SavePicture(path);
}

bool TProgressWnd::SavePicture(const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    charts_->grab().save(&buffer, "PNG");
    const byteArray bytes(png.begin(), png.end());
    const TFileResult written = WriteWholeFile(PathFromQt(path), bytes, true);
    if (written.ok())
        return true;
    const std::string reason =
        context_.texts ? FileFaultText(written, *context_.texts) : written.reason;
    const std::string text =
        FillText(context_.texts ? context_.texts->GetText(kTextSaveFailed) : kMissingText,
                 {DisplayPath(PathFromQt(path)), reason});
    showMessage(Text(kTextTitle), QtFromCp1252(text), kMbIconWarning | kMbOk, true, this);
    return false;
}

void TProgressWnd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace lexaro
