#include "ledger/LedgerSources.h"

#include "base/Utf8.h"

#include <ctime>

#ifdef _WIN32
#include <windows.h>
#include <lmcons.h>
#else
#include <climits>
#include <pwd.h>
#include <unistd.h>
#endif

LedgerTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
    // The local fields read as if they were UTC, less the real instant: the offset.
    const std::time_t asIfUtc = _mkgmtime(&local);
#else
    localtime_r(&now, &local);
    const std::time_t asIfUtc = timegm(&local);
#endif
    LedgerTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    time.utcOffsetMinutes = static_cast<int>((asIfUtc - now) / 60);
    return time;
}

#ifdef _WIN32
std::string ThisStation() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? WideToUtf8(std::wstring(name, length)) : std::string();
}

std::string ThisUser() {
    wchar_t name[UNLEN + 1];
    DWORD length = UNLEN + 1;
    // The length counts the terminating zero.
    return GetUserNameW(name, &length) && length > 0 ? WideToUtf8(std::wstring(name, length - 1))
                                                     : std::string();
}
#else
std::string ThisStation() {
    char name[HOST_NAME_MAX + 1] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

std::string ThisUser() {
    char name[LOGIN_NAME_MAX + 1] = {};
    if (getlogin_r(name, sizeof name) == 0 && name[0] != '\0')
        return name;
    // Without a controlling terminal: the account the process runs as.
    const passwd* account = getpwuid(geteuid());
    return account ? account->pw_name : "";
}
#endif

LedgerSources SystemLedgerSources() {
    return {LocalTimeNow, ThisStation, ThisUser};
}
