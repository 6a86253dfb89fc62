// The settings dialog on the offscreen platform with a scripted speech control behind the
// real engine: what each page shows, what saving and closing do, the voice pages' lists,
// ranges and test button, and the dialog opened from the main window.
#include "DialogFixture.h"
#include "FakeSpeech.h"

#include "app/HelpContexts.h"
#include "app/MainWnd.h"
#include "app/MainWndLogic.h"
#include "app/QtText.h"
#include "app_ui/AppFolderFixture.h"
#include "controls/PropertyDlg.h"
#include "controls/T_FontTabSheet.h"
#include "controls/T_MComboBox.h"
#include "controls/T_MHSlider.h"
#include "controls/T_VoiceTabSheet.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace lexaro {
namespace {

using test::FakeSpeech;
using testing::MessageRecorder;

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool Logged(const std::vector<std::string>& log, const std::string& call) {
    return std::find(log.begin(), log.end(), call) != log.end();
}

class PropertyDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<TDlgProperty> Open(std::shared_ptr<TSpeechEngine> engine) {
        auto dialog = std::make_unique<TDlgProperty>(fixture.Context(std::move(engine)));
        dialog->show();
        Settle();
        return dialog;
    }
    std::unique_ptr<TDlgProperty> Open() { return Open(speech.engine); }

    static void ShowPage(TDlgProperty& dialog, QWidget* page) {
        dialog.tabsheetControl->setCurrentWidget(page);
        Settle();
    }

    test::DialogFixture fixture;
    FakeSpeech speech;
    MessageRecorder recorder;
};

TEST_F(PropertyDlgTest, ADelayAboveTwentyShowsAndSavesTwenty) {
    fixture.settings->general.AutoPresent = true;
    fixture.settings->general.DelayPresent = 25;
    fixture.settings->general.DelayAnswer = 3;
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), "General settings - exercise");
    EXPECT_EQ(dialog->trbDelayPresent->value(), 20);
    EXPECT_EQ(dialog->labelPresentDelay->text(), "Delay : 20 s");
    EXPECT_EQ(dialog->labelAnswerDelay->text(), "Delay : 3 s");
    dialog->trbDelayAnswer->setValue(5);
    EXPECT_EQ(dialog->labelAnswerDelay->text(), "Delay : 5 s");
    dialog->btnSave->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(fixture.settings->general.DelayPresent, 20);
    EXPECT_EQ(fixture.settings->general.DelayAnswer, 5);
}

TEST_F(PropertyDlgTest, ManualPresentationDisablesBothDelays) {
    fixture.settings->general.AutoPresent = false;
    auto dialog = Open();
    const std::vector<QWidget*> delays{dialog->trbDelayPresent, dialog->trbDelayAnswer,
                                       dialog->labelPresentDelay, dialog->labelAnswerDelay};
    EXPECT_TRUE(dialog->rbManualPresent->isChecked());
    for (QWidget* delay : delays)
        EXPECT_FALSE(delay->isEnabled()) << delay->objectName().toStdString();
    dialog->rbAutoPresent->click();
    for (QWidget* delay : delays)
        EXPECT_TRUE(delay->isEnabled()) << delay->objectName().toStdString();
    dialog->rbManualPresent->click();
    for (QWidget* delay : delays)
        EXPECT_FALSE(delay->isEnabled()) << delay->objectName().toStdString();
}

// Write beside Manual and Automatic: no delays, its three ticks only with it; saved as
// WriteAnswer with AutoPresent off.
TEST_F(PropertyDlgTest, WriteModeHasItsTicksAndNoDelays) {
    fixture.settings->general.AutoPresent = true;
    auto dialog = Open();
    EXPECT_EQ(dialog->rbWritePresent->text(), "Write");
    EXPECT_FALSE(dialog->rbWritePresent->isChecked());
    EXPECT_FALSE(dialog->cbIgnoreAccents->isEnabled());
    EXPECT_FALSE(dialog->cbPrioritiesFromAnswers->isEnabled());
    EXPECT_FALSE(dialog->cbCommaSeparates->isEnabled());
    EXPECT_TRUE(dialog->cbPrioritiesFromAnswers->isChecked()) << "on by default";
    EXPECT_FALSE(dialog->cbCommaSeparates->isChecked()) << "off by default";
    EXPECT_EQ(dialog->cbCommaSeparates->text(), "A comma separates alternatives");
    EXPECT_TRUE(dialog->cbCommaSeparates->toolTip().contains("1,5"));
    dialog->rbWritePresent->click();
    EXPECT_FALSE(dialog->rbAutoPresent->isChecked());
    EXPECT_FALSE(dialog->trbDelayPresent->isEnabled());
    EXPECT_FALSE(dialog->trbDelayAnswer->isEnabled());
    EXPECT_TRUE(dialog->cbIgnoreAccents->isEnabled());
    EXPECT_TRUE(dialog->cbPrioritiesFromAnswers->isEnabled());
    EXPECT_TRUE(dialog->cbCommaSeparates->isEnabled());
    dialog->cbIgnoreAccents->click();
    dialog->cbPrioritiesFromAnswers->click();
    dialog->cbCommaSeparates->click();
    // Every caption of the page fits: the page holds one row more now.
    for (QWidget* w : std::initializer_list<QWidget*>{
             dialog->rbManualPresent, dialog->rbAutoPresent, dialog->rbWritePresent,
             dialog->cbIgnoreAccents, dialog->cbPrioritiesFromAnswers, dialog->cbCommaSeparates,
             dialog->cbShowTable, dialog->cmbCodePage})
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    if (!qEnvironmentVariableIsEmpty("LEXARO_SCREENSHOT_DIR"))
        dialog->grab().save(qEnvironmentVariable("LEXARO_SCREENSHOT_DIR") +
                            "/settings-general-write-en.png");
    dialog->btnSave->click();
    const TGeneralProperty& g = fixture.settings->general;
    EXPECT_TRUE(g.WriteAnswer);
    EXPECT_FALSE(g.AutoPresent);
    EXPECT_TRUE(g.IgnoreAccents);
    EXPECT_FALSE(g.PrioritiesFromAnswers);
    EXPECT_TRUE(g.CommaSeparates);

    dialog = Open();
    EXPECT_TRUE(dialog->rbWritePresent->isChecked());
    EXPECT_TRUE(dialog->cbCommaSeparates->isChecked());
    EXPECT_EQ(dialog->focusWidget(), dialog->rbWritePresent);
    dialog->rbManualPresent->click();
    EXPECT_FALSE(dialog->cbIgnoreAccents->isEnabled());
    EXPECT_FALSE(dialog->cbCommaSeparates->isEnabled());
    dialog->btnSave->click();
    EXPECT_FALSE(fixture.settings->general.WriteAnswer);
    EXPECT_FALSE(fixture.settings->general.AutoPresent);
}

TEST_F(PropertyDlgTest, EveryGeneralValueIsSaved) {
    auto dialog = Open();
    dialog->rbAutoPresent->click();
    dialog->trbDelayPresent->setValue(12);
    dialog->trbDelayAnswer->setValue(1);
    dialog->rbVoicePresentItems->button(2)->click();
    dialog->cbVoice->setChecked(false);
    dialog->cbLetter->setChecked(true);
    dialog->cbShowTable->setChecked(false);
    dialog->btnSave->click();
    const TGeneralProperty& g = fixture.settings->general;
    EXPECT_TRUE(g.AutoPresent);
    EXPECT_EQ(g.DelayPresent, 12);
    EXPECT_EQ(g.DelayAnswer, 1);
    EXPECT_EQ(g.VoicePresent, 2);
    EXPECT_FALSE(g.VoiceAnswer);
    EXPECT_TRUE(g.LetterAnswer);
    EXPECT_FALSE(g.ShowTable);
}

// The code page of the language files is chosen on the General page by its name; it shows
// the settings' own, is saved with the other values and kept by Close; the voice pages name the
// languages through it.
TEST_F(PropertyDlgTest, TheCodePageIsChosenByNameAndSaved) {
    fixture.settings->CodePage = 1251;
    fixture.settings->exercise.Lang1 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"; // Русский
    auto dialog = Open();
    ASSERT_EQ(dialog->cmbCodePage->count(), 7);
    EXPECT_EQ(dialog->cmbCodePage->currentText(), "Cyrillic (1251)");
    EXPECT_EQ(dialog->tabsheetControl->tabText(2), QString::fromUtf8("Voice Русский"));
    EXPECT_EQ(dialog->labelCodePage->text(), "Code page of the language files :");
    if (!qEnvironmentVariableIsEmpty("LEXARO_SCREENSHOT_DIR"))
        dialog->grab().save(qEnvironmentVariable("LEXARO_SCREENSHOT_DIR") +
                            "/settings-general-code-page-en.png");
    dialog->cmbCodePage->setCurrentIndex(dialog->cmbCodePage->findData(1253));
    dialog->btnClose->click();
    EXPECT_EQ(fixture.settings->CodePage, 1251) << "Close keeps the code page";

    dialog = Open();
    dialog->cmbCodePage->setCurrentIndex(dialog->cmbCodePage->findData(1253));
    dialog->btnSave->click();
    EXPECT_EQ(fixture.settings->CodePage, 1253);
    EXPECT_FALSE(QFile::exists(QtFromPath(fixture.settings->IniPath())))
        << "nothing is written by the change itself";
}

// Unicode (65001) is the last choice of the list in either language, chosen and saved as the
// others; the voice pages name the languages of any script through it.
TEST_F(PropertyDlgTest, UnicodeIsOfferedLastInEitherLanguage) {
    for (const auto& [language, name] :
         {std::pair<const char*, const char*>{"EN", "Unicode (UTF-8)"},
          {"DE", "Unicode (UTF-8)"}}) {
        SCOPED_TRACE(language);
        fixture.SelectTexts(language);
        fixture.settings->CodePage = 65001;
        fixture.settings->exercise.Lang1 = "日本語";
        auto dialog = Open();
        ASSERT_EQ(dialog->cmbCodePage->count(), 7);
        EXPECT_EQ(dialog->cmbCodePage->itemData(6).toInt(), 65001);
        EXPECT_EQ(dialog->cmbCodePage->currentText(), name);
        EXPECT_TRUE(dialog->tabsheetControl->tabText(2).endsWith(QString::fromUtf8(" 日本語")))
            << dialog->tabsheetControl->tabText(2).toStdString();
        if (!qEnvironmentVariableIsEmpty("LEXARO_SCREENSHOT_DIR")) {
            const QString dir = qEnvironmentVariable("LEXARO_SCREENSHOT_DIR");
            const QString suffix = QString::fromLatin1(language).toLower();
            dialog->grab().save(dir + "/settings-code-page-unicode-" + suffix + ".png");
            dialog->cmbCodePage->showPopup();
            Settle();
            dialog->cmbCodePage->view()->window()->grab().save(dir + "/settings-code-page-list-" +
                                                               suffix + ".png");
            dialog->cmbCodePage->hidePopup();
        }
        dialog->cmbCodePage->setCurrentIndex(dialog->cmbCodePage->findData(1252));
        dialog->btnSave->click();
        EXPECT_EQ(fixture.settings->CodePage, 1252);
        dialog = Open();
        dialog->cmbCodePage->setCurrentIndex(dialog->cmbCodePage->findData(65001));
        dialog->btnSave->click();
        EXPECT_EQ(fixture.settings->CodePage, 65001);
    }
}

TEST_F(PropertyDlgTest, ClosingWithoutSavingChangesNothing) {
    fixture.settings->voices[0] = {"Anna (English)", 250, 120};
    const auto close = std::vector<std::function<void(TDlgProperty&)>>{
        [](TDlgProperty& d) { d.btnClose->click(); },
        [](TDlgProperty& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](TDlgProperty& d) { d.close(); },
    };
    for (const auto& how : close) {
        auto dialog = Open();
        dialog->rbAutoPresent->click();
        dialog->cbShowTable->setChecked(false);
        ShowPage(*dialog, dialog->fontPage);
        dialog->fontPage->cbColor->SelectIndex(8);
        ShowPage(*dialog, dialog->voicePage1);
        dialog->voicePage1->cbVoice->SelectIndex(2);
        how(*dialog);
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_FALSE(fixture.settings->general.AutoPresent);
        EXPECT_TRUE(fixture.settings->general.ShowTable);
        EXPECT_EQ(fixture.settings->font.Color, 2);
        EXPECT_EQ(fixture.settings->voices[0].Voice, "Anna (English)");
        EXPECT_EQ(fixture.settings->voices[0].Speed, 250);
    }
}

// Enter saves as the save button does, wherever the focus stands, unless the focused control
// answers Enter itself (a button presses itself, an open list takes its item).
TEST_F(PropertyDlgTest, EnterSavesUnlessTheFocusedControlTakesItItself) {
    const std::vector<std::pair<const char*, std::function<QWidget*(TDlgProperty&)>>> saving{
        {"presentation mode", [](TDlgProperty& d) { return d.rbAutoPresent; }},
        {"check box", [](TDlgProperty& d) { return d.cbShowTable; }},
        {"delay bar", [](TDlgProperty& d) { return d.trbDelayAnswer; }},
        {"tab bar", [](TDlgProperty& d) { return d.tabsheetControl->tabBar(); }},
        {"closed font list",
         [](TDlgProperty& d) {
             ShowPage(d, d.fontPage);
             return d.fontPage->cbSize->InnerBox();
         }},
    };
    for (const auto& [name, focus] : saving) {
        SCOPED_TRACE(name);
        fixture.settings->general.ShowTable = true;
        auto dialog = Open();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        dialog->cbShowTable->setChecked(false);
        QWidget* target = focus(*dialog);
        target->setFocus();
        Settle();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(fixture.settings->general.ShowTable) << "saved";
    }

    // The hints name the keys.
    {
        auto dialog = Open();
        EXPECT_EQ(dialog->btnSave->toolTip(), "Save and close (Enter)");
        EXPECT_EQ(dialog->btnClose->toolTip(), "Close without saving (Esc)");
        EXPECT_EQ(dialog->btnHelp->toolTip(), "Help (F1)");
    }

    // The close button with the focus closes on Enter, without saving.
    fixture.settings->general.ShowTable = true;
    auto dialog = Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    dialog->cbShowTable->setChecked(false);
    dialog->btnClose->setFocus();
    QTest::keyClick(dialog->btnClose, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(fixture.settings->general.ShowTable);
}

TEST_F(PropertyDlgTest, PagesNeverOpenedSaveTheirRecordsUnchanged) {
    fixture.settings->font = {"Courier", 4, 20, 11};
    fixture.settings->voices[0] = {"Anna (English)", 7, 8};
    fixture.settings->voices[1] = {"Gone (Nowhere)", -3, 999};
    auto dialog = Open();
    // Built empty: nothing is filled before a page is shown.
    EXPECT_EQ(dialog->fontPage->cbFont->Count(), 0);
    EXPECT_EQ(dialog->voicePage1->cbVoice->Count(), 0);
    dialog->btnSave->click();
    EXPECT_EQ(fixture.settings->font.Font, "Courier");
    EXPECT_EQ(fixture.settings->font.Style, 4);
    EXPECT_EQ(fixture.settings->font.Color, 20);
    EXPECT_EQ(fixture.settings->font.Size, 11);
    EXPECT_EQ(fixture.settings->voices[0].Speed, 7);
    EXPECT_EQ(fixture.settings->voices[0].Pitch, 8);
    EXPECT_EQ(fixture.settings->voices[1].Voice, "Gone (Nowhere)");
    EXPECT_EQ(fixture.settings->voices[1].Pitch, 999);
    EXPECT_TRUE(speech.log.empty()); // and the engine was not asked anything
}

// The bounding box of the pixels that differ from white.
QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

bool HasColour(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

TEST_F(PropertyDlgTest, FontPageFillsOnFirstShowAndItsPreviewFollowsTheLists) {
    fixture.settings->font = {"Arial", 0, 8, 12};
    auto dialog = Open();
    TFontTabSheet& page = *dialog->fontPage;
    EXPECT_EQ(dialog->tabsheetControl->tabText(1), "Font");
    ShowPage(*dialog, &page);
    EXPECT_EQ(page.cbFont->SelectedText(), "Arial");
    EXPECT_EQ(page.cbSize->SelectedText(), "12");
    EXPECT_EQ(page.cbStyle->SelectedText(), "Normal");
    EXPECT_EQ(page.cbColor->ItemIndex(), 8);
    EXPECT_EQ(page.cbFont->Count(), 5);
    EXPECT_EQ(page.cbSize->Count(), 5);
    EXPECT_EQ(page.cbStyle->Count(), 2);

    // The colour list: 13 swatches of 31 by 12 and no texts.
    ASSERT_EQ(page.cbColor->Count(), 13);
    EXPECT_TRUE(page.cbColor->HasImages());
    EXPECT_EQ(page.cbColor->ItemHeight(), 16);
    for (int i = 0; i < 13; ++i) {
        EXPECT_TRUE(page.cbColor->InnerBox()->itemText(i).isEmpty());
        const QImage swatch = page.cbColor->InnerBox()->itemIcon(i).pixmap(QSize(31, 12)).toImage();
        EXPECT_EQ(swatch.pixel(15, 6) & 0xFFFFFF, FontColourRgb(i)) << i;
    }

    // The preview: red text, centred in the picture; the lists line up in two columns.
    EXPECT_EQ(page.imagePreview->width(), page.width() - 34);
    EXPECT_EQ(page.cbStyle->width(), page.cbFont->width());
    EXPECT_EQ(page.cbSize->x(), page.cbColor->x());
    QImage preview = page.PreviewPicture().toImage();
    EXPECT_TRUE(HasColour(preview, 0xFF0000));
    const QRect ink = Ink(preview);
    EXPECT_NEAR(ink.center().x(), preview.width() / 2, 3);
    EXPECT_NEAR(ink.center().y(), preview.height() / 2, 4);
    EXPECT_NEAR(ink.height(), 12, 4); // the size is a height in pixels

    page.cbColor->SelectIndex(3); // green
    page.cbSize->SelectIndex(4);  // 18
    page.cbStyle->SelectIndex(1); // italic
    preview = page.PreviewPicture().toImage();
    EXPECT_TRUE(HasColour(preview, 0x008000));
    EXPECT_FALSE(HasColour(preview, 0xFF0000));
    EXPECT_GT(Ink(preview).height(), ink.height());

    // A font this system lacks is drawn by a substitute, and serif and sans differ.
    const QImage arial = page.PreviewPicture().toImage();
    page.cbFont->SelectText("MS Serif");
    EXPECT_NE(page.PreviewPicture().toImage(), arial);
    page.cbFont->SelectText("Arial");

    dialog->btnSave->click();
    EXPECT_EQ(fixture.settings->font.Font, "Arial");
    EXPECT_EQ(fixture.settings->font.Size, 18);
    EXPECT_EQ(fixture.settings->font.Style, 1);
    EXPECT_EQ(fixture.settings->font.Color, 3);
}

TEST_F(PropertyDlgTest, TheFontStylesAreNamedInTheUiLanguage) {
    for (const auto& [language, italic] :
         {std::pair<const char*, const char*>{"EN", "Italic"}, {"DE", "Kursiv"}}) {
        fixture.SelectTexts(language);
        fixture.settings->font.Font = "Arial";
        fixture.settings->font.Size = 18;
        fixture.settings->font.Style = 1;
        auto dialog = Open();
        ShowPage(*dialog, dialog->fontPage);
        TFontTabSheet& page = *dialog->fontPage;
        EXPECT_EQ(page.cbStyle->SelectedText(), italic) << language;
        page.cbStyle->SelectIndex(0);
        EXPECT_EQ(page.cbStyle->SelectedText(), "Normal") << language;
        page.cbStyle->SelectIndex(1);
        EXPECT_EQ(dialog->Model().Font().Preview().text,
                  std::string("Arial - ") + italic + " - 18");
        dialog->btnSave->click();
        EXPECT_EQ(fixture.settings->font.Style, 1) << "the settings keep the position";
    }
}

TEST_F(PropertyDlgTest, FontSettingsOutsideTheListsShowAndSaveTheDefaults) {
    fixture.settings->font = {"Wingdings", 9, 40, 13};
    auto dialog = Open();
    ShowPage(*dialog, dialog->fontPage);
    TFontTabSheet& page = *dialog->fontPage;
    EXPECT_EQ(page.cbFont->SelectedText(), "Times New Roman");
    EXPECT_EQ(page.cbStyle->SelectedText(), "Italic");
    EXPECT_EQ(page.cbColor->ItemIndex(), 2);
    EXPECT_EQ(page.cbSize->SelectedText(), "14");
    EXPECT_TRUE(HasColour(page.PreviewPicture().toImage(), 0x0000FF));
    dialog->btnSave->click();
    EXPECT_EQ(fixture.settings->font.Font, "Times New Roman");
    EXPECT_EQ(fixture.settings->font.Style, 1);
    EXPECT_EQ(fixture.settings->font.Color, 2);
    EXPECT_EQ(fixture.settings->font.Size, 14);
}

TEST_F(PropertyDlgTest, VoicePageListsTheEnginesVoicesAtTheirPositions) {
    fixture.settings->voices[0] = {"Anna (English)", 0, 0};
    auto dialog = Open();
    TVoiceTabSheet& page = *dialog->voicePage1;
    EXPECT_EQ(dialog->tabsheetControl->tabText(2), "Voice English");
    EXPECT_EQ(dialog->tabsheetControl->tabText(3), "Voice Deutsch");
    ShowPage(*dialog, &page);
    QComboBox& list = *page.cbVoice->InnerBox();
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.itemText(0), "no Voice");
    EXPECT_EQ(list.itemText(1), "Anna (English)");
    EXPECT_EQ(list.itemText(2), "Karl (German)");
    EXPECT_EQ(list.itemText(3), "Tiny (Test)");
    EXPECT_EQ(list.maxVisibleItems(), 4);
    EXPECT_EQ(page.cbVoice->ItemIndex(), 1);

    // Anna's range 100..300 counts in tens; stored 0 sits at the low ends.
    EXPECT_EQ(page.sliderSpeed->Minimum(), 100);
    EXPECT_EQ(page.sliderSpeed->Maximum(), 300);
    EXPECT_EQ(page.sliderSpeed->TickStep(), 10);
    EXPECT_EQ(page.sliderSpeed->Position(), 100);
    EXPECT_EQ(page.sliderSpeed->ValueLabel()->text(), "Speed : 10 ");
    EXPECT_EQ(page.sliderPitch->Minimum(), 50);
    EXPECT_EQ(page.sliderPitch->Position(), 50);
    EXPECT_EQ(page.sliderPitch->ValueLabel()->text(), "Pitch : 5 ");
    for (QWidget* control : std::initializer_list<QWidget*>{
             page.sliderSpeed, page.sliderPitch, page.btnTest, page.btnDefaults, page.cbVoice})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();

    // Karl, past a foreign mode: the test button speaks his sample with his own mode number.
    page.cbVoice->SelectIndex(2);
    speech.log.clear();
    page.sliderSpeed->Bar()->setValue(300);
    page.btnTest->click();
    EXPECT_TRUE(Logged(speech.log, "Select 3"));
    EXPECT_TRUE(Logged(speech.log, "SetSpeed 300"));
    EXPECT_TRUE(Logged(speech.log, "SetPitch 55"));
    ASSERT_EQ(speech.control->Spoken.size(), 1u);
    EXPECT_EQ(speech.control->Spoken[0], u"Guten Tag.");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PropertyDlgTest, AnotherVoiceAndBackRestoresTheStoredSpeedAndPitch) {
    fixture.settings->voices[1] = {"Anna (English)", 250, 120};
    auto dialog = Open();
    TVoiceTabSheet& page = *dialog->voicePage2;
    ShowPage(*dialog, &page);
    EXPECT_EQ(page.sliderSpeed->Position(), 250);
    EXPECT_EQ(page.sliderPitch->Position(), 120);

    page.cbVoice->SelectIndex(2); // Karl: his ranges and defaults
    EXPECT_EQ(page.sliderSpeed->Minimum(), 80);
    EXPECT_EQ(page.sliderSpeed->Maximum(), 450);
    EXPECT_EQ(page.sliderSpeed->TickStep(), 18);
    EXPECT_EQ(page.sliderSpeed->Position(), 212);
    EXPECT_EQ(page.sliderPitch->Position(), 55);

    page.cbVoice->SelectIndex(3); // Tiny: a range wholly below, narrower than 20
    EXPECT_EQ(page.sliderSpeed->Minimum(), 10);
    EXPECT_EQ(page.sliderSpeed->Maximum(), 25);
    EXPECT_EQ(page.sliderSpeed->TickStep(), 1);
    EXPECT_EQ(page.sliderSpeed->Position(), 14);
    EXPECT_EQ(page.sliderSpeed->ValueLabel()->text(), "Speed : 14 ");

    page.cbVoice->SelectIndex(1); // the stored voice again
    EXPECT_EQ(page.sliderSpeed->Minimum(), 100);
    EXPECT_EQ(page.sliderSpeed->Maximum(), 300);
    EXPECT_EQ(page.sliderSpeed->Position(), 250);
    EXPECT_EQ(page.sliderPitch->Position(), 120);

    page.sliderPitch->Bar()->setValue(90);
    page.btnDefaults->click();
    EXPECT_EQ(page.sliderSpeed->Position(), 160);
    EXPECT_EQ(page.sliderPitch->Position(), 165);
    page.sliderPitch->Bar()->setValue(200);
    dialog->btnSave->click();
    EXPECT_EQ(fixture.settings->voices[1].Voice, "Anna (English)");
    EXPECT_EQ(fixture.settings->voices[1].Speed, 160);
    EXPECT_EQ(fixture.settings->voices[1].Pitch, 200);
}

TEST_F(PropertyDlgTest, TheNoVoiceEntryDisablesSlidersAndButtonsAndIsSaved) {
    fixture.SelectTexts("DE");
    fixture.settings->voices[0] = {"Karl (German)", 200, 40};
    auto dialog = Open();
    TVoiceTabSheet& page = *dialog->voicePage1;
    ShowPage(*dialog, &page);
    page.cbVoice->SelectIndex(0);
    EXPECT_EQ(page.cbVoice->SelectedText(), "keine Stimme");
    for (QWidget* control : std::initializer_list<QWidget*>{page.sliderSpeed, page.sliderPitch,
                                                            page.btnTest, page.btnDefaults})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(page.cbVoice->isEnabled());
    dialog->btnSave->click();
    EXPECT_EQ(fixture.settings->voices[0].Voice, "keine Stimme");
}

TEST_F(PropertyDlgTest, WithoutSpeechEachVoicePageSaysSoOnceAndStaysDisabled) {
    fixture.settings->voices[0] = {"Karl (German)", 200, 40};
    FakeSpeech silent(test::StandardModes(), false); // no audio output: never opens
    for (const auto& engine : {silent.engine, std::shared_ptr<TSpeechEngine>()}) {
        recorder.messages.clear();
        auto dialog = Open(engine);
        for (TVoiceTabSheet* page : {dialog->voicePage1, dialog->voicePage2}) {
            ShowPage(*dialog, page);
            EXPECT_EQ(page->cbVoice->Count(), 1);
            EXPECT_EQ(page->cbVoice->SelectedText(), "no Voice");
            for (QWidget* control : std::initializer_list<QWidget*>{
                     page->cbVoice, page->sliderSpeed, page->sliderPitch, page->btnTest,
                     page->btnDefaults})
                EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        }
        ShowPage(*dialog, dialog->tabGeneral);
        ShowPage(*dialog, dialog->voicePage1); // not again
        ASSERT_EQ(recorder.messages.size(), 2u);
        for (const MessageRequest& message : recorder.messages) {
            EXPECT_EQ(message.caption, "Lexaro");
            EXPECT_EQ(message.text,
                      "No speech output is available.\nVoices cannot be chosen or tried out.");
            EXPECT_EQ(message.style & kMbIconInformation, kMbIconInformation);
        }
        // Nothing could be chosen, so the stored voice stays.
        dialog->btnSave->click();
        EXPECT_EQ(fixture.settings->voices[0].Voice, "Karl (German)");
        EXPECT_EQ(fixture.settings->voices[0].Speed, 200);
    }
}

TEST_F(PropertyDlgTest, ANoticeDueWhileTheDialogClosesIsNotShown) {
    auto dialog = Open(nullptr);
    dialog->tabsheetControl->setCurrentWidget(dialog->voicePage1);
    dialog->btnClose->click(); // before the queued notice ran
    Settle();
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PropertyDlgTest, AFailingSpeechControlIsReportedAndTheDialogStays) {
    fixture.settings->voices[0] = {"Anna (English)", 0, 0};
    auto dialog = Open();
    ShowPage(*dialog, dialog->voicePage1);
    speech.control->FailSpeak = true;
    dialog->voicePage1->btnTest->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "The speech control refused the text");
    EXPECT_EQ(recorder.messages[0].style & kMbIconWarning, kMbIconWarning);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PropertyDlgTest, HelpKeyAndButtonOpenTheSettingsTopic) {
    auto dialog = Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    dialog->rbAutoPresent->setFocus();
    QTest::keyClick(dialog->rbAutoPresent, Qt::Key_F1);
    dialog->btnHelp->click();
    EXPECT_EQ(fixture.helpAsked, (std::vector<int>{kHelpSettings, kHelpSettings}));
    EXPECT_EQ(HelpTopic(kHelpSettings), "AllgEinstell");
}

TEST_F(PropertyDlgTest, GermanTextsEverywhere) {
    fixture.SelectTexts("DE");
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Allgemeine Einstellungen - Übung"));
    EXPECT_EQ(dialog->labelPresentDelay->text(), "Wartezeit : 10 s");
    EXPECT_EQ(dialog->presentBox->title(), QString::fromUtf8(" Präsentation "));
    EXPECT_EQ(dialog->tabsheetControl->tabText(0), "Allgemein");
    EXPECT_EQ(dialog->tabsheetControl->tabText(3), "Stimme Deutsch");
    EXPECT_EQ(dialog->btnSave->toolTip(),
              QString::fromUtf8("Speichern und schließen (Eingabetaste)"));
    EXPECT_EQ(dialog->btnClose->toolTip(), QString::fromUtf8("Schließen ohne Speichern (Esc)"));
    ShowPage(*dialog, dialog->voicePage1);
    EXPECT_EQ(dialog->voicePage1->btnTest->text(), "Testen");
    EXPECT_EQ(dialog->voicePage1->sliderPitch->ValueLabel()->text(),
              QString::fromUtf8("Tonhöhe : 60 "));
    ShowPage(*dialog, dialog->tabGeneral);
    EXPECT_EQ(dialog->cmbCodePage->currentText(), QString::fromUtf8("Westeuropäisch (1252)"));
    dialog->rbWritePresent->click();
    EXPECT_EQ(dialog->rbWritePresent->text(), "Schreiben");
    EXPECT_EQ(dialog->cbCommaSeparates->text(), "Ein Komma trennt Alternativen");
    for (QWidget* w : std::initializer_list<QWidget*>{
             dialog->rbManualPresent, dialog->rbAutoPresent, dialog->rbWritePresent,
             dialog->cbIgnoreAccents, dialog->cbPrioritiesFromAnswers, dialog->cbCommaSeparates,
             dialog->cbShowTable, dialog->labelCodePage, dialog->cmbCodePage})
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    EXPECT_LE(dialog->presentBox->geometry().right(), dialog->tabGeneral->width());
    if (!qEnvironmentVariableIsEmpty("LEXARO_SCREENSHOT_DIR"))
        dialog->grab().save(qEnvironmentVariable("LEXARO_SCREENSHOT_DIR") +
                            "/settings-general-code-page-de.png");
}

// The main window opens the dialog from its button and menu item; what it saves reaches the
// settings file at the end and the next start reads it back.
TEST(SettingsFromTheMainWindow, ValuesSurviveARestart) {
    testing::AppFolder folder;
    folder.copyTextDb();
    const std::string lang = folder.writeLangFile("Words", {{1, 3}});
    folder.writeIni(lang, {1});
    MessageRecorder recorder;
    {
        tMainWindow window(folder.path());
        window.SetSettingsDialogFactory(MakeSettingsDialog);
        window.show();
        EXPECT_TRUE(window.btnGeneralProperty->isEnabled());
        EXPECT_TRUE(window.mExerciseGenSettings->isEnabled());
        bool driven = false;
        QTimer::singleShot(0, [&driven] {
            auto* dialog = qobject_cast<TDlgProperty*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->rbManualPresent->click();
            dialog->trbDelayAnswer->setValue(12);
            dialog->tabsheetControl->setCurrentWidget(dialog->fontPage);
            Settle();
            dialog->fontPage->cbColor->SelectIndex(11);
            dialog->btnSave->click();
            driven = true;
        });
        window.btnGeneralProperty->click();
        EXPECT_TRUE(driven);
        EXPECT_FALSE(window.Logic().Settings()->general.AutoPresent);
        window.close();
    }
    const std::string ini = folder.readIni();
    EXPECT_NE(ini.find("AutoPresent=False"), std::string::npos);
    EXPECT_NE(ini.find("DelayAnswer=12"), std::string::npos);
    EXPECT_NE(ini.find("Color=11"), std::string::npos);

    tMainWindow again(folder.path());
    again.SetSettingsDialogFactory(MakeSettingsDialog);
    again.show();
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<TDlgProperty*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->rbManualPresent->isChecked());
        EXPECT_EQ(dialog->trbDelayAnswer->value(), 12);
        seen = true;
        dialog->btnClose->click();
    });
    again.mExerciseGenSettings->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(recorder.messages.empty());
}

} // namespace
} // namespace lexaro
