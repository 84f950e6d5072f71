#pragma once
// UTF-8 on the program's edges (the ledger file, command-line arguments, environment, files,
// pipes) and the wide text the operations take, independent of the active code page. UTF-16
// (Windows) and UTF-32 (elsewhere) alike; an unpaired surrogate becomes U+FFFD.
#include "base/SecureBuffer.h"

#include <cstddef>
#include <string>

std::string WideToUtf8(const std::wstring& text);

// Malformed sequences become U+FFFD.
std::wstring Utf8ToWide(const char* bytes, std::size_t size);
inline std::wstring Utf8ToWide(const std::string& text) {
    return Utf8ToWide(text.data(), text.size());
}
// The same for a secret: no copy of it is left in unwiped memory.
SecretText Utf8ToSecret(const char* bytes, std::size_t size);
