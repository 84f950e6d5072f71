#pragma once
// The stop signal of one run (a page's or the console's batch run, the station's taking).
// Stopping is final: a stopped run never resumes, and a run pausing between polls wakes at once.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

class StopSignal {
  public:
    bool IsRunning() const { return m_running.load(); }
    void Stop();
    // Sleeps for `period` or until Stop(); returns IsRunning().
    bool PauseWhileRunning(std::chrono::milliseconds period);

  private:
    std::atomic<bool> m_running{true};
    std::mutex m_lock;
    std::condition_variable m_wake;
};
