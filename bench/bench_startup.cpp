// Start-up of Lexaro, offscreen: a fresh process that creates the main window (settings read,
// Text.Db opened, texts applied, language file shown) and ends once it is shown, against a
// fresh process of a minimal Qt Widgets program that shows one empty window; both are this
// same executable, so loading the libraries costs both the same. The in-process pair shows
// the cost of building the window alone.
#include "app/MainWnd.h"
#include "app/UiHelpers.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"
#include "speech/DesktopSpeech.h"
#include "speech/SpeechEngine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> appFolder;

// An application folder like the shipped one: Text.Db, settings, a starter language file.
void makeAppFolder() {
    appFolder = std::make_unique<QTemporaryDir>();
    const std::string folder = appFolder->path().toStdString();
    QFile::copy(QString::fromUtf8(LEXARO_TEXTDB_FILE),
                QString::fromStdString(lexaro::JoinPath(folder, "Text.Db")));
    QDir(appFolder->path()).mkpath("LangFiles");
    lexaro::TLangFHandler lang;
    lang.SetLanguageNames("English", "Deutsch");
    for (int number = 1; number <= 3; ++number) {
        auto lesson = std::make_shared<lexaro::TLesson>();
        lesson->number = number;
        for (int i = 0; i < 40; ++i) {
            auto pair = lesson->NewPair(i);
            pair->text1 = "word " + std::to_string(i);
            pair->text2 = "Wort " + std::to_string(i);
            pair->use = true;
        }
        lang.PutLesson(lesson);
    }
    const std::string langFile =
        lexaro::JoinPath(lexaro::JoinPath(folder, "LangFiles"), "English-Deutsch.lang");
    lang.Save(langFile);
    std::ofstream(lexaro::JoinPath(folder, "Lexaro.Ini"), std::ios::binary)
        << "[Exercise]\r\nLangFileName=" << langFile
        << "\r\nLang1=English\r\nLang2=Deutsch\r\nFirstLang=True\r\nMaxWords=300\r\n"
        << "[AvailableUnits]\r\n0=1\r\n1=2\r\n2=3\r\nNbrUnits=3\r\n"
        << "[Application]\r\nLanguage=EN\r\n";
}

void BM_MinimalWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        QWidget window;
        window.resize(688, 150);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("window not exposed");
    }
}
BENCHMARK(BM_MinimalWindowShown)->Unit(benchmark::kMillisecond);

void BM_MainWindowShown(benchmark::State& state) {
    const std::string folder = appFolder->path().toStdString();
    for (auto _ : state) {
        lexaro::tMainWindow window(folder, nullptr);
        window.show();
        if (window.HasEnded() || !QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("main window not shown");
    }
}
BENCHMARK(BM_MainWindowShown)->Unit(benchmark::kMillisecond);

void runChild(benchmark::State& state, const QStringList& arguments) {
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), arguments);
        if (!child.waitForFinished(30000) || child.exitCode() != 0)
            state.SkipWithError("child did not show its window");
    }
}

void BM_ProcessMinimalWindow(benchmark::State& state) {
    runChild(state, {"--child-minimal"});
}
BENCHMARK(BM_ProcessMinimalWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessLexaroMainWindow(benchmark::State& state) {
    runChild(state, {"--child-lexaro", appFolder->path()});
}
BENCHMARK(BM_ProcessLexaroMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProcessLexaroMainWindowNoSpeech(benchmark::State& state) {
    runChild(state, {"--child-lexaro-nospeech", appFolder->path()});
}
BENCHMARK(BM_ProcessLexaroMainWindowNoSpeech)->Unit(benchmark::kMillisecond)->UseRealTime();

// The child processes: show the window, then end at once (the main window is not closed, so
// nothing is written back).
int child(int argc, char** argv) {
    QApplication app(argc, argv);
    if (std::string(argv[1]) == "--child-minimal") {
        QWidget window;
        window.resize(688, 150);
        window.show();
        return QTest::qWaitForWindowExposed(&window) ? 0 : 1;
    }
    // The program's own speech engine, or none to show what the audio output's start costs.
    lexaro::tMainWindow window(argv[2],
                               std::string(argv[1]) == "--child-lexaro"
                                   ? lexaro::SpeechEngineFactory(lexaro::MakeDesktopSpeechEngine)
                                   : lexaro::SpeechEngineFactory());
    window.show();
    return !window.HasEnded() && QTest::qWaitForWindowExposed(&window) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && std::string(argv[1]).rfind("--child-", 0) == 0)
        return child(argc, argv);
    QApplication app(argc, argv);
    lexaro::EnsureResources();
    makeAppFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    appFolder.reset();
    return 0;
}
