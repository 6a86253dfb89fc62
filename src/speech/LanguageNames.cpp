#include "speech/LanguageNames.h"

#include "data/Languages.h"

#include <string>

namespace lexaro {

namespace {

std::optional<TVoiceLanguage> VoiceLanguageOfEntry(const TLanguage* language) {
    if (language == nullptr)
        return std::nullopt;
    return TVoiceLanguage{language->SpeechName(), language->HomeVoice()};
}

// The language of a voice's language as the speech control names it (Windows-1252): by the
// table's names ("Gaelic (Scottish)", "Myanmar (Burmese)"), or for a voice named by its file
// because its name does not fit the code page ("poz/mi"), by that file's language code.
const TLanguage* LanguageOfVoice(std::string_view voiceLanguage) {
    const std::string utf8 = TCodePage::Western().ToUtf8(voiceLanguage);
    if (const TLanguage* language = FindLanguage(utf8))
        return language;
    const auto slash = utf8.rfind('/');
    if (slash != std::string::npos && utf8.find(' ') == std::string::npos)
        return FindLanguageOfVoice(std::string_view(utf8).substr(slash + 1));
    return nullptr;
}

std::int32_t FindVoice(const TLanguage* entry,
                       const std::vector<std::string_view>& voiceLanguages) {
    const auto language = VoiceLanguageOfEntry(entry);
    if (!language)
        return 0;
    for (std::size_t i = 0; i < voiceLanguages.size(); ++i)
        if (voiceLanguages[i] == language->home)
            return static_cast<std::int32_t>(i + 1);
    const std::string variant = std::string(language->language) + " (";
    for (std::size_t i = 0; i < voiceLanguages.size(); ++i) {
        const std::string_view voice = voiceLanguages[i];
        if (voice == language->language || voice.substr(0, variant.size()) == variant)
            return static_cast<std::int32_t>(i + 1);
    }
    // A voice whose language the control names otherwise than the table.
    for (std::size_t i = 0; i < voiceLanguages.size(); ++i)
        if (LanguageOfVoice(voiceLanguages[i]) == entry)
            return static_cast<std::int32_t>(i + 1);
    return 0;
}

} // namespace

std::optional<TVoiceLanguage> VoiceLanguageOf(std::string_view languageName,
                                              const TCodePage& page) {
    return VoiceLanguageOfEntry(FindLanguage(languageName, page));
}

std::optional<TVoiceLanguage> VoiceLanguageOfUtf8(std::string_view utf8Name) {
    return VoiceLanguageOfEntry(FindLanguage(utf8Name));
}

std::int32_t FindVoiceForLanguage(std::string_view languageName,
                                  const std::vector<std::string_view>& voiceLanguages,
                                  const TCodePage& page) {
    return FindVoice(FindLanguage(languageName, page), voiceLanguages);
}

std::int32_t FindVoiceForLanguageUtf8(std::string_view utf8Name,
                                      const std::vector<std::string_view>& voiceLanguages) {
    return FindVoice(FindLanguage(utf8Name), voiceLanguages);
}

} // namespace lexaro
