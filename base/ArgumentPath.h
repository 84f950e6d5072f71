#pragma once
// A path the operator gave as an argument or a field: on Windows its UTF-16 text, elsewhere
// its UTF-8 bytes, so that every reader of a named file opens the same file.
#include <filesystem>
#include <string>

std::filesystem::path ArgumentPath(const std::wstring& argument);
