// A page run's worker side, apart from the page's side (PageRuns.cpp): the workbench's batch
// run calls these, and they call nothing of the loop or of the page in turn, only send requests.
#include "pagekit/PageRuns.h"

// SendMessage returns once the page has handled the request, so the request
// may live on this thread's stack; when the page's window is gone nothing is answered and
// the run winds down without a binding.

void PageRunWorker::Send(RunRequest& request) {
    ::SendMessageW(m_hPage, WM_PAGE_RUN_REQUEST, reinterpret_cast<WPARAM>(this),
                   reinterpret_cast<LPARAM>(&request));
}

void PageRunWorker::Send(RunRequest::Kind kind, const std::wstring* text) {
    RunRequest request{kind};
    request.text = text;
    Send(request);
}

TokenModule* PageRunWorker::Binding() {
    RunRequest request{RunRequest::kGetModule};
    Send(request);
    return request.module;
}

void PageRunWorker::ShowProgress(std::wstring text) {
    Send(RunRequest::kShowProgress, &text);
}
void PageRunWorker::ShowOutcome(const AttemptOutcome& outcome) {
    RunRequest request{RunRequest::kShowOutcome};
    request.outcome = &outcome;
    Send(request);
}
void PageRunWorker::ShowRefused(std::wstring text) {
    Send(RunRequest::kShowRefused, &text);
}
void PageRunWorker::ShowRunning() {
    Send(RunRequest::kShowRunning);
}
void PageRunWorker::ShowFinished() {
    Send(RunRequest::kShowFinished);
}
void PageRunWorker::SendEnded() {
    Send(RunRequest::kEnded);
}

bool PageRunWorker::GrantAttempt(TokenModule*& module) {
    // The page decides, in turn with the operator's Stop, whether a token may still be
    // touched; an attempt that has begun runs to its end and reports.
    RunRequest request{RunRequest::kBeginAttempt};
    Send(request);
    module = request.module;
    return request.bGranted;
}

void PageRunWorker::ShowCounts(const RunTally& tally) {
    RunRequest request{RunRequest::kShowCounts};
    request.tally = &tally;
    Send(request);
}

void PageRunWorker::EndAttempt(bool bEndsRun) {
    RunRequest request{RunRequest::kEndAttempt};
    request.bStopRun = bEndsRun;
    Send(request);
}
