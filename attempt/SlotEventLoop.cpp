#include "attempt/SlotEventLoop.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

void StopSignal::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_running.store(false);
    }
    m_wake.notify_all();
}

bool StopSignal::PauseWhileRunning(std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> lock(m_lock);
    m_wake.wait_for(lock, period, [this] { return !m_running.load(); });
    return m_running.load();
}

namespace {

// A run cannot start: the module is missing or cannot report slot events without blocking.
unsigned RefuseRun(SlotEventHost& host) {
    host.ShowRefused(LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
    return 0;
}

CK_RV PollSlotEvent(SlotEventHost& host, CK_SLOT_ID& slot) {
    TokenModule* module = host.GetTokenModule();
    if (module == nullptr || !module->HasFunctionLists())
        return CKR_CRYPTOKI_NOT_INITIALIZED;
    return module->WaitForSlotEvent(CKF_DONT_BLOCK, &slot);
}

} // namespace

unsigned RunSlotEventLoop(SlotEventHost& host, StopSignal& signal, std::chrono::milliseconds pollPeriod) {
    TokenModule* module = host.GetTokenModule();
    if (module == nullptr || !module->HasFunctionLists())
        return RefuseRun(host);

    // Events that happened before Start belong to no attempt of this run.
    CK_SLOT_ID slot = 0;
    CK_RV rv;
    do {
        rv = PollSlotEvent(host, slot);
    } while (rv == CKR_OK && signal.IsRunning());
    if (rv != CKR_OK && rv != CKR_NO_EVENT)
        return RefuseRun(host);

    host.ShowRunning();
    for (bool attempt = true; attempt && signal.IsRunning();) {
        host.RunAttempt();
        attempt = false;
        while (signal.IsRunning()) {
            rv = PollSlotEvent(host, slot);
            if (rv == CKR_OK) {
                attempt = true;
                break;
            }
            if (rv != CKR_NO_EVENT || !signal.PauseWhileRunning(pollPeriod))
                break;
        }
    }
    host.ShowFinished();
    return 0;
}
