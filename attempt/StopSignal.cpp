#include "attempt/StopSignal.h"

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
