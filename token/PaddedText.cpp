#include "token/PaddedText.h"

std::wstring PaddedText(const CK_UTF8CHAR* field, std::size_t size) {
    while (size > 0 && (field[size - 1] == ' ' || field[size - 1] == 0))
        --size;
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i)
        text += field[i] >= 0x20 && field[i] < 0x7F ? static_cast<wchar_t>(field[i]) : L'?';
    return text;
}

std::wstring VersionText(const CK_VERSION& version) {
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
}
