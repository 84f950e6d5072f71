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

// C0, DEL and C1 controls and the line and paragraph separators: a terminal acts on them.
bool IsControlCharacter(char32_t code);
// The marks that reorder the text around them (U+200E, U+202A..202E, U+2066..2069 and kin).
bool IsDirectionMark(char32_t code);

// UTF-8 in, UTF-8 out; `maxBytes` cuts a long text at a character boundary, marked by "…".
std::string ShownText(const std::string& utf8, std::size_t maxBytes = 200);
std::wstring ShownText(const std::wstring& text, std::size_t maxChars = 200);
