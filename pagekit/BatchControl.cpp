#include "pagekit/BatchControl.h"

#include "pagekit/PageSupport.h"

#include <algorithm>
#include <vector>

// Worker side. SendMessage returns once the page has handled the request, so the request
// may live on this thread's stack; when the page's window is gone nothing is answered and
// the run winds down without a binding.

void BatchWorker::Send(RunRequest& request) {
    ::SendMessageW(m_hPage, WM_PAGE_RUN_REQUEST, reinterpret_cast<WPARAM>(this),
                   reinterpret_cast<LPARAM>(&request));
}

void BatchWorker::Send(RunRequest::Kind kind, bool bCount, const std::wstring* text) {
    RunRequest request{kind};
    request.bCount = bCount;
    request.text = text;
    Send(request);
}

TokenModule* BatchWorker::GetTokenModule() {
    RunRequest request{RunRequest::kGetModule};
    Send(request);
    return request.module;
}

void BatchWorker::ReportSuccess(bool bCount, std::wstring text) {
    Send(RunRequest::kReportSuccess, bCount, &text);
}
void BatchWorker::ReportFailure(bool bCount, std::wstring text) {
    Send(RunRequest::kReportFailure, bCount, &text);
}
void BatchWorker::EnableInputs() {
    Send(RunRequest::kEnableInputs);
}
void BatchWorker::ShowRunning() {
    Send(RunRequest::kShowRunning);
}
void BatchWorker::ShowFinished() {
    Send(RunRequest::kShowFinished);
}
void BatchWorker::SendEnded() {
    Send(RunRequest::kEnded);
}

void BatchWorker::RunAttempt() {
    // The page decides, in turn with the operator's Stop, whether a token may still be
    // touched; an attempt that has begun runs to its end and reports.
    RunRequest request{RunRequest::kBeginAttempt};
    Send(request);
    if (!request.bGranted)
        return;
    RunRequest end{RunRequest::kEndAttempt};
    end.bStopRun = m_attempt(request.module, *this) == After::StopRun;
    Send(end);
}

// Interface side.

namespace {

// Every page's batch side; pages live on the interface thread, which alone reads this.
std::vector<BatchControl*>& AllBatches() {
    static std::vector<BatchControl*> batches;
    return batches;
}

} // namespace

BatchControl::BatchControl(BatchView& page) : m_page(page) {
    AllBatches().push_back(this);
}

BatchControl::~BatchControl() {
    EndForReset();
    WaitForWorker();
    auto& batches = AllBatches();
    batches.erase(std::remove(batches.begin(), batches.end(), this), batches.end());
}

bool BatchControl::IsLive() const {
    return m_pending || (m_run && !m_run->bEnded && m_run->Signal().IsRunning());
}

bool BatchControl::IsWorkerAlive() const {
    return m_run && m_run->pThread && m_run->pThread->IsRunning();
}

bool BatchControl::HasWorker() const {
    return m_pending || (m_run && !m_run->bEnded);
}

namespace {

bool g_bStationInFlight = false; // interface thread only

} // namespace

void BatchControl::SetStationInFlight(bool bInFlight) {
    g_bStationInFlight = bInFlight;
    RefreshEveryStart();
}

bool BatchControl::AnyStoppedAttempt() {
    if (g_bStationInFlight)
        return true;
    for (const BatchControl* batch : AllBatches()) {
        const BatchWorker* run = batch->m_run.get();
        if (run && !run->bEnded && run->bStoppedInAttempt)
            return true;
    }
    return false;
}

void BatchControl::RefreshEveryStart() {
    for (BatchControl* batch : AllBatches())
        batch->m_page.RefreshStart();
}

bool BatchControl::Start(HWND page, BatchWorker::Attempt attempt, AFX_THREADPROC proc, LPVOID param) {
    if (IsLive() || AnyStoppedAttempt())
        return false;
    PendingStart start{page, std::move(attempt), proc, param};
    // One worker per page at a time: the last one is only polling towards its end.
    if (m_run && !m_run->bEnded) {
        m_pending = std::make_unique<PendingStart>(std::move(start));
        return true;
    }
    return Launch(std::move(start));
}

bool BatchControl::Launch(PendingStart start) {
    // The worker reads m_run when it starts; it is replaced only once that worker has ended.
    m_run = std::make_unique<BatchWorker>(start.page, std::move(start.attempt));
    m_run->pThread = AfxBeginThread(start.proc, start.param);
    if (!m_run->pThread) {
        m_run->bEnded = true;
        m_run->ReleaseAttempt();
        return false;
    }
    return true;
}

UINT BatchControl::RunWorker() {
    BatchWorker* run = m_run.get();
    if (run == nullptr)
        return 0;
    int alive = ++m_nWorkersAlive;
    for (int most = m_nMaxWorkersAlive.load();
         alive > most && !m_nMaxWorkersAlive.compare_exchange_weak(most, alive);)
        ;
    UINT result = RunBatchWorker(*run, run->Signal());
    --m_nWorkersAlive;
    run->SendEnded();
    return result;
}

void BatchControl::MarkStopped() {
    m_pending.reset();
    if (!m_run)
        return;
    m_run->Signal().Stop();
    if (m_run->bInAttempt && !m_run->bStoppedInAttempt) {
        m_run->bStoppedInAttempt = true;
        RefreshEveryStart();
    }
}

void BatchControl::Stop() {
    MarkStopped();
}

void BatchControl::EndForReset() {
    MarkStopped();
    if (m_run)
        m_run->bDetached = true;
}

void BatchControl::WaitForWorker() {
    if (m_run && m_run->pThread)
        m_run->pThread->WaitPumping(INFINITE);
}

LRESULT BatchControl::Handle(WPARAM wParam, LPARAM lParam) {
    // Only the current run's worker sends these; anything else is not ours to read.
    if (!m_run || wParam != reinterpret_cast<WPARAM>(m_run.get()) || lParam == 0)
        return 0;
    RunRequest& request = *reinterpret_cast<RunRequest*>(lParam);
    BatchWorker& run = *m_run;
    BatchView& page = m_page;
    const bool live = run.Signal().IsRunning();
    switch (request.kind) {
    case RunRequest::kGetModule:
        request.module = CurrentTokenModule();
        break;
    case RunRequest::kBeginAttempt:
        request.bGranted = live;
        request.module = live ? CurrentTokenModule() : nullptr;
        run.bInAttempt = live;
        break;
    case RunRequest::kEndAttempt:
        run.bInAttempt = false;
        // After its outcome has shown: the page ends the run as Stop would.
        if (request.bStopRun && live && !run.bDetached)
            page.StopRun();
        break;
    case RunRequest::kReportSuccess:
    case RunRequest::kReportFailure:
        // A stopped run's last outcome still shows and counts; a reset page starts afresh.
        if (!run.bDetached && request.text != nullptr) {
            if (request.kind == RunRequest::kReportSuccess)
                page.ReportSuccess(request.bCount, *request.text);
            else
                page.ReportFailure(request.bCount, *request.text);
        }
        break;
    case RunRequest::kEnableInputs:
        if (!run.bDetached)
            page.EnableInputs();
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
        run.ReleaseAttempt();
        if (m_pending) {
            std::unique_ptr<PendingStart> next = std::move(m_pending);
            if (!Launch(std::move(*next)))
                page.EnableInputs();
        }
        RefreshEveryStart();
        page.OnWorkerEnded();
        break;
    }
    return 0;
}
