#pragma once
// UTF-8 on the program's edges (the ledger file, command-line arguments, environment, files,
// pipes) and the wide text the operations take, independent of the active code page. UTF-16
// (Windows) and UTF-32 (elsewhere) alike; an unpaired surrogate becomes U+FFFD.
#include "base/SecureBuffer.h"

#include <cstddef>
#include <string>

// Appends one code point to `out` (any container of bytes with push_back); surrogates and
// values beyond Unicode become U+FFFD.
template <class Bytes> void AppendUtf8(Bytes& out, char32_t code) {
    using Byte = typename Bytes::value_type;
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out.push_back(static_cast<Byte>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<Byte>(0xC0 | (code >> 6)));
        out.push_back(static_cast<Byte>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<Byte>(0xE0 | (code >> 12)));
        out.push_back(static_cast<Byte>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<Byte>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<Byte>(0xF0 | (code >> 18)));
        out.push_back(static_cast<Byte>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<Byte>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<Byte>(0x80 | (code & 0x3F)));
    }
}

// The length of the valid UTF-8 sequence at `bytes` (of `left` bytes) with its code point in
// `code`; 0 when it is not one (a stray byte, a cut, overlong or surrogate sequence).
std::size_t Utf8SequenceLength(const char* bytes, std::size_t left, char32_t& code);

std::string WideToUtf8(const std::wstring& text);
// A secret's UTF-8 bytes, in wiped storage only.
SecureBytes SecretToUtf8(const SecretText& text);

// Malformed sequences become U+FFFD.
std::wstring Utf8ToWide(const char* bytes, std::size_t size);
inline std::wstring Utf8ToWide(const std::string& text) {
    return Utf8ToWide(text.data(), text.size());
}
// The same for a secret: no copy of it is left in unwiped memory.
SecretText Utf8ToSecret(const char* bytes, std::size_t size);
