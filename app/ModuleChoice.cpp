#include "app/ModuleChoice.h"

#include "base/RegularFile.h"
#include "base/ShownText.h"
#include "base/Utf8.h"
#include "win/FileDialogs.h"

#include <windows.h>

#include <cstdio>

namespace {

// One full path and its line end: a file larger than this is not the program's.
constexpr std::size_t kChoiceFileMaxBytes = 4096;

std::wstring ChoiceFolder() {
    const DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring folder(size, L'\0');
    folder.resize(GetEnvironmentVariableW(L"APPDATA", folder.data(), size));
    return folder + L"\\Vantor";
}

std::wstring ChoiceFile() {
    const std::wstring folder = ChoiceFolder();
    return folder.empty() ? folder : folder + L"\\token-module.txt";
}

// A drive letter and a folder, or a share: a module is never looked for by name here.
bool IsFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool share = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || share;
}

} // namespace

std::wstring RememberedModulePath() {
    // Anything but the one line this program writes (a folder, a device, an oversized or
    // garbled file) is as if nothing were remembered: the maker's module is found as always.
    const std::wstring file = ChoiceFile();
    std::string text;
    if (file.empty() ||
        ReadRegularFile(std::filesystem::path(file), kChoiceFileMaxBytes, text) != FileRead::kRead)
        return std::wstring();
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    if (!IsValidUtf8(text))
        return std::wstring();
    const std::wstring path = Utf8ToWide(text);
    // A control character would be shown escaped: no module's path holds one.
    const bool bPlain = ShownText(path, path.size()) == path;
    return bPlain && IsFullPath(path) ? path : std::wstring();
}

bool RememberModulePath(const std::wstring& path) {
    const std::wstring file = ChoiceFile();
    if (file.empty() || !IsFullPath(path))
        return false;
    CreateDirectoryW(ChoiceFolder().c_str(), nullptr);
    std::FILE* out = _wfopen(file.c_str(), L"wb");
    if (out == nullptr)
        return false;
    const std::string text = WideToUtf8(path) + "\n";
    const bool bWritten = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && bWritten;
}

bool ForgetModulePath() {
    const std::wstring file = ChoiceFile();
    return file.empty() || DeleteFileW(file.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::wstring PickModuleFile(void* ownerWindow) {
    return ChooseFile(static_cast<HWND>(ownerWindow), L"选择令牌模块", L"PKCS#11 模块 (*.dll)\0*.dll\0");
}
