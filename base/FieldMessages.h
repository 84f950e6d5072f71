#pragma once
// The wording of a field's validation messages, in the program's language: the window
// program's data exchange and the command line's profile check say the same.
inline constexpr wchar_t kNotAnInteger[] = L"请输入一个整数。";
inline constexpr wchar_t kNotUnsigned[] = L"请输入一个正整数。";
inline constexpr wchar_t kSignedRangeFormat[] = L"请输入一个介于 %d 和 %d 之间的整数。";
inline constexpr wchar_t kUnsignedRangeFormat[] = L"请输入一个介于 %lu 和 %lu 之间的整数。";
inline constexpr wchar_t kTooLongFormat[] = L"请输入不超过 %d 个字符。";
