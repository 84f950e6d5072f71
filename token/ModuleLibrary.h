#pragma once
// Owns one loaded shared library: LoadLibraryW on Windows, dlopen natively.
#include <string>

class ModuleLibrary {
public:
    ModuleLibrary() = default;
    ~ModuleLibrary() { Free(); }
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // Loads by file name with the platform's search order, except that on Windows the
    // current directory is taken out of it first, so a library planted in the working
    // folder is never picked up. Returns false when nothing could be loaded.
    bool Load(const std::wstring& fileName);
    void* Symbol(const char* name) const;
    void Free();
    void* Handle() const { return m_handle; }

private:
    void* m_handle = nullptr;
};
