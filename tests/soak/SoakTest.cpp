// A long batch session: Vantor.exe as a separate process works through a thousand insert and
// remove cycles of blank tokens on both initialisation pages (wiped on the wipe page,
// initialised on the PKI page), then closes. Nothing may be lost, doubled or left behind.
#include "BatchPage.h"
#include "ProcessProbe.h"
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kWarmUpCycles = 10;
constexpr int kCyclesPerPage = 500;
constexpr DWORD kRunTimeoutMs = 300000; // only ends a hung run

const std::string kOk = " rv=0x00000000";

// One batch run on `page` through `cycles` plug-and-pull cycles of a blank token.
void Churn(const ScenarioFolder& folder, const BatchPage& page, int cycles) {
    ASSERT_TRUE(page.StartBatch());
    folder.Bench("churn 0 " + std::to_string(2 * cycles) + " type=blank");
    ASSERT_TRUE(page.WaitForCounted(cycles, kRunTimeoutMs)) << "counted " << page.Total() << " of " << cycles;
    page.PressStop();
    ASSERT_TRUE(WaitUntil([&] { return page.StartEnabled(); }));
}

std::pair<int, int> Resources(const ProgramUnderTest& program) {
    return {CountGdiObjects(program.Process()), CountWindows(program.ProcessId())};
}

TEST(Soak, ThousandInsertRemoveCyclesOnBothPagesThenACleanClose) {
    ScenarioFolder folder(L"soak");
    folder.CopyIn(BinFolder() / L"Vantor.exe");
    folder.CopyIn(BinFolder() / L"orbelcsp11.dll");
    folder.Bench("reset");
    ProgramUnderTest program(folder);
    HWND main = program.WaitForWindow(kTitle);
    ASSERT_NE(main, nullptr);

    // Both pages once, so that what they keep for their whole life exists before counting.
    for (const PageControls* controls : {&kWipePageControls, &kPkiPageControls}) {
        BatchPage page(main, *controls);
        ASSERT_TRUE(page.Valid());
        ASSERT_NO_FATAL_FAILURE(Churn(folder, page, kWarmUpCycles));
    }
    const auto before = Resources(program);
    ASSERT_GT(before.first, 0) << "GDI handle table not readable";
    ASSERT_GT(before.second, 0);

    for (const PageControls* controls : {&kWipePageControls, &kPkiPageControls}) {
        BatchPage page(main, *controls);
        ASSERT_TRUE(page.Valid());
        EXPECT_EQ(0, page.Total()) << "a page starts afresh when shown";
        ASSERT_NO_FATAL_FAILURE(Churn(folder, page, kCyclesPerPage));
        EXPECT_EQ(kCyclesPerPage, page.Total());
        EXPECT_EQ(page.Total(), page.Success() + page.Fail());
        EXPECT_EQ(kCyclesPerPage, page.Success()) << "every blank token is wiped or initialised";
    }
    // Painting makes short-lived objects: a leak is what stays above the first count.
    auto after = Resources(program);
    WaitUntil([&] {
        after = Resources(program);
        return after.first <= before.first && after.second <= before.second;
    });
    EXPECT_LE(after.first, before.first) << "GDI objects grew";
    EXPECT_LE(after.second, before.second) << "windows grew";

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000));
    EXPECT_EQ(0u, program.ExitCode());

    const std::vector<std::string> journal = folder.JournalLines();
    ASSERT_FALSE(journal.empty());
    const int cycles = 2 * (kWarmUpCycles + kCyclesPerPage);
    const int runs = 4;
    // Every event was delivered once and led to exactly one attempt (plus each run's first).
    EXPECT_EQ(2 * cycles, folder.JournalCount("C_WaitForSlotEvent", kOk));
    EXPECT_EQ(2 * cycles + runs, folder.JournalCount("C_GetSlotList"));
    EXPECT_EQ(cycles, folder.JournalCount("E_GetDeviceInfo"));
    EXPECT_EQ(kWarmUpCycles + kCyclesPerPage, folder.JournalCount("E_InitPkiToken", kOk));
    EXPECT_EQ(1, folder.JournalCount("C_Finalize"));
    EXPECT_EQ(0u, journal.back().rfind("C_Finalize", 0)) << "a module call after release: " << journal.back();
}

} // namespace
