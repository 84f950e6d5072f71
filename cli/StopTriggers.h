#pragma once
// What ends a watch run besides its count: Ctrl+C, and a stretch without slot events.
#include "attempt/StopSignal.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// While it lives, Ctrl+C (a console control event on Windows, SIGINT or SIGTERM natively)
// stops `signal` instead of ending the process, so the run ends with its summary and the
// module is finalised.
class InterruptStop {
  public:
    explicit InterruptStop(StopSignal& signal);
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

  private:
#ifndef _WIN32
    std::thread m_reader; // turns the handler's byte on a pipe into Stop()
#endif
};

// Stops `signal` when `idle` passes after the last Touch(); the clock starts with the first
// Touch (the end of the run's first attempt). Idle zero never stops.
class IdleStop {
  public:
    IdleStop(StopSignal& signal, std::chrono::seconds idle);
    ~IdleStop();
    IdleStop(const IdleStop&) = delete;
    IdleStop& operator=(const IdleStop&) = delete;
    void Touch();

  private:
    void Watch();

    StopSignal& m_signal;
    const std::chrono::seconds m_idle;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_bStarted = false;
    bool m_bEnding = false;
    std::thread m_thread;
};
