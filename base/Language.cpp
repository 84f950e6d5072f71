#include "base/Language.h"

#include <atomic>
#include <cctype>

namespace {
std::atomic<Language> g_shownLanguage{Language::kChinese};
} // namespace

Language ShownLanguage() {
    return g_shownLanguage.load(std::memory_order_relaxed);
}

void SetShownLanguage(Language language) {
    g_shownLanguage.store(language, std::memory_order_relaxed);
}

const char* Localized(const char* chinese, const char* english) {
    return ShownLanguage() == Language::kEnglish ? english : chinese;
}

const wchar_t* Localized(const wchar_t* chinese, const wchar_t* english) {
    return ShownLanguage() == Language::kEnglish ? english : chinese;
}

std::optional<Language> LanguageNamed(std::string_view name) {
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front())))
        name.remove_prefix(1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
        name.remove_suffix(1);
    if (name.size() != 2)
        return std::nullopt;
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    const char second = static_cast<char>(std::tolower(static_cast<unsigned char>(name[1])));
    if (first == 'z' && second == 'h')
        return Language::kChinese;
    if (first == 'e' && second == 'n')
        return Language::kEnglish;
    return std::nullopt;
}

const char* LanguageCode(Language language) {
    return language == Language::kEnglish ? "en" : "zh";
}

unsigned short WindowsLanguageId(Language language) {
    return language == Language::kEnglish ? 0x0409 : 0x0804;
}
