#pragma once
// Which language a program starts in. VANTOR_LANG (zh or en) decides first, then the choice the
// user made in the window's system menu, then the desktop's UI language: Chinese for any
// Chinese UI language, otherwise English. The window and the console follow the same rule.
#include "base/Language.h"

#include <optional>

Language ChooseLanguage(std::optional<Language> fromEnvironment, std::optional<Language> remembered,
                        Language desktop);

// VANTOR_LANG; nothing when it is unset or names no language.
std::optional<Language> LanguageFromEnvironment();
// The user's UI language on Windows; natively LC_ALL, LC_MESSAGES or LANG.
Language DesktopLanguage();

// The user's choice, one line "zh" or "en" in a file of its own (%APPDATA%\Vantor\language.txt;
// natively under $XDG_CONFIG_HOME or ~/.config, vantor/language.txt). Nothing when no choice
// is remembered or the file holds anything else.
std::optional<Language> RememberedLanguage();
// False when the file could not be written.
bool RememberLanguage(Language language);

// ChooseLanguage over the three, for a program's start.
Language StartingLanguage();
