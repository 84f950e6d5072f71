#include "base/LanguageChoice.h"

#include "base/RegularFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// "zh\r\n" and some room: a larger file is not the program's.
constexpr std::size_t kLanguageFileMaxBytes = 64;

std::filesystem::path ChoiceFolder() {
#ifdef _WIN32
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || *appData == L'\0')
        return {};
    return std::filesystem::path(appData) / L"Vantor";
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/')
        return std::filesystem::path(config) / "vantor";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home != '/')
        return {};
    return std::filesystem::path(home) / ".config" / "vantor";
#endif
}

} // namespace

Language ChooseLanguage(std::optional<Language> fromEnvironment, std::optional<Language> remembered,
                        Language desktop) {
    if (fromEnvironment)
        return *fromEnvironment;
    if (remembered)
        return *remembered;
    return desktop;
}

std::optional<Language> LanguageFromEnvironment() {
    const char* value = std::getenv("VANTOR_LANG");
    return value == nullptr ? std::nullopt : LanguageNamed(value);
}

Language DesktopLanguage() {
#ifdef _WIN32
    constexpr LANGID kChinesePrimary = 0x04;
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == kChinesePrimary ? Language::kChinese
                                                                        : Language::kEnglish;
#else
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return std::string(value).rfind("zh", 0) == 0 ? Language::kChinese : Language::kEnglish;
    }
    return Language::kEnglish;
#endif
}

std::optional<Language> RememberedLanguage() {
    const std::filesystem::path folder = ChoiceFolder();
    std::string text;
    if (folder.empty() ||
        ReadRegularFile(folder / "language.txt", kLanguageFileMaxBytes, text) != FileRead::kRead)
        return std::nullopt;
    return LanguageNamed(text);
}

bool RememberLanguage(Language language) {
    const std::filesystem::path folder = ChoiceFolder();
    if (folder.empty())
        return false;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
#ifdef _WIN32
    std::FILE* out = _wfopen((folder / L"language.txt").c_str(), L"wb");
#else
    std::FILE* out = std::fopen((folder / "language.txt").c_str(), "wb");
#endif
    if (out == nullptr)
        return false;
    const std::string line = std::string(LanguageCode(language)) + "\n";
    const bool bWritten = std::fwrite(line.data(), 1, line.size(), out) == line.size();
    return std::fclose(out) == 0 && bWritten;
}

Language StartingLanguage() {
    return ChooseLanguage(LanguageFromEnvironment(), RememberedLanguage(), DesktopLanguage());
}
