#pragma once

#include <QTextBrowser>

#include <filesystem>
#include <functional>
#include <string>

namespace lexaro {

// The program's help: HTML pages in the application folder's help/<en|de>/, one anchor per
// topic name in topics.html, a contents page index.html. One window, reused for every request.
class THelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner = nullptr);

    // The folder holding help/ and the UI language ("EN" or "DE"; others use English).
    void SetHelpFolder(const std::filesystem::path& appFolder, const std::string& uiLanguage);
    // Shows the topic; false (after a message) when the help pages are missing.
    bool ShowTopic(const QString& topic);
    bool ShowContents();

    // The page that a request opens, for the current folder and language.
    QString PagePath(const QString& page) const;

private:
    bool open(const QString& page, const QString& anchor);

    std::filesystem::path appFolder_;
    std::string language_ = "EN";
};

// Help contexts on widgets, menus and menu items (see HelpContexts.h): F1 in a window opens
// the topic of the focused control's nearest context, in an open menu that of the highlighted
// item (or of the menu), and otherwise that of the window.
void SetHelpContext(QObject& object, int context);
int HelpContextOf(const QObject& object);
// Makes F1 work in the window and in every menu it holds; open gets the context found.
void InstallHelpKey(QWidget& window, std::function<void(int context)> open);

} // namespace lexaro
