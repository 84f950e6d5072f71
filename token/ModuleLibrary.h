#pragma once
// Owns one loaded shared library: LoadLibraryW on Windows, dlopen natively.
#include <string>

class ModuleLibrary {
  public:
    ModuleLibrary() = default;
    ~ModuleLibrary() { Free(); }
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // Loads by file name, never from the working folder. On Windows the file is looked for
    // by full path in the program's folder, the system folder, then each absolute PATH entry
    // in order, and the first found is loaded by that path (its own dependencies resolve
    // from its folder); a name with a folder is loaded as given. Natively the dynamic
    // loader's own search applies, which has no working folder in it. False when nothing
    // could be loaded.
    bool Load(const std::wstring& fileName);
    void* Symbol(const char* name) const;
    void Free();
    void* Handle() const { return m_handle; }

  private:
    void* m_handle = nullptr;
};
