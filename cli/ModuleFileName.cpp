#include "cli/ModuleFileName.h"

#include "base/Utf8.h"
#include "token/TokenModule.h"

#include <filesystem>

std::wstring ModuleFileName(const std::wstring& path) {
    if (path.empty())
        return VANTOR_TOKEN_MODULE_NAME;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
#ifdef _WIN32
    return error ? path : full.wstring();
#else
    // The native loader takes the file name's bytes one per wide character.
    const std::string bytes = error ? WideToUtf8(path) : full.string();
    return std::wstring(bytes.begin(), bytes.end());
#endif
}
