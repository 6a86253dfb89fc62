#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace lexaro {

// Makes the program's pictures (:/images/...) available; every window calls it first.
void EnsureResources();

// Left for a text that runs left to right, right for one that runs right to left (Arabic,
// Hebrew: its first strong character decides), as the learner reads it; vertically centred.
Qt::Alignment AlignmentOf(const QString& text);
// The field shows its text at the side the text starts from, whenever it is typed or set.
void AlignAsWritten(QLineEdit& field);

// Message box styles (combinable) and the buttons a box reports.
inline constexpr int kMbOk = 0;
inline constexpr int kMbOkCancel = 1;
inline constexpr int kMbYesNoCancel = 3;
inline constexpr int kMbYesNo = 4;
inline constexpr int kMbIconWarning = 48;
inline constexpr int kMbIconInformation = 64;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// What a message box was asked to show; handed to the test hook instead of a real box.
struct MessageRequest {
    QString caption;
    QString text;
    int style = 0;
    bool beep = false;
    QWidget* owner = nullptr;
    // A question's own button texts, in the order Yes, No, Cancel (askQuestion); empty for
    // the standard buttons.
    QStringList buttons;
};
using MessageHook = std::function<int(const MessageRequest&)>;

// Beeps first when asked, then shows a modal box owned by owner; style | extraStyle picks the
// icon and the buttons. Returns the pressed button (kIdOk, kIdCancel, kIdYes, kIdNo).
int showMessage(const QString& caption, const QString& text, int style, bool beep,
                QWidget* owner = nullptr, int extraStyle = 0);
// A question whose buttons carry the caller's texts (in the UI language): yes and cancel, and
// no when it is not empty. defaultId (kIdYes, kIdNo or kIdCancel) answers Enter; Escape and
// the close box answer kIdCancel. The hook sees the style kMbYesNoCancel (kMbYesNo without a
// no button) with icon; an answer the question does not offer counts as kIdCancel.
struct QuestionButtons {
    QString yes;
    QString no;
    QString cancel;
    int defaultId = kIdYes;
};
int askQuestion(const QString& caption, const QString& text, const QuestionButtons& buttons,
                int icon, bool beep, QWidget* owner);
// Tests answer message boxes through this hook instead of a blocking box; an empty hook
// restores the real boxes. Returns the previous hook.
MessageHook setMessageHook(MessageHook hook);

// Scales the window for the screen's pixel density, keeps it on the screen and centres it as
// asked (the arithmetic of FitFormToScreen on the window's screen). True when the window had
// to be cut to the screen.
bool fitFormToScreen(QWidget& window, bool centreHorizontally, bool centreVertically,
                     bool autoSize);
// The user can no longer resize the window (it keeps its current size).
void greySizeItem(QWidget& window);

// The pictures for itemCount items from an image list: item i gets image i, the items beyond
// the images get the last one (none when the list is empty).
QList<QPixmap> picturesForItems(qsizetype itemCount, const QList<QPixmap>& images);
// Puts those pictures on the items of a combo box.
void assignImageListToItems(QComboBox& items, const QList<QPixmap>& images);

} // namespace lexaro
