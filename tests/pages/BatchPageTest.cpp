// Batch runs on the pages, driven by the stand-in's bench as an operator plugs and pulls
// tokens: one attempt per slot event, counted once; Stop and page changes end a run for good,
// and nothing a stopped run does afterwards touches a token or the fresh counters.
#include "PageHarness.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace pagetest;

namespace {

// Watches the requests a page's worker sends it: `before` runs before the page handles one,
// `after` once it has. Lets a test press a button at an exact point of a run.
class RequestSpy {
  public:
    using Hook = std::function<void(RunRequest::Kind)>;
    RequestSpy(HWND page, Hook before, Hook after = nullptr)
        : m_page(page), m_before(std::move(before)), m_after(std::move(after)) {
        ::SetWindowSubclass(m_page, &RequestSpy::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    RequestSpy(const RequestSpy&) = delete;
    RequestSpy& operator=(const RequestSpy&) = delete;
    ~RequestSpy() { ::RemoveWindowSubclass(m_page, &RequestSpy::Proc, 1); }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
        auto* self = reinterpret_cast<RequestSpy*>(data);
        if (message != WM_PAGE_RUN_REQUEST || lParam == 0)
            return ::DefSubclassProc(window, message, wParam, lParam);
        const RunRequest::Kind kind = reinterpret_cast<const RunRequest*>(lParam)->kind;
        if (self->m_before)
            self->m_before(kind);
        LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        if (self->m_after)
            self->m_after(kind);
        return result;
    }

    HWND m_page;
    Hook m_before;
    Hook m_after;
};

class BlankBatchTest : public PagesTest {
  protected:
    CBlankPage& Page() { return host->blank; }
    std::wstring Status() { return Text(Page(), IDC_BLANK_STATUS); }
    std::wstring Total() { return Text(Page(), IDC_COUNT_TOTAL); }
    bool Running() { return Enabled(Page(), IDC_STOP) && !Enabled(Page(), IDC_START); }
    bool Ended() { return !Page().Batch().IsWorkerAlive(); }
    // Batch mode ticked and Start pressed; waits until the run shows as running.
    void StartBatch() {
        ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
        ASSERT_TRUE(Click(Page(), IDC_START));
        ASSERT_TRUE(PumpUntil([&] { return Running(); }));
    }
    void ExpectCounts(const wchar_t* total, const wchar_t* success, const wchar_t* fail) {
        EXPECT_EQ(Total(), total);
        EXPECT_EQ(Text(Page(), IDC_COUNT_SUCCESS), success);
        EXPECT_EQ(Text(Page(), IDC_BLANK_COUNT_FAIL), fail);
        EXPECT_EQ(Page().m_nTotal, Page().m_nSuccess + Page().m_nFail);
    }
    JournalCall LastCallOf(const std::string& name) {
        JournalCall last;
        for (const JournalCall& call : host->bench.Journal())
            if (call.name == name)
                last = call;
        return last;
    }
    // Waits until the worker has slept into its next poll, so tokens plugged in together
    // reach it as one bench change.
    void LetWorkerSettle() { Pump(100); }
};

} // namespace

TEST_F(BlankBatchTest, TokenAfterTokenIsWipedAndCountedOnce) {
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kBlack);

    Do("insert 0 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"1"; }));
    EXPECT_EQ(Status(), msg::kBlankDone);
    Pump(700); // further polls find no event: nothing more happens
    ExpectCounts(L"1", L"1", L"0");
    EXPECT_EQ(CallCount("E_InitBlankToken"), 1);

    Do("remove 0");
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    ExpectCounts(L"1", L"1", L"0");

    Do("insert 2 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"2"; }));
    EXPECT_EQ(Status(), msg::kBlankDone);
    Do("remove 2");
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));

    Do("insert 0 type=lock");
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"3"; }));
    EXPECT_EQ(Status(), msg::kEncryptionLock);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    ExpectCounts(L"3", L"2", L"1");
    Do("remove 0");
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));

    LetWorkerSettle();
    Do("insert 0 type=pki\ninsert 1 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kOneTokenOnly; }));
    Pump(700);
    ExpectCounts(L"3", L"2", L"1");
    EXPECT_TRUE(Running()) << "no outcome ends a run";
    EXPECT_EQ(CallCount("E_InitBlankToken"), 2);
    EXPECT_EQ(Page().Batch().MaxWorkersAlive(), 1);
}

TEST_F(BlankBatchTest, StopWhileWaitingEndsTheRunAndNoTokenIsTouchedAfterwards) {
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    LetWorkerSettle(); // pausing between polls
    const DWORD pressed = ::GetTickCount();
    ASSERT_TRUE(Click(Page(), IDC_STOP));
    ASSERT_TRUE(PumpUntil([&] { return Enabled(Page(), IDC_START); }, 2000));
    const DWORD elapsed = ::GetTickCount() - pressed;
    std::printf("Stop to idle while waiting: %lu ms\n", static_cast<unsigned long>(elapsed));
    EXPECT_FALSE(Enabled(Page(), IDC_STOP));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_PIN));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_BATCH_CHECK));
    EXPECT_EQ(::SendMessageW(Item(Page(), IDC_BLANK_BATCH_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Status(), msg::kInsertToken) << "the last outcome stays; no message announces the end";
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));

    const size_t calls = host->bench.Calls().size();
    Do("insert 0 type=pki");
    Pump(1200);
    EXPECT_EQ(host->bench.Calls().size(), calls) << "a stopped run asks the module nothing more";
    EXPECT_EQ(host->bench.Query("token 0")["type"], "1");
    ExpectCounts(L"0", L"0", L"0");
}

TEST_F(BlankBatchTest, StopDuringAnAttemptLetsItsOutcomeCountButNeverResumes) {
    Do("insert 0 type=pki\ndelay E_InitBlankToken 300");
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return CallCount("E_GetDeviceInfo") == 1; }));
    ASSERT_TRUE(Click(Page(), IDC_STOP));
    // Clearing and ticking the box again neither resumes the run nor hands it the PIN typed
    // now.
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    EXPECT_FALSE(Enabled(Page(), IDC_START)) << "held while the stopped wipe is under way";
    Type(Page(), IDC_BLANK_PIN, L"changed-pin");
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    ExpectCounts(L"1", L"1", L"0");
    EXPECT_EQ(Status(), msg::kBlankDone);
    EXPECT_EQ(LastCallOf("E_InitBlankToken").args["pinlen"], "6");

    Do("remove 0\ninsert 0 type=pki");
    Pump(1200);
    EXPECT_EQ(CallCount("E_InitBlankToken"), 1);
    EXPECT_EQ(CallCount("C_GetSlotList"), 1) << "the stopped run made no further attempt";

    // The next Start is a new run with the PIN as typed now.
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"2"; }));
    EXPECT_EQ(Status(), msg::kSoPinWrong);
    EXPECT_EQ(LastCallOf("E_InitBlankToken").args["pinlen"], "11");
}

TEST_F(BlankBatchTest, StopRightAsATokenArrivesTouchesNoToken) {
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    // The worker has seen the token's event and asks to begin an attempt; Stop comes first.
    bool pressed = false;
    RequestSpy spy(Page().GetSafeHwnd(), [&](RunRequest::Kind kind) {
        if (kind == RunRequest::kBeginAttempt && !pressed)
            pressed = Click(Page(), IDC_STOP);
    });
    Do("insert 0 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    EXPECT_TRUE(pressed);
    EXPECT_EQ(CallCount("C_GetSlotList"), 1) << "only the first attempt listed the slots";
    EXPECT_EQ(CallCount("E_InitBlankToken"), 0);
    EXPECT_EQ(host->bench.Query("token 0")["type"], "1");
    ExpectCounts(L"0", L"0", L"0");
}

TEST_F(BlankBatchTest, APageSwitchWhileDrainingNeverShowsTheRunAsRunning) {
    Do("insert 0 type=pki");
    bool everRunning = false;
    RequestSpy spy(Page().GetSafeHwnd(), nullptr, [&](RunRequest::Kind) {
        everRunning = everRunning || !Enabled(Page(), IDC_START) || !Enabled(Page(), IDC_BLANK_PIN);
    });
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_START));
    host->ShowPage(1); // before the page has answered the worker at all
    host->ShowPage(0);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    EXPECT_FALSE(everRunning);
    EXPECT_EQ(CallCount("C_GetSlotList"), 0) << "no attempt";
    EXPECT_EQ(host->bench.Query("token 0")["type"], "1");
}

TEST_F(BlankBatchTest, AfterStopTheAttemptInProgressNeverEnablesStopAgain) {
    Do("insert 0 type=pki");
    // The worker shows the run (first request to show it), is granted its attempt and lists
    // the slots; Stop is pressed as the listing asks to show the run again.
    int showRunning = 0;
    bool stopEnabledAfterStop = false;
    RequestSpy spy(
        Page().GetSafeHwnd(),
        [&](RunRequest::Kind kind) {
            if (kind == RunRequest::kShowRunning && ++showRunning == 2) {
                EXPECT_TRUE(Click(Page(), IDC_STOP));
            }
        },
        [&](RunRequest::Kind) {
            stopEnabledAfterStop = stopEnabledAfterStop || (showRunning >= 2 && Enabled(Page(), IDC_STOP));
        });
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    EXPECT_EQ(showRunning, 2);
    EXPECT_FALSE(stopEnabledAfterStop);
    EXPECT_EQ(Status(), msg::kBlankDone) << "the attempt under way finished and reported";
    ExpectCounts(L"1", L"1", L"0");
}

TEST_F(BlankBatchTest, SwitchingPagesEndsTheRunAndTheReturningPageIsReset) {
    StartBatch();
    Do("insert 0 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"1"; }));
    Type(Page(), IDC_BLANK_PIN, L"something");
    host->ShowPage(1);
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    const size_t calls = host->bench.Calls().size();
    Do("remove 0\ninsert 0 type=pki");
    Pump(1200);
    EXPECT_EQ(host->bench.Calls().size(), calls);

    host->ShowPage(0);
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_EQ(Text(Page(), IDC_BLANK_PIN), L"tamsel");
    EXPECT_EQ(Status(), msg::kInsertAndStart);
    EXPECT_FALSE(Shown(Page(), IDC_STOP));
    EXPECT_TRUE(Enabled(Page(), IDC_START));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_PIN));
}

// A Start while a stopped run's attempt is still inside the module would overlap two attempts
// or freeze the window waiting: Start stays disabled on both pages while the window answers,
// and comes back when the worker ends. The run's copy of the PIN goes with it.
TEST_F(BlankBatchTest, AStoppedAttemptHoldsStartOnBothPagesUntilItsWorkerEnds) {
    Do("insert 0 type=pki\ndelay E_InitBlankToken 600000"); // held until the next delay line
    StartBatch();
    EXPECT_TRUE(Page().Batch().HoldsRunCopy());
    ASSERT_TRUE(PumpUntil([&] { return CallCount("E_GetDeviceInfo") == 1; }));
    host->ShowPage(1); // the reset stops the run inside its wipe
    EXPECT_FALSE(Click(host->pki, IDC_START));
    host->ShowPage(0);
    EXPECT_FALSE(Click(Page(), IDC_START));
    Type(Page(), IDC_BLANK_PIN, L"typed-meanwhile");
    EXPECT_EQ(Text(Page(), IDC_BLANK_PIN), L"typed-meanwhile");

    Do("delay E_InitBlankToken 0");
    ASSERT_TRUE(PumpUntil([&] { return !Page().Batch().HasWorker(); }));
    EXPECT_TRUE(Enabled(Page(), IDC_START));
    EXPECT_TRUE(Enabled(host->pki, IDC_START));
    EXPECT_FALSE(Page().Batch().HoldsRunCopy());
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_EQ(host->bench.Query("token 0")["type"], "4") << "the held wipe finished";
}

TEST_F(BlankBatchTest, AnEventPollFailureBeforeTheFirstAttemptRefusesTheRun) {
    Do("fail C_WaitForSlotEvent 0x30 once");
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    Pump(20);
    EXPECT_EQ(Status(), msg::kInitModuleFailed);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_TRUE(Enabled(Page(), IDC_START));
    EXPECT_FALSE(Enabled(Page(), IDC_STOP));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_PIN));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_BATCH_CHECK));
    EXPECT_EQ(CallCount("C_GetSlotList"), 0);
}

TEST_F(BlankBatchTest, AnEventPollFailureMidRunEndsItSilently) {
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    Do("fail C_WaitForSlotEvent 0x30 once");
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    Pump(20);
    EXPECT_EQ(Status(), msg::kInsertToken);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kBlack);
    EXPECT_TRUE(Enabled(Page(), IDC_START));
    EXPECT_FALSE(Enabled(Page(), IDC_STOP));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_PIN));
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_BATCH_CHECK));
}

TEST_F(BlankBatchTest, WithoutABindingTheRunIsRefusedBeforeItStarts) {
    host->bBound = false;
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_START));
    EXPECT_EQ(Status(), msg::kInitModuleFailed);
    EXPECT_TRUE(Enabled(Page(), IDC_BLANK_PIN)) << "Start stopped before disabling anything";
    Pump(100);
    EXPECT_EQ(Page().Batch().MaxWorkersAlive(), 0);
}

TEST_F(BlankBatchTest, StopBatchAndWaitLeavesNoWorkerAndNoLaterModuleCall) {
    Do("delay C_WaitForSlotEvent 40\ndelay E_GetDeviceInfo 40");
    StartBatch();
    Do("insert 0 type=pki");
    Page().StopBatchAndWait();
    EXPECT_TRUE(Ended());
    host->bench.Module().UnloadTokenModule();
    std::vector<std::string> calls = host->bench.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "C_Finalize");
    Pump(700);
    EXPECT_EQ(host->bench.Calls().size(), calls.size());
}

TEST_F(PagesTest, PkiBatchInitialisesEachTokenPluggedIn) {
    host->ShowPage(1);
    CPkiPage& page = host->pki;
    ASSERT_TRUE(Click(page, IDC_PKI_BATCH_CHECK));
    Type(page, IDC_PKI_LABEL, L"Line3");
    ASSERT_TRUE(Click(page, IDC_START));
    for (int id : {IDC_PKI_SO_PIN, IDC_PKI_USER_PIN, IDC_PKI_LABEL, IDC_PKI_SO_RETRY, IDC_PKI_USER_RETRY,
                   IDC_PKI_PUBLIC_SIZE, IDC_PKI_PRIVATE_SIZE, IDC_PKI_BATCH_CHECK})
        EXPECT_FALSE(Enabled(page, id)) << id;
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_PKI_STATUS) == msg::kInsertToken; }));
    // Fields changed during the run do not reach it.
    Type(page, IDC_PKI_LABEL, L"Other");

    Do("insert 0 type=blank");
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_COUNT_TOTAL) == L"1"; }));
    EXPECT_EQ(Text(page, IDC_PKI_STATUS), msg::kPkiDone);
    EXPECT_EQ(host->bench.Query("token 0")["label"], "Line3");
    Do("remove 0");
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_PKI_STATUS) == msg::kInsertToken; }));
    Do("insert 0 type=lock");
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_COUNT_TOTAL) == L"2"; }));
    EXPECT_EQ(Text(page, IDC_PKI_STATUS), msg::kEncryptionLock);
    EXPECT_EQ(Text(page, IDC_PKI_COUNT_FAIL), L"1");

    ASSERT_TRUE(Click(page, IDC_STOP));
    for (int id : {IDC_PKI_SO_PIN, IDC_PKI_LABEL, IDC_PKI_PRIVATE_SIZE, IDC_PKI_BATCH_CHECK})
        EXPECT_TRUE(Enabled(page, id)) << "Stop enables the parameters at once: " << id;
    ASSERT_TRUE(PumpUntil([&] { return !page.Batch().IsWorkerAlive(); }));
    EXPECT_TRUE(Enabled(page, IDC_START));
    EXPECT_EQ(page.Batch().MaxWorkersAlive(), 1);
}
