#pragma once
// What another process spends, read from outside while it runs, for the figures. Under Wine
// some of the usual counters are stubs, so each reading says where it comes from.
#include <windows.h>

#include <cstdint>

// PagefileUsage of GetProcessMemoryInfo (Wine: the process's anonymous resident memory plus
// swap; PrivateUsage is 0 there). 0 when unreadable.
std::uint64_t PrivateMemoryBytes(HANDLE process);
// Kernel plus user time of every thread of the process so far, in 100 ns units: under Wine
// from its process list (the system's accounting of the Wine process's threads; Wine's
// GetProcessTimes gives the caller's own times for another process), else GetProcessTimes.
std::uint64_t CpuTime(HANDLE process);
