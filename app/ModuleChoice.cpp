#include "app/ModuleChoice.h"

#include "app/RememberedChoice.h"
#include "base/Language.h"
#include "win/FileDialogs.h"

#include <windows.h>

namespace {

constexpr const wchar_t* kModuleChoiceFile = L"token-module.txt";

} // namespace

std::wstring RememberedModulePath() {
    // Anything else is as if nothing were remembered: the maker's module is found as always.
    return RememberedChoice(kModuleChoiceFile);
}

bool RememberModulePath(const std::wstring& path) {
    return RememberChoice(kModuleChoiceFile, path);
}

bool ForgetModulePath() {
    return ForgetChoice(kModuleChoiceFile);
}

std::wstring PickModuleFile(void* ownerWindow) {
    return ChooseFile(static_cast<HWND>(ownerWindow), Localized(L"选择令牌模块", L"Choose the token module"),
                      Localized(L"PKCS#11 模块 (*.dll)\0*.dll\0", L"PKCS#11 modules (*.dll)\0*.dll\0"));
}
