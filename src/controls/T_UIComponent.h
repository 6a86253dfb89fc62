#pragma once

#include "controls/ControlMetrics.h"

#include <QString>
#include <QWidget>

class QLabel;

namespace lexaro {

class TAppLangHandler;

// The base of every composite control: a borderless panel with margins, an optional etched
// frame and a caption over its top line. Each control knows its smallest size and arranges
// its own children; positions and sizes are pixels within the owner.
class TUIComponent : public QWidget {
    Q_OBJECT
public:
    TUIComponent(QWidget* owner, int left, int top);

    // Takes each dimension that reaches its minimum (controls may refuse more).
    virtual void SetSize(int width, int height);
    // Captions and hints from the window texts by the numbers the control keeps.
    virtual void ApplyTexts(const TAppLangHandler* texts) = 0;
    virtual void SetHint(const QString& text) = 0;
    virtual void SetMinContentWidth(int /*width*/) {}
    virtual int MinWidth() const = 0;
    virtual int MinHeight() const = 0;
    virtual int ContentWidth() const { return 0; }
    virtual void ArrangeChildren() = 0;

    // Enables or disables every child control.
    void SetChildrenEnabled(bool on);
    // A negative entry leaves that margin unchanged.
    void SetMargins(const TMarginRecord& margins);
    const TMarginRecord& Margins() const { return margins_; }

    const QString& Caption() const { return caption_; }
    bool Framed() const { return framed_; }
    void SetFramed(bool framed);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool show);
    QLabel* CaptionLabel() const { return captionLabel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // The caption as the frame shows it; controls call it when their caption changes.
    void SetFrameCaption(const QString& caption);
    void UpdateCaptionLabel();

    TMarginRecord margins_;

private:
    QString caption_;
    bool framed_ = false;
    bool showCaption_ = false;
    QLabel* captionLabel_ = nullptr;
};

} // namespace lexaro
