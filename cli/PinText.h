#pragma once
// Whether a PIN as read from its source (a file's first line, a variable, the terminal, a
// station child's standard input) may be sent at all. A PIN cut at a NUL, garbled by another
// code page or carrying a control character would reach the token as a PIN nobody typed and
// spend a try on it; an empty one is a mistake in the source. All are refused before any
// module call, by what is wrong, never by the PIN's bytes.
#include "base/SecureBuffer.h"

#include <cstddef>
#include <string>

enum class PinTextProblem { kNone, kEmpty, kNul, kControl, kNotUtf8 };

// The PIN's bytes as its source gave them (expected: UTF-8).
PinTextProblem CheckPinBytes(const char* bytes, std::size_t size);
// A PIN already decoded (Windows' wide sources, the terminal): U+FFFD, the decoder's mark of
// bytes that were not UTF-8, and unpaired surrogates count as not UTF-8.
PinTextProblem CheckPinChars(const wchar_t* text, std::size_t length);
inline PinTextProblem CheckPinText(const SecretText& pin) {
    return CheckPinChars(pin.c_str(), pin.length());
}

// What is wrong, for a message that names the source before it: "PIN为空", …
std::wstring PinTextProblemText(PinTextProblem problem);
