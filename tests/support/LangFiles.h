#pragma once

#include "data/LangFHandler.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lexaro::test {

// A lesson of generated pairs, all with the same `use` mark.
struct LessonPlan {
    int number = 0;
    int pairs = 0;
    bool use = true;
};

// A language file English/Deutsch whose pairs read "word <lesson>.<i>" / "Wort <lesson>.<i>";
// drawn names the pairs (lesson, id) that carry the drawn mark.
inline TLangFHandler GeneratedLangFile(const std::vector<LessonPlan>& lessons,
                                       const std::vector<std::pair<int, int>>& drawn = {}) {
    TLangFHandler lang;
    lang.SetLanguageNames("English", "Deutsch");
    for (const LessonPlan& plan : lessons) {
        auto lesson = std::make_shared<TLesson>();
        lesson->number = plan.number;
        for (int i = 0; i < plan.pairs; ++i) {
            auto pair = lesson->NewPair(i);
            pair->text1 = "word " + std::to_string(plan.number) + "." + std::to_string(i);
            pair->text2 = "Wort " + std::to_string(plan.number) + "." + std::to_string(i);
            pair->use = plan.use;
        }
        for (const auto& [number, id] : drawn)
            if (number == plan.number)
                lesson->PairAt(id)->drawn = true;
        lang.PutLesson(lesson);
    }
    return lang;
}

} // namespace lexaro::test
