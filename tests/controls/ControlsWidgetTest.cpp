// The composite controls as widgets: sizes they refuse, captions, selections, pictures in a
// list, the slider's value line and range, the spin box's wrap-around and keys.
#include "app/AppLangHandl.h"
#include "controls/T_MComboBox.h"
#include "controls/T_MHSlider.h"
#include "controls/T_SpinBox.h"
#include "controls/T_UIComponent.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

namespace lexaro {
namespace {

// A base control with a fixed smallest size.
class Panel : public TUIComponent {
public:
    using TUIComponent::TUIComponent;
    void ApplyTexts(const TAppLangHandler*) override {}
    void SetHint(const QString&) override {}
    int MinWidth() const override { return 50; }
    int MinHeight() const override { return 20; }
    void ArrangeChildren() override {}
    void ShowFrame(const QString& caption, bool showCaption) {
        SetFrameCaption(caption);
        SetFramed(true);
        SetShowCaption(showCaption);
    }
};

QPixmap Swatch(QRgb colour) {
    QPixmap swatch(31, 12);
    swatch.fill(QColor::fromRgb(colour));
    return swatch;
}

TEST(UIComponent, TakesEachDimensionOnItsOwnAndEnablesItsChildren) {
    QWidget owner;
    Panel panel(&owner, 3, 4);
    EXPECT_EQ(panel.pos(), QPoint(3, 4));
    panel.resize(60, 30);
    panel.SetSize(40, 25); // too narrow, high enough
    EXPECT_EQ(panel.size(), QSize(60, 25));
    panel.SetSize(70, 10); // wide enough, too low
    EXPECT_EQ(panel.size(), QSize(70, 25));

    panel.SetMargins({-1, 2, -1, 0});
    EXPECT_EQ(panel.Margins(), (TMarginRecord{7, 2, 7, 0}));

    auto* child = new QLabel("x", &panel);
    panel.SetChildrenEnabled(false);
    EXPECT_FALSE(child->isEnabled());
    panel.SetChildrenEnabled(true);
    EXPECT_TRUE(child->isEnabled());
}

TEST(UIComponent, FramedPanelDrawsAnEtchedLineAndItsCaption) {
    QWidget owner;
    Panel panel(&owner, 0, 0);
    panel.resize(120, 60);
    const auto pixel = [&panel](int x, int y) { return panel.grab().toImage().pixel(x, y); };
    const auto role = [&panel](QPalette::ColorRole r) { return panel.palette().color(r).rgb(); };
    const QRgb background = pixel(1, 1);
    panel.ShowFrame("Speed", false);
    EXPECT_FALSE(panel.CaptionLabel()->isVisible());
    // Highlight at (1, 1), shadow one pixel up and left of it.
    EXPECT_EQ(pixel(60, 58), role(QPalette::Light));
    EXPECT_EQ(pixel(0, 30), role(QPalette::Mid));
    EXPECT_NE(pixel(60, 58), background);

    owner.show();
    panel.ShowFrame("Speed", true);
    EXPECT_TRUE(panel.CaptionLabel()->isVisible());
    EXPECT_EQ(panel.CaptionLabel()->text(), " Speed ");
    EXPECT_EQ(panel.CaptionLabel()->pos(), QPoint(13, 0));
    // The frame's top line runs through the middle of the caption's height.
    const int top = panel.fontMetrics().height() / 2 + 1;
    EXPECT_EQ(pixel(110, top), role(QPalette::Light));
}

TEST(ComboBox, EmptyCaptionAndTheSizesItRefuses) {
    QWidget owner;
    TMComboBox combo(&owner, 5, 6, "", false);
    EXPECT_EQ(combo.Label()->text(), "Combobox");
    EXPECT_EQ(combo.Caption(), "Combobox");
    EXPECT_EQ(combo.pos(), QPoint(5, 6));
    EXPECT_EQ(combo.size(), QSize(combo.MinWidth(), combo.MinHeight()));
    EXPECT_EQ(combo.InnerBox()->maxVisibleItems(), 5);
    EXPECT_EQ(combo.InnerBox()->width(), 130);

    const QSize before = combo.size();
    combo.SetSize(combo.MinWidth() - 1, combo.MinHeight() + 10);
    EXPECT_EQ(combo.size(), before);
    combo.SetSize(combo.MinWidth() + 10, combo.MinHeight() - 1);
    EXPECT_EQ(combo.size(), before);

    // A wider control gives the box the room; box at the right margin, label at the left.
    combo.SetSize(before.width() + 40, before.height() + 10);
    EXPECT_EQ(combo.size(), QSize(before.width() + 40, before.height() + 10));
    EXPECT_EQ(combo.InnerBox()->width(), 170);
    EXPECT_EQ(combo.InnerBox()->geometry().right() + 1, combo.width() - 7);
    EXPECT_EQ(combo.Label()->x(), 7);
    EXPECT_LE(combo.Label()->geometry().right() + 10, combo.InnerBox()->x());
}

TEST(ComboBox, LabelAboveStandsOverTheBox) {
    QWidget owner;
    TMComboBox combo(&owner, 0, 0, "Font", TMComboBox::TLabelPosition::Above, false);
    EXPECT_EQ(combo.Label()->x(), combo.InnerBox()->x());
    EXPECT_EQ(combo.Label()->geometry().bottom() + 1 + 5, combo.InnerBox()->y());
    EXPECT_EQ(combo.MinHeight(), 14 + combo.BoxHeight() + combo.Label()->height() + 5);

    // A caption wider than the box widens the smallest box once the control exists.
    const int before = combo.MinWidth();
    combo.SetCaption("A caption far wider than the box of one hundred and thirty pixels");
    EXPECT_EQ(combo.MinBoxWidth(), combo.Label()->width() + 13);
    EXPECT_GT(combo.MinWidth(), before);
}

TEST(ComboBox, SelectionStaysWhereNothingMatches) {
    QWidget owner;
    TMComboBox combo(&owner, 0, 0, "List", false);
    combo.SetItems({"alpha", "beta", "gamma"});
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.SelectedText(), "");
    combo.SelectText("delta");
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SelectText("beta");
    EXPECT_EQ(combo.ItemIndex(), 1);
    combo.SelectText("Gamma"); // case counts
    combo.SelectIndex(3);
    combo.SelectIndex(-1);
    EXPECT_EQ(combo.SelectedText(), "beta");

    combo.InsertItem("omega", 3, true); // at the count: appended
    EXPECT_EQ(combo.Count(), 4);
    EXPECT_EQ(combo.SelectedText(), "omega");
    combo.InsertItem("psi", 5, true); // beyond: nothing
    combo.InsertItem("chi", -1, true);
    EXPECT_EQ(combo.Count(), 4);
    combo.InsertItem("first", 0, false);
    EXPECT_EQ(combo.InnerBox()->itemText(0), "first");
    EXPECT_EQ(combo.SelectedText(), "omega");

    // The control grows with its widest item.
    const int narrow = combo.width();
    combo.SetItems({"a considerably longer item than any before it, to be sure"});
    EXPECT_GT(combo.width(), narrow);
    EXPECT_EQ(combo.width(), combo.MinWidth());
    EXPECT_GE(combo.InnerBox()->width(), combo.ContentWidth());
}

TEST(ComboBox, PicturesWithoutTextsShowThePicturesOnly) {
    QWidget owner;
    TMComboBox combo(&owner, 0, 0, "Color", TMComboBox::TLabelPosition::Above, false);
    combo.SetMinContentWidth(30);
    const QList<QPixmap> swatches{Swatch(0xFF0000), Swatch(0x00FF00), Swatch(0x0000FF)};
    combo.SetItems({"", "", ""}, swatches);
    EXPECT_TRUE(combo.HasImages());
    EXPECT_EQ(combo.ItemHeight(), 16);
    EXPECT_EQ(combo.TextIndent(), 41);
    EXPECT_EQ(combo.InnerBox()->iconSize(), QSize(31, 12));
    EXPECT_EQ(combo.MinHeight(),
              qRound((14 + combo.BoxHeight() + combo.Label()->height() + 5) * 1.2));

    // A row as the list draws it: background, the picture at (2, 2), no text.
    QAbstractItemView* view = combo.InnerBox()->view();
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = QRect(0, 0, 60, combo.ItemHeight());
    option.state &= ~QStyle::State_Selected;
    const QModelIndex second = view->model()->index(1, 0);
    EXPECT_EQ(view->itemDelegate()->sizeHint(option, second).height(), 16);
    QImage row(60, combo.ItemHeight(), QImage::Format_RGB32);
    row.fill(Qt::white);
    QPainter painter(&row);
    view->itemDelegate()->paint(&painter, option, second);
    painter.end();
    EXPECT_EQ(row.pixelColor(2, 2), QColor(0x00FF00));
    EXPECT_EQ(row.pixelColor(32, 13), QColor(0x00FF00));
    EXPECT_EQ(row.pixelColor(40, 8), option.palette.color(QPalette::Base));

    // An inserted item carries the picture of item 0.
    combo.InsertItem("", 3, false);
    EXPECT_FALSE(combo.InnerBox()->itemIcon(3).isNull());
}

TEST(ComboBox, WindowTextsGiveCaptionAndHintAndWidenIt) {
    TAppLangHandler texts;
    ASSERT_TRUE(texts.OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
    ASSERT_TRUE(texts.SelectLanguage("DE"));
    QWidget owner;
    TMComboBox combo(&owner, 0, 0, "x", false);
    const int narrow = combo.width();
    combo.SetTextIds(31, 28); // long texts: a hint used as a caption
    combo.ApplyTexts(&texts);
    EXPECT_EQ(combo.Label()->text().toStdString().substr(0, 3), "Ob ");
    EXPECT_FALSE(combo.InnerBox()->toolTip().isEmpty());
    EXPECT_GT(combo.width(), narrow);
    EXPECT_GE(combo.width(), combo.MinWidth());
    combo.ApplyTexts(nullptr); // no texts: nothing changes
    EXPECT_EQ(combo.Label()->text().toStdString().substr(0, 3), "Ob ");
}

TEST(Slider, ValueLineCountsInTickSteps) {
    QWidget owner;
    TMHSlider slider(&owner, 0, 0, 60, 80);
    EXPECT_EQ(slider.Bar()->width(), 200);
    EXPECT_EQ(slider.Bar()->tickPosition(), QSlider::TicksBothSides);
    EXPECT_EQ(slider.MinLabel()->text(), "Min");
    EXPECT_EQ(slider.MaxLabel()->text(), "Max");
    slider.SetPosition(70);
    EXPECT_EQ(slider.ValueLabel()->text(), "Value : 70 ");
    slider.SetTickStep(2);
    EXPECT_EQ(slider.ValueLabel()->text(), "Value : 35 ");
    slider.SetTickStep(0);
    EXPECT_EQ(slider.ValueLabel()->text(), "Value : 70 ");
    slider.SetTexts("Speed", "wpm", "slow", "fast");
    slider.SetTickStep(10);
    slider.SetRange(50, 250);
    slider.SetPosition(170);
    EXPECT_EQ(slider.ValueLabel()->text(), "Speed : 17 wpm");
    // Every change of the bar, the learner's too, updates the line.
    slider.Bar()->setValue(200);
    EXPECT_EQ(slider.ValueLabel()->text(), "Speed : 20 wpm");
    EXPECT_EQ(slider.Position(), 200);
    slider.SetPosition(999);
    EXPECT_EQ(slider.Position(), 250);
}

TEST(Slider, ARangeWhollyBelowTakesTwoCalls) {
    QWidget owner;
    TMHSlider slider(&owner, 0, 0, 60, 80);
    slider.SetPosition(70);
    QSignalSpy moved(slider.Bar(), &QSlider::valueChanged);
    slider.SetRange(0, 50);
    EXPECT_EQ(slider.Minimum(), 0);
    EXPECT_EQ(slider.Maximum(), 80);
    EXPECT_EQ(slider.Position(), 70);
    EXPECT_EQ(moved.count(), 0);
    slider.SetRange(0, 50);
    EXPECT_EQ(slider.Maximum(), 50);
    EXPECT_EQ(slider.Position(), 50);
    EXPECT_EQ(moved.count(), 1); // the clamped position is reported
    EXPECT_EQ(slider.ValueLabel()->text(), "Value : 50 ");
}

TEST(Slider, SizesAndTheFramedForm) {
    QWidget owner;
    TMHSlider plain(&owner, 0, 0, 0, 10);
    EXPECT_EQ(plain.Margins(), (TMarginRecord{7, 7, 7, 7}));
    EXPECT_FALSE(plain.Framed());
    const QSize before = plain.size();
    plain.SetSize(plain.MinWidth() - 1, plain.MinHeight() + 50);
    EXPECT_EQ(plain.size(), before);
    plain.SetSize(plain.MinWidth() + 100, plain.MinHeight() - 1);
    EXPECT_EQ(plain.size(), before);
    plain.SetSize(400, plain.MinHeight());
    EXPECT_EQ(plain.width(), 400);
    const QRect bar = plain.Bar()->geometry();
    EXPECT_EQ(bar.width(), 400 - plain.MinLabel()->width() - plain.MaxLabel()->width() - 24);
    EXPECT_EQ(plain.MinLabel()->geometry().right() + 1 + 5, bar.left());
    EXPECT_EQ(bar.right() + 1 + 5, plain.MaxLabel()->x());
    EXPECT_EQ(plain.ValueLabel()->y(), bar.bottom() + 1 + 5);
    const int centre = plain.ValueLabel()->x() + plain.ValueLabel()->width() / 2;
    EXPECT_NEAR(centre, 200, 1);

    TMHSlider framed(&owner, 0, 0, 0, 10, true);
    EXPECT_EQ(framed.Margins(), (TMarginRecord{22, 7, 12, 7}));
    EXPECT_TRUE(framed.Framed());
    EXPECT_TRUE(framed.ShowCaption());
    EXPECT_EQ(framed.height(), plain.height() + 20);
}

TEST(SpinBox, WrapsAroundAtBothEnds) {
    TSpinBox spin;
    spin.SetWrapRange(1, 100);
    EXPECT_EQ(spin.minimum(), 0);
    EXPECT_EQ(spin.maximum(), 101);
    QSignalSpy changes(&spin, &QSpinBox::valueChanged);
    spin.setValue(100);
    spin.stepUp();
    EXPECT_EQ(spin.value(), 1);
    spin.stepDown();
    EXPECT_EQ(spin.value(), 100);
    // Stepping never reports the outer steps on its way.
    for (const QList<QVariant>& change : changes) {
        EXPECT_NE(change.at(0).toInt(), 101);
        EXPECT_NE(change.at(0).toInt(), 0);
    }
    // A value on the outer step, however it came (typed, set), becomes the other end.
    spin.setValue(0);
    EXPECT_EQ(spin.value(), 100);
    spin.setValue(101);
    EXPECT_EQ(spin.value(), 1);
}

// Records the keys that the spin box passes on.
class KeyOwner : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

TEST(SpinBox, WithoutItsEditorOnlyTheArrowKeysWork) {
    KeyOwner owner;
    auto* spin = new TSpinBox(&owner);
    spin->SetWrapRange(1, 100);
    spin->setValue(5);
    owner.show();
    spin->setFocus();
    spin->SetEditorEnabled(false);
    QTest::keyClick(spin, Qt::Key_7);
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClick(spin, Qt::Key_PageUp);
    EXPECT_EQ(spin->value(), 5);
    EXPECT_EQ(spin->text(), "5");
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->value(), 6);
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->value(), 4);
    // Escape is the owner's: it can cancel an edit or close a dialog.
    QTest::keyClick(spin, Qt::Key_Escape);
    EXPECT_NE(std::find(owner.keys.begin(), owner.keys.end(), Qt::Key_Escape), owner.keys.end());

    spin->SetEditorEnabled(true);
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, "42");
    spin->interpretText();
    EXPECT_EQ(spin->value(), 42);
}

} // namespace
} // namespace lexaro
