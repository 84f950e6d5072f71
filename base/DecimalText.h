#pragma once
// Decimal numbers typed as text outside a dialog (command-line options, profile values): digits
// only, no sign and no blanks. A dialog's fields follow the data exchange's own rules.
#include <climits>
#include <cwchar>
#include <optional>
#include <string>

// Beyond every limit the program checks against: what more than nine digits read as.
inline constexpr unsigned long kDecimalTooLong = ULONG_MAX;

// The value, or nothing when the text is empty or holds anything but digits.
inline std::optional<unsigned long> ParseDecimalDigits(const std::wstring& text) {
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    return text.size() > 9 ? kDecimalTooLong : std::wcstoul(text.c_str(), nullptr, 10);
}
