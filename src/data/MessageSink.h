#pragma once

#include <string>

namespace lexaro {

// Where the core reports to the user. The desktop program shows a message box owned by the
// window that the sink stands for; tests record what would have been shown.
class IMessageSink {
public:
    enum class Icon { Information, Warning };
    virtual ~IMessageSink() = default;
    // Beeps, then shows a modal box with an OK button.
    virtual void Warn(const std::string& caption, const std::string& text, Icon icon) = 0;
};

} // namespace lexaro
