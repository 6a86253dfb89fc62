#pragma once

#include "app/AboutText.h"

#include <QDialog>
#include <QIcon>

class QFrame;
class QLabel;
class QPushButton;

namespace lexaro {

// The About box: the application icon and title over what Lexaro is, its version, where it
// keeps its settings and language files, and the libraries it uses (in the UI language, as
// MakeAboutText words them).
class TMAboutDlg : public QDialog {
    Q_OBJECT
public:
    TMAboutDlg(const QIcon& appIcon, const QString& title, const TAboutText& text,
               QWidget* owner = nullptr);

    QFrame* infoBox = nullptr;
    QFrame* iconBox = nullptr;
    QLabel* icon = nullptr;
    QLabel* labelApplTitel = nullptr;
    QFrame* bevel1 = nullptr;
    QLabel* labelWhat = nullptr;
    QLabel* labelVersion = nullptr;
    QLabel* labelForm = nullptr;
    QLabel* labelSettings = nullptr;
    QLabel* labelLangFiles = nullptr;
    QLabel* labelLibraries = nullptr;
    QPushButton* btnClose = nullptr;
};

// The libraries the program uses, with their versions: Qt (the one running) and, when given,
// the speech library ("espeak-ng 1.51").
std::vector<std::string> UsedLibraries(const std::string& speechLibrary);

} // namespace lexaro
