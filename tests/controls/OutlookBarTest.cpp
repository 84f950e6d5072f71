// The navigation bar inside its pager, set up as the main window sets it up, driven with
// the real cursor and synthesized mouse messages and read back from bitmaps. The program's
// tests see its frames and hover from outside.
#include "ControlsTestIds.h"
#include "controls/OutlookBar.h"
#include "controls/PagerCtrl.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace wintest;

namespace {
constexpr COLORREF kSlate = 0x00A28F87;
constexpr UINT kBarId = 1000;

class OutlookBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // As in the main window: a plain static frame, the pager in it, the bar in the pager.
        frame = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, 10, 10, 120, 420,
                                  owner.m_hWnd, reinterpret_cast<HMENU>(1000), ::GetModuleHandleW(nullptr),
                                  nullptr);
        frameView.Attach(frame);
        CRect rect;
        ::GetClientRect(frame, &rect);
        bar.SetOwner(&owner);
        bar.m_crBackColor = kSlate;
        ASSERT_TRUE(pager.Create(WS_CHILD | WS_VISIBLE, rect, &frameView, 1000));
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, rect, &pager, kBarId));
        EXPECT_EQ(bar.AddItem(IDI_TEST_ORANGE, L"初始化为空锁"), 0);
        EXPECT_EQ(bar.AddItem(IDI_TEST_GREEN, L"初始化为PKI锁"), 1);
        EXPECT_EQ(bar.AddItem(IDI_TEST_PURPLE, L"获取信息"), 2);
        pager.SetChild(bar.m_hWnd);
        pager.SetButtonSize(5);
        bar.SetActiveItem(0);
        bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        FlushEvents(30);
    }
    void TearDown() override {
        ::SetCursorPos(1190, 890); // away from every test window
        FlushEvents(20);
    }

    CRect Item(int index) {
        CRect rect;
        bar.GetItemRect(index, &rect);
        return rect;
    }
    // Puts the real cursor over `client` (bar coordinates) and tells the bar it moved there.
    void MoveTo(CPoint client) {
        CPoint screen = client;
        bar.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    CPoint Middle(int index) { return Item(index).CenterPoint(); }
    bool HoverTimerRunning() { return ::KillTimer(bar.m_hWnd, COutlookBar::kHoverTimer) != FALSE; }

    RecordingWindow owner{400, 600};
    HWND frame = nullptr;
    CWnd frameView;
    CPagerCtrl pager;
    COutlookBar bar;
};
} // namespace

// Guards against clicks reported twice, on the wrong item, or before the button is released.
TEST_F(OutlookBarTest, HoldingTheButtonKeepsTheSelectionAndEveryReleaseReportsOnce) {
    MoveTo(Middle(1));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == 1; }));
    CPoint point = Middle(1);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));

    // Off the bar to the left, level with the held item (the list box itself, holding the
    // mouse, would select whatever item lies level with the cursor).
    CPoint beside(-20, point.y);
    bar.ClientToScreen(&beside);
    ::SetCursorPos(beside.x, beside.y);
    ASSERT_TRUE(PumpUntil([&] { return !HoverTimerRunning(); }));
    EXPECT_EQ(bar.GetCurSel(), 1) << "the held item stays selected outside the bar";
    EXPECT_EQ(owner.CountOf(WM_OUTLOOKBAR_CLICK), 0);

    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    ASSERT_EQ(owner.CountOf(WM_OUTLOOKBAR_CLICK), 1);
    EXPECT_EQ(owner.records.back().wParam, 1u);
    EXPECT_EQ(owner.records.back().lParam, static_cast<LPARAM>(kBarId));

    // A release with nothing selected reports -1.
    bar.SetCurSel(-1);
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    ASSERT_EQ(owner.CountOf(WM_OUTLOOKBAR_CLICK), 2);
    EXPECT_EQ(static_cast<int>(owner.records.back().wParam), -1);
}
