#pragma once

#include <QDialog>
#include <QIcon>

class QFrame;
class QLabel;
class QPushButton;

namespace lexaro {

// The About box: the application icon and title; its texts stay the same in every language.
class TMAboutDlg : public QDialog {
    Q_OBJECT
public:
    TMAboutDlg(const QIcon& appIcon, const QString& title, QWidget* owner = nullptr);

    QFrame* infoBox = nullptr;
    QFrame* iconBox = nullptr;
    QLabel* icon = nullptr;
    QLabel* labelApplTitel = nullptr;
    QFrame* bevel1 = nullptr;
    QPushButton* btnClose = nullptr;
};

} // namespace lexaro
