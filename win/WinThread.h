#pragma once
// Worker threads. AfxBeginThread starts `proc(param)` on a new thread that sets its thread
// locale to 2052 (Chinese, PRC) first, and returns an owning handle to it (null on
// failure). Dropping the handle closes it without waiting: the thread runs on. Keep the
// handle when someone must wait for the thread later; the user-interface thread waits only
// with WaitPumping, which keeps handling the messages the worker sends to its windows, so
// a worker blocked in SetWindowText or EnableWindow on those windows can always finish.
#include <windows.h>

#include <memory>

using AFX_THREADPROC = UINT (*)(LPVOID param);

// The locale every thread of the system runs in.
constexpr LCID kSystemThreadLocale = 2052;

class CWinThread {
  public:
    CWinThread(HANDLE thread, DWORD threadId) : m_hThread(thread), m_nThreadID(threadId) {}
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    ~CWinThread();

    HANDLE m_hThread;
    DWORD m_nThreadID;

    DWORD ResumeThread();
    bool IsRunning() const;
    // Waits up to `timeoutMs` for the thread to end while handling sent messages:
    // WAIT_OBJECT_0 when it has ended, WAIT_TIMEOUT otherwise.
    DWORD WaitPumping(DWORD timeoutMs) const;
    // The thread's exit code once it has ended (STILL_ACTIVE before).
    DWORD GetExitCode() const;
};

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, LPVOID param,
                                           int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0,
                                           DWORD createFlags = 0, LPSECURITY_ATTRIBUTES security = nullptr);

// Waits for `handle` up to `timeoutMs` on a thread that owns windows, handling the
// messages other threads send to them meanwhile (posted messages stay queued).
DWORD AfxWaitPumping(HANDLE handle, DWORD timeoutMs);
