#include "app/QtMessageSink.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"

namespace lexaro {

void TQtMessageSink::Warn(const std::string& caption, const std::string& text, Icon icon) {
    const int style = icon == Icon::Information ? kMbIconInformation : kMbIconWarning;
    showMessage(QtFromCp1252(caption), QtFromCp1252(text), style | kMbOk, true, owner_.data());
}

} // namespace lexaro
