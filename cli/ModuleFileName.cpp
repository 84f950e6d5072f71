#include "cli/ModuleFileName.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "cli/StockOption.h"
#include "token/TokenModule.h"

#include <filesystem>

std::wstring ModuleFileName(const std::wstring& path) {
    if (path.empty())
        return VANTOR_TOKEN_MODULE_NAME;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(ArgumentPath(path), error);
#ifdef _WIN32
    return error ? path : full.wstring();
#else
    // The native loader takes the file name's bytes one per wide character.
    const std::string bytes = error ? WideToUtf8(path) : full.native();
    return std::wstring(bytes.begin(), bytes.end());
#endif
}

std::wstring ModuleFileProblem(const std::wstring& path) {
    if (path.empty())
        return std::wstring();
    // The file's type from its entry: nothing is opened, so no device is woken.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(ArgumentPath(path), error);
    if (error || !std::filesystem::exists(status) || std::filesystem::is_regular_file(status))
        return std::wstring();
    return Localized(L"令牌模块 ", L"Token module ") + ShownText(path, 300) +
           Localized(L" 无法使用：", L" cannot be used: ") +
           Utf8ToWide(FileReadProblem(FileRead::kNotRegular, 0));
}
