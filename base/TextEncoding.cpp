#include "base/TextEncoding.h"

#ifdef _WIN32
#include <windows.h>

SecureBytes WideToMultiByte(const wchar_t* text, unsigned codePage) {
    if (text == nullptr)
        return SecureBytes();
    // Size with the terminating zero converted and counted too (length -1).
    int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return SecureBytes();
    std::vector<char, WipingAllocator<char>> buffer(static_cast<size_t>(n) + 1, 0);
    WideCharToMultiByte(codePage, 0, text, -1, buffer.data(), n + 1, nullptr, nullptr);
    return SecureBytes(buffer.data(), std::char_traits<char>::length(buffer.data()));
}

#else
#include "base/Utf8.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <vector>

namespace {

using ByteVector = std::vector<unsigned char, WipingAllocator<unsigned char>>;

// The locale's character set stands in for the active ANSI code page; what it cannot
// represent becomes the default character '?', as with flags 0 on Windows.
void AppendLocaleCharset(ByteVector& out, wchar_t c) {
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    size_t n = std::wcrtomb(bytes, c, &state);
    if (n == static_cast<size_t>(-1)) {
        out.push_back('?');
        return;
    }
    out.insert(out.end(), bytes, bytes + n);
}

} // namespace

SecureBytes WideToMultiByte(const wchar_t* text, unsigned codePage) {
    if (text == nullptr || (codePage != CP_ACP && codePage != CP_UTF8))
        return SecureBytes();
    ByteVector bytes;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        if (codePage == CP_UTF8)
            AppendUtf8(bytes, static_cast<char32_t>(*p));
        else
            AppendLocaleCharset(bytes, *p);
    }
    return SecureBytes(bytes.data(), bytes.size());
}
#endif
