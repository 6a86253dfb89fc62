#include "controls/PropertyDlg.h"

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/HelpContexts.h"
#include "app/HelpWindow.h"
#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "controls/T_FontTabSheet.h"
#include "controls/T_VoiceTabSheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lexaro {

namespace {

constexpr int kFormWidth = 396;
constexpr int kFormHeight = 400;
constexpr int kButtonBarHeight = 41;
constexpr int kButtonSize = 26;
constexpr int kSwatchWidth = 31;
constexpr int kSwatchHeight = 12;

QPushButton* flatButton(QWidget* parent, const char* name, const char* image) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setFlat(true);
    // Enter on the focused button presses it.
    button->setAutoDefault(true);
    button->setIcon(QIcon(QStringLiteral(":/images/") + image));
    button->setIconSize(QSize(kButtonSize - 8, kButtonSize - 8));
    button->setFixedSize(kButtonSize, kButtonSize);
    return button;
}

QSlider* delayBar(QWidget* parent, const char* name) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(kDelayMin, kDelayMax);
    bar->setValue(5);
    bar->setTickInterval(1);
    bar->setTickPosition(QSlider::TicksBothSides);
    bar->setSingleStep(1);
    bar->setPageStep(5);
    return bar;
}

QList<QPixmap> colourSwatches() {
    QList<QPixmap> swatches;
    for (int i = 0; i < kFontColourCount; ++i) {
        QPixmap swatch(kSwatchWidth, kSwatchHeight);
        swatch.fill(QColor::fromRgb(FontColourRgb(i)));
        // A thin frame, so that the light colours stand out from a white list.
        QPainter painter(&swatch);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(0, 0, kSwatchWidth - 1, kSwatchHeight - 1);
        swatches.append(swatch);
    }
    return swatches;
}

} // namespace

TDlgProperty::TDlgProperty(const TWindowContext& context, QWidget* owner)
    : QDialog(owner), showHelp_(context.showHelp) {
    EnsureResources();
    setObjectName("TDlgProperty");
    // A title bar with the system menu only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    model_ = std::make_shared<TPropertyDlgModel>(context.settings, context.texts, context.speech);
    presentPrefix_ = answerPrefix_ = kDelayPrefix;
    colorList = colourSwatches();
    buildForm();
    applyTexts();
    loadValues();
    // The keyboard starts at the presentation mode, not at the close button of the bar.
    (rbWritePresent->isChecked()  ? rbWritePresent
     : rbAutoPresent->isChecked() ? rbAutoPresent
                                  : rbManualPresent)
        ->setFocus();

    SetHelpContext(*this, kHelpSettings);
    InstallHelpKey(*this, [this](int helpContext) {
        if (showHelp_)
            showHelp_(helpContext);
    });

    // Sized to its contents (at least the form's size), fitted to the screen and centred. The
    // layouts still hold the sizes from before the texts and the code page list were filled
    // (the list's names were cut in English): every size is asked for anew.
    for (QWidget* child : findChildren<QWidget*>())
        child->updateGeometry();
    for (QLayout* each : findChildren<QLayout*>())
        each->invalidate();
    adjustSize();
    resize(std::max(width(), kFormWidth), std::max(height(), kFormHeight));
    fitFormToScreen(*this, true, true, true);
    greySizeItem(*this);
}

TDlgProperty::~TDlgProperty() {
    if (model_)
        model_->MarkClosing();
}

void TDlgProperty::buildForm() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    dlgPanel = new QWidget(this);
    dlgPanel->setObjectName("dlgPanel");
    outer->addWidget(dlgPanel);

    auto* panelLayout = new QVBoxLayout(dlgPanel);
    panelLayout->setContentsMargins(7, 7, 7, 7);
    panelLayout->setSpacing(6);
    btnPanel = new QFrame(dlgPanel);
    btnPanel->setObjectName("btnPanel");
    btnPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    btnPanel->setFixedHeight(kButtonBarHeight);
    auto* buttons = new QHBoxLayout(btnPanel);
    buttons->setContentsMargins(6, 0, 6, 0);
    buttons->setSpacing(1);
    btnClose = flatButton(btnPanel, "btnClose", "close.svg");
    btnSave = flatButton(btnPanel, "btnSave", "save.svg");
    btnHelp = flatButton(btnPanel, "btnHelp", "help.svg");
    // Enter saves wherever the focus stands, unless the focused control answers Enter itself
    // (a focused button presses itself); Escape closes without saving.
    btnSave->setDefault(true);
    buttons->addWidget(btnClose);
    buttons->addWidget(btnSave);
    buttons->addStretch(1);
    buttons->addWidget(btnHelp);
    panelLayout->addWidget(btnPanel);

    tabsheetControl = new QTabWidget(dlgPanel);
    // Every page's tab stays in sight: the dialog grows to them (the German captions are
    // longer) instead of hiding some behind scroll arrows.
    tabsheetControl->setUsesScrollButtons(false);
    tabsheetControl->tabBar()->setElideMode(Qt::ElideNone);
    tabsheetControl->setObjectName("tabsheetControl");
    panelLayout->addWidget(tabsheetControl, 1);

    tabGeneral = buildGeneralPage();
    tabsheetControl->addTab(tabGeneral, "tabGeneral");
    fontPage = new TFontTabSheet(tabsheetControl, colorList, model_);
    voicePage1 = new TVoiceTabSheet(tabsheetControl, model_, 0);
    voicePage2 = new TVoiceTabSheet(tabsheetControl, model_, 1);
    tabsheetControl->addTab(fontPage, QtFromCp1252(model_->FontPageCaption()));
    tabsheetControl->addTab(voicePage1, QtFromUtf8(model_->VoicePageCaption(0)));
    tabsheetControl->addTab(voicePage2, QtFromUtf8(model_->VoicePageCaption(1)));

    connect(btnClose, &QPushButton::clicked, this, &TDlgProperty::btnCloseClick);
    connect(btnSave, &QPushButton::clicked, this, &TDlgProperty::btnSaveClick);
    connect(btnHelp, &QPushButton::clicked, this, &TDlgProperty::btnHelpClick);
}

QWidget* TDlgProperty::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName("tabGeneral");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(9, 9, 9, 9);
    layout->setSpacing(8);

    presentBox = new QGroupBox(" Presentation ", page);
    presentBox->setObjectName("presentBox");
    auto* present = new QGridLayout(presentBox);
    present->setHorizontalSpacing(10);
    rbManualPresent = new QRadioButton("Manual", presentBox);
    rbManualPresent->setObjectName("rbManualPresent");
    rbAutoPresent = new QRadioButton("Automatic", presentBox);
    rbAutoPresent->setObjectName("rbAutoPresent");
    rbAutoPresent->setChecked(true);
    rbWritePresent = new QRadioButton("Write", presentBox);
    rbWritePresent->setObjectName("rbWritePresent");
    auto* modes = new QHBoxLayout;
    modes->addWidget(rbManualPresent);
    modes->addWidget(rbAutoPresent);
    modes->addWidget(rbWritePresent);
    modes->addStretch(1);
    present->addLayout(modes, 0, 0, 1, 2);
    // Write mode's ticks, indented under the modes: they work only with it.
    cbIgnoreAccents = new QCheckBox("Ignore accents", presentBox);
    cbIgnoreAccents->setObjectName("cbIgnoreAccents");
    cbPrioritiesFromAnswers = new QCheckBox("Set priorities from my answers", presentBox);
    cbPrioritiesFromAnswers->setObjectName("cbPrioritiesFromAnswers");
    cbCommaSeparates = new QCheckBox("A comma separates alternatives", presentBox);
    cbCommaSeparates->setObjectName("cbCommaSeparates");
    auto* writeTicks = new QGridLayout;
    writeTicks->setContentsMargins(18, 0, 0, 0);
    writeTicks->setVerticalSpacing(2);
    writeTicks->addWidget(cbPrioritiesFromAnswers, 0, 0);
    writeTicks->addWidget(cbIgnoreAccents, 0, 1);
    writeTicks->addWidget(cbCommaSeparates, 1, 0, 1, 2);
    writeTicks->setColumnStretch(2, 1);
    present->addLayout(writeTicks, 1, 0, 1, 2);
    trbDelayPresent = delayBar(presentBox, "trbDelayPresent");
    labelPresentDelay = new QLabel("Delay : ", presentBox);
    labelPresentDelay->setObjectName("labelPresentDelay");
    present->addWidget(trbDelayPresent, 2, 0);
    present->addWidget(labelPresentDelay, 2, 1);

    rbVoicePresent = new QGroupBox(" Voice output ", presentBox);
    rbVoicePresent->setObjectName("rbVoicePresent");
    rbVoicePresentItems = new QButtonGroup(rbVoicePresent);
    auto* voiceItems = new QVBoxLayout(rbVoicePresent);
    voiceItems->setSpacing(2);
    const char* const items[] = {"Voice OFF", "Voice without text", "Voice and text"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(items[i], rbVoicePresent);
        item->setObjectName(QStringLiteral("rbVoicePresent%1").arg(i));
        rbVoicePresentItems->addButton(item, i);
        voiceItems->addWidget(item);
    }
    rbVoicePresentItems->button(0)->setChecked(true);
    present->addWidget(rbVoicePresent, 3, 0, 1, 2);
    present->setColumnStretch(0, 1);
    layout->addWidget(presentBox);

    answerBox = new QGroupBox(" Solution ", page);
    answerBox->setObjectName("answerBox");
    auto* answer = new QGridLayout(answerBox);
    answer->setHorizontalSpacing(10);
    cbVoice = new QCheckBox("Voice output ON", answerBox);
    cbVoice->setObjectName("cbVoice");
    cbLetter = new QCheckBox("Letter by Letter", answerBox);
    cbLetter->setObjectName("cbLetter");
    auto* checks = new QHBoxLayout;
    checks->addWidget(cbVoice);
    checks->addWidget(cbLetter);
    checks->addStretch(1);
    answer->addLayout(checks, 0, 0, 1, 2);
    trbDelayAnswer = delayBar(answerBox, "trbDelayAnswer");
    labelAnswerDelay = new QLabel("Delay : ", answerBox);
    labelAnswerDelay->setObjectName("labelAnswerDelay");
    answer->addWidget(trbDelayAnswer, 1, 0);
    answer->addWidget(labelAnswerDelay, 1, 1);
    answer->setColumnStretch(0, 1);
    layout->addWidget(answerBox);

    generalBox = new QGroupBox(" General ", page);
    generalBox->setObjectName("generalBox");
    auto* general = new QVBoxLayout(generalBox);
    cbShowTable = new QCheckBox("Show exercise Table", generalBox);
    cbShowTable->setObjectName("cbShowTable");
    cbShowTable->setChecked(true);
    general->addWidget(cbShowTable);
    auto* codePageRow = new QHBoxLayout;
    labelCodePage = new QLabel("Code page of the language files :", generalBox);
    labelCodePage->setObjectName("labelCodePage");
    cmbCodePage = new QComboBox(generalBox);
    cmbCodePage->setObjectName("cmbCodePage");
    cmbCodePage->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    labelCodePage->setBuddy(cmbCodePage);
    codePageRow->addWidget(labelCodePage);
    codePageRow->addWidget(cmbCodePage);
    codePageRow->addStretch(1);
    general->addLayout(codePageRow);
    layout->addWidget(generalBox);
    layout->addStretch(1);

    connect(rbAutoPresent, &QRadioButton::toggled, this, &TDlgProperty::autoPresentClick);
    connect(rbWritePresent, &QRadioButton::toggled, this, &TDlgProperty::autoPresentClick);
    connect(trbDelayPresent, &QSlider::valueChanged, this, &TDlgProperty::delayChanged);
    connect(trbDelayAnswer, &QSlider::valueChanged, this, &TDlgProperty::delayChanged);
    return page;
}

void TDlgProperty::applyTexts() {
    namespace t = property_text;
    const auto text = [this](std::int32_t number) { return QtFromCp1252(model_->Text(number)); };
    const auto blanked = [this](std::int32_t number) {
        return QtFromCp1252(model_->BlankedText(number));
    };
    setWindowTitle(text(t::kCaption));
    const auto withKey = [this](std::int32_t hint, std::int32_t key) {
        return QtFromCp1252(HintWithKey(model_->Text(hint), model_->Text(key)));
    };
    btnClose->setToolTip(withKey(t::kCloseHint, key_text::kEscape));
    btnSave->setToolTip(withKey(t::kSaveHint, key_text::kEnter));
    btnHelp->setToolTip(withKey(t::kHelpHint, key_text::kHelp));
    tabsheetControl->setTabText(tabsheetControl->indexOf(tabGeneral), text(t::kGeneral));
    presentBox->setTitle(blanked(t::kPresentation));
    rbManualPresent->setText(text(t::kManual));
    rbAutoPresent->setText(text(t::kAutomatic));
    rbWritePresent->setText(text(t::kWrite));
    rbWritePresent->setToolTip(text(t::kWriteHint));
    cbIgnoreAccents->setText(text(t::kIgnoreAccents));
    cbPrioritiesFromAnswers->setText(text(t::kPrioritiesFromAnswers));
    cbCommaSeparates->setText(text(t::kCommaSeparates));
    cbCommaSeparates->setToolTip(text(t::kCommaSeparatesHint));
    trbDelayPresent->setToolTip(text(t::kDelayPresentHint));
    rbVoicePresent->setTitle(blanked(t::kVoiceOutput));
    rbVoicePresent->setToolTip(text(t::kVoiceOutputHint));
    rbVoicePresentItems->button(0)->setText(text(t::kVoiceOff));
    rbVoicePresentItems->button(1)->setText(text(t::kVoiceWithoutText));
    rbVoicePresentItems->button(2)->setText(text(t::kVoiceAndText));
    answerBox->setTitle(blanked(t::kSolution));
    cbVoice->setText(text(t::kVoiceAnswer));
    cbVoice->setToolTip(text(t::kVoiceAnswerHint));
    cbLetter->setText(text(t::kLetterAnswer));
    cbLetter->setToolTip(text(t::kLetterAnswerHint));
    trbDelayAnswer->setToolTip(text(t::kDelayAnswerHint));
    generalBox->setTitle(blanked(t::kGeneral));
    cbShowTable->setText(text(t::kShowTable));
    cbShowTable->setToolTip(text(t::kShowTableHint));
    labelCodePage->setText(text(t::kCodePage) + " :");
    cmbCodePage->setToolTip(text(t::kCodePageHint));
    {
        const int chosen = cmbCodePage->count() > 0 ? cmbCodePage->currentData().toInt()
                                                    : model_->General().codePage;
        cmbCodePage->clear();
        for (const auto& [number, name] : model_->CodePageChoices())
            cmbCodePage->addItem(QtFromUtf8(name), number);
        cmbCodePage->setCurrentIndex(std::max(0, cmbCodePage->findData(chosen)));
    }
    presentPrefix_ = answerPrefix_ = model_->DelayPrefix();

    // The delay labels keep the width of their longest text, so the bars stand still.
    for (QLabel* label : {labelPresentDelay, labelAnswerDelay}) {
        const QString widest = QtFromCp1252(DelayLabelText(model_->DelayPrefix(), kDelayMax));
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 4);
    }
}

void TDlgProperty::loadValues() {
    const TGeneralPageState& page = model_->General();
    trbDelayPresent->setValue(page.delayPresent);
    trbDelayAnswer->setValue(page.delayAnswer);
    cbVoice->setChecked(page.voiceAnswer);
    cbLetter->setChecked(page.letterAnswer);
    rbAutoPresent->setChecked(page.autoPresent && !page.writeAnswer);
    rbWritePresent->setChecked(page.writeAnswer);
    rbManualPresent->setChecked(!page.autoPresent && !page.writeAnswer);
    cbIgnoreAccents->setChecked(page.ignoreAccents);
    cbPrioritiesFromAnswers->setChecked(page.prioritiesFromAnswers);
    cbCommaSeparates->setChecked(page.commaSeparates);
    rbVoicePresentItems->button(page.voicePresent)->setChecked(true);
    cbShowTable->setChecked(page.showTable);
    cmbCodePage->setCurrentIndex(std::max(0, cmbCodePage->findData(page.codePage)));
    delayChanged();
    autoPresentClick();
}

void TDlgProperty::autoPresentClick() {
    TGeneralPageState page;
    page.autoPresent = rbAutoPresent->isChecked();
    page.writeAnswer = rbWritePresent->isChecked();
    const bool on = page.DelaysEnabled();
    for (QWidget* control : std::initializer_list<QWidget*>{trbDelayPresent, trbDelayAnswer,
                                                            labelPresentDelay, labelAnswerDelay})
        control->setEnabled(on);
    for (QWidget* tick : std::initializer_list<QWidget*>{cbIgnoreAccents, cbPrioritiesFromAnswers,
                                                         cbCommaSeparates})
        tick->setEnabled(page.WriteTicksEnabled());
}

void TDlgProperty::delayChanged() {
    const auto label = [](const std::string& prefix, int seconds) {
        return QtFromCp1252(DelayLabelText(prefix, seconds));
    };
    labelPresentDelay->setText(label(presentPrefix_, trbDelayPresent->value()));
    labelAnswerDelay->setText(label(answerPrefix_, trbDelayAnswer->value()));
}

TGeneralPageState TDlgProperty::GeneralState() const {
    TGeneralPageState page;
    page.delayPresent = trbDelayPresent->value();
    page.voiceAnswer = cbVoice->isChecked();
    page.letterAnswer = cbLetter->isChecked();
    page.autoPresent = rbAutoPresent->isChecked();
    page.writeAnswer = rbWritePresent->isChecked();
    page.ignoreAccents = cbIgnoreAccents->isChecked();
    page.prioritiesFromAnswers = cbPrioritiesFromAnswers->isChecked();
    page.commaSeparates = cbCommaSeparates->isChecked();
    page.delayAnswer = trbDelayAnswer->value();
    page.voicePresent = rbVoicePresentItems->checkedId();
    page.showTable = cbShowTable->isChecked();
    page.codePage = cmbCodePage->currentData().toInt();
    return page;
}

int TDlgProperty::exec() {
    return QDialog::exec();
}

void TDlgProperty::done(int result) {
    model_->MarkClosing();
    QDialog::done(result);
}

void TDlgProperty::btnSaveClick() {
    model_->Save(GeneralState());
    accept();
}

void TDlgProperty::btnCloseClick() {
    reject();
}

void TDlgProperty::btnHelpClick() {
    if (showHelp_)
        showHelp_(kHelpSettings);
}

std::unique_ptr<ISettingsDialog> MakeSettingsDialog(const TWindowContext& context, QWidget* owner) {
    return std::make_unique<TDlgProperty>(context, owner);
}

} // namespace lexaro
