#include "pagekit/PageRun.h"

#include "pagekit/PageSupport.h"

#include <algorithm>
#include <vector>

// Worker side. SendMessage returns once the page has handled the request, so the request
// may live on this thread's stack; when the page's window is gone nothing is answered and
// the run winds down without a binding.

void PageRun::Send(RunRequest& request) {
    ::SendMessageW(m_hPage, WM_PAGE_RUN_REQUEST, reinterpret_cast<WPARAM>(this),
                   reinterpret_cast<LPARAM>(&request));
}

void PageRun::Send(RunRequest::Kind kind, bool bCount, const std::wstring* text) {
    RunRequest request{kind};
    request.bCount = bCount;
    request.text = text;
    Send(request);
}

TokenModule* PageRun::GetTokenModule() {
    RunRequest request{RunRequest::kGetModule};
    Send(request);
    return request.module;
}

void PageRun::ReportSuccess(bool bCount, std::wstring text) {
    Send(RunRequest::kReportSuccess, bCount, &text);
}
void PageRun::ReportFailure(bool bCount, std::wstring text) {
    Send(RunRequest::kReportFailure, bCount, &text);
}
void PageRun::EnableInputs() {
    Send(RunRequest::kEnableInputs);
}
void PageRun::ShowRunning() {
    Send(RunRequest::kShowRunning);
}
void PageRun::ShowFinished() {
    Send(RunRequest::kShowFinished);
}
void PageRun::SendEnded() {
    Send(RunRequest::kEnded);
}

void PageRun::RunAttempt() {
    // The page decides, in turn with the operator's Stop, whether a token may still be
    // touched; an attempt that has begun runs to its end and reports.
    RunRequest request{RunRequest::kBeginAttempt};
    Send(request);
    if (request.bGranted)
        m_attempt(request.module, *this);
}

// Interface side.

namespace {

// Every page's batch side; pages live on the interface thread, which alone reads this.
std::vector<PageBatch*>& AllBatches() {
    static std::vector<PageBatch*> batches;
    return batches;
}

} // namespace

PageBatch::PageBatch() {
    AllBatches().push_back(this);
}

PageBatch::~PageBatch() {
    StopAndWait();
    auto& batches = AllBatches();
    batches.erase(std::remove(batches.begin(), batches.end(), this), batches.end());
}

bool PageBatch::IsLive() const {
    return m_run && !m_run->bEnded && m_run->Signal().IsRunning();
}

bool PageBatch::IsWorkerAlive() const {
    return m_run && m_run->pThread && m_run->pThread->IsRunning();
}

bool PageBatch::ReadyForStart() {
    if (IsLive())
        return false;
    for (PageBatch* batch : AllBatches()) {
        if (!batch->IsLive())
            batch->WaitForWorker();
    }
    return true;
}

bool PageBatch::Start(HWND page, PageRun::Attempt attempt, AFX_THREADPROC proc, LPVOID param) {
    if (IsLive())
        return false;
    WaitForWorker();
    // The worker reads m_run when it starts; it is replaced only once that worker has ended.
    m_run = std::make_unique<PageRun>(page, std::move(attempt));
    m_run->pThread = AfxBeginThread(proc, param);
    if (!m_run->pThread) {
        m_run->bEnded = true;
        return false;
    }
    return true;
}

UINT PageBatch::RunWorker() {
    PageRun* run = m_run.get();
    if (run == nullptr)
        return 0;
    int alive = ++m_nWorkersAlive;
    for (int most = m_nMaxWorkersAlive.load();
         alive > most && !m_nMaxWorkersAlive.compare_exchange_weak(most, alive);)
        ;
    UINT result = RunBatchWorker(*run, run->Signal());
    run->SendEnded();
    --m_nWorkersAlive;
    return result;
}

void PageBatch::Stop() {
    if (m_run)
        m_run->Signal().Stop();
}

void PageBatch::EndForReset() {
    if (!m_run)
        return;
    m_run->Signal().Stop();
    m_run->bDetached = true;
}

void PageBatch::WaitForWorker() {
    if (m_run && m_run->pThread)
        m_run->pThread->WaitPumping(INFINITE);
}

LRESULT PageBatch::Handle(WPARAM wParam, LPARAM lParam, RunPage& page) {
    // Only the current run's worker sends these; anything else is not ours to read.
    if (!m_run || wParam != reinterpret_cast<WPARAM>(m_run.get()) || lParam == 0)
        return 0;
    RunRequest& request = *reinterpret_cast<RunRequest*>(lParam);
    PageRun& run = *m_run;
    const bool live = run.Signal().IsRunning();
    switch (request.kind) {
    case RunRequest::kGetModule:
        request.module = CurrentTokenModule();
        break;
    case RunRequest::kBeginAttempt:
        request.bGranted = live;
        request.module = live ? CurrentTokenModule() : nullptr;
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
        break;
    }
    return 0;
}
