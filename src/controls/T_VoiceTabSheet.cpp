#include "controls/T_VoiceTabSheet.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "controls/PropertyLogic.h"
#include "controls/T_MComboBox.h"
#include "controls/T_MHSlider.h"

#include <QComboBox>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <exception>

namespace lexaro {

namespace {

constexpr int kLeft = 15;
constexpr int kSpeedTop = 10;
constexpr int kSliderGap = 20;
constexpr int kVoiceListTop = 200;
constexpr int kVoiceListDropDownCount = 4;
constexpr int kButtonGap = 7;
constexpr int kButtonLeftGap = 20;
constexpr double kVoiceListShare = 0.7;

QStringList QtTexts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts)
        list.append(QtFromCp1252(text));
    return list;
}

} // namespace

TVoiceTabSheet::TVoiceTabSheet(QWidget* owner, std::shared_ptr<TPropertyDlgModel> model, int page)
    : QWidget(owner), model_(std::move(model)), page_(page) {
    setObjectName(page_ == 0 ? "voicePage1" : "voicePage2");
    const auto text = [this](std::int32_t number) { return QtFromCp1252(model_->Text(number)); };
    const TSliderRange start = kVoiceSliderStart;

    sliderSpeed = new TMHSlider(this, kLeft, kSpeedTop, start.min, start.max, true);
    sliderSpeed->setObjectName("sliderSpeed");
    sliderSpeed->SetTextIds(property_text::kSpeed, 0, 0, 0, 0);
    sliderSpeed->SetTexts(text(property_text::kSpeed), QString(), "Min", "Max");
    sliderPitch = new TMHSlider(this, kLeft, sliderSpeed->MinHeight() + kSliderGap, start.min,
                                start.max, true);
    sliderPitch->setObjectName("sliderPitch");
    sliderPitch->SetTextIds(property_text::kPitch, 0, 0, 0, 0);
    sliderPitch->SetTexts(text(property_text::kPitch), QString(), "Min", "Max");

    // Below the pitch slider, however tall the font makes it.
    const int listTop =
        std::max(kVoiceListTop, sliderPitch->y() + sliderPitch->MinHeight() + kButtonGap);
    cbVoice = new TMComboBox(this, kLeft, listTop, text(property_text::kVoice),
                             TMComboBox::TLabelPosition::Left, true);
    cbVoice->setObjectName("cbVoice");
    cbVoice->SetTextIds(property_text::kVoice, 0);
    cbVoice->InnerBox()->setMaxVisibleItems(kVoiceListDropDownCount);

    btnTest = new QPushButton(text(property_text::kTest), this);
    btnTest->setObjectName("btnTest");
    btnTest->setAutoDefault(true);
    btnTest->adjustSize();
    btnTest->move(cbVoice->x() + cbVoice->width() + kButtonLeftGap, cbVoice->y() + kButtonGap);
    btnDefaults = new QPushButton(text(property_text::kDefaults), this);
    btnDefaults->setObjectName("btnDefaults");
    btnDefaults->setAutoDefault(true);
    btnDefaults->adjustSize();
    // Both buttons as wide as the wider caption.
    const int buttonWidth = std::max(btnTest->width(), btnDefaults->width());
    btnTest->resize(buttonWidth, btnTest->height());
    btnDefaults->resize(buttonWidth, btnDefaults->height());
    btnDefaults->move(btnTest->x(), btnTest->y() + btnTest->height() + kButtonGap);
    setMinimumSize(NeededSize());

    connect(cbVoice->InnerBox(), &QComboBox::currentIndexChanged, this,
            &TVoiceTabSheet::VoiceChanged);
    connect(sliderSpeed->Bar(), &QSlider::valueChanged, this, [this](int value) {
        if (!rendering_)
            Page().SetSpeed(value);
    });
    connect(sliderPitch->Bar(), &QSlider::valueChanged, this, [this](int value) {
        if (!rendering_)
            Page().SetPitch(value);
    });
    connect(btnTest, &QPushButton::clicked, this, &TVoiceTabSheet::TestClick);
    connect(btnDefaults, &QPushButton::clicked, this, &TVoiceTabSheet::DefaultsClick);
}

TVoicePageModel& TVoiceTabSheet::Page() const {
    return model_->Voice(page_);
}

QSize TVoiceTabSheet::NeededSize() const {
    const int list = cbVoice->MinWidthFor(QtTexts(Page().OfferedEntries()));
    const int button = btnTest->width();
    // Sliders take the page's width less 30; the voice list 70 % of that, at least its
    // smallest width; the buttons stand right of it.
    const auto fits = [&](int width) {
        const auto share = static_cast<int>(std::lround(kVoiceListShare * (width - 2 * kLeft)));
        return kLeft + std::max(list, share) + kButtonLeftGap + button + kLeft <= width;
    };
    int width = std::max(sliderSpeed->MinWidth(), sliderPitch->MinWidth()) + 2 * kLeft;
    while (!fits(width))
        ++width;
    const int height =
        std::max(btnDefaults->y() + btnDefaults->height(), cbVoice->y() + cbVoice->MinHeight()) +
        kLeft;
    return {width, height};
}

void TVoiceTabSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!Page().Filled() && !Page().Closing())
        Fill();
}

void TVoiceTabSheet::Fill() {
    TVoicePageModel& page = Page();
    page.Fill();
    rendering_ = true;
    cbVoice->SetItems(QtTexts(page.Entries()));
    cbVoice->SelectIndex(page.Index());
    rendering_ = false;
    Render();

    sliderSpeed->SetSize(width() - 2 * kLeft, sliderSpeed->MinHeight());
    sliderPitch->SetSize(width() - 2 * kLeft, sliderPitch->MinHeight());
    cbVoice->SetSize(static_cast<int>(std::lround(kVoiceListShare * sliderPitch->width())),
                     cbVoice->MinHeight());
    btnTest->move(cbVoice->x() + cbVoice->width() + kButtonLeftGap, btnTest->y());
    btnDefaults->move(btnTest->x(), btnDefaults->y());

    if (page.NoticeDue()) {
        // Said once the page stands, with the page behind it.
        QMetaObject::invokeMethod(this, &TVoiceTabSheet::ShowNotice, Qt::QueuedConnection);
    }
}

void TVoiceTabSheet::ShowNotice() {
    if (Page().Closing())
        return;
    showMessage(QStringLiteral("Lexaro"), QtFromCp1252(model_->NoSpeechNotice()),
                kMbIconInformation | kMbOk, true, this);
}

void TVoiceTabSheet::RenderSlider(TMHSlider& slider, const TVoiceSlider& state) {
    // Twice, as a range far from the old one takes two steps.
    slider.SetRange(state.range.min, state.range.max);
    slider.SetTickStep(state.tickStep);
    slider.SetRange(state.range.min, state.range.max);
    slider.SetPosition(state.range.position);
}

void TVoiceTabSheet::Render() {
    const TVoicePageModel& page = Page();
    rendering_ = true;
    // Copies: the sliders report every step of their own while they change.
    const TVoiceSlider speed = page.Speed();
    const TVoiceSlider pitch = page.Pitch();
    RenderSlider(*sliderSpeed, speed);
    RenderSlider(*sliderPitch, pitch);
    if (cbVoice->ItemIndex() != page.Index())
        cbVoice->SelectIndex(page.Index());
    rendering_ = false;

    const bool voice = page.VoiceControlsEnabled();
    sliderSpeed->setEnabled(voice);
    sliderPitch->setEnabled(voice);
    btnTest->setEnabled(voice);
    btnDefaults->setEnabled(voice);
    cbVoice->setEnabled(page.ListEnabled());
}

void TVoiceTabSheet::VoiceChanged(int index) {
    if (rendering_ || !Page().Filled())
        return;
    Page().Select(index);
    Render();
}

void TVoiceTabSheet::TestClick() {
    try {
        Page().Test();
    } catch (const std::exception& error) {
        showMessage(QtFromCp1252(model_->AppTitle()), QtFromCp1252(error.what()),
                    kMbIconWarning | kMbOk, true, this);
    }
}

void TVoiceTabSheet::DefaultsClick() {
    Page().Defaults();
    Render();
}

} // namespace lexaro
