#pragma once
// The module file a command binds: the program's own search, or the path the operator named.
#include <string>

// An explicit module path is made absolute, so that it names exactly one file.
std::wstring ModuleFileName(const std::wstring& path);

// Why the module the operator named is refused before it is loaded: a folder, a device or a
// pipe (loading a pipe would wait for ever). Empty for the program's own search, for a regular
// file, and for a path that names nothing, which the loader reports as it always has.
std::wstring ModuleFileProblem(const std::wstring& path);
