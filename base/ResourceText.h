#pragma once
// A module's resources in the language shown. Windows picks a resource's language by the
// thread's UI language, which Wine and Windows settle differently; the program asks for its
// own language by name, and falls back to Chinese for anything written in Chinese only.
#ifdef _WIN32
#include <windows.h>

#include "base/Language.h"

#include <string>

// String-table entry `id` of `module`; empty when there is none.
std::wstring ResourceString(HINSTANCE module, unsigned id);
// The entry as written in `language` only, whatever language is shown; empty when there is none.
std::wstring ResourceStringIn(HINSTANCE module, unsigned id, Language language);
// The resource `name` of `type` in the language shown, else in Chinese, else any; null when none.
HRSRC FindResourceShown(HINSTANCE module, const wchar_t* name, const wchar_t* type);
#endif
