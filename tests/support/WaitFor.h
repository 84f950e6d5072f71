#pragma once
// The one way a test waits: it checks for the outcome, and between two checks lets the
// program move on (handles its window messages, or sleeps briefly). The timeout only ends a
// hung test; what a test decides never depends on how long anything took.
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <thread>
#endif

inline void SleepBriefly() {
#ifdef _WIN32
    ::Sleep(5);
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
#endif
}

// True once `done()` holds; false when `timeoutMs` passed first. `between()` runs between checks.
template <class Done, class Between>
bool WaitForOutcome(Done done, Between between, unsigned long timeoutMs = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        between();
    }
    return true;
}

template <class Done> bool WaitUntil(Done done, unsigned long timeoutMs = 30000) {
    return WaitForOutcome(done, SleepBriefly, timeoutMs);
}
