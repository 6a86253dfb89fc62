#pragma once

#include <QSize>
#include <QWidget>

#include <memory>

class QPushButton;

namespace lexaro {

class TMComboBox;
class TMHSlider;
class TPropertyDlgModel;
struct TVoiceSlider;
class TVoicePageModel;

// A voice page of the settings dialog: the voice for one language of the language file, with
// its speed and pitch, tried out with the test button. Built empty; it fills itself the first
// time it is shown. List index i is the speech engine's voice position i.
class TVoiceTabSheet : public QWidget {
    Q_OBJECT
public:
    // page: 0 for the first language, 1 for the second.
    TVoiceTabSheet(QWidget* owner, std::shared_ptr<TPropertyDlgModel> model, int page);

    // The size the page needs for the voices it will offer.
    QSize NeededSize() const;

    TMHSlider* sliderSpeed = nullptr;
    TMHSlider* sliderPitch = nullptr;
    TMComboBox* cbVoice = nullptr;
    QPushButton* btnTest = nullptr;
    QPushButton* btnDefaults = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TVoicePageModel& Page() const;
    void Fill();
    void ShowNotice();
    // Puts the model's ranges, tick steps and positions on the sliders, and the enabling rule
    // on the controls.
    void Render();
    void RenderSlider(TMHSlider& slider, const TVoiceSlider& state);
    void VoiceChanged(int index);
    void TestClick();
    void DefaultsClick();

    std::shared_ptr<TPropertyDlgModel> model_;
    int page_ = 0;
    // While the page puts values on its controls, their changes are not the learner's.
    bool rendering_ = false;
};

} // namespace lexaro
