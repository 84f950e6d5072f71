// Binding windows to objects: creation, subclassing, the default path, destruction,
// exceptions at the window procedure, views of unbound windows and owner-draw reflection.
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

TEST(CWndTest, ObjectGoingAwayDestroysTheWindowItCreated) {
    HWND window = nullptr;
    {
        ProbeWindow probe;
        ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        window = probe.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(window));
}

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

TEST(CWndTest, ExceptionInAHandlerStaysInsideTheWindowProcedure) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(::SendMessageW(probe.m_hWnd, kThrow, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(probe.m_hWnd, kPing, 0, 0), 42);
}

TEST(CWndTest, ViewsOfOtherWindowsAndTheOwner) {
    ProbeWindow parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
    HWND edit = RawEdit(parent.m_hWnd);
    CWnd* view = parent.GetDlgItem(7);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_hWnd, edit);
    EXPECT_EQ(parent.GetDlgItem(7), view); // the same holder every time
    EXPECT_EQ(parent.GetDlgItem(8), nullptr);
    view->EnableWindow(FALSE);
    EXPECT_FALSE(::IsWindowEnabled(edit));

    ProbeWindow bound;
    ASSERT_TRUE(bound.SubclassWindow(edit));
    EXPECT_EQ(parent.GetDlgItem(7), &bound); // a bound window is its own object
    EXPECT_EQ(bound.GetParent(), &parent);

    // Without an owner the parent stands in.
    EXPECT_EQ(bound.GetOwner(), &parent);
    ProbeWindow other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, L"other", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    bound.SetOwner(&other);
    EXPECT_EQ(bound.GetOwner(), &other);
}

TEST(CWndTest, StyleChangesReportWhetherAnythingChanged) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_TRUE(probe.ModifyStyleEx(0, WS_EX_TRANSPARENT));
    EXPECT_FALSE(probe.ModifyStyleEx(0, WS_EX_TRANSPARENT));
    EXPECT_TRUE(probe.GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_TRUE(probe.ModifyStyle(0, WS_BORDER, SWP_DRAWFRAME));
    EXPECT_TRUE(probe.ModifyStyle(WS_BORDER, 0, SWP_DRAWFRAME));
    EXPECT_FALSE(probe.GetStyle() & WS_BORDER);
}

namespace {
// An owner-drawn list box that counts what its parent hands back.
class DrawnList : public CListBox {
  public:
    int measured = 0;
    UINT measuredId = 0;
    int drawn = 0;
    CRect lastItem;

    void MeasureItem(LPMEASUREITEMSTRUCT item) override {
        ++measured;
        measuredId = item->CtlID;
        item->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++drawn;
        lastItem = item->rcItem;
    }
};
} // namespace

TEST(CWndTest, OwnerDrawRequestsGoBackToTheControlsObject) {
    RecordingWindow parent(200, 200);
    DrawnList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT,
                            CRect(0, 0, 150, 150), &parent, 55));
    list.AddString(reinterpret_cast<LPCWSTR>(1));
    EXPECT_EQ(list.measured, 1);
    EXPECT_EQ(list.measuredId, 55u);

    list.Invalidate();
    list.UpdateWindow();
    EXPECT_GE(list.drawn, 1);
    CRect expected;
    list.GetItemRect(0, &expected);
    EXPECT_EQ(list.lastItem, expected);
    EXPECT_EQ(expected.Height(), 20);
}
