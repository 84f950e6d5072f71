// The navigation bar inside its pager, set up as the main window sets it up, driven with
// the real cursor and synthesized mouse messages and read back from bitmaps.
#include "ControlsTestIds.h"
#include "controls/OutlookBar.h"
#include "controls/PagerCtrl.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace wintest;

namespace {
constexpr COLORREF kSlate = 0x00A28F87;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kOrange = RGB(255, 128, 0);
constexpr COLORREF kGreen = RGB(0, 160, 64);
constexpr UINT kBarId = 1000;

enum class Frame { None, Raised, Sunken, Other };

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
        bar.m_crTextColor = kWhite;
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

    std::unique_ptr<Canvas> Paint() {
        CRect client;
        bar.GetClientRect(&client);
        auto canvas = std::make_unique<Canvas>(client.Width(), client.Height());
        PrintClient(bar.m_hWnd, *canvas);
        return canvas;
    }
    CRect Item(int index) {
        CRect rect;
        bar.GetItemRect(index, &rect);
        return rect;
    }
    CRect FrameRect(int index) {
        CRect item = Item(index);
        int left = (item.Width() - 32 - 4) / 2;
        return CRect(left, item.top + 13, left + 36, item.bottom - 14);
    }
    Frame FrameOf(const Canvas& canvas, int index) {
        CRect f = FrameRect(index);
        COLORREF topLeft = canvas.Pixel(f.left, f.top + 10);
        COLORREF bottomRight = canvas.Pixel(f.right - 1, f.top + 10);
        if (topLeft == kSlate && bottomRight == kSlate)
            return Frame::None;
        if (topLeft == ::GetSysColor(COLOR_3DLIGHT) && bottomRight == ::GetSysColor(COLOR_3DDKSHADOW))
            return Frame::Raised;
        if (topLeft == ::GetSysColor(COLOR_3DDKSHADOW) && bottomRight == ::GetSysColor(COLOR_3DLIGHT))
            return Frame::Sunken;
        return Frame::Other;
    }
    // Puts the real cursor over `client` (bar coordinates) and tells the bar it moved there.
    void MoveTo(CPoint client) {
        CPoint screen = client;
        bar.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    CPoint Middle(int index) { return Item(index).CenterPoint(); }
    void Leave() { ::SetCursorPos(1190, 890); }
    bool HoverTimerRunning() { return ::KillTimer(bar.m_hWnd, COutlookBar::kHoverTimer) != FALSE; }

    RecordingWindow owner{400, 600};
    HWND frame = nullptr;
    CWnd frameView;
    CPagerCtrl pager;
    COutlookBar bar;
};
} // namespace

TEST_F(OutlookBarTest, ItemsAreMeasuredThroughThePagerAndFillIt) {
    CRect pagerClient, barWindow;
    pager.GetClientRect(&pagerClient);
    bar.GetWindowRect(&barWindow);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(barWindow.Width(), pagerClient.Width());
    EXPECT_GE(barWindow.Height(), 3 * 64);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar.SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i)), 64) << "twice the icon height";
    EXPECT_EQ(Item(1).top, 64);
    ASSERT_NE(bar.GetItem(2), nullptr);
    EXPECT_EQ(bar.GetItem(2)->strText, L"获取信息");
    EXPECT_EQ(bar.GetItem(3), nullptr);
    EXPECT_EQ(bar.GetItem(-1), nullptr);
    EXPECT_EQ(bar.GetStyle() & (LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_NOTIFY),
              static_cast<DWORD>(LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT));
}

TEST_F(OutlookBarTest, ItemsShowIconCaptionAndTheActiveFrame) {
    auto canvas = Paint();
    int width = canvas->Width();
    int iconLeft = (width - 32) / 2;
    EXPECT_EQ(canvas->Pixel(iconLeft + 16, 15 + 16), kOrange);
    EXPECT_EQ(canvas->Pixel(iconLeft + 16, 64 + 15 + 16), kGreen);
    EXPECT_EQ(canvas->Pixel(iconLeft + 2, 15 + 2), kSlate) << "the icon's transparent margin";
    // White captions on one line in the band under the icon, inside the side margins.
    Match white = Closer(kWhite, kSlate);
    CRect captionBand(0, 52, width, 64);
    CRect caption = canvas->Bounds(white, &captionBand);
    EXPECT_GT(canvas->Count(white, &captionBand), 20);
    EXPECT_GE(caption.left, 7);
    EXPECT_LE(caption.right, width - 7);
    CRect aboveCaption(0, 64, width, 64 + 52); // item 1: no frame, a green icon
    EXPECT_EQ(canvas->Count(white, &aboveCaption), 0);
    // Below the last item: the bar's own background.
    EXPECT_EQ(canvas->Pixel(5, canvas->Height() - 5), kSlate);

    // The active item carries a sunken frame, exactly around the icon; the others none.
    EXPECT_EQ(FrameOf(*canvas, 0), Frame::Sunken);
    EXPECT_EQ(FrameOf(*canvas, 1), Frame::None);
    EXPECT_EQ(FrameOf(*canvas, 2), Frame::None);
    CRect f = FrameRect(0);
    EXPECT_EQ(canvas->Pixel(f.left - 1, f.top + 10), kSlate);
    EXPECT_EQ(canvas->Pixel(f.right, f.top + 10), kSlate);
    EXPECT_EQ(canvas->Pixel(f.left + 10, f.top), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas->Pixel(f.left + 10, f.top - 1), kSlate);
    EXPECT_EQ(canvas->Pixel(f.left + 10, f.bottom - 1), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(canvas->Pixel(f.left + 10, f.bottom), kSlate);
}

TEST_F(OutlookBarTest, HoverRaisesTheItemAndLeavingClearsItWithinATick) {
    MoveTo(Middle(1));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == 1; }, 1000));
    auto hovered = Paint();
    EXPECT_EQ(FrameOf(*hovered, 1), Frame::Raised);
    EXPECT_EQ(FrameOf(*hovered, 0), Frame::Sunken);

    // Over the active item the frame stays sunken.
    MoveTo(Middle(0));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == 0; }, 1000));
    EXPECT_EQ(FrameOf(*Paint(), 0), Frame::Sunken);
    EXPECT_EQ(FrameOf(*Paint(), 1), Frame::None);

    // Inside the bar but below the last item: the last item hovered stays selected.
    MoveTo(Middle(2));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == 2; }, 1000));
    MoveTo(CPoint(20, 3 * 64 + 40));
    FlushEvents(60);
    EXPECT_EQ(bar.GetCurSel(), 2);

    Leave();
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == LB_ERR; }, 200));
    EXPECT_EQ(FrameOf(*Paint(), 2), Frame::None);
    EXPECT_FALSE(HoverTimerRunning()) << "the hover timer stops once the cursor is outside";
}

TEST_F(OutlookBarTest, HoldingTheButtonKeepsTheSelectionAndEveryReleaseReportsOnce) {
    MoveTo(Middle(1));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == 1; }, 1000));
    CPoint point = Middle(1);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(FrameOf(*Paint(), 1), Frame::Sunken) << "pressed";

    // Off the bar to the left, level with the held item (the list box itself, holding the
    // mouse, would select whatever item lies level with the cursor).
    CPoint beside(-20, point.y);
    bar.ClientToScreen(&beside);
    ::SetCursorPos(beside.x, beside.y);
    ASSERT_TRUE(PumpUntil([&] { return !HoverTimerRunning(); }, 500));
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

TEST_F(OutlookBarTest, KeyboardMovesTheSelectionWithoutTellingTheOwner) {
    bar.SetFocus();
    bar.SetCurSel(0);
    bar.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
    bar.SendMessage(WM_KEYUP, VK_DOWN, 0xC0000001);
    EXPECT_EQ(bar.GetCurSel(), 1);
    FlushEvents(30);
    EXPECT_EQ(owner.CountOf(WM_OUTLOOKBAR_CLICK), 0);
    EXPECT_EQ(owner.CountOf(WM_COMMAND), 0);
}

TEST_F(OutlookBarTest, SetActiveItemAnswersThePreviousIndexAndLeavesTheScreenAlone) {
    EXPECT_EQ(bar.SetActiveItem(2), 0);
    CRect client;
    bar.GetClientRect(&client);
    Canvas screen(client.Width(), 3 * 64);
    CaptureClient(bar.m_hWnd, screen);
    EXPECT_EQ(FrameOf(screen, 0), Frame::Sunken) << "not repainted yet";
    EXPECT_EQ(FrameOf(screen, 2), Frame::None);

    bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CaptureClient(bar.m_hWnd, screen);
    EXPECT_EQ(FrameOf(screen, 0), Frame::None);
    EXPECT_EQ(FrameOf(screen, 2), Frame::Sunken);
    EXPECT_EQ(bar.SetActiveItem(-1), 2);
}

TEST_F(OutlookBarTest, TooWideCaptionEndsInAnEllipsisOnOneLine) {
    const wchar_t caption[] = L"初始化为PKI锁并设置新的管理员PIN和用户PIN";
    int index = bar.AddItem(IDI_TEST_ORANGE, caption);
    ASSERT_EQ(index, 3);
    bar.RedrawWindow();
    auto canvas = Paint();
    CRect item = Item(index);
    CRect band(item.left, item.top + 52, item.right, item.bottom);

    // What DrawText makes of the caption with an ellipsis in the same band.
    Canvas expected(canvas->Width(), canvas->Height(), kSlate);
    ::SelectObject(expected.Dc(), ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(expected.Dc(), kWhite);
    ::SetBkMode(expected.Dc(), TRANSPARENT);
    SIZE extent{};
    ::GetTextExtentPoint32W(expected.Dc(), caption, static_cast<int>(wcslen(caption)), &extent);
    ASSERT_GT(extent.cx, item.Width() - 14) << "the caption really is too wide";
    CRect textBox = band;
    textBox.DeflateRect(7, 0, 7, 0);
    ::DrawTextW(expected.Dc(), caption, -1, &textBox,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x)
            ASSERT_EQ(canvas->Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
    EXPECT_GE(canvas->Bounds(Closer(kWhite, kSlate), &band).left, 7);
}

TEST_F(OutlookBarTest, RequestsForItemsTheBarDoesNotHoldDrawOnlyTheBackground) {
    for (UINT itemId : {static_cast<UINT>(-1), 3u, 1000u}) {
        Canvas canvas(116, 64, RGB(1, 2, 3));
        DRAWITEMSTRUCT request{};
        request.CtlType = ODT_LISTBOX;
        request.CtlID = kBarId;
        request.itemID = itemId;
        request.itemAction = ODA_FOCUS;
        request.itemState = ODS_SELECTED | ODS_FOCUS;
        request.hwndItem = bar.m_hWnd;
        request.hDC = canvas.Dc();
        request.rcItem = CRect(0, 0, 116, 64);
        bar.DrawItem(&request);
        EXPECT_EQ(canvas.Count(kSlate), 116 * 64) << itemId;
    }
}

TEST_F(OutlookBarTest, MissingIconStillDrawsTheCaptionAndIconsGoWithTheBar) {
    EXPECT_EQ(bar.AddItem(4242, L"无图标"), 3);
    EXPECT_EQ(bar.GetItem(3)->hIcon.Get(), nullptr);
    auto canvas = Paint();
    CRect band(0, 3 * 64 + 52, canvas->Width(), 4 * 64);
    EXPECT_GT(canvas->Count(Closer(kWhite, kSlate), &band), 10);

    std::vector<HICON> icons;
    {
        COutlookBar other;
        other.SetOwner(&owner);
        ASSERT_TRUE(other.Create(WS_CHILD, CRect(200, 0, 300, 300), &owner, 1001));
        other.AddItem(IDI_TEST_ORANGE, L"a");
        other.AddItem(IDI_TEST_GREEN, L"b");
        icons = {other.GetItem(0)->hIcon.Get(), other.GetItem(1)->hIcon.Get()};
        ASSERT_NE(icons[0], nullptr);
    }
    for (HICON icon : icons)
        EXPECT_FALSE(::DestroyIcon(icon)) << "already destroyed with its bar";
}

TEST(OutlookBarOwnerTest, WithoutAnOwnerTheParentHearsTheClick) {
    RecordingWindow parent(300, 300);
    COutlookBar bar;
    bar.m_crBackColor = kSlate;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 116, 250), &parent, 1234));
    bar.AddItem(IDI_TEST_ORANGE, L"a");
    bar.AddItem(IDI_TEST_GREEN, L"b");
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 70));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 70));
    ASSERT_EQ(parent.CountOf(WM_OUTLOOKBAR_CLICK), 1);
    EXPECT_EQ(parent.records.back().wParam, 1u);
    EXPECT_EQ(parent.records.back().lParam, 1234);
    // The measuring went through this parent as well.
    EXPECT_EQ(bar.SendMessage(LB_GETITEMHEIGHT, 0), 64);
}
