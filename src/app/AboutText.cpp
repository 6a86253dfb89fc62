#include "app/AboutText.h"

#include "app/AppLangHandl.h"
#include "data/Charset.h"

namespace lexaro {

namespace {

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.lexically_normal().u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

TAboutText MakeAboutText(const std::function<std::string(std::int32_t)>& texts,
                         const TAboutFacts& facts) {
    auto text = [&texts](std::int32_t n) {
        return Cp1252ToUtf8(texts ? texts(n) : std::string(kMissingText));
    };
    TAboutText about;
    about.title = FillText(text(about_text::kTitle), {facts.program});
    about.what = text(about_text::kWhat);
    about.version = FillText(text(about_text::kVersion), {facts.version});
    const bool portable = facts.folders.form == TAppForm::Portable;
    about.form = text(portable ? about_text::kPortable : about_text::kInstalled);
    about.settings = FillText(text(about_text::kSettings), {Utf8Path(facts.folders.settings)});
    about.langFiles =
        FillText(text(about_text::kLangFiles), {Utf8Path(facts.folders.data / "LangFiles")});
    std::string list;
    for (const std::string& library : facts.libraries) {
        if (library.empty())
            continue;
        if (!list.empty())
            list += ", ";
        list += library;
    }
    about.libraries = FillText(text(about_text::kLibraries), {list});
    return about;
}

} // namespace lexaro
