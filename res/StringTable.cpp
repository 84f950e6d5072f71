#include "res/StringTable.h"
#include "res/StringIds.h"

#include <cstdio>

#ifdef _WIN32
#include "base/ResourceText.h"

std::wstring LoadStringDirect(unsigned id) {
    return ResourceString(GetModuleHandleW(nullptr), id);
}

std::wstring LoadStringIn(unsigned id, Language language) {
    return ResourceStringIn(GetModuleHandleW(nullptr), id, language);
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

std::wstring LoadStringIn(unsigned id, Language language) {
    const auto& table = language == Language::kEnglish ? EnglishTable() : ChineseTable();
    auto it = table.find(id);
    return it == table.end() ? std::wstring() : it->second;
}

std::wstring LoadStringDirect(unsigned id) {
    return LoadStringIn(id, ShownLanguage());
}
#endif

std::wstring LoadStringOrDefault(unsigned id) {
    std::wstring text = LoadStringDirect(id);
    return text.empty() ? std::wstring(Localized(L"未知错误", L"Unknown error")) : text;
}

namespace {

// Entry `id` with its first `placeholder` replaced by `value`.
std::wstring Filled(unsigned id, const wchar_t* placeholder, const std::wstring& value) {
    std::wstring text = LoadStringOrDefault(id);
    const std::wstring key(placeholder);
    const std::wstring::size_type place = text.find(key);
    if (place != std::wstring::npos)
        text.replace(place, key.size(), value);
    return text;
}

} // namespace

std::wstring UnknownResultText(unsigned long result) {
    return LoadStringOrDefault(IDS_UNKNOWN_ERROR) + MessageWithCode(IDS_RESULT_CODE, result);
}

std::wstring MessageWithCode(unsigned id, unsigned long code) {
    wchar_t digits[16];
    std::swprintf(digits, sizeof digits / sizeof digits[0], L"%08lX", code & 0xFFFFFFFFul);
    return Filled(id, L"%08X", digits);
}

std::wstring MessageWithText(unsigned id, const std::wstring& text) {
    return Filled(id, L"%s", text);
}
