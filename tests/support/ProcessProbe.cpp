#include "ProcessProbe.h"

#include <tlhelp32.h>

#include <cwchar>
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
// GdiSharedHandleTable in the environment block of a process of this probe's own width.
constexpr std::size_t kPebGdiSharedHandleTable = sizeof(void*) == 8 ? 0xF8 : 0x94;

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
    std::uintptr_t table = 0;
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

int ChildProcesses(DWORD parent, const wchar_t* exeName) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        count += entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, exeName) == 0;
    ::CloseHandle(snapshot);
    return count;
}
