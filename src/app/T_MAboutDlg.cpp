#include "app/T_MAboutDlg.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "data/CodePage.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace lexaro {

namespace {

// The text column's width: lines wrap inside it, a long path included.
constexpr int kTextWidth = 380;

// A folder may be longer than the column: it may break after each "/" (a zero-width space).
QLabel* textLine(QWidget* parent, const char* name, const std::string& text, bool path = false) {
    QString shown = QtFromUtf8(text);
    if (path)
        shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    auto* label = new QLabel(shown, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setFixedWidth(kTextWidth);
    return label;
}

} // namespace

std::vector<std::string> UsedLibraries(const std::string& speechLibrary) {
    return {std::string("Qt ") + qVersion(), speechLibrary, TextLibraryName()};
}

TMAboutDlg::TMAboutDlg(const QIcon& appIcon, const QString& title, const TAboutText& text,
                       QWidget* owner)
    : QDialog(owner) {
    EnsureResources();
    setObjectName("TMAboutDlg");
    setWindowTitle(QtFromUtf8(text.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 10);
    root->setSpacing(10);

    infoBox = new QFrame(this);
    infoBox->setObjectName("infoBox");
    infoBox->setFrameStyle(QFrame::Panel | QFrame::Raised);
    infoBox->setLineWidth(2);
    root->addWidget(infoBox);
    auto* info = new QVBoxLayout(infoBox);
    info->setContentsMargins(10, 10, 10, 12);
    info->setSpacing(6);

    // The icon at the left of the title.
    auto* head = new QHBoxLayout;
    head->setSpacing(12);
    iconBox = new QFrame(infoBox);
    iconBox->setObjectName("iconBox");
    iconBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    iconBox->setLineWidth(2);
    iconBox->setFixedSize(41, 41);
    icon = new QLabel(iconBox);
    icon->setObjectName("icon");
    icon->setGeometry(4, 4, 33, 33);
    icon->setPixmap(appIcon.pixmap(33, 33));
    icon->setScaledContents(true);
    labelApplTitel = new QLabel(title, infoBox);
    labelApplTitel->setObjectName("labelApplTitel");
    QFont titleFont = labelApplTitel->font();
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    labelApplTitel->setFont(titleFont);
    QPalette pal = labelApplTitel->palette();
    pal.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x80));
    labelApplTitel->setPalette(pal);
    head->addWidget(iconBox);
    head->addWidget(labelApplTitel, 1);
    info->addLayout(head);

    bevel1 = new QFrame(infoBox);
    bevel1->setObjectName("bevel1");
    bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    info->addWidget(bevel1);

    labelWhat = textLine(infoBox, "labelWhat", text.what);
    labelVersion = textLine(infoBox, "labelVersion", text.version);
    labelForm = textLine(infoBox, "labelForm", text.form);
    labelSettings = textLine(infoBox, "labelSettings", text.settings, true);
    labelLangFiles = textLine(infoBox, "labelLangFiles", text.langFiles, true);
    labelLibraries = textLine(infoBox, "labelLibraries", text.libraries);
    info->addWidget(labelWhat);
    info->addWidget(labelVersion);
    info->addSpacing(4);
    for (QLabel* line : {labelForm, labelSettings, labelLangFiles})
        info->addWidget(line);
    info->addSpacing(4);
    info->addWidget(labelLibraries);

    btnClose = new QPushButton(QIcon(":/images/ok.svg"), "OK", this);
    btnClose->setObjectName("btnClose");
    btnClose->setFixedSize(75, 28);
    btnClose->setDefault(true);
    root->addWidget(btnClose, 0, Qt::AlignHCenter);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    adjustSize();
    greySizeItem(*this);
}

} // namespace lexaro
