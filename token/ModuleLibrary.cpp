#include "token/ModuleLibrary.h"

#include "base/OwnProgram.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>

namespace {

bool IsAbsolute(const std::wstring& folder) {
    const bool drive = folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/');
    const bool share = folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\';
    return drive || share;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring SystemFolder() {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// PATH's entries, quotes taken off; empty entries dropped.
std::vector<std::wstring> PathFolders() {
    std::vector<std::wstring> folders;
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size == 0)
        return folders;
    std::wstring path(size, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), size));
    std::wstring folder;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L';') {
            if (path[i] != L'"')
                folder += path[i];
            continue;
        }
        if (!folder.empty())
            folders.push_back(folder);
        folder.clear();
    }
    return folders;
}

// The machine a PE file is built for (IMAGE_FILE_MACHINE_*), 0 when it is no PE file.
WORD PeMachine(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    auto readAt = [file](LONG offset, void* out, DWORD size) {
        DWORD done = 0;
        return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(file, out, size, &done, nullptr) && done == size;
    };
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    WORD machine = 0;
    const bool pe = readAt(0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE && dos.e_lfanew > 0 &&
                    readAt(dos.e_lfanew, &signature, sizeof signature) && signature == IMAGE_NT_SIGNATURE &&
                    readAt(dos.e_lfanew + sizeof signature, &machine, sizeof machine);
    CloseHandle(file);
    return pe ? machine : 0;
}

#ifdef _WIN64
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr WORD kOwnMachine = IMAGE_FILE_MACHINE_I386;
#endif

// A module of the other width (the 32-bit one beside a 64-bit program, or the reverse) would
// only fail to load: the search passes it over and goes on to the next place.
bool IsOwnWidthFile(const std::wstring& path) {
    return IsFile(path) && PeMachine(path) == kOwnMachine;
}

// The first place that holds `fileName` built for this program's width: the program's folder,
// the system folder, then each absolute PATH entry; relative entries (".", the working
// folder's children) are skipped.
std::wstring FindLibrary(const std::wstring& fileName) {
    std::vector<std::wstring> folders{OwnProgramFolder(), SystemFolder()};
    for (std::wstring& folder : PathFolders())
        folders.push_back(std::move(folder));
    for (std::wstring folder : folders) {
        if (!IsAbsolute(folder))
            continue;
        if (folder.back() != L'\\' && folder.back() != L'/')
            folder += L'\\';
        if (IsOwnWidthFile(folder + fileName))
            return folder + fileName;
    }
    return {};
}

} // namespace

bool ModuleLibrary::Load(const std::wstring& fileName) {
    Free();
    const bool hasFolder = fileName.find_first_of(L"\\/") != std::wstring::npos;
    const std::wstring path = hasFolder ? fileName : FindLibrary(fileName);
    if (path.empty())
        return false;
    m_handle = reinterpret_cast<void*>(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return m_handle != nullptr;
}

void* ModuleLibrary::Symbol(const char* name) const {
    if (m_handle == nullptr)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

void ModuleLibrary::Free() {
    if (m_handle != nullptr)
        FreeLibrary(static_cast<HMODULE>(m_handle));
    m_handle = nullptr;
}

#else
#include <dlfcn.h>

bool ModuleLibrary::Load(const std::wstring& fileName) {
    Free();
    std::string name(fileName.begin(), fileName.end()); // library names are ASCII
    m_handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    return m_handle != nullptr;
}

void* ModuleLibrary::Symbol(const char* name) const {
    return m_handle == nullptr ? nullptr : dlsym(m_handle, name);
}

void ModuleLibrary::Free() {
    if (m_handle != nullptr)
        dlclose(m_handle);
    m_handle = nullptr;
}
#endif
