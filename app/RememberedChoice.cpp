#include "app/RememberedChoice.h"

#include "base/RegularFile.h"
#include "base/ShownText.h"
#include "base/Utf8.h"

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

std::wstring ChoiceFile(const wchar_t* fileName) {
    const std::wstring folder = ChoiceFolder();
    return folder.empty() ? folder : folder + L"\\" + fileName;
}

// A drive letter and a folder, or a share: a file is never looked for by name here.
bool IsFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool share = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || share;
}

} // namespace

std::wstring RememberedChoice(const wchar_t* fileName) {
    // Anything but the one line this program writes (a folder, a device, an oversized or
    // garbled file) is as if nothing were remembered.
    const std::wstring file = ChoiceFile(fileName);
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
    // A control character would be shown escaped: no path picked in a file dialog holds one.
    const bool bPlain = ShownText(path, path.size()) == path;
    return bPlain && IsFullPath(path) ? path : std::wstring();
}

bool RememberChoice(const wchar_t* fileName, const std::wstring& path) {
    const std::wstring file = ChoiceFile(fileName);
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

bool ForgetChoice(const wchar_t* fileName) {
    const std::wstring file = ChoiceFile(fileName);
    return file.empty() || DeleteFileW(file.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
