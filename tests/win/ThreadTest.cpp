// Worker threads: their locale, their failures, and waiting for one from the interface
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
    HWND window = nullptr;
};

UINT RecordLocale(LPVOID param) {
    auto* shared = static_cast<Shared*>(param);
    shared->locale = ::GetThreadLocale();
    ++shared->runs;
    return 5;
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

} // namespace

// Guards against workers formatting texts in another locale than the interface thread.
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

// Guards against a worker's exception ending the whole program.
TEST(ThreadTest, AnExceptionEndsOnlyTheWorker) {
    auto thread = AfxBeginThread(&Throw, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->WaitPumping(10000), WAIT_OBJECT_0);
    EXPECT_EQ(thread->GetExitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}

// Guards against a deadlock: waiting for a worker that sends to this thread's windows.
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
