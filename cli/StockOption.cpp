#include "cli/StockOption.h"

#include "base/Utf8.h"

std::wstring ReadStockOption(const std::wstring& path, StockList& list) {
    const std::filesystem::path file = ArgumentPath(path);
    list = ReadStockList(file);
    return Utf8ToWide(StockListProblem(file, list));
}
