#include "base/ShownText.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at `p` (of `left` bytes), 0 when it is not one.
std::size_t SequenceLength(const unsigned char* p, std::size_t left, char32_t& code) {
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

// C0, DEL and C1 controls, the line and paragraph separators, and the marks that reorder the
// text around them (a file name could be made to read backwards).
bool IsControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
           code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

std::string Escape(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

bool IsValidUtf8(const char* bytes, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size;) {
        char32_t code = 0;
        const std::size_t length = SequenceLength(p + i, size - i, code);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string ShownText(const std::string& utf8, std::size_t maxBytes) {
    std::string shown;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        const std::size_t length = SequenceLength(p + i, utf8.size() - i, code);
        std::string piece;
        if (length == 0)
            piece = Escape("\\x%02X", p[i]);
        else if (IsControl(code))
            piece = code < 0x100 ? Escape("\\x%02X", code) : Escape("\\u%04X", code);
        else
            piece.assign(utf8, i, length);
        if (shown.size() + piece.size() > maxBytes)
            return shown + "…";
        shown += piece;
        i += length == 0 ? 1 : length;
    }
    return shown;
}

std::wstring ShownText(const std::wstring& text, std::size_t maxChars) {
    std::wstring shown;
    for (wchar_t c : text) {
        const char32_t code = static_cast<char32_t>(c);
        std::wstring piece;
        if (IsControl(code) || (code >= 0xD800 && code <= 0xDFFF && sizeof(wchar_t) > 2)) {
            wchar_t escaped[16];
            std::swprintf(escaped, 16, code < 0x100 ? L"\\x%02X" : L"\\u%04X", static_cast<unsigned>(code));
            piece = escaped;
        } else {
            piece.assign(1, c);
        }
        if (shown.size() + piece.size() > maxChars)
            return shown + L"…";
        shown += piece;
    }
    return shown;
}
