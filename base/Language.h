#pragma once
// The language every visible text is shown in: Simplified Chinese or English, chosen once when
// a program starts (see LanguageChoice.h) and the same for every thread afterwards.
#include <optional>
#include <string_view>

enum class Language { kChinese, kEnglish };

// Chinese until a program sets its choice, so code run without a choice speaks as it always did.
Language ShownLanguage();
void SetShownLanguage(Language language);

// The text of the language shown: every human text in code is written as such a pair, the
// Chinese first. Both are literals (or live as long as the program), so no copy is made.
const char* Localized(const char* chinese, const char* english);
const wchar_t* Localized(const wchar_t* chinese, const wchar_t* english);

// "zh" or "en" (any case, surrounding spaces tolerated); nothing for anything else.
std::optional<Language> LanguageNamed(std::string_view name);
const char* LanguageCode(Language language);

// The Windows language identifier of resources written in `language`
// (0x0804 Chinese (PRC), 0x0409 English (United States)).
unsigned short WindowsLanguageId(Language language);
