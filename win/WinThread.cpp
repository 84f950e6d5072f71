#include "win/WinThread.h"

#include <process.h>

namespace {
struct ThreadStart {
    AFX_THREADPROC proc;
    LPVOID param;
};

unsigned __stdcall ThreadEntry(void* raw) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
    ::SetThreadLocale(kSystemThreadLocale);
    try {
        return start->proc(start->param);
    } catch (...) {
        // Nothing may unwind out of a thread; the exit code tells the waiter.
        return static_cast<unsigned>(-1);
    }
}
} // namespace

CWinThread::~CWinThread() {
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() {
    return ::ResumeThread(m_hThread);
}

bool CWinThread::IsRunning() const {
    return ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

DWORD CWinThread::WaitPumping(DWORD timeoutMs) const {
    return AfxWaitPumping(m_hThread, timeoutMs);
}

DWORD CWinThread::GetExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeThread(m_hThread, &code);
    return code;
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                                           DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
    if (proc == nullptr)
        return nullptr;
    auto start = std::make_unique<ThreadStart>(ThreadStart{proc, param});
    unsigned threadId = 0;
    // Started suspended so the priority is in place before the procedure runs.
    uintptr_t handle =
        ::_beginthreadex(security, stackSize, &ThreadEntry, start.get(), CREATE_SUSPENDED, &threadId);
    if (handle == 0)
        return nullptr;
    start.release(); // the thread owns it now
    auto thread = std::make_unique<CWinThread>(reinterpret_cast<HANDLE>(handle), threadId);
    ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

DWORD AfxWaitPumping(HANDLE handle, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        DWORD remaining = timeoutMs == INFINITE ? INFINITE : (elapsed >= timeoutMs ? 0 : timeoutMs - elapsed);
        DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, remaining, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 + 1) {
            // Handles the messages sent by other threads, and only those.
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        if (result == WAIT_OBJECT_0)
            return WAIT_OBJECT_0;
        return result; // WAIT_TIMEOUT or WAIT_FAILED
    }
}
