// Batch runs on the pages, driven by the stand-in's bench as an operator plugs and pulls
// tokens: one attempt per slot event, counted once; Stop and page changes end a run for good,
// and nothing a stopped run does afterwards touches a token or the fresh counters.
#include "FreedBytes.h"
#include "PageHarness.h"
#include "res/resource.h"

#include <commctrl.h>

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

class WipeBatchTest : public PagesTest {
  protected:
    CWipePage& Page() { return host->blank; }
    std::wstring Status() { return Text(Page(), IDC_WIPE_STATUS); }
    std::wstring Total() { return Text(Page(), IDC_COUNT_TOTAL); }
    bool Running() { return Enabled(Page(), IDC_STOP) && !Enabled(Page(), IDC_START); }
    bool Ended() { return !Page().Batch().IsWorkerAlive(); }
    // Batch mode ticked and Start pressed; waits until the run shows as running.
    void StartBatch() {
        ASSERT_TRUE(Click(Page(), IDC_WIPE_BATCH_CHECK));
        ASSERT_TRUE(Click(Page(), IDC_START));
        ASSERT_TRUE(PumpUntil([&] { return Running(); }));
    }
    void ExpectCounts(const wchar_t* total, const wchar_t* success, const wchar_t* fail) {
        EXPECT_EQ(Total(), total);
        EXPECT_EQ(Text(Page(), IDC_COUNT_SUCCESS), success);
        EXPECT_EQ(Text(Page(), IDC_WIPE_COUNT_FAIL), fail);
        EXPECT_EQ(Page().m_tally.Counts().total,
                  Page().m_tally.Counts().success + Page().m_tally.Counts().failure);
    }
    JournalCall LastCallOf(const std::string& name) {
        JournalCall last;
        for (const JournalCall& call : host->bench.Journal())
            if (call.name == name)
                last = call;
        return last;
    }
};

} // namespace

// Guards against outcomes counted twice or not at all, in the wrong colour, or ending the run.
TEST_F(WipeBatchTest, TokenAfterTokenIsWipedAndCountedOnce) {
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kBlack);
    const struct {
        const char* insert;
        const std::wstring& status;
        COLORREF colour;
        const wchar_t* total;
    } tokens[] = {{"insert 0 type=pki", msg::kBlankDone, kBlack, L"1"},
                  {"insert 2 type=pki", msg::kBlankDone, kBlack, L"2"},
                  {"insert 0 type=lock", msg::kEncryptionLock, kRed, L"3"}};
    for (const auto& token : tokens) {
        Do(token.insert);
        ASSERT_TRUE(PumpUntil([&] { return Total() == token.total; })) << token.insert;
        EXPECT_EQ(Status(), token.status);
        EXPECT_EQ(Page().m_lblStatus.GetTextColor(), token.colour);
        // Pulling it is an attempt too, asked for and not counted.
        Do("remove " + std::string(1, token.insert[7]));
        ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    }
    ExpectCounts(L"3", L"2", L"1");
    Do("insert 0 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"4"; }));
    // A second token beside it: refused, not counted, and the run goes on.
    Do("insert 1 type=pki");
    ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kOneTokenOnly; }));
    ExpectCounts(L"4", L"3", L"1");
    EXPECT_TRUE(Running()) << "no outcome ends a run";
    EXPECT_EQ(CallCount("E_InitBlankToken"), 3);
    EXPECT_EQ(Page().Batch().MaxWorkersAlive(), 1);
}

// Guards against a stopped run resuming, taking up parameters typed after Start, or going on
// after a wrong SO PIN.
TEST_F(WipeBatchTest, StopDuringAnAttemptLetsItsOutcomeCountButNeverResumes) {
    Do("insert 0 type=pki\ndelay E_InitBlankToken 600000"); // held until the next delay line
    StartBatch();
    ASSERT_TRUE(PumpUntil([&] { return CallCount("E_GetDeviceInfo") == 1; }));
    ASSERT_TRUE(Click(Page(), IDC_STOP));
    // Clearing and ticking the box again neither resumes the run nor hands it the PIN typed
    // now.
    ASSERT_TRUE(Click(Page(), IDC_WIPE_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_WIPE_BATCH_CHECK));
    EXPECT_FALSE(Enabled(Page(), IDC_START)) << "held while the stopped wipe is under way";
    Type(Page(), IDC_WIPE_PIN, L"changed-pin");
    Do("delay E_InitBlankToken 0");
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    ExpectCounts(L"1", L"1", L"0");
    EXPECT_EQ(Status(), msg::kBlankDone);
    EXPECT_EQ(LastCallOf("E_InitBlankToken").args["pinlen"], "6");

    // The next Start is a new run with the PIN as typed now.
    Do("remove 0\ninsert 0 type=pki");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"2"; }));
    EXPECT_EQ(Status(), msg::kSoPinWrong + msg::kBatchStopped);
    EXPECT_EQ(LastCallOf("E_InitBlankToken").args["pinlen"], "11");
    ASSERT_TRUE(PumpUntil([&] { return Ended(); })) << "a wrong SO PIN ends the run";
}

// Guards against an attempt begun after Stop, when Stop and a token's event cross.
TEST_F(WipeBatchTest, StopRightAsATokenArrivesTouchesNoToken) {
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

// Guards against the attempt under way re-enabling Stop after the operator pressed it.
TEST_F(WipeBatchTest, AfterStopTheAttemptInProgressNeverEnablesStopAgain) {
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
    ASSERT_TRUE(Click(Page(), IDC_WIPE_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));
    EXPECT_EQ(showRunning, 2);
    EXPECT_FALSE(stopEnabledAfterStop);
    EXPECT_EQ(Status(), msg::kBlankDone) << "the attempt under way finished and reported";
    ExpectCounts(L"1", L"1", L"0");
}

// Guards against a Start while a stopped run's attempt is still inside the module: it would
// overlap two attempts or freeze the window waiting. Start stays disabled on both pages while
// the window answers, and comes back when the worker ends; the run's PIN copies go with it,
// wiped before their memory is freed.
TEST_F(WipeBatchTest, AStoppedAttemptHoldsStartOnBothPagesUntilItsWorkerEnds) {
    Do("insert 0 type=pki so=Run-copy-5517\ndelay E_InitBlankToken 600000"); // held until the next delay
    Type(Page(), IDC_WIPE_PIN, L"Run-copy-5517"); // too long for a string's inline buffer
    StartBatch();
    EXPECT_TRUE(Page().Batch().HoldsRunCopy());
    ASSERT_TRUE(PumpUntil([&] { return CallCount("E_GetDeviceInfo") == 1; }));
    host->ShowPage(1); // the reset stops the run inside its wipe
    EXPECT_FALSE(Click(host->pki, IDC_START));
    host->ShowPage(0);
    EXPECT_FALSE(Click(Page(), IDC_START));
    Type(Page(), IDC_WIPE_PIN, L"typed-meanwhile");
    EXPECT_EQ(Text(Page(), IDC_WIPE_PIN), L"typed-meanwhile");

    FreedBytes freed; // from here on only the run and its attempt free the PIN
    Do("delay E_InitBlankToken 0");
    ASSERT_TRUE(PumpUntil([&] { return !Page().Batch().HasWorker(); }));
    // Counted before any check: a failing one frees texts of its own that name the PIN.
    const int wide = freed.Holding(L"Run-copy-5517"), narrow = freed.Holding("Run-copy-5517");
    EXPECT_GT(freed.Blocks(), 0u);
    EXPECT_EQ(wide, 0) << "the run's copy";
    EXPECT_EQ(narrow, 0) << "the bytes the module received";
    EXPECT_TRUE(Enabled(Page(), IDC_START));
    EXPECT_TRUE(Enabled(host->pki, IDC_START));
    EXPECT_FALSE(Page().Batch().HoldsRunCopy());
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_EQ(host->bench.Query("token 0")["type"], "4") << "the held wipe finished";
}

// Guards against a refused run that leaves the page looking busy or counts: no binding, or a
// poll failure before the first attempt (refused in red). A failure later in a run ends it
// quietly (BatchRunTest); the controls after a run's end are PageStateTest's.
TEST_F(WipeBatchTest, RefusedRunsLeaveThePageIdle) {
    host->SetBound(false);
    ASSERT_TRUE(Click(Page(), IDC_WIPE_BATCH_CHECK));
    ASSERT_TRUE(Click(Page(), IDC_START));
    EXPECT_EQ(Status(), msg::kInitModuleFailed);
    EXPECT_TRUE(Enabled(Page(), IDC_WIPE_PIN)) << "Start stopped before disabling anything";
    EXPECT_EQ(Page().Batch().MaxWorkersAlive(), 0);
    host->SetBound(true);

    Do("fail C_WaitForSlotEvent 0x30 once");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Ended() && Enabled(Page(), IDC_START); }));
    EXPECT_EQ(Status(), msg::kInitModuleFailed);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    ExpectCounts(L"0", L"0", L"0");
    EXPECT_FALSE(Enabled(Page(), IDC_STOP));
    EXPECT_TRUE(Enabled(Page(), IDC_WIPE_PIN));
    EXPECT_TRUE(Enabled(Page(), IDC_WIPE_BATCH_CHECK));
}

// Guards against a PKI run that reads the fields anew for each token or leaves them enabled.
TEST_F(PagesTest, PkiBatchInitialisesEachTokenPluggedIn) {
    host->ShowPage(1);
    CPkiPage& page = host->pki;
    ASSERT_TRUE(Click(page, IDC_PKI_BATCH_CHECK));
    Type(page, IDC_PKI_LABEL, L"Line3");
    ASSERT_TRUE(Click(page, IDC_START));
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_PKI_STATUS) == msg::kInsertToken; }));
    Type(page, IDC_PKI_LABEL, L"Other"); // changed during the run: does not reach it
    for (const char* slot : {"0", "1"}) {
        Do(std::string("insert ") + slot + " type=blank");
        ASSERT_TRUE(
            PumpUntil([&] { return host->bench.Query(std::string("token ") + slot)["type"] == "1"; }));
        EXPECT_EQ(host->bench.Query(std::string("token ") + slot)["label"], "Line3");
        Do(std::string("remove ") + slot);
    }
    EXPECT_EQ(page.Batch().MaxWorkersAlive(), 1);
}
