#include "base/ArgumentPath.h"

#include "base/Utf8.h"

std::filesystem::path ArgumentPath(const std::wstring& argument) {
#ifdef _WIN32
    return std::filesystem::path(argument);
#else
    return std::filesystem::path(WideToUtf8(argument));
#endif
}
