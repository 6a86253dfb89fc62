#include "controls/T_SpinBox.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace lexaro {

TSpinBox::TSpinBox(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(1);
    connect(this, &QSpinBox::valueChanged, this, &TSpinBox::Wrap);
}

void TSpinBox::SetWrapRange(int low, int high) {
    const TSpinBounds bounds = WrapBounds(low, high);
    setRange(bounds.min, bounds.max);
}

void TSpinBox::Wrap(int value) {
    const int wrapped = WrapValue(value, {minimum(), maximum()});
    if (wrapped != value)
        setValue(wrapped);
}

void TSpinBox::stepBy(int steps) {
    const long long next =
        static_cast<long long>(value()) + static_cast<long long>(steps) * singleStep();
    const long long clamped = std::clamp<long long>(next, minimum(), maximum());
    setValue(WrapValue(static_cast<int>(clamped), {minimum(), maximum()}));
}

void TSpinBox::SetEditorEnabled(bool on) {
    editorEnabled_ = on;
    // No typing, and no pasting through the edit's own menu either.
    lineEdit()->setReadOnly(!on);
}

void TSpinBox::keyPressEvent(QKeyEvent* event) {
    if (!editorEnabled_ && event->key() != Qt::Key_Up && event->key() != Qt::Key_Down) {
        event->ignore();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

} // namespace lexaro
