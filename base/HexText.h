#pragma once
// Bytes as hexadecimal digits, two a byte, high digit first, and the digits read back: the
// ledger's chain values (lower case), serials, records and result lines (upper case).
#include <cstddef>
#include <optional>
#include <string>

enum class HexCase { kUpper, kLower };

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";
inline constexpr char kLowerHexDigits[] = "0123456789abcdef";

// Appends the digits to any container of chars with push_back (a secret's wiped storage too).
template <class Chars>
void AppendHex(Chars& out, const void* data, std::size_t size, HexCase letters = HexCase::kUpper) {
    const char* digits = letters == HexCase::kUpper ? kUpperHexDigits : kLowerHexDigits;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0F]);
    }
}

std::string HexText(const void* data, std::size_t size, HexCase letters = HexCase::kUpper);
// Upper case, for the texts the window shows.
std::wstring WideHexText(const void* data, std::size_t size);

// The value of one digit; -1 for any other character. With `only`, letters of the other case
// are not digits.
int HexDigitValue(char c, std::optional<HexCase> only = std::nullopt);
// The byte two digits stand for; -1 when either is not a digit.
int HexByteValue(char high, char low, std::optional<HexCase> only = std::nullopt);
