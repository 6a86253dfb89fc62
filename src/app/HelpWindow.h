#pragma once

#include <QTextBrowser>

#include <string>

namespace lexaro {

// The program's help: HTML pages in the application folder's help/<en|de>/, one anchor per
// topic name in topics.html, a contents page index.html. One window, reused for every request.
class THelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner = nullptr);

    // The folder holding help/ and the UI language ("EN" or "DE"; others use English).
    void SetHelpFolder(const std::string& appFolder, const std::string& uiLanguage);
    // Shows the topic; false (after a message) when the help pages are missing.
    bool ShowTopic(const QString& topic);
    bool ShowContents();

    // The page that a request opens, for the current folder and language.
    QString PagePath(const QString& page) const;

private:
    bool open(const QString& page, const QString& anchor);

    std::string appFolder_;
    std::string language_ = "EN";
};

} // namespace lexaro
