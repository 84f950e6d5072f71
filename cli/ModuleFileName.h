#pragma once
// The module file a command binds: the program's own search, or the path the operator named.
#include <string>

// An explicit module path is made absolute, so that it names exactly one file.
std::wstring ModuleFileName(const std::wstring& path);
