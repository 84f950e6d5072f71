#include "base/SecureBuffer.h"

#include <cstring>
#include <cwchar>

#ifdef _WIN32
#include <windows.h>
#endif

void SecureWipe(void* data, std::size_t size) {
    if (data == nullptr || size == 0)
        return;
#ifdef _WIN32
    SecureZeroMemory(data, size);
#else
    // A volatile pointer keeps the compiler from dropping stores to memory about to be freed.
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    while (size--)
        *p++ = 0;
#endif
}

SecureBytes::SecureBytes(const void* data, std::size_t size) : m_bytes(size + 1, 0) {
    if (size != 0)
        std::memcpy(m_bytes.data(), data, size);
}

SecretText::SecretText(const wchar_t* text) {
    std::size_t length = text ? std::wcslen(text) : 0;
    m_chars.reserve(length + 1);
    m_chars.assign(text, text + length);
    m_chars.push_back(L'\0');
}
