#include "base/ResourceText.h"

#ifdef _WIN32
#include "base/Language.h"

HRSRC FindResourceShown(HINSTANCE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceExW(module, type, name, WindowsLanguageId(ShownLanguage()));
    if (found == nullptr)
        found = FindResourceExW(module, type, name, WindowsLanguageId(Language::kChinese));
    return found != nullptr ? found : FindResourceW(module, name, type);
}

std::wstring ResourceString(HINSTANCE module, unsigned id) {
    // A string table is kept in blocks of sixteen counted UTF-16 strings, block id / 16 + 1.
    HRSRC block = FindResourceShown(module, MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    HGLOBAL loaded = block != nullptr ? LoadResource(module, block) : nullptr;
    const auto* text = loaded != nullptr ? static_cast<const wchar_t*>(LockResource(loaded)) : nullptr;
    if (text == nullptr)
        return std::wstring();
    const DWORD blockChars = SizeofResource(module, block) / sizeof(wchar_t);
    DWORD at = 0;
    for (unsigned entry = 0; entry < id % 16 && at < blockChars; ++entry)
        at += 1 + static_cast<DWORD>(text[at]);
    if (at >= blockChars || at + 1 + text[at] > blockChars)
        return std::wstring();
    return std::wstring(text + at + 1, text[at]);
}
#endif
