#include "cli/PinText.h"

#include "base/Language.h"
#include "base/ShownText.h"
#include "base/Utf8.h"

PinTextProblem CheckPinBytes(const char* bytes, std::size_t size) {
    if (size == 0)
        return PinTextProblem::kEmpty;
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] == '\0')
            return PinTextProblem::kNul;
    if (!IsValidUtf8(bytes, size))
        return PinTextProblem::kNotUtf8;
    // Controls only, as they have always been refused: direction marks are a PIN's own business.
    for (std::size_t i = 0, length = 0; i < size; i += length) {
        char32_t code = 0;
        length = Utf8SequenceLength(bytes + i, size - i, code);
        if (IsControlCharacter(code))
            return PinTextProblem::kControl;
    }
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
        if (IsControlCharacter(code))
            return PinTextProblem::kControl;
    }
    return PinTextProblem::kNone;
}

std::wstring PinTextProblemText(PinTextProblem problem) {
    switch (problem) {
    case PinTextProblem::kNone:
        break;
    case PinTextProblem::kEmpty:
        return Localized(L"PIN为空", L"the PIN is empty");
    case PinTextProblem::kNul:
        return Localized(L"PIN中含有空字节（NUL）", L"the PIN holds a NUL byte");
    case PinTextProblem::kControl:
        return Localized(L"PIN中含有控制字符", L"the PIN holds a control character");
    case PinTextProblem::kNotUtf8:
        return Localized(L"PIN不是有效的UTF-8文本（请以UTF-8保存）",
                         L"the PIN is not valid UTF-8 text (please save it as UTF-8)");
    }
    return std::wstring();
}
