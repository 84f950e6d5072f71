#pragma once
// What another process holds, read from outside while it runs. Under Wine some of the usual
// counters are stubs, so each reading says where it comes from.
#include <windows.h>

#include <cstdint>

// GDI objects of `process`: Wine's GDI handle table, found through the process's environment
// block and read with ReadProcessMemory; entries with a type that are not stock objects. -1
// when the table cannot be read (on Windows: GetGuiResources instead).
int CountGdiObjects(HANDLE process);
// Windows of the process, top-level ones (visible or not) and all their descendants:
// Wine's GetGuiResources does not count user objects.
int CountWindows(DWORD processId);
// Processes started by `parent` from the program file `exeName` (its name only) that are
// still there; -1 when the process list cannot be read, never mistaken for none left.
int ChildProcesses(DWORD parent, const wchar_t* exeName);
