#include "base/Utf8.h"

#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHigh(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

using WideChars = std::vector<wchar_t, WipingAllocator<wchar_t>>;

void AppendCodePoint(WideChars& out, unsigned long c) {
#if WCHAR_MAX <= 0xFFFF
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        return;
    }
#endif
    out.push_back(static_cast<wchar_t>(c));
}

// Decodes into wiped storage, terminated by a zero.
WideChars Decode(const char* bytes, std::size_t size) {
    WideChars out;
    out.reserve(size + 1);
    for (std::size_t i = 0; i < size;) {
        char32_t code = 0;
        const std::size_t length = Utf8SequenceLength(bytes + i, size - i, code);
        AppendCodePoint(out, length == 0 ? kReplacement : code);
        i += length == 0 ? 1 : length;
    }
    out.push_back(L'\0');
    return out;
}

// Appends the UTF-8 bytes of `size` wide characters; pairs of UTF-16 surrogates are joined.
template <class Bytes> void AppendWide(Bytes& out, const wchar_t* text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        char32_t unit = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && IsHigh(unit) && i + 1 < size &&
            IsLow(static_cast<char32_t>(text[i + 1]))) {
            char32_t low = static_cast<char32_t>(text[++i]);
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, unit);
    }
}

} // namespace

std::size_t Utf8SequenceLength(const char* bytes, std::size_t left, char32_t& code) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char lead = p[0];
    std::size_t extra = lead < 0x80         ? 0
                        : (lead >> 5) == 6  ? 1
                        : (lead >> 4) == 14 ? 2
                        : (lead >> 3) == 30 ? 3
                                            : 9;
    if (extra == 9 || extra >= left)
        return 0;
    code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[k] & 0x3F);
    }
    static const char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return extra + 1;
}

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size() * 3);
    AppendWide(out, text.data(), text.size());
    return out;
}

SecureBytes SecretToUtf8(const SecretText& text) {
    std::vector<unsigned char, WipingAllocator<unsigned char>> bytes;
    bytes.reserve(text.length() * 4);
    AppendWide(bytes, text.c_str(), text.length());
    return SecureBytes(bytes.data(), bytes.size());
}

std::wstring Utf8ToWide(const char* bytes, std::size_t size) {
    WideChars chars = Decode(bytes, size);
    return std::wstring(chars.data(), chars.size() - 1);
}

SecretText Utf8ToSecret(const char* bytes, std::size_t size) {
    return SecretText(Decode(bytes, size).data());
}
