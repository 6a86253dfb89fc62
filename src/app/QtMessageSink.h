#pragma once

#include "data/MessageSink.h"

#include <QPointer>
#include <QWidget>

namespace lexaro {

// Shows the core's warnings as message boxes owned by a window.
class TQtMessageSink : public IMessageSink {
public:
    explicit TQtMessageSink(QWidget* owner = nullptr) : owner_(owner) {}
    void Warn(const std::string& caption, const std::string& text, Icon icon) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace lexaro
