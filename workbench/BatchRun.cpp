// The workbench's batch run: the slot event loop, each attempt through the one policy, and
// the end of the run decided by the caller's tally.
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "workbench/Workbench.h"

namespace {

// A run cannot start: the module is missing or cannot report slot events without blocking.
bool RefuseRun(BatchView& view) {
    view.ShowRefused(LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
    return false;
}

CK_RV PollSlotEvent(BatchView& view, CK_SLOT_ID& slot) {
    TokenModule* module = view.Binding();
    if (module == nullptr || !module->HasFunctionLists())
        return CKR_CRYPTOKI_NOT_INITIALIZED;
    return module->WaitForSlotEvent(CKF_DONT_BLOCK, &slot);
}

} // namespace

// What a console or a test has no need of: every attempt granted on the binding, no controls.
bool BatchView::GrantAttempt(TokenModule*& module) {
    module = Binding();
    return true;
}
void BatchView::ShowCounts(const RunTally&) {}
void BatchView::EndAttempt(bool) {}
void BatchView::ShowFinished() {}

bool Workbench::RunBatch(const Job& job, BatchView& view, RunTally& tally, StopSignal& stop,
                         StopNote stopNote, std::chrono::milliseconds pollPeriod) {
    TokenModule* binding = view.Binding();
    if (binding == nullptr || !binding->HasFunctionLists())
        return RefuseRun(view);

    // Events that happened before Start belong to no attempt of this run.
    CK_SLOT_ID slot = 0;
    CK_RV rv;
    do {
        rv = PollSlotEvent(view, slot);
    } while (rv == CKR_OK && stop.IsRunning());
    if (rv != CKR_OK && rv != CKR_NO_EVENT)
        return RefuseRun(view);

    view.ShowRunning();
    for (bool attempt = true; attempt && stop.IsRunning();) {
        TokenModule* module = nullptr;
        if (view.GrantAttempt(module)) {
            const AttemptOutcome outcome = RunAndRecordAttempt(
                [&](AttemptProgress& progress) { return DoJob(module, job, true, progress); },
                JobSetting(job, LedgerMode::Batch, GetLedger(), &Stock(), stopNote), view);
            const bool bEndsRun = tally.Add(outcome);
            if (outcome.IsCounted())
                view.ShowCounts(tally);
            // The view hears of the end before the run stops: a page stops it as its Stop does.
            view.EndAttempt(bEndsRun);
            if (bEndsRun)
                stop.Stop();
        }
        attempt = false;
        while (stop.IsRunning()) {
            rv = PollSlotEvent(view, slot);
            if (rv == CKR_OK) {
                attempt = true;
                break;
            }
            if (rv != CKR_NO_EVENT || !stop.PauseWhileRunning(pollPeriod))
                break;
        }
    }
    view.ShowFinished();
    return true;
}
