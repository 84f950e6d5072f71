// Binding windows to objects: creation, subclassing, the default path, destruction,
// and exceptions at the window procedure.
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace wintest;

namespace {
constexpr UINT kPing = WM_APP + 1;
constexpr UINT kThrow = WM_APP + 2;

class ProbeWindow : public CWnd {
  public:
    int pings = 0;
    int destroys = 0;
    int postNcDestroys = 0;
    int shows = 0;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPing) {
            ++pings;
            return 42;
        }
        if (message == kThrow)
            throw std::runtime_error("handler failed");
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnDestroy() override {
        ++destroys;
        CWnd::OnDestroy();
    }
    void OnShowWindow(BOOL show, UINT status) override {
        ++shows;
        CWnd::OnShowWindow(show, status);
    }
    void PostNcDestroy() override { ++postNcDestroys; }
};

HWND RawEdit(HWND parent = nullptr) {
    return ::CreateWindowExW(0, L"EDIT", L"", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0, 100, 20,
                             parent, parent ? reinterpret_cast<HMENU>(7) : nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}
} // namespace

// Guards against messages that miss their object, and objects left bound to dead windows.
TEST(CWndTest, CreatedWindowRoutesMessagesAndUnbindsWhenDestroyed) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_CHILD, CRect(0, 0, 200, 100), &TestHost(), 0));
    HWND window = probe.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &probe);
    EXPECT_EQ(::SendMessageW(window, kPing, 0, 0), 42);
    probe.ShowWindow(SW_SHOW);
    EXPECT_EQ(probe.shows, 1); // a named handler, reached through the flat switch
    EXPECT_TRUE(probe.DestroyWindow());
    EXPECT_EQ(probe.destroys, 1);
    EXPECT_EQ(probe.postNcDestroys, 1);
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(window));
}

// Guards against windows that outlive the object that created them.
TEST(CWndTest, ObjectGoingAwayDestroysTheWindowItCreated) {
    HWND window = nullptr;
    {
        ProbeWindow probe;
        ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        window = probe.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(window));
}

// Guards against a subclassed control losing its own behaviour, or left on a dead procedure.
TEST(CWndTest, SubclassedControlKeepsItsOwnBehaviourAndOutlivesTheObject) {
    HWND edit = RawEdit();
    ASSERT_NE(edit, nullptr);
    {
        ProbeWindow probe;
        ASSERT_TRUE(probe.SubclassWindow(edit));
        EXPECT_EQ(::SendMessageW(edit, kPing, 0, 0), 42);
        // Everything else goes the control's own way.
        ::SetWindowTextW(edit, L"typed");
        CString text;
        probe.GetWindowText(text);
        EXPECT_EQ(text, L"typed");

        ProbeWindow second;
        EXPECT_FALSE(second.SubclassWindow(edit)); // one object per window
    }
    // The object is gone: the window is alive, unbound and back on its own procedure.
    ASSERT_TRUE(::IsWindow(edit));
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    EXPECT_EQ(::SendMessageW(edit, kPing, 0, 0), 0);
    wchar_t text[16] = L"";
    ::GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"typed");
    ::DestroyWindow(edit);
}

// Guards against an exception crossing the system's window procedure, which ends the program.
TEST(CWndTest, ExceptionInAHandlerStaysInsideTheWindowProcedure) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(::SendMessageW(probe.m_hWnd, kThrow, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(probe.m_hWnd, kPing, 0, 0), 42);
}
