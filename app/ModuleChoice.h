#pragma once
// The token module an operator picked in the window, remembered for that user: one full path
// in %APPDATA%\Vantor\token-module.txt (UTF-8). Without it the maker's module is found as always.
#include <string>

// The remembered full path; empty when none is remembered or it is no full path.
std::wstring RememberedModulePath();
// False when the file could not be written.
bool RememberModulePath(const std::wstring& path);
// Back to the maker's module at the next start: false when the file could not be removed.
bool ForgetModulePath();
// The file dialog for a module file (*.dll); empty when the operator cancels.
std::wstring PickModuleFile(void* ownerWindow);
