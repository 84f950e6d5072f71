#pragma once
// Text from outside (a file's line, an argument, a serial) shown to the operator: control
// characters could retitle or clear a terminal, direction marks reorder what follows them, and
// bytes that are not UTF-8 garble it, so all are shown escaped (`\x1B`, `\u202E`), everything
// else as it is.
#include <cstddef>
#include <string>

bool IsValidUtf8(const char* bytes, std::size_t size);
inline bool IsValidUtf8(const std::string& text) {
    return IsValidUtf8(text.data(), text.size());
}

// UTF-8 in, UTF-8 out; `maxBytes` cuts a long text at a character boundary, marked by "…".
std::string ShownText(const std::string& utf8, std::size_t maxBytes = 200);
std::wstring ShownText(const std::wstring& text, std::size_t maxChars = 200);
