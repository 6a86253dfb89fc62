#include "app/HelpWindow.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "data/FileUtil.h"

#include <QUrl>

namespace lexaro {

THelpWindow::THelpWindow(QWidget* owner) : QTextBrowser(owner) {
    // A window of its own beside its owner, not a child control.
    setWindowFlag(Qt::Window, true);
    setObjectName("helpWindow");
    setOpenExternalLinks(true);
    resize(640, 520);
}

void THelpWindow::SetHelpFolder(const std::string& appFolder, const std::string& uiLanguage) {
    appFolder_ = appFolder;
    language_ = uiLanguage;
}

QString THelpWindow::PagePath(const QString& page) const {
    const std::string lang = language_ == "DE" ? "de" : "en";
    const std::string path =
        JoinPath(JoinPath(JoinPath(appFolder_, "help"), lang), Cp1252FromQtLossy(page));
    return QtFromCp1252(path);
}

bool THelpWindow::ShowTopic(const QString& topic) {
    return open("topics.html", topic);
}

bool THelpWindow::ShowContents() {
    return open("index.html", QString());
}

bool THelpWindow::open(const QString& page, const QString& anchor) {
    const QString path = PagePath(page);
    std::string stored = Cp1252FromQtLossy(path);
    if (!CheckFileExists(stored)) {
        showMessage(QStringLiteral("Lexaro"), QtFromCp1252(MissingFileText(stored)),
                    kMbIconInformation, true, parentWidget());
        return false;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    setSource(url);
    if (!anchor.isEmpty())
        scrollToAnchor(anchor);
    setWindowTitle(documentTitle().isEmpty() ? QStringLiteral("Lexaro") : documentTitle());
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace lexaro
