#include "base/HexText.h"

std::string HexText(const void* data, std::size_t size, HexCase letters) {
    std::string text;
    text.reserve(2 * size);
    AppendHex(text, data, size, letters);
    return text;
}

std::wstring WideHexText(const void* data, std::size_t size) {
    const std::string text = HexText(data, size);
    return std::wstring(text.begin(), text.end());
}

int HexDigitValue(char c, std::optional<HexCase> only) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F' && only != HexCase::kLower)
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f' && only != HexCase::kUpper)
        return c - 'a' + 10;
    return -1;
}

int HexByteValue(char high, char low, std::optional<HexCase> only) {
    const int highValue = HexDigitValue(high, only), lowValue = HexDigitValue(low, only);
    return highValue < 0 || lowValue < 0 ? -1 : highValue * 16 + lowValue;
}
