#include "pagekit/PageRuns.h"

// Interface side.

PageRuns::PageRuns(PageRunView& page, Workbench& bench) : m_page(page), m_bench(bench) {
    m_bench.Runs().Join(*this);
}

PageRuns::~PageRuns() {
    EndForReset();
    WaitForWorker();
    m_bench.Runs().Leave(*this);
}

bool PageRuns::IsLive() const {
    return m_pending || (m_run && !m_run->bEnded && m_run->Signal().IsRunning());
}

bool PageRuns::IsWorkerAlive() const {
    return m_run && m_run->pThread && m_run->pThread->IsRunning();
}

bool PageRuns::HasWorker() const {
    return m_pending || (m_run && !m_run->bEnded);
}

bool PageRuns::HoldsModule() const {
    return m_run && !m_run->bEnded && m_run->bStoppedInAttempt;
}

void PageRuns::RefreshStart() {
    m_page.RefreshStart();
}

bool PageRuns::Start(HWND page, Job job, const RunTally& tally, AFX_THREADPROC proc, LPVOID param) {
    if (IsLive() || IsGateHeld())
        return false;
    PendingStart start{page, std::move(job), tally, proc, param};
    // One worker per page at a time: the last one is only polling towards its end.
    if (m_run && !m_run->bEnded) {
        m_pending = std::make_unique<PendingStart>(std::move(start));
        return true;
    }
    return Launch(std::move(start));
}

bool PageRuns::Launch(PendingStart start) {
    // The worker reads m_run when it starts; it is replaced only once that worker has ended.
    m_run = std::make_unique<PageRunWorker>(start.page, std::move(start.job), start.tally);
    m_run->pThread = AfxBeginThread(start.proc, start.param);
    if (!m_run->pThread) {
        m_run->bEnded = true;
        m_run->ReleaseJob();
        return false;
    }
    return true;
}

UINT PageRuns::RunWorker() {
    PageRunWorker* run = m_run.get();
    if (run == nullptr)
        return 0;
    int alive = ++m_nWorkersAlive;
    for (int most = m_nMaxWorkersAlive.load();
         alive > most && !m_nMaxWorkersAlive.compare_exchange_weak(most, alive);)
        ;
    // The job is released only once the worker has ended.
    m_bench.RunBatch(*run->RunJob(), *run, run->Tally(), run->Signal());
    --m_nWorkersAlive;
    run->SendEnded();
    return 0;
}

void PageRuns::MarkStopped() {
    m_pending.reset();
    if (!m_run)
        return;
    m_run->Signal().Stop();
    if (m_run->bInAttempt && !m_run->bStoppedInAttempt) {
        m_run->bStoppedInAttempt = true;
        m_bench.Runs().Changed();
    }
}

void PageRuns::Stop() {
    MarkStopped();
}

void PageRuns::EndForReset() {
    MarkStopped();
    if (m_run)
        m_run->bDetached = true;
}

void PageRuns::WaitForWorker() {
    if (m_run && m_run->pThread)
        m_run->pThread->WaitPumping(INFINITE);
}

LRESULT PageRuns::Handle(WPARAM wParam, LPARAM lParam) {
    // Only the current run's worker sends these; anything else is not ours to read.
    if (!m_run || wParam != reinterpret_cast<WPARAM>(m_run.get()) || lParam == 0)
        return 0;
    RunRequest& request = *reinterpret_cast<RunRequest*>(lParam);
    PageRunWorker& run = *m_run;
    PageRunView& page = m_page;
    const bool live = run.Signal().IsRunning();
    switch (request.kind) {
    case RunRequest::kGetModule:
        request.module = m_bench.Module();
        break;
    case RunRequest::kBeginAttempt:
        request.bGranted = live;
        request.module = live ? m_bench.Module() : nullptr;
        run.bInAttempt = live;
        break;
    case RunRequest::kEndAttempt:
        run.bInAttempt = false;
        // After its outcome has shown: the run stops as the operator's Stop stops it.
        if (request.bStopRun && live && !run.bDetached) {
            MarkStopped();
            page.ShowStopped();
        }
        break;
    case RunRequest::kShowProgress:
        if (!run.bDetached && request.text != nullptr)
            page.ShowProgress(*request.text);
        break;
    case RunRequest::kShowOutcome:
        // A stopped run's last outcome still shows and counts; a reset page starts afresh.
        if (!run.bDetached && request.outcome != nullptr)
            page.ShowOutcome(*request.outcome);
        break;
    case RunRequest::kShowCounts:
        if (!run.bDetached && request.tally != nullptr)
            page.ShowCounts(*request.tally);
        break;
    case RunRequest::kShowRefused:
        if (!run.bDetached && request.text != nullptr)
            page.ShowRefused(*request.text);
        break;
    case RunRequest::kShowRunning:
        // Stop may have come first: then the run never shows as running again.
        if (live && !run.bDetached)
            page.ShowRunning();
        break;
    case RunRequest::kShowFinished:
        if (!run.bDetached)
            page.ShowFinished();
        break;
    case RunRequest::kEnded:
        run.bEnded = true;
        // The run's copy of the PINs goes with the run, not with the next Start.
        run.ReleaseJob();
        if (m_pending) {
            std::unique_ptr<PendingStart> next = std::move(m_pending);
            if (!Launch(std::move(*next)))
                page.EnableInputs();
        }
        m_bench.Runs().Changed();
        page.OnWorkerEnded();
        break;
    }
    return 0;
}
