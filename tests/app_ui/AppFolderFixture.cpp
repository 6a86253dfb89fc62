#include "AppFolderFixture.h"

#include "data/ArrayUtil.h"
#include "data/CodeDecode.h"
#include "data/FileUtil.h"
#include "data/LangFHandler.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace lexaro::testing {

AppFolder::AppFolder() {
    EXPECT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkpath("LangFiles");
}

std::string AppFolder::path() const {
    return dir_.path().toStdString();
}

std::string AppFolder::file(const std::string& name) const {
    return JoinPath(path(), name);
}

void AppFolder::copyTextDb() {
    const QString source = QString::fromUtf8(LEXARO_TEXTDB_FILE);
    ASSERT_TRUE(QFile::exists(source)) << LEXARO_TEXTDB_FILE;
    QFile::remove(QString::fromStdString(file("Text.Db")));
    ASSERT_TRUE(QFile::copy(source, QString::fromStdString(file("Text.Db"))));
}

void AppFolder::writeTextDb(const std::map<std::string, std::map<int, std::string>>& sections) {
    std::string content;
    for (const auto& [code, texts] : sections) {
        content += "[" + code + "]\r\n";
        for (const auto& [number, text] : texts)
            content += std::to_string(number) + "=" + text + "\r\n";
        content += "[##]\r\n";
    }
    // Plain form: marker, content, XOR checksum, one zero byte; then scrambled as a whole.
    byteArray plain;
    plain.push_back(kCodedMarker);
    for (const char c : content)
        plain.push_back(static_cast<std::uint8_t>(c));
    std::uint8_t sum = 0;
    for (const auto b : plain)
        sum = static_cast<std::uint8_t>(sum ^ b);
    plain.push_back(sum);
    plain.push_back(0);
    ASSERT_TRUE(WriteWholeFile(file("Text.Db"), ScrambleBytes(plain), true));
}

std::string AppFolder::writeLangFile(const std::string& stem,
                                     const std::vector<test::LessonPlan>& lessons,
                                     const std::vector<std::pair<int, int>>& drawn) {
    TLangFHandler lang = test::GeneratedLangFile(lessons, drawn);
    const std::string target = JoinPath(file("LangFiles"), stem + ".lang");
    EXPECT_TRUE(lang.Save(target));
    return target;
}

void AppFolder::writePicture(const std::string& name, unsigned rgb) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(rgb));
    ASSERT_TRUE(image.save(QString::fromStdString(JoinPath(file("LangFiles"), name)), "BMP"));
}

void AppFolder::writeIni(const std::string& langFile, const std::vector<int>& lessons,
                         const std::string& language, int maxWords,
                         const std::vector<std::string>& entries) {
    std::ostringstream ini;
    ini << "[GeneralProperty]\r\nAutoPresent=True\r\nDelayPresent=5\r\n"
        << "[FontProperty]\r\nFont=Times New Roman\r\nSize=18\r\n"
        << "[VoiceProperty]\r\nVoice1=no Voice\r\nVoice2=no Voice\r\n"
        << "[Exercise]\r\nLangFileName=" << langFile
        << "\r\nLang1=English\r\nLang2=Deutsch\r\nFirstLang=True\r\nMaxWords=" << maxWords
        << "\r\n[AvailableUnits]\r\n";
    for (std::size_t i = 0; i < lessons.size(); ++i)
        ini << i << "=" << lessons[i] << "\r\n";
    ini << "NbrUnits=" << lessons.size() << "\r\n[ExerciseWords]\r\n";
    for (std::size_t i = 0; i < entries.size(); ++i)
        ini << i << "=" << entries[i] << "\r\n";
    ini << "NbrWords=" << entries.size() << "\r\n[Application]\r\nLanguage=" << language << "\r\n";
    std::ofstream out(file("Lexaro.Ini"), std::ios::binary);
    out << ini.str();
}

std::string AppFolder::readIni() const {
    std::ifstream in(file("Lexaro.Ini"), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

MessageRecorder::MessageRecorder() {
    previous_ = setMessageHook([this](const MessageRequest& request) {
        messages.push_back(request);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() {
    setMessageHook(previous_);
}

} // namespace lexaro::testing
