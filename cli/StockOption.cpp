#include "cli/StockOption.h"

#include "base/Utf8.h"

std::filesystem::path ArgumentPath(const std::wstring& argument) {
#ifdef _WIN32
    return std::filesystem::path(argument);
#else
    return std::filesystem::path(WideToUtf8(argument));
#endif
}

std::wstring ReadStockOption(const std::wstring& path, StockList& list) {
    const std::filesystem::path file = ArgumentPath(path);
    list = ReadStockList(file);
    return Utf8ToWide(StockListProblem(file, list));
}
