#include "ProcessProbe.h"

#include <psapi.h>

#include <vector>

namespace {

// One entry of Wine's GDI handle table, laid out as on Windows.
#pragma pack(push, 1)
struct GdiTableEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint8_t extTypeAndStock; // ExtType:7, StockFlag:1
    std::uint8_t generation;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiTableEntry) == 24, "Wine's GDI handle entry");

constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::size_t kPebGdiSharedHandleTable = 0x94; // 32-bit environment block

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The environment block's address in `process`, through NtQueryInformationProcess.
std::uintptr_t EnvironmentBlock(HANDLE process) {
    struct BasicInformation {
        LONG exitStatus;
        void* peb;
        ULONG_PTR affinity;
        LONG priority;
        ULONG_PTR processId;
        ULONG_PTR parentId;
    } basic{};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (query == nullptr || query(process, 0, &basic, sizeof basic, nullptr) != 0)
        return 0;
    return reinterpret_cast<std::uintptr_t>(basic.peb);
}

template <class T> bool ReadRemote(HANDLE process, std::uintptr_t address, T* out, std::size_t count = 1) {
    SIZE_T done = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), out, sizeof(T) * count, &done) &&
           done == sizeof(T) * count;
}

int CountWineGdiTable(HANDLE process) {
    std::uintptr_t peb = EnvironmentBlock(process);
    std::uint32_t table = 0;
    if (peb == 0 || !ReadRemote(process, peb + kPebGdiSharedHandleTable, &table) || table == 0)
        return -1;
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!ReadRemote(process, table, entries.data(), entries.size()))
        return -1;
    int count = 0;
    for (const GdiTableEntry& entry : entries)
        count += entry.type != 0 && (entry.extTypeAndStock & 0x80) == 0;
    return count;
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

struct WindowCount {
    DWORD processId;
    int count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        ++search->count;
        EnumChildWindows(window, CountChild, param); // every descendant, not just children
    }
    return TRUE;
}

} // namespace

int CountGdiObjects(HANDLE process) {
    if (UnderWine())
        return CountWineGdiTable(process);
    return static_cast<int>(GetGuiResources(process, GR_GDIOBJECTS));
}

int CountWindows(DWORD processId) {
    WindowCount search{processId};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

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
