// Worker threads: their locale, their handle, and waiting for one from the interface
// thread while it changes that thread's windows.
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

using namespace wintest;

namespace {
struct Shared {
    std::atomic<LCID> locale{0};
    std::atomic<int> runs{0};
    HANDLE release = nullptr;
    HWND window = nullptr;
};

UINT RecordLocale(LPVOID param) {
    auto* shared = static_cast<Shared*>(param);
    shared->locale = ::GetThreadLocale();
    ++shared->runs;
    return 5;
}

UINT WaitForRelease(LPVOID param) {
    auto* shared = static_cast<Shared*>(param);
    ::WaitForSingleObject(shared->release, 10000);
    ++shared->runs;
    return 0;
}

// Changes a window of the interface thread, as a page's worker does: a sent message.
UINT SetTextOfWindow(LPVOID param) {
    auto* shared = static_cast<Shared*>(param);
    ::SetWindowTextW(shared->window, L"from the worker");
    ::PostMessageW(shared->window, WM_APP + 3, 0, 0);
    return 0;
}

UINT Throw(LPVOID) {
    throw std::runtime_error("worker failed");
}

struct Event {
    HANDLE handle = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Event() { ::CloseHandle(handle); }
};
} // namespace

TEST(ThreadTest, WorkerRunsInTheChineseLocale) {
    ::SetThreadLocale(1033);
    Shared shared;
    auto thread = AfxBeginThread(&RecordLocale, &shared);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->WaitPumping(10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.locale.load(), 2052u);
    EXPECT_EQ(thread->GetExitCode(), 5u);
    EXPECT_FALSE(thread->IsRunning());
    ::SetThreadLocale(2052);
}

TEST(ThreadTest, SuspendedPriorityAndDroppedHandles) {
    Shared shared;
    auto thread = AfxBeginThread(&RecordLocale, &shared, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(::GetThreadPriority(thread->m_hThread), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(thread->WaitPumping(100), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(shared.runs.load(), 0);
    thread->ResumeThread();
    EXPECT_EQ(thread->WaitPumping(10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.runs.load(), 1);

    // Dropping the handle does not wait for the thread, which runs on.
    Event release;
    shared.release = release.handle;
    auto waiting = AfxBeginThread(&WaitForRelease, &shared);
    ASSERT_NE(waiting, nullptr);
    DWORD id = waiting->m_nThreadID;
    waiting.reset();
    HANDLE again = ::OpenThread(SYNCHRONIZE, FALSE, id);
    ASSERT_NE(again, nullptr);
    ::SetEvent(release.handle);
    EXPECT_EQ(::WaitForSingleObject(again, 10000), WAIT_OBJECT_0);
    ::CloseHandle(again);
    EXPECT_EQ(shared.runs.load(), 2);
}

TEST(ThreadTest, AnExceptionEndsOnlyTheWorker) {
    auto thread = AfxBeginThread(&Throw, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->WaitPumping(10000), WAIT_OBJECT_0);
    EXPECT_EQ(thread->GetExitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}

TEST(ThreadTest, WaitingHandlesWhatTheWorkerSendsButNotWhatItPosts) {
    RecordingWindow window;
    Shared shared;
    shared.window = window.m_hWnd;
    auto thread = AfxBeginThread(&SetTextOfWindow, &shared);
    ASSERT_NE(thread, nullptr);
    // A plain wait would never end: the worker waits for this thread to take its message.
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 300), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(thread->WaitPumping(10000), WAIT_OBJECT_0);
    CString text;
    window.GetWindowText(text);
    EXPECT_EQ(text, L"from the worker");
    // The posted message waits for the next loop.
    EXPECT_EQ(window.CountOf(WM_APP + 3), 0);
    FlushEvents(30);
    EXPECT_EQ(window.CountOf(WM_APP + 3), 1);
}
