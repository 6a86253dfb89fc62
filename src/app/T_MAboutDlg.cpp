#include "app/T_MAboutDlg.h"

#include "app/UiHelpers.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace lexaro {

namespace {

// The title's centre in the info panel.
constexpr int kTitleCentreX = 200;

} // namespace

TMAboutDlg::TMAboutDlg(const QIcon& appIcon, const QString& title, QWidget* owner)
    : QDialog(owner) {
    EnsureResources();
    setObjectName("TMAboutDlg");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(395, 169);

    infoBox = new QFrame(this);
    infoBox->setObjectName("infoBox");
    infoBox->setFrameStyle(QFrame::Panel | QFrame::Raised);
    infoBox->setLineWidth(2);
    infoBox->setGeometry(8, 8, 379, 113);

    iconBox = new QFrame(infoBox);
    iconBox->setObjectName("iconBox");
    iconBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    iconBox->setLineWidth(2);
    iconBox->setGeometry(10, 10, 41, 41);

    icon = new QLabel(iconBox);
    icon->setObjectName("icon");
    icon->setGeometry(4, 4, 33, 33);
    icon->setPixmap(appIcon.pixmap(33, 33));
    icon->setScaledContents(true);

    labelApplTitel = new QLabel(infoBox);
    labelApplTitel->setObjectName("labelApplTitel");
    QFont titleFont = labelApplTitel->font();
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    labelApplTitel->setFont(titleFont);
    QPalette pal = labelApplTitel->palette();
    pal.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x80));
    labelApplTitel->setPalette(pal);
    labelApplTitel->setAlignment(Qt::AlignCenter);
    labelApplTitel->setText(title);
    labelApplTitel->adjustSize();
    labelApplTitel->move(kTitleCentreX - labelApplTitel->width() / 2, 40);

    bevel1 = new QFrame(infoBox);
    bevel1->setObjectName("bevel1");
    bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel1->setGeometry(70, labelApplTitel->geometry().bottom() + 8, 290, 2);

    btnClose = new QPushButton(QIcon(":/images/ok.svg"), "OK", this);
    btnClose->setObjectName("btnClose");
    btnClose->setGeometry(160, 131, 75, 28);
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    greySizeItem(*this);
}

} // namespace lexaro
