#include "base/ShownText.h"

#include "base/Utf8.h"

#include <cstdio>

namespace {

// Controls and the marks that reorder the text around them (a file name could be made to read
// backwards) alike.
bool IsControl(char32_t code) {
    return IsControlCharacter(code) || IsDirectionMark(code);
}

std::string Escape(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

bool IsControlCharacter(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029;
}

bool IsDirectionMark(char32_t code) {
    return code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

bool IsValidUtf8(const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size;) {
        char32_t code = 0;
        const std::size_t length = Utf8SequenceLength(bytes + i, size - i, code);
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
        const std::size_t length = Utf8SequenceLength(utf8.data() + i, utf8.size() - i, code);
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
