#pragma once

// The exercise window: the learner's cards on their table, the state of the run, START, STOP
// and Next, the ten priority buttons, the table of the run, and in Write mode the answer field
// with the verdict under the table. It decides nothing: every
// action and timer tick goes to TExerciseRun, which tells the window what to show through
// IExerciseView; the cards are drawn by TCardGraphics on a TQtCardCanvas.
//
// It joins the main window as its IExerciseWindow (app/ChildWindows.h); the program installs
// MakeExerciseWindow as the main window's factory.

#include "app/ChildWindows.h"
#include "exercise/ExerciseRun.h"
#include "exercise/GraphicOutput.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QButtonGroup;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QTreeWidget;

namespace lexaro {

class TQtCardCanvas;

// The card picture for a pixel density: 290 x 140 up to 110 pixels per inch, 362 x 175 from
// 111 to 130, 435 x 210 above.
TCardSize CardPictureSizeFor(int pixelsPerInch);

// The card table's pictures for a pixel density: the background at the size of the table
// (CardTableLayout), and the card lying on it, so that the card's shadow and rounded corners
// show the table beneath them where the card comes to rest.
struct TCardTablePictures {
    TCardTableLayout layout;
    QImage background;
    QImage card;
};
TCardTablePictures MakeCardTablePictures(int pixelsPerInch);

// The table the cards lie on: shows the canvas's window picture.
class TCardTableView final : public QWidget {
    Q_OBJECT
public:
    explicit TCardTableView(QWidget* parent);
    void SetCanvas(const TQtCardCanvas* canvas) { canvas_ = canvas; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TQtCardCanvas* canvas_ = nullptr;
};

// The run's context from the main window's: the settings' records (sharing the settings
// object, so they live as long as the run needs them), the language file, speech through the
// program's engine, the texts and the main window's services.
TExerciseRunContext ExerciseRunContextOf(const TWindowContext& context);

class TExerciseDlg final : public QWidget, public IExerciseWindow, private IExerciseView {
    Q_OBJECT
public:
    // pixelsPerInch: the density the window and its card table are laid out for; 0 takes the
    // screen's logical density, as fitFormToScreen does. showHelp opens a help context (F1).
    TExerciseDlg(TExerciseRunContext context, std::function<void(int)> showHelp, QWidget* owner,
                 int pixelsPerInch = 0);
    ~TExerciseDlg() override;

    // IExerciseWindow
    void ShowExercise() override;
    bool IsExerciseVisible() const override;
    void CloseExercise() override;
    void ApplyTexts() override;

    TExerciseRun& Run() { return *run_; }
    const TQtCardCanvas& Canvas() const { return *canvas_; }
    const TCardGraphics& Cards() const { return *cards_; }
    int PixelsPerInch() const { return ppi_; }

    // Controls, named as the help and the tests know them.
    QGroupBox* stateBox = nullptr;
    QLabel* labelMode = nullptr;
    QLabel* modeValue = nullptr;
    QLabel* labelState = nullptr;
    QLabel* stateValue = nullptr;
    QLabel* labelWNbr = nullptr;
    QLabel* wNbrValue = nullptr;
    TCardTableView* groundImage = nullptr;
    QTreeWidget* exerciseList = nullptr;
    // Write mode: the answer field and the verdict under the card table.
    QLineEdit* answerEdit = nullptr;
    QLabel* verdictLabel = nullptr;
    QGroupBox* btnBox = nullptr;
    QPushButton* btnRun = nullptr;
    QPushButton* btnStop = nullptr;
    QPushButton* btnNext = nullptr;
    QGroupBox* prioBox = nullptr;
    std::array<QRadioButton*, 10> rbPrio{};
    QButtonGroup* prioGroup = nullptr;
    QTimer* timerPresentDelay = nullptr;
    QTimer* timerAnswerDelay = nullptr;
    QTimer* timerGraphic = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    // True when the run used the key.
    bool HandleKey(const QKeyEvent& event);
    void TableSelectionChanged();
    // The answer strip shown or not, and everything below it moved to make room.
    void PlaceAnswerStrip();
    // The run table's column headers for the columns it has now.
    void SetTableHeaders();
    QTimer* TimerOf(TExerciseTimer timer) const;

    // IExerciseView
    void SetTimerInterval(TExerciseTimer timer, std::int32_t ms) override;
    std::int32_t TimerInterval(TExerciseTimer timer) const override;
    void SetTimerEnabled(TExerciseTimer timer, bool enabled) override;
    bool TimerEnabled(TExerciseTimer timer) const override;
    void SetUpCard() override;
    void ReleaseCard() override;
    void ResetCard() override;
    bool WipeStep() override;
    void ClearCardLine(std::int32_t line) override;
    void SetCardFont(const TFontProperty& font) override;
    void StartFlyIn() override;
    std::int32_t FlyInFrame() override;
    bool WriteCardText(const std::string& text, std::int32_t line, bool allAtOnce) override;
    void PrepareCardText(const std::string& text, std::int32_t line) override;
    void SetCodePage(const TCodePage& page) override;
    void SetTexts(const TExerciseTexts& texts) override;
    void SetModeText(const std::string& text) override;
    void SetStateText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void SetButtons(const TExerciseButtons& buttons) override;
    void CheckPriority(std::int32_t priority) override;
    void FocusPriority(std::int32_t priority) override;
    void ClearTable() override;
    void AddTableRow(const std::string& presented, const std::string& solution) override;
    void HideTable() override;
    void ShowTable() override;
    void FocusTable() override;
    void ShowAnswerField(bool shown) override;
    std::string AnswerText() const override;
    void OpenAnswer() override;
    void ClearAnswer() override;
    void FocusAnswer() override;
    void ShowVerdict(const TAnswerView& verdict) override;
    void SetTableAnswer(std::int32_t row, const std::string& typed, const std::string& verdict,
                        bool right) override;
    bool AskYesNo(const std::string& caption, const std::string& text, bool beep) override;
    void CloseWindow() override;

    int ppi_ = 96;
    // The window's own scale as fitFormToScreen applies it, as a fraction of 100.
    int percent_ = 100;
    // True when the window had to be cut to the screen and scrolls its client.
    bool cutToScreen_ = false;
    TCardTablePictures pictures_;
    std::function<void(int)> showHelp_;
    std::unique_ptr<TQtCardCanvas> canvas_;
    std::unique_ptr<TCardGraphics> cards_;
    std::unique_ptr<TExerciseRun> run_;
    // Write mode's answer strip is shown; the card table's place at the window's scale.
    bool answerShown_ = false;
    // The empty field's hint while it takes an answer.
    QString answerHint_;
    // Write mode: how a priority is chosen while an answer is typed (the priorities' hint).
    QString priorityHint_;
    // The run table's answer column for an empty answer, and its column headers.
    QString noAnswer_;
    std::array<QString, 6> columns_;
    QRect tableRect_;
    // The code page of the card's and the table's texts.
    const TCodePage* page_ = &TCodePage::Western();
};

// The main window's factory for the exercise window.
std::unique_ptr<IExerciseWindow> MakeExerciseWindow(const TWindowContext& context, QWidget* owner);

} // namespace lexaro
