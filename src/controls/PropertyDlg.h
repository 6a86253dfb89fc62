#pragma once

#include "app/ChildWindows.h"
#include "app/WindowContext.h"
#include "controls/PropertyLogic.h"

#include <QDialog>
#include <QList>
#include <QPixmap>

#include <functional>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace lexaro {

class TFontTabSheet;
class TVoiceTabSheet;

// The general settings dialog: how the exercise presents cards and solutions, the card font,
// and a voice for each language. Saving copies every value into the settings in memory (the
// file is written when the program ends); closing otherwise changes nothing. Its decisions
// live in TPropertyDlgModel; the dialog renders them and hands the learner's changes over.
class TDlgProperty : public QDialog, public ISettingsDialog {
    Q_OBJECT
public:
    TDlgProperty(const TWindowContext& context, QWidget* owner = nullptr);
    ~TDlgProperty() override;

    int exec() override;
    // Closing by any way marks the pages as closing first, so that none fills itself during
    // the teardown.
    void done(int result) override;

    // Stores every value, in the dialog's order, then closes.
    void btnSaveClick();
    void btnCloseClick();
    void btnHelpClick();
    // What the general page shows now.
    TGeneralPageState GeneralState() const;
    const TPropertyDlgModel& Model() const { return *model_; }

    // Controls, named as the program's help and tests know them.
    QWidget* dlgPanel = nullptr;
    QFrame* btnPanel = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnHelp = nullptr;
    QTabWidget* tabsheetControl = nullptr;
    QWidget* tabGeneral = nullptr;
    QGroupBox* presentBox = nullptr;
    QRadioButton* rbManualPresent = nullptr;
    QRadioButton* rbAutoPresent = nullptr;
    QRadioButton* rbWritePresent = nullptr;
    QCheckBox* cbIgnoreAccents = nullptr;
    QCheckBox* cbCommaSeparates = nullptr;
    QCheckBox* cbPrioritiesFromAnswers = nullptr;
    QSlider* trbDelayPresent = nullptr;
    QLabel* labelPresentDelay = nullptr;
    QGroupBox* rbVoicePresent = nullptr;
    QButtonGroup* rbVoicePresentItems = nullptr;
    QGroupBox* answerBox = nullptr;
    QCheckBox* cbVoice = nullptr;
    QCheckBox* cbLetter = nullptr;
    QSlider* trbDelayAnswer = nullptr;
    QLabel* labelAnswerDelay = nullptr;
    QGroupBox* generalBox = nullptr;
    QCheckBox* cbShowTable = nullptr;
    QLabel* labelCodePage = nullptr;
    QComboBox* cmbCodePage = nullptr;
    TFontTabSheet* fontPage = nullptr;
    TVoiceTabSheet* voicePage1 = nullptr;
    TVoiceTabSheet* voicePage2 = nullptr;
    // The colour table's swatches, 31 by 12, in its order.
    QList<QPixmap> colorList;

private:
    void buildForm();
    QWidget* buildGeneralPage();
    void applyTexts();
    void loadValues();
    void autoPresentClick();
    void delayChanged();

    std::shared_ptr<TPropertyDlgModel> model_;
    std::function<void(int)> showHelp_;
    std::string presentPrefix_;
    std::string answerPrefix_;
};

// The factory the main window gets: a new dialog for one use.
std::unique_ptr<ISettingsDialog> MakeSettingsDialog(const TWindowContext& context, QWidget* owner);

} // namespace lexaro
