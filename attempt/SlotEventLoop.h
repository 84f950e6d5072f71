#pragma once
// One batch run of an initialisation page: the worker loop that drains pending slot events,
// runs one attempt at once, then polls the module every 500 ms without blocking and runs one
// attempt per slot event until the run is stopped.
#include "token/TokenModule.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

// The stop signal of one run. Stopping is final: a stopped run never resumes, whatever the
// page's check box does afterwards, and a worker pausing between polls wakes at once.
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

// What a page gives its worker. Every call comes from the worker thread; the page carries
// the window work over to the interface thread.
class SlotEventHost {
  public:
    // The main window's binding, read anew at every use; null when there is none.
    virtual TokenModule* GetTokenModule() = 0;
    // The run cannot start (the module is missing or cannot report slot events): shown in red,
    // not counted, the inputs enabled again.
    virtual void ShowRefused(std::wstring text) = 0;
    // Start disabled, Stop enabled: the run has begun.
    virtual void ShowRunning() = 0;
    // One attempt with the run's own copy of the parameters.
    virtual void RunAttempt() = 0;
    // Start enabled, Stop disabled, inputs enabled: the run has ended.
    virtual void ShowFinished() = 0;

  protected:
    ~SlotEventHost() = default;
};

constexpr std::chrono::milliseconds kSlotPollPeriod{500};

// The worker's whole life; returns 0 like the thread procedure it runs in.
unsigned RunSlotEventLoop(SlotEventHost& host, StopSignal& signal,
                          std::chrono::milliseconds pollPeriod = kSlotPollPeriod);
