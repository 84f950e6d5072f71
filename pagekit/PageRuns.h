#pragma once
// Batch runs of an initialisation page. A run's worker thread never touches the page: every
// report, control change and look-up of the binding is a request sent (SendMessage) to the
// page's window and carried out on the interface thread, which is also the only thread that
// stops runs. So counters change on one thread only, and whether a run may still act on a
// token is decided in the same order as the operator's Stop.
#include "attempt/AttemptFrontEnd.h"
#include "attempt/AttemptRunner.h"
#include "attempt/Job.h"
#include "attempt/StopSignal.h"
#include "token/TokenModule.h"
#include "win/Afx.h"
#include "workbench/BatchView.h"
#include "workbench/Workbench.h"

#include <atomic>
#include <memory>
#include <string>

// What a run changes on its page. Called on the interface thread only.
class PageRunView : public AttemptFrontEnd {
  public:
    // The run could not start: its reason in red, the inputs enabled again.
    virtual void ShowRefused(std::wstring text) = 0;
    virtual void EnableInputs() = 0;
    // The counters after a counted outcome: `tally` becomes the page's.
    virtual void ShowCounts(const RunTally& tally) = 0;
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
        kShowCounts,
        kShowRefused,
        kShowRunning,
        kShowFinished,
        kEnded
    };
    Kind kind;
    const std::wstring* text = nullptr;      // kShowProgress, kShowRefused
    const AttemptOutcome* outcome = nullptr; // kShowOutcome
    const RunTally* tally = nullptr;         // kShowCounts
    bool bStopRun = false;                   // kEndAttempt: the attempt ends the run
    // Answers.
    TokenModule* module = nullptr;
    bool bGranted = false;
};

// One batch run, as its worker sees it: the run's own copy of the job and of the page's
// counters, its stop signal, and the page's window to send requests to.
class PageRunWorker final : public BatchView {
  public:
    PageRunWorker(HWND page, Job job, const RunTally& tally)
        : m_hPage(page), m_job(std::make_unique<Job>(std::move(job))), m_tally(tally) {}
    ~PageRunWorker() { ReleaseJob(); }
    PageRunWorker(const PageRunWorker&) = delete;
    PageRunWorker& operator=(const PageRunWorker&) = delete;

    StopSignal& Signal() { return m_signal; }

    // Worker thread.
    // The run's job; null once released.
    const Job* RunJob() const { return m_job.get(); }
    RunTally& Tally() { return m_tally; }
    TokenModule* Binding() override;
    void ShowProgress(std::wstring text) override;
    void ShowOutcome(const AttemptOutcome& outcome) override;
    void ShowRefused(std::wstring text) override;
    void ShowRunning() override;
    bool GrantAttempt(TokenModule*& module) override;
    void ShowCounts(const RunTally& tally) override;
    void EndAttempt(bool bEndsRun) override;
    void ShowFinished() override;
    // The worker's last request: it touches nothing of the page after this one.
    void SendEnded();

    // Interface thread.
    // Drops the run's copy of the job (PINs wiped with their storage); the worker runs no
    // attempt afterwards.
    void ReleaseJob() { m_job.reset(); }
    bool HoldsJob() const { return static_cast<bool>(m_job); }
    bool bDetached = false;         // ended by a page reset: nothing it reports reaches the page
    bool bEnded = false;            // the worker has made its last request (or never started)
    bool bInAttempt = false;        // an attempt has been granted and has not reported its end
    bool bStoppedInAttempt = false; // stopped while inside an attempt: it holds every Start
    std::unique_ptr<CWinThread> pThread;

  private:
    void Send(RunRequest& request);
    void Send(RunRequest::Kind kind, const std::wstring* text = nullptr);

    const HWND m_hPage;
    std::unique_ptr<Job> m_job;
    RunTally m_tally;
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
    bool HoldsRunCopy() const { return m_run && m_run->HoldsJob(); }
    // A stopped run of any page is still inside its last attempt, or the station's attempts
    // are in flight: no Start may begin another attempt until they have ended.
    bool IsGateHeld() const { return m_bench.Runs().IsHeld(); }

    // The gate's view of this page's runs.
    bool HoldsModule() const override;
    bool IsBusy() const override { return HasWorker(); }
    void RefreshStart() override;

    // Starts `proc(param)` on a new thread for a new run of `job` (the procedure calls
    // RunWorker), its counters going on from `tally`, at once or, while the last worker winds
    // down, when it has ended. False when refused.
    bool Start(HWND page, Job job, const RunTally& tally, AFX_THREADPROC proc, LPVOID param);
    // The worker thread's whole life: the workbench's batch run.
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
        Job job;
        RunTally tally;
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
