#include "ledger/LedgerFolder.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#else
#include <cstdlib>
#endif

namespace {

#ifdef _WIN32
std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
    if (length == 0)
        return {};
    if (length <= MAX_PATH)
        return std::wstring(buffer, length);
    std::wstring value(length, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, &value[0], length);
    value.resize(got < length ? got : 0);
    return value;
}

std::wstring LocalAppData() {
    std::wstring folder = Environment(L"LOCALAPPDATA");
    if (folder.empty()) {
        wchar_t path[MAX_PATH];
        if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK)
            folder = path;
    }
    return folder;
}
#else
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
#endif

} // namespace

#ifdef _WIN32
LedgerPath DefaultLedgerFolder() {
    const std::wstring named = Environment(L"VANTOR_LEDGER_DIR");
    if (!named.empty())
        return named;
    const std::wstring base = LocalAppData();
    return base.empty() ? base : JoinLedgerPath(JoinLedgerPath(base, "Vantor"), "ledger");
}

#else
LedgerPath DefaultLedgerFolder() {
    const std::string named = Environment("VANTOR_LEDGER_DIR");
    if (!named.empty())
        return named;
    std::string base = Environment("XDG_DATA_HOME");
    if (base.empty()) {
        const std::string home = Environment("HOME");
        if (home.empty())
            return {};
        base = JoinLedgerPath(JoinLedgerPath(home, ".local"), "share");
    }
    return JoinLedgerPath(JoinLedgerPath(base, "vantor"), "ledger");
}
#endif
