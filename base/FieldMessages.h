#pragma once
// The wording of a field's validation messages, in the program's language: the window
// program's data exchange and the command line's profile check say the same.
#include "base/Language.h"

// A message that reads as `const wchar_t*` in the language shown whenever it is used, so the
// places that format or show it need not know it has two languages.
struct FieldMessage {
    const wchar_t* (*text)();
    operator const wchar_t*() const { return text(); }
};

inline const wchar_t* NotAnIntegerText() {
    return Localized(L"请输入一个整数。", L"Please enter a whole number.");
}
inline const wchar_t* NotUnsignedText() {
    return Localized(L"请输入一个正整数。", L"Please enter a positive whole number.");
}
inline const wchar_t* SignedRangeFormatText() {
    return Localized(L"请输入一个介于 %d 和 %d 之间的整数。", L"Please enter a whole number from %d to %d.");
}
inline const wchar_t* UnsignedRangeFormatText() {
    return Localized(L"请输入一个介于 %lu 和 %lu 之间的整数。",
                     L"Please enter a whole number from %lu to %lu.");
}
inline const wchar_t* TooLongFormatText() {
    return Localized(L"请输入不超过 %d 个字符。", L"Please enter no more than %d characters.");
}

inline constexpr FieldMessage kNotAnInteger{NotAnIntegerText};
inline constexpr FieldMessage kNotUnsigned{NotUnsignedText};
inline constexpr FieldMessage kSignedRangeFormat{SignedRangeFormatText};
inline constexpr FieldMessage kUnsignedRangeFormat{UnsignedRangeFormatText};
inline constexpr FieldMessage kTooLongFormat{TooLongFormatText};
