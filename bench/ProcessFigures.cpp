#include "bench/ProcessFigures.h"

#include <psapi.h>

#include <vector>

namespace {

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The head of one process's entry of SystemProcessInformation, laid out as on Windows.
struct ProcessEntry {
    ULONG nextEntryOffset;
    ULONG threadCount;
    LARGE_INTEGER reserved[3];
    LARGE_INTEGER createTime;
    LARGE_INTEGER userTime;
    LARGE_INTEGER kernelTime;
    USHORT nameLength;
    USHORT nameMaximumLength;
    wchar_t* name;
    LONG basePriority;
    HANDLE processId;
};

// Wine answers GetProcessTimes for another process with the caller's own times; its process
// list carries each process's real times, read from the system's accounting of its threads.
std::uint64_t WineProcessCpuTime(DWORD processId) {
    using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return 0;
    constexpr int kSystemProcessInformation = 5;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<std::uint64_t> buffer(16 * 1024); // 8-byte aligned
    LONG status;
    for (;;) {
        ULONG needed = 0;
        const auto size = static_cast<ULONG>(buffer.size() * sizeof(buffer[0]));
        status = query(kSystemProcessInformation, buffer.data(), size, &needed);
        if (status != kInfoLengthMismatch)
            break;
        buffer.resize(buffer.size() * 2 + needed / sizeof(buffer[0]));
    }
    if (status != 0)
        return 0;
    const auto* base = reinterpret_cast<const unsigned char*>(buffer.data());
    for (std::size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const ProcessEntry*>(base + offset);
        if (reinterpret_cast<ULONG_PTR>(entry->processId) == processId)
            return static_cast<std::uint64_t>(entry->userTime.QuadPart + entry->kernelTime.QuadPart);
        if (entry->nextEntryOffset == 0)
            return 0;
        offset += entry->nextEntryOffset;
    }
}

} // namespace

std::uint64_t PrivateMemoryBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PagefileUsage;
}

std::uint64_t CpuTime(HANDLE process) {
    if (UnderWine())
        return WineProcessCpuTime(GetProcessId(process));
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    auto ticks = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return ticks(kernel) + ticks(user);
}
