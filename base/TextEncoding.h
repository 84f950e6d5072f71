#pragma once
// Wide field text to the counted byte string handed to the token module: PINs in the
// active ANSI code page, the label in UTF-8. Never fails: an unsupported code page or a
// conversion error gives an empty byte string.
#include "base/SecureBuffer.h"

#include <string>

#ifndef CP_ACP
#define CP_ACP 0
#endif
#ifndef CP_UTF8
#define CP_UTF8 65001
#endif

// Text is taken up to its first zero character.
SecureBytes WideToMultiByte(const wchar_t* text, unsigned codePage);
inline SecureBytes WideToMultiByte(const std::wstring& text, unsigned codePage) {
    return WideToMultiByte(text.c_str(), codePage);
}
inline SecureBytes WideToMultiByte(const SecretText& text, unsigned codePage) {
    return WideToMultiByte(text.c_str(), codePage);
}
