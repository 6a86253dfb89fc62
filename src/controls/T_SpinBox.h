#pragma once

#include "controls/ControlMetrics.h"

#include <QSpinBox>

namespace lexaro {

// A numeric spin edit whose value wraps around: with SetWrapRange(1, 100), stepping up from
// 100 gives 1 and stepping down from 1 gives 100. Without its editor only the Up and Down
// keys reach it.
class TSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinBox(QWidget* parent = nullptr);

    // The range becomes low - 1 .. high + 1: the outer steps are where the value wraps.
    void SetWrapRange(int low, int high);
    // With the editor off the value can only be stepped (arrow keys, buttons, wheel); other
    // keys pass on to the owner (Escape and Enter still close a dialog or an edit).
    void SetEditorEnabled(bool on);
    bool EditorEnabled() const { return editorEnabled_; }

    // Steps that land on an outer step arrive at the other end at once.
    void stepBy(int steps) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Wrap(int value);

    bool editorEnabled_ = true;
};

} // namespace lexaro
