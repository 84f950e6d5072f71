#include "cli/PinText.h"

#include "base/ShownText.h"

namespace {

// As ShownText escapes them: C0, DEL, C1 and the Unicode line and paragraph separators.
bool IsControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029;
}

// The code point of the valid UTF-8 sequence at `p`; its length was checked before.
char32_t Decode(const unsigned char* p, std::size_t& length) {
    const unsigned char lead = p[0];
    length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
    char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (std::size_t k = 1; k < length; ++k)
        code = (code << 6) | (p[k] & 0x3F);
    return code;
}

} // namespace

PinTextProblem CheckPinBytes(const char* bytes, std::size_t size) {
    if (size == 0)
        return PinTextProblem::kEmpty;
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] == '\0')
            return PinTextProblem::kNul;
    if (!IsValidUtf8(bytes, size))
        return PinTextProblem::kNotUtf8;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0, length = 0; i < size; i += length)
        if (IsControl(Decode(p + i, length)))
            return PinTextProblem::kControl;
    return PinTextProblem::kNone;
}

PinTextProblem CheckPinChars(const wchar_t* text, std::size_t length) {
    if (length == 0)
        return PinTextProblem::kEmpty;
    for (std::size_t i = 0; i < length; ++i) {
        char32_t code = static_cast<char32_t>(text[i]);
        if (code == 0)
            return PinTextProblem::kNul;
        if (code >= 0xD800 && code <= 0xDFFF) {
            // UTF-16: a high surrogate followed by a low one is one character beyond U+FFFF.
            const bool bPaired = sizeof(wchar_t) == 2 && code <= 0xDBFF && i + 1 < length &&
                                 text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            if (!bPaired)
                return PinTextProblem::kNotUtf8;
            ++i;
            continue;
        }
        if (code == 0xFFFD || code > 0x10FFFF)
            return PinTextProblem::kNotUtf8;
        if (IsControl(code))
            return PinTextProblem::kControl;
    }
    return PinTextProblem::kNone;
}

std::wstring PinTextProblemText(PinTextProblem problem) {
    switch (problem) {
    case PinTextProblem::kNone:
        break;
    case PinTextProblem::kEmpty:
        return L"PIN为空";
    case PinTextProblem::kNul:
        return L"PIN中含有空字节（NUL）";
    case PinTextProblem::kControl:
        return L"PIN中含有控制字符";
    case PinTextProblem::kNotUtf8:
        return L"PIN不是有效的UTF-8文本（请以UTF-8保存）";
    }
    return std::wstring();
}
