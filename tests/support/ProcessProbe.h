#pragma once
// What another process holds and spends, read from outside while it runs. Under Wine some
// of the usual counters are stubs, so each reading says where it comes from.
#include <windows.h>

#include <cstdint>

// GDI objects of `process`: Wine's GDI handle table, found through the process's environment
// block and read with ReadProcessMemory; entries with a type that are not stock objects. -1
// when the table cannot be read (on Windows: GetGuiResources instead).
int CountGdiObjects(HANDLE process);
// Windows of the process, top-level ones (visible or not) and all their descendants:
// Wine's GetGuiResources does not count user objects.
int CountWindows(DWORD processId);
// PagefileUsage of GetProcessMemoryInfo (Wine: the process's anonymous resident memory plus
// swap; PrivateUsage is 0 there). 0 when unreadable.
std::uint64_t PrivateMemoryBytes(HANDLE process);
// Kernel plus user time of every thread of the process so far, in 100 ns units: under Wine
// from its process list (the system's accounting of the Wine process's threads; Wine's
// GetProcessTimes gives the caller's own times for another process), else GetProcessTimes.
std::uint64_t CpuTime(HANDLE process);
