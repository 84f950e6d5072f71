#pragma once
// Wide text to UTF-8 for the ledger file, independent of the active code page. UTF-16
// (Windows) and UTF-32 (elsewhere) alike; an unpaired surrogate becomes U+FFFD.
#include <string>

std::string WideToUtf8(const std::wstring& text);
