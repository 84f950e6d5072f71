#include "token/ModuleLibrary.h"

#ifdef _WIN32
#include <windows.h>

bool ModuleLibrary::Load(const std::wstring& fileName) {
    Free();
    // An empty DLL directory removes the current directory from the search order; the
    // program's folder, the system folders and PATH are still searched.
    SetDllDirectoryW(L"");
    m_handle = reinterpret_cast<void*>(LoadLibraryW(fileName.c_str()));
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
#include <vector>

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
