#include "app/HelpWindow.h"

#include "app/QtText.h"
#include "app/UiHelpers.h"
#include "data/FileUtil.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QUrl>

namespace lexaro {

THelpWindow::THelpWindow(QWidget* owner) : QTextBrowser(owner) {
    // A window of its own beside its owner, not a child control.
    setWindowFlag(Qt::Window, true);
    setObjectName("helpWindow");
    setOpenExternalLinks(true);
    resize(640, 520);
}

void THelpWindow::SetHelpFolder(const std::filesystem::path& appFolder,
                                const std::string& uiLanguage) {
    appFolder_ = appFolder;
    language_ = uiLanguage;
}

QString THelpWindow::PagePath(const QString& page) const {
    const char* lang = language_ == "DE" ? "de" : "en";
    return QtFromPath(appFolder_ / "help" / lang) + '/' + page;
}

bool THelpWindow::ShowTopic(const QString& topic) {
    return open("topics.html", topic);
}

bool THelpWindow::ShowContents() {
    return open("index.html", QString());
}

bool THelpWindow::open(const QString& page, const QString& anchor) {
    const QString path = PagePath(page);
    const std::filesystem::path file = PathFromQt(path);
    if (!CheckFileExists(file)) {
        showMessage(QStringLiteral("Lexaro"), QtFromCp1252(MissingFileText(DisplayPath(file))),
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

namespace {

constexpr const char* kHelpContextProperty = "helpContext";

// Finds the help context for F1: the highlighted menu item, the menu, the focused control and
// its parents, the window.
class THelpKey : public QObject {
public:
    THelpKey(QWidget& window, std::function<void(int)> open)
        : QObject(&window), window_(window), open_(std::move(open)) {}

    void OpenFor(const QObject* start) {
        int context = 0;
        for (const QObject* o = start; o != nullptr && context == 0; o = o->parent())
            context = HelpContextOf(*o);
        if (context == 0)
            context = HelpContextOf(window_);
        if (context != 0)
            open_(context);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu == nullptr)
            return false;
        QAction* item = menu->activeAction();
        int context = item != nullptr ? HelpContextOf(*item) : 0;
        if (context == 0)
            context = HelpContextOf(*menu);
        if (context == 0)
            context = HelpContextOf(window_);
        // The menu closes first, as it would for any command.
        menu->close();
        if (context != 0)
            open_(context);
        return true;
    }

private:
    QWidget& window_;
    std::function<void(int)> open_;
};

} // namespace

void SetHelpContext(QObject& object, int context) {
    object.setProperty(kHelpContextProperty, context);
}

int HelpContextOf(const QObject& object) {
    return object.property(kHelpContextProperty).toInt();
}

void InstallHelpKey(QWidget& window, std::function<void(int context)> open) {
    auto* key = new THelpKey(window, std::move(open));
    for (QMenu* menu : window.findChildren<QMenu*>())
        menu->installEventFilter(key);
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), &window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, key, [key, &window] {
        QWidget* focus = QApplication::focusWidget();
        key->OpenFor(focus != nullptr && window.isAncestorOf(focus) ? focus : &window);
    });
}

} // namespace lexaro
