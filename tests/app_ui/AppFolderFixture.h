#pragma once

#include "app/UiHelpers.h"
#include "support/LangFiles.h"

#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

namespace lexaro::testing {

// A temporary application folder: Text.Db, Lexaro.Ini and a language file.
class AppFolder {
public:
    AppFolder();
    std::string path() const;
    std::string file(const std::string& name) const;

    // Copies the program's generated Text.Db (the build passes its path).
    void copyTextDb();
    // A Text.Db of the given sections only ("EN" -> number -> text).
    void writeTextDb(const std::map<std::string, std::map<int, std::string>>& sections);
    // A language file "LangFiles/<stem>.lang" (English / Deutsch) with the lessons.
    std::string writeLangFile(const std::string& stem, const std::vector<test::LessonPlan>& lessons,
                              const std::vector<std::pair<int, int>>& drawn = {});
    // A picture of one colour beside a file, named by the given file name.
    void writePicture(const std::string& name, unsigned rgb);
    // Lexaro.Ini for the language file with the chosen lessons and exercise entries.
    void writeIni(const std::string& langFile, const std::vector<int>& lessons,
                  const std::string& language = "EN", int maxWords = 300,
                  const std::vector<std::string>& entries = {});
    std::string readIni() const;

private:
    QTemporaryDir dir_;
};

// Records message boxes instead of showing them, for the lifetime of the object.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<MessageRequest> messages;
    int answer = kIdOk;

private:
    MessageHook previous_;
};

} // namespace lexaro::testing
