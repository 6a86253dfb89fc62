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

std::int32_t FindVoice(const std::optional<TVoiceLanguage>& language,
                       const std::vector<std::string_view>& voiceLanguages) {
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
    return FindVoice(VoiceLanguageOf(languageName, page), voiceLanguages);
}

std::int32_t FindVoiceForLanguageUtf8(std::string_view utf8Name,
                                      const std::vector<std::string_view>& voiceLanguages) {
    return FindVoice(VoiceLanguageOfUtf8(utf8Name), voiceLanguages);
}

} // namespace lexaro
