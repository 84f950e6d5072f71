// The probes the soak test and the benchmarks read another process with, tried on this
// process, where the truth is known: they must see objects come and go.
#include "ProcessProbe.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ProcessProbe, CountsGdiObjectsAsTheyAreMadeAndDeleted) {
    const int before = CountGdiObjects(GetCurrentProcess());
    ASSERT_GE(before, 0) << "GDI handle table not readable";
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 40; ++i)
        brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
    EXPECT_EQ(before + 40, CountGdiObjects(GetCurrentProcess()));
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    // Stock objects are not counted: asking for one adds nothing.
    GetStockObject(DKGRAY_BRUSH);
    EXPECT_EQ(before, CountGdiObjects(GetCurrentProcess()));
}

TEST(ProcessProbe, CountsTopLevelWindowsAndAllTheirDescendants) {
    // A thread's windows bring the system's hidden ones along (an input-method window); count
    // while one stays.
    HWND keeper =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    const int before = CountWindows(GetCurrentProcessId());
    HWND top =
        CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, top);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
    CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
    EXPECT_EQ(before + 3, CountWindows(GetCurrentProcessId())) << "hidden ones and grandchildren included";
    DestroyWindow(top);
    EXPECT_EQ(before, CountWindows(GetCurrentProcessId()));
    DestroyWindow(keeper);
}

std::uint64_t OwnTimes() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return ticks(kernel) + ticks(user);
}

TEST(ProcessProbe, CpuTimeFollowsTheProcessesOwnAccountingAndMemoryIsRead) {
    // For the calling process GetProcessTimes is right under Wine too: the probe must agree.
    const std::uint64_t before = CpuTime(GetCurrentProcess());
    const DWORD start = GetTickCount();
    volatile unsigned sink = 0;
    while (CpuTime(GetCurrentProcess()) - before < 1000000 && GetTickCount() - start < 20000) // 100 ms
        for (int i = 0; i < 100000; ++i)
            sink = sink + 1;
    const auto probe = static_cast<double>(CpuTime(GetCurrentProcess()));
    const auto own = static_cast<double>(OwnTimes());
    EXPECT_GE(probe - static_cast<double>(before), 1000000.0);
    EXPECT_NEAR(own, probe, 500000.0) << "within 50 ms"; // both in 10 ms steps
    EXPECT_GT(PrivateMemoryBytes(GetCurrentProcess()), 1024u * 1024u);
}

} // namespace
