#pragma once
// A file's name in a message: its bytes (or UTF-16 units) may be anything the file system
// allows, so it is shown as UTF-8 with control characters and undecodable bytes escaped, and
// its conversion can never throw as std::filesystem::path::u8string() can.
#include <filesystem>
#include <string>

std::string ShownPath(const std::filesystem::path& path);
