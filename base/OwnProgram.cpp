#include "base/OwnProgram.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "base/Utf8.h"

#include <filesystem>
#endif

std::wstring OwnProgramPath() {
#ifdef _WIN32
    // The buffer grows until the whole path fits: a long path is never cut.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            return path.substr(0, length);
        path.resize(path.size() * 2);
    }
#else
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::wstring() : Utf8ToWide(path.string());
#endif
}

std::wstring OwnProgramFolder() {
    const std::wstring path = OwnProgramPath();
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
