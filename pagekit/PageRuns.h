#pragma once
// Batch runs of an initialisation page. A run's worker thread never touches the page: every
// report, control change and look-up of the binding is a request sent (SendMessage) to the
// page's window and carried out on the interface thread, which is also the only thread that
// stops runs. So counters change on one thread only, and whether a run may still act on a
// token is decided in the same order as the operator's Stop.
#include "attempt/AttemptFrontEnd.h"
#include "attempt/SlotEventLoop.h"
#include "token/TokenModule.h"
#include "win/Afx.h"
#include "workbench/Workbench.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

// What a run changes on its page. Called on the interface thread only.
class PageRunView : public AttemptFrontEnd {
  public:
    // The run could not start: its reason in red, the inputs enabled again.
    virtual void ShowRefused(std::wstring text) = 0;
    virtual void EnableInputs() = 0;
    // Start disabled, Stop enabled.
    void ShowRunning() override = 0;
    // Start enabled, Stop disabled, inputs enabled.
    virtual void ShowFinished() = 0;
    // Start as the page wants it, unless a stopped run's attempt still holds the module.
    virtual void RefreshStart() = 0;
    // The page's worker has made its last request.
    virtual void OnWorkerEnded() = 0;
    // The run has been stopped, by the operator's Stop or by the attempt that ended it.
    virtual void ShowStopped() = 0;

  protected:
    ~PageRunView() = default;
};

// The private message that carries a worker's request: wParam the run, lParam the request.
constexpr UINT WM_PAGE_RUN_REQUEST = WM_APP + 0x51;

// One request of a worker, on the worker's stack while the page handles it.
struct RunRequest {
    enum Kind {
        kGetModule,
        kBeginAttempt,
        kEndAttempt,
        kShowProgress,
        kShowOutcome,
        kShowRefused,
        kShowRunning,
        kShowFinished,
        kEnded
    };
    Kind kind;
    const std::wstring* text = nullptr;      // kShowProgress, kShowRefused
    const AttemptOutcome* outcome = nullptr; // kShowOutcome
    bool bStopRun = false;                   // kEndAttempt: the attempt ends the run
    // Answers.
    TokenModule* module = nullptr;
    bool bGranted = false;
};

// One batch run, as its worker sees it: the run's own copy of the parameters (inside the
// attempt), its stop signal, and the page's window to send requests to.
class PageRunWorker final : public SlotEventHost, public AttemptFrontEnd {
  public:
    // What the run does after an attempt: go on, or end as if the operator pressed Stop.
    enum class After { GoOn, StopRun };
    // One attempt with the run's parameters; `module` is the binding read for this attempt.
    using Attempt = std::function<After(TokenModule* module, AttemptFrontEnd& frontEnd)>;

    PageRunWorker(HWND page, Attempt attempt) : m_hPage(page), m_attempt(std::move(attempt)) {}
    ~PageRunWorker() { ReleaseAttempt(); }
    PageRunWorker(const PageRunWorker&) = delete;
    PageRunWorker& operator=(const PageRunWorker&) = delete;

    StopSignal& Signal() { return m_signal; }

    // Worker thread.
    TokenModule* GetTokenModule() override;
    void ShowProgress(std::wstring text) override;
    void ShowOutcome(const AttemptOutcome& outcome) override;
    void ShowRefused(std::wstring text) override;
    void ShowRunning() override;
    void RunAttempt() override;
    void ShowFinished() override;
    // The worker's last request: it touches nothing of the page after this one.
    void SendEnded();

    // Interface thread.
    // Drops the run's copy of the parameters (PINs wiped with their storage); the worker
    // calls no attempt afterwards.
    void ReleaseAttempt() { m_attempt = nullptr; }
    bool HoldsAttempt() const { return static_cast<bool>(m_attempt); }
    bool bDetached = false;         // ended by a page reset: nothing it reports reaches the page
    bool bEnded = false;            // the worker has made its last request (or never started)
    bool bInAttempt = false;        // an attempt has been granted and has not reported its end
    bool bStoppedInAttempt = false; // stopped while inside an attempt: it holds every Start
    std::unique_ptr<CWinThread> pThread;

  private:
    void Send(RunRequest& request);
    void Send(RunRequest::Kind kind, const std::wstring* text = nullptr);

    const HWND m_hPage;
    Attempt m_attempt;
    StopSignal m_signal;
};

// A page's side of its batch runs: at most one worker at a time, and the requests of that
// worker filtered by what the page has done since (Stop, reset). The interface thread never
// waits here: a Start that finds the page's last worker still winding down starts the new
// run when that worker reports its end. Interface thread only, except RunWorker.
class PageRuns final : public RunGate::Member {
  public:
    PageRuns(PageRunView& page, Workbench& bench);
    PageRuns(const PageRuns&) = delete;
    PageRuns& operator=(const PageRuns&) = delete;
    ~PageRuns();

    // A run has started (or waits to) and nobody has stopped it, and its worker has not ended.
    bool IsLive() const;
    // The thread of the last run has not ended yet (it may be finishing a stopped run).
    bool IsWorkerAlive() const;
    // The last run's worker has not made its last request yet, or a run waits to start.
    bool HasWorker() const;
    // The last run still holds its copy of the parameters.
    bool HoldsRunCopy() const { return m_run && m_run->HoldsAttempt(); }
    // A stopped run of any page is still inside its last attempt, or the station's attempts
    // are in flight: no Start may begin another attempt until they have ended.
    bool IsGateHeld() const { return m_bench.Runs().IsHeld(); }

    // The gate's view of this page's runs.
    bool HoldsModule() const override;
    bool IsBusy() const override { return HasWorker(); }
    void RefreshStart() override;

    // Starts `proc(param)` on a new thread for a new run (the procedure calls RunWorker), at
    // once or, while the last worker winds down, when it has ended. False when refused.
    bool Start(HWND page, PageRunWorker::Attempt attempt, AFX_THREADPROC proc, LPVOID param);
    // The worker thread's whole life.
    UINT RunWorker();

    // Stop: the run ends for good after its current attempt, whose outcome still shows.
    void Stop();
    // Page reset: the run ends for good and nothing it still reports reaches the page.
    void EndForReset();
    // Waits for the worker, handling what it sends to the page meanwhile. Only for the
    // page's destruction, when nothing of it is on screen any more.
    void WaitForWorker();

    // One request of the worker (WM_PAGE_RUN_REQUEST).
    LRESULT Handle(WPARAM wParam, LPARAM lParam);

    // The most workers of this page that were ever alive at once.
    int MaxWorkersAlive() const { return m_nMaxWorkersAlive.load(); }

  private:
    struct PendingStart {
        HWND page;
        PageRunWorker::Attempt attempt;
        AFX_THREADPROC proc;
        LPVOID param;
    };
    void MarkStopped();
    bool Launch(PendingStart start);

    PageRunView& m_page;
    Workbench& m_bench;
    std::unique_ptr<PageRunWorker> m_run;
    std::unique_ptr<PendingStart> m_pending;
    std::atomic<int> m_nWorkersAlive{0};
    std::atomic<int> m_nMaxWorkersAlive{0};
};
