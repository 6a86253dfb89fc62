#pragma once

// The progress window: per lesson a stacked bar of the pairs waiting, practised this cycle,
// held back and retired, with a marker at the pairs due now; under it the pairs coming due
// today and in each of the next 14 days, and the cards practised per day over the last 90 days
// with the share of typed answers judged right. The figures come from the toolkit-free
// LoadProgress (progress/ProgressFigures.h); this window only draws them.

#include "app/ChildWindows.h"
#include "progress/Journal.h"
#include "progress/ProgressFigures.h"

#include <QWidget>

#include <functional>
#include <memory>

class QChart;
class QChartView;
class QLabel;
class QPushButton;

namespace lexaro {

class TProgressWnd : public QWidget, public IProgressWindow {
    Q_OBJECT
public:
    TProgressWnd(TWindowContext context, QWidget* owner);
    ~TProgressWnd() override;

    void ShowProgress() override;
    bool IsProgressVisible() const override { return isVisible(); }
    void ApplyTexts() override;

    // Reads the figures anew (the language file as the main window has it, the settings'
    // lists and the journals) and draws them.
    void Refresh();
    const TProgressReport& Report() const { return report_; }
    // Tests fix the time the window counts its days to.
    void SetClock(TJournalClock clock) { clock_ = std::move(clock); }
    // Where "Save picture…" asks for the file (a file dialog); tests answer instead.
    void SetSavePathAsker(std::function<QString()> ask) { askPath_ = std::move(ask); }
    // Writes the charts as a PNG picture; a failure is reported with the path and the reason.
    bool SavePicture(const QString& path);
    void SavePictureAsked();
    // The numbers of a lesson's bar or of a day, as hovering shows them.
    QString LessonHoverText(int index) const;
    QString DayHoverText(int index) const;
    // The pairs due on a day ahead (0 today), as hovering shows them.
    QString DueHoverText(int index) const;

    QChartView* lessonsView = nullptr;
    QChartView* daysView = nullptr;
    QChartView* dueView = nullptr;
    QLabel* dueLabel = nullptr;
    QLabel* summaryLabel = nullptr;
    QLabel* hoverLabel = nullptr;
    QPushButton* btnSavePicture = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Left for another window, where an exercise or an editor may change what it shows, the
    // window reads the figures anew when the learner comes back to it.
    void changeEvent(QEvent* event) override;

private:
    QString Text(int number) const;
    void BuildForm();
    void DrawLessons();
    void DrawDays();
    void DrawDue();
    // The pairs of a lesson due now.
    std::int32_t DueNowIn(std::int32_t lesson) const;
    void ShowHover(const QString& text);

    TWindowContext context_;
    TJournalClock clock_;
    std::function<QString()> askPath_;
    TProgressReport report_;
    // The learner was in another window since the figures were read.
    bool stale_ = false;
    QWidget* charts_ = nullptr;
};

std::unique_ptr<IProgressWindow> MakeProgressWindow(const TWindowContext& context, QWidget* owner);

} // namespace lexaro
