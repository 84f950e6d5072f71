// Operator actions racing the batch workers: random sequences (fixed seed) of Start, Stop,
// check-box toggles and page switches while tokens come and go and the stand-in's calls take
// a few milliseconds, each ended as the main window ends: StopBatchAndWait on both pages, then
// the module released.
#include "PageHarness.h"
#include "res/resource.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace pagetest;

namespace {

int Count(const std::vector<std::string>& calls, const std::string& name) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

// The counters as the page holds them and as the operator reads them.
template <class Page> void ExpectConsistentCounts(const Page& page, int failCountId, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(page.m_tally.Counts().total, page.m_tally.Counts().success + page.m_tally.Counts().failure);
    EXPECT_EQ(Text(page, IDC_COUNT_TOTAL), std::to_wstring(page.m_tally.Counts().total));
    EXPECT_EQ(Text(page, IDC_COUNT_SUCCESS), std::to_wstring(page.m_tally.Counts().success));
    EXPECT_EQ(Text(page, failCountId), std::to_wstring(page.m_tally.Counts().failure));
    EXPECT_LE(page.Batch().MaxWorkersAlive(), 1) << "two workers of one page were alive at once";
}

} // namespace

// Guards against two workers of one page, outcomes counted twice, counters that disagree with
// the screen, and module calls after the release, whatever the operator's timing.
TEST(PageRaces, RandomOperatorSequencesDuringBatchRuns) {
    std::vector<std::wstring> validationMessages;
    SetValidationMessageHook([&](const CString& text) { validationMessages.push_back(text.ToStdWString()); });
    std::mt19937 random(20261206);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* const kTypes[] = {"pki", "blank", "lock"};

    for (int sequence = 0; sequence < 200 && !::testing::Test::HasFatalFailure(); ++sequence) {
        SCOPED_TRACE(::testing::Message() << "sequence " << sequence);
        auto host = std::make_unique<PageHost>();
        ASSERT_TRUE(host->bBound) << host->bench.Error();
        host->bench.Command("delay C_WaitForSlotEvent 2\ndelay C_GetSlotList 1\ndelay E_GetDeviceInfo 3\n"
                            "delay E_InitBlankToken 4\ndelay E_InitPkiToken 4");
        if (pick(2) == 0)
            host->bench.Command("insert 0 type=pki");
        int shown = pick(2);
        host->ShowPage(shown);

        const int steps = 3 + pick(7);
        for (int step = 0; step < steps; ++step) {
            CDialog& page = shown == 0 ? static_cast<CDialog&>(host->blank) : host->pki;
            const int check = shown == 0 ? IDC_WIPE_BATCH_CHECK : IDC_PKI_BATCH_CHECK;
            switch (pick(9)) {
            case 0:
            case 1:
                Click(page, IDC_START);
                break;
            case 2:
                Click(page, IDC_STOP);
                break;
            case 3:
                Click(page, check);
                break;
            case 4: // the other page
                shown = 1 - shown;
                host->ShowPage(shown);
                break;
            case 5: // the information page and back
                host->ShowPage(-1);
                host->ShowPage(shown);
                break;
            case 6:
            case 7: // refused when the slot is taken: nothing changes then
                host->bench.Command("insert " + std::to_string(pick(3)) + " type=" + kTypes[pick(3)]);
                break;
            default:
                host->bench.Command("remove " + std::to_string(pick(3)));
                break;
            }
            FlushEvents(static_cast<DWORD>(pick(10)));
        }

        // The main window closing.
        host->blank.StopBatchAndWait();
        host->pki.StopBatchAndWait();
        EXPECT_FALSE(host->blank.Batch().IsWorkerAlive());
        EXPECT_FALSE(host->pki.Batch().IsWorkerAlive());
        host->bench.Module().UnloadTokenModule();
        const std::vector<std::string> calls = host->bench.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "C_Finalize");
        EXPECT_EQ(Count(calls, "C_Finalize"), 1);
        FlushEvents(5);
        EXPECT_EQ(host->bench.Calls().size(), calls.size()) << "a module call after release";

        ExpectConsistentCounts(host->blank, IDC_WIPE_COUNT_FAIL, "blank");
        ExpectConsistentCounts(host->pki, IDC_PKI_COUNT_FAIL, "pki");
        // Every counted outcome read one token's record: no outcome was counted twice.
        EXPECT_LE(host->blank.m_tally.Counts().total + host->pki.m_tally.Counts().total,
                  Count(calls, "E_GetDeviceInfo"));
    }
    SetValidationMessageHook(nullptr);
    EXPECT_TRUE(validationMessages.empty());
}
