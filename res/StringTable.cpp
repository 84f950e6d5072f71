#include "res/StringTable.h"
#include "res/StringIds.h"

#include "base/Language.h"

#include <cstdio>

#ifdef _WIN32
#include "base/ResourceText.h"

std::wstring LoadStringDirect(unsigned id) {
    return ResourceString(GetModuleHandleW(nullptr), id);
}

#else
#include <map>

namespace {
const std::map<unsigned, std::wstring>& ChineseTable() {
#define VANTOR_STRING(id, text) {id, L"" text},
    static const std::map<unsigned, std::wstring> table = {
#include "strings.inc"
    };
#undef VANTOR_STRING
    return table;
}

const std::map<unsigned, std::wstring>& EnglishTable() {
#define VANTOR_STRING(id, text) {id, L"" text},
    static const std::map<unsigned, std::wstring> table = {
#include "strings.en.inc"
    };
#undef VANTOR_STRING
    return table;
}
} // namespace

std::wstring LoadStringDirect(unsigned id) {
    const auto& table = ShownLanguage() == Language::kEnglish ? EnglishTable() : ChineseTable();
    auto it = table.find(id);
    return it == table.end() ? std::wstring() : it->second;
}
#endif

std::wstring LoadStringOrDefault(unsigned id) {
    std::wstring text = LoadStringDirect(id);
    return text.empty() ? std::wstring(Localized(L"未知错误", L"Unknown error")) : text;
}

std::wstring UnknownResultText(unsigned long result) {
    wchar_t code[32];
    std::swprintf(code, sizeof code / sizeof code[0], L",code =0x%08lX", result & 0xFFFFFFFFul);
    return LoadStringOrDefault(IDS_UNKNOWN_ERROR) + code;
}

std::wstring MessageWithCode(unsigned id, unsigned long code) {
    std::wstring text = LoadStringOrDefault(id);
    wchar_t digits[16];
    std::swprintf(digits, sizeof digits / sizeof digits[0], L"%08lX", code & 0xFFFFFFFFul);
    const std::wstring::size_type place = text.find(L"%08X");
    if (place != std::wstring::npos)
        text.replace(place, 4, digits);
    return text;
}
