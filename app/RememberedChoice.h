#pragma once
// A file an operator picked in the window, remembered for that user: one full path in a file of
// its own under %APPDATA%\Vantor (UTF-8, one line).
#include <string>

// The remembered full path in `fileName`; empty when none is remembered, or the file holds
// anything but the one line this program writes.
std::wstring RememberedChoice(const wchar_t* fileName);
// False when the file could not be written, or `path` is no full path.
bool RememberChoice(const wchar_t* fileName, const std::wstring& path);
// False when the file could not be removed.
bool ForgetChoice(const wchar_t* fileName);
