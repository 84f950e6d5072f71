#include "base/ResourceText.h"

#ifdef _WIN32
#include "base/Language.h"

HRSRC FindResourceShown(HINSTANCE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceExW(module, type, name, WindowsLanguageId(ShownLanguage()));
    if (found == nullptr)
        found = FindResourceExW(module, type, name, WindowsLanguageId(Language::kChinese));
    return found != nullptr ? found : FindResourceW(module, name, type);
}

namespace {

// A string table is kept in blocks of sixteen counted UTF-16 strings, block id / 16 + 1.
const wchar_t* BlockName(unsigned id) {
    return MAKEINTRESOURCEW(id / 16 + 1);
}

std::wstring EntryOfBlock(HINSTANCE module, HRSRC block, unsigned id) {
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

} // namespace

std::wstring ResourceString(HINSTANCE module, unsigned id) {
    return EntryOfBlock(module, FindResourceShown(module, BlockName(id), RT_STRING), id);
}

std::wstring ResourceStringIn(HINSTANCE module, unsigned id, Language language) {
    return EntryOfBlock(module,
                        FindResourceExW(module, RT_STRING, BlockName(id), WindowsLanguageId(language)), id);
}
#endif
