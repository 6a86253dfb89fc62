#pragma once

// What the settings dialog gets from the main window, made up for a test: settings without a
// file, the shipped window texts in one language, a speech engine (or none) and a help
// service that records the contexts asked for.

#include "app/AppIniFile.h"
#include "app/AppLangHandl.h"
#include "app/WindowContext.h"
#include "speech/SpeechEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lexaro::test {

class DialogFixture {
public:
    explicit DialogFixture(const std::string& language = "EN") {
        EXPECT_TRUE(dir_.isValid());
        settings = std::make_shared<TAppIniFile>(dir_.path().toStdString(), nullptr);
        settings->exercise.Lang1 = "English";
        settings->exercise.Lang2 = "Deutsch";
        SelectTexts(language);
    }

    void SelectTexts(const std::string& language) {
        texts = std::make_shared<TAppLangHandler>();
        EXPECT_TRUE(texts->OpenTextDb(LEXARO_TEXTDB_FILE, "Lexaro", nullptr));
        EXPECT_TRUE(texts->SelectLanguage(language));
    }

    TWindowContext Context(std::shared_ptr<TSpeechEngine> speech = nullptr) {
        TWindowContext context;
        context.settings = settings;
        context.texts = texts;
        context.speech = std::move(speech);
        context.showHelp = [this](int helpContext) { helpAsked.push_back(helpContext); };
        return context;
    }

    std::shared_ptr<TAppIniFile> settings;
    std::shared_ptr<TAppLangHandler> texts;
    std::vector<int> helpAsked;

private:
    QTemporaryDir dir_;
};

} // namespace lexaro::test
