#include "cli/OutcomeWriter.h"

#include "Utf8.h"

#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

std::wstring LocalTimeWithOffset() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
    std::tm copy = local;
    long offset = static_cast<long>(_mkgmtime(&copy) - now);
#else
    localtime_r(&now, &local);
    std::tm copy = local;
    long offset = static_cast<long>(timegm(&copy) - now);
#endif
    char sign = offset < 0 ? '-' : '+';
    offset = offset < 0 ? -offset : offset;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, sign,
                  offset / 3600, offset / 60 % 60);
    return Utf8ToWide(text);
}

#ifdef _WIN32
std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
}

std::wstring UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) && size > 0 ? std::wstring(name, size - 1) : std::wstring();
}
#else
std::wstring ComputerName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? Utf8ToWide(name) : std::wstring();
}

std::wstring UserName() {
    const passwd* entry = getpwuid(geteuid());
    if (entry != nullptr && entry->pw_name != nullptr)
        return Utf8ToWide(entry->pw_name);
    const char* name = std::getenv("USER");
    return name != nullptr ? Utf8ToWide(name) : std::wstring();
}
#endif

} // namespace

StationStamp StampNow() {
    // Station and user do not change while the program runs.
    static const std::wstring station = ComputerName();
    static const std::wstring user = UserName();
    return StationStamp{LocalTimeWithOffset(), station, user};
}
