#pragma once
// --stock FILE, as every command that takes it reads it.
#include "base/ArgumentPath.h"
#include "stock/StockList.h"

#include <filesystem>
#include <string>

// Reads the list at `path` into `list`; empty, or what is wrong with it: the file and, for a
// malformed line, its number.
std::wstring ReadStockOption(const std::wstring& path, StockList& list);
