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
#include <QBarSeries>
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
#include <QScatterSeries>
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
constexpr int kTextDueTitle = 236;
constexpr int kTextDueNow = 237;
constexpr int kTextToday = 238;
constexpr int kTextTomorrow = 239;
constexpr int kTextPairsDue = 240;
constexpr int kTextDueNowSummary = 241;
constexpr int kTextLessonDue = 242;
constexpr int kTextNothingDue = 243;
constexpr int kTextHelp = 12;
constexpr int kTextClose = 159;

// Colours of the four states: waiting, practised, held back, retired.
const QColor kStateColours[4] = {QColor(0xA9, 0xCB, 0xEF), QColor(0x3D, 0x7C, 0xC9),
                                 QColor(0xF2, 0xB3, 0x3D), QColor(0xB8, 0xBE, 0xC6)};
// The colour of what is due, in the lessons' chart and the days ahead.
const QColor kDueColour(0xC6, 0x3B, 0x2E);
// The lessons the line "Due now" names; the others are left to the chart.
constexpr std::size_t kDueLessonsNamed = 8;

QString Number(std::int64_t n) {
    return QString::number(n);
}

// A day's label on the axis: day and month in the UI language ("11 Dec", "11. Dez.").
QString ShortDay(std::int32_t day, const std::string& language) {
    const QDate date = QDate(1970, 1, 1).addDays(day);
    return language == "DE" ? QLocale(QLocale::German).toString(date, "d. MMM")
                            : QLocale(QLocale::English).toString(date, "d MMM");
}

// A count from 0 up to at least most, with whole numbers at the ticks (a small range would
// otherwise be cut in halves, each labelled with the same whole number).
void CountAxis(QValueAxis& axis, std::int64_t most) {
    axis.setLabelFormat("%d");
    axis.setRange(0, static_cast<qreal>(std::max<std::int64_t>(most, 1)));
    if (most <= 4)
        axis.setTickCount(static_cast<int>(std::max<std::int64_t>(most, 1)) + 1);
    else
        axis.applyNiceNumbers();
}

// A chart with narrow margins: three share the window.
QChart* NewChart() {
    auto* chart = new QChart;
    chart->setMargins(QMargins(8, 4, 8, 4));
    return chart;
}

// A day ahead on the axis after today, in two short lines: weekday and day ("Sun" over "13",
// "So." over "13."). Fifteen days side by side leave no room for "Tomorrow" in every language:
// the hover text says it.
QString DayAhead(std::int32_t day, const std::string& language) {
    const QDate date = QDate(1970, 1, 1).addDays(day);
    const bool german = language == "DE";
    const QLocale locale(german ? QLocale::German : QLocale::English);
    return "<center>" + locale.dayName(date.dayOfWeek(), QLocale::ShortFormat) + "<br>" +
           QString::number(date.day()) + (german ? "." : "") + "</center>";
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
    resize(900, 800);
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
    dueView = new QChartView(new QChart, charts_);
    dueView->setObjectName("dueView");
    dueView->setRenderHint(QPainter::Antialiasing);
    // The charts are looked at, not operated: keys go to the buttons.
    lessonsView->setFocusPolicy(Qt::NoFocus);
    daysView->setFocusPolicy(Qt::NoFocus);
    dueView->setFocusPolicy(Qt::NoFocus);
    dueLabel = new QLabel(charts_);
    dueLabel->setObjectName("dueLabel");
    dueLabel->setWordWrap(true);
    dueLabel->setContentsMargins(8, 0, 8, 4);
    summaryLabel = new QLabel(charts_);
    summaryLabel->setObjectName("summaryLabel");
    summaryLabel->setWordWrap(true);
    summaryLabel->setContentsMargins(8, 0, 8, 4);
    // What is now and what comes due, then what was practised.
    chartsLayout->addWidget(lessonsView, 4);
    chartsLayout->addWidget(dueView, 3);
    chartsLayout->addWidget(dueLabel);
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
    DrawDue();
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
                               std::chrono::floor<std::chrono::seconds>(now), LocalUtcOffset,
                               settings.general.DueTarget / 100.0);
    }
    DrawLessons();
    DrawDue();
    DrawDays();
}

void TProgressWnd::ShowHover(const QString& text) {
    hoverLabel->setText(text);
    if (!text.isEmpty())
        QToolTip::showText(QCursor::pos(), text, this);
}

std::int32_t TProgressWnd::DueNowIn(std::int32_t lesson) const {
    const auto found = report_.due.lessons.find(lesson);
    return found == report_.due.lessons.end() ? 0 : found->second;
}

QString TProgressWnd::LessonHoverText(int index) const {
    const auto& lessons = report_.figures.lessons;
    if (index < 0 || index >= static_cast<int>(lessons.size()))
        return {};
    const TLessonFigures& f = lessons[static_cast<std::size_t>(index)];
    return Text(kTextLesson) + " " + Number(f.lesson) + ":  " + Text(kTextWaiting) + " " +
           Number(f.waiting) + ",  " + Text(kTextPractised) + " " + Number(f.practised) + ",  " +
           Text(kTextHeldBack) + " " + Number(f.heldBack) + ",  " + Text(kTextRetired) + " " +
           Number(f.retired) + ",  " + Text(kTextDueNow) + " " + Number(DueNowIn(f.lesson));
}

QString TProgressWnd::DueHoverText(int index) const {
    const TDueForecast& due = report_.due;
    if (index < 0 || index >= static_cast<int>(due.days.size()))
        return {};
    QString text = QString::fromStdString(FormatDay(due.today + index));
    if (index <= 1)
        text += " (" + Text(index == 0 ? kTextToday : kTextTomorrow) + ")";
    text += ":  " + Text(kTextPairsDue) + " " + Number(due.days[static_cast<std::size_t>(index)]);
    // Today's pairs are those due now and those due later today.
    if (index == 0)
        text += ",  " + Text(kTextDueNow) + " " + Number(due.DueNow());
    return text;
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
    auto* chart = NewChart();
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
    // The pairs due now are in the states above as well: a marker at their number, not a bar.
    auto* due = new QScatterSeries;
    due->setName(Text(kTextDueNow));
    due->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    due->setMarkerSize(12);
    due->setColor(kDueColour);
    due->setBorderColor(Qt::white);
    connect(due, &QScatterSeries::hovered, this, [this](const QPointF& point, bool on) {
        ShowHover(on ? LessonHoverText(static_cast<int>(std::lround(point.x()))) : QString());
    });
    QStringList categories;
    int most = 0;
    for (const TLessonFigures& f : report_.figures.lessons) {
        const std::int32_t dueNow = DueNowIn(f.lesson);
        if (dueNow > 0)
            due->append(static_cast<qreal>(categories.size()), dueNow);
        sets[0]->append(f.waiting);
        sets[1]->append(f.practised);
        sets[2]->append(f.heldBack);
        sets[3]->append(f.retired);
        categories << Number(f.lesson);
        most = std::max(most, f.Total());
    }
    chart->addSeries(series);
    chart->addSeries(due);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setTitleText(Text(kTextLesson));
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    due->attachAxis(x);
    auto* y = new QValueAxis;
    CountAxis(*y, most);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    due->attachAxis(y);
    QChart* old = lessonsView->chart();
    lessonsView->setChart(chart);
    delete old;
}

void TProgressWnd::DrawDue() {
    const TDueForecast& forecast = report_.due;
    const std::string language = context_.texts ? context_.texts->Language() : std::string();
    auto* chart = NewChart();
    chart->setTitle(Text(kTextDueTitle));
    // One series, named by the title.
    chart->legend()->hide();
    auto* pairs = new QBarSet(Text(kTextPairsDue));
    pairs->setColor(kDueColour);
    pairs->setBorderColor(kDueColour.darker(130));
    auto* bars = new QBarSeries;
    bars->setBarWidth(0.7);
    bars->append(pairs);
    connect(pairs, &QBarSet::hovered, this,
            [this](bool on, int index) { ShowHover(on ? DueHoverText(index) : QString()); });
    QStringList categories;
    std::int32_t most = 0;
    for (std::size_t i = 0; i < forecast.days.size(); ++i) {
        pairs->append(forecast.days[i]);
        most = std::max(most, forecast.days[i]);
        const auto day = forecast.today + static_cast<std::int32_t>(i);
        categories << (i == 0 ? Text(kTextToday) : DayAhead(day, language));
    }
    chart->addSeries(bars);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    // Fifteen days side by side: their names a little smaller than the other charts' labels.
    QFont small = x->labelsFont();
    small.setPointSizeF(small.pointSizeF() - 1);
    x->setLabelsFont(small);
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    auto* y = new QValueAxis;
    CountAxis(*y, most);
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(y);
    QChart* old = dueView->chart();
    dueView->setChart(chart);
    delete old;

    // "Due now: 16 pair(s) (lesson 3: 12, lesson 5: 4)", the first lessons named.
    const std::int32_t dueNow = forecast.DueNow();
    if (dueNow == 0) {
        dueLabel->setText(Text(kTextNothingDue));
        return;
    }
    const std::string lessonDue =
        context_.texts ? context_.texts->GetText(kTextLessonDue) : std::string(kMissingText);
    std::string lessons;
    std::size_t named = 0;
    for (const auto& [lesson, count] : forecast.lessons) {
        if (named++ == kDueLessonsNamed) {
            lessons += ", \x85"; // an ellipsis in the texts' code page
            break;
        }
        lessons += (lessons.empty() ? "" : ", ") +
                   FillText(lessonDue, {std::to_string(lesson), std::to_string(count)});
    }
    dueLabel->setText(QtFromCp1252(
        FillText(context_.texts ? context_.texts->GetText(kTextDueNowSummary) : kMissingText,
                 {std::to_string(dueNow), lessons})));
}

void TProgressWnd::DrawDays() {
    const TProgressFigures& figures = report_.figures;
    auto* chart = NewChart();
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
    CountAxis(*y, most);
    y->setTitleText(Text(kTextCards));
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(y);
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat("%d%%");
    percent->setTitleText(Text(kTextTypedRight));
    // The grid follows the cards' axis; a second one would cross it.
    percent->setGridLineVisible(false);
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
