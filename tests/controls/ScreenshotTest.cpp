// A window put together like the program's main window (navigation bar in its pager on the
// left, a page of status labels on the right), captured from the screen into
// <build>/artifacts/controls.bmp; the build turns it into controls.png.
#include "ControlsTestIds.h"
#include "controls/OutlookBar.h"
#include "controls/PagerCtrl.h"
#include "controls/StatusLabel.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace wintest;

namespace {
constexpr COLORREF kSlate = 0x00A28F87;

// The program's own navigation icons once they are in its resources, else the tests' own.
UINT IconOr(UINT programIcon, UINT testIcon) {
    return ::FindResourceW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(programIcon),
                           reinterpret_cast<LPCWSTR>(RT_GROUP_ICON))
               ? programIcon
               : testIcon;
}

class Panel : public CWnd {
  public:
    Panel() {
        CreateEx(0, nullptr, L"panel", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 620, 440),
                 &TestHost(), 0);
    }
    std::vector<std::unique_ptr<CStatusLabel>> labels;
    CStatusLabel& Label(const wchar_t* text, DWORD style, CRect rect) {
        labels.push_back(std::make_unique<CStatusLabel>());
        labels.back()->Create(text, WS_CHILD | WS_VISIBLE | style, rect, this);
        HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        LOGFONTW lf{};
        ::GetObjectW(font, sizeof lf, &lf);
        labels.back()->SetLogFont(lf);
        return *labels.back();
    }
};
} // namespace

TEST(ControlsScreenshot, BarAndLabelsAsTheProgramShowsThem) {
    Panel panel;
    HWND frame =
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, 10, 10, 120, 420,
                          panel.m_hWnd, reinterpret_cast<HMENU>(1000), ::GetModuleHandleW(nullptr), nullptr);
    CWnd frameView;
    frameView.Attach(frame);
    CRect inside;
    ::GetClientRect(frame, &inside);
    inside.DeflateRect(2, 2);

    CPagerCtrl pager;
    COutlookBar bar;
    bar.SetOwner(&panel);
    bar.m_crBackColor = kSlate;
    bar.m_crTextColor = 0x00FFFFFF;
    ASSERT_TRUE(pager.Create(WS_CHILD | WS_VISIBLE, inside, &frameView, 1000));
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, inside, &pager, 1000));
    bar.AddItem(IconOr(131, IDI_TEST_ORANGE), LoadStringOrDefault(IDS_NAV_BLANK).c_str());
    bar.AddItem(IconOr(132, IDI_TEST_GREEN), LoadStringOrDefault(IDS_NAV_PKI).c_str());
    bar.AddItem(IconOr(138, IDI_TEST_PURPLE), LoadStringOrDefault(IDS_NAV_INFO).c_str());
    pager.SetChild(bar.m_hWnd);
    pager.SetButtonSize(5);
    bar.SetActiveItem(1);

    // The page: heading, status group with counters, note line, and the label's other looks.
    auto group = [&](const wchar_t* caption, CRect rect) {
        ::CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, rect.left, rect.top,
                          rect.Width(), rect.Height(), panel.m_hWnd, nullptr, ::GetModuleHandleW(nullptr),
                          nullptr);
    };
    group(L"状态：", CRect(140, 72, 608, 168));
    group(L"外观：", CRect(140, 172, 608, 430));
    panel.Label(L"初始化为PKI锁", SS_LEFT, CRect(145, 14, 600, 32)).SetFontBold(TRUE).SetFontSize(11);
    panel.Label(L"", SS_LEFT, CRect(145, 36, 605, 38)).SetBkColor(0x00808080);
    panel
        .Label(L"注意：执行该初始化功能之前硬件必须为空锁类型或PKI类型", SS_LEFTNOWORDWRAP,
               CRect(150, 46, 600, 62))
        .SetTextColor(0x00FF0000);
    panel.Label(L"总数：", SS_LEFT, CRect(150, 96, 190, 112));
    panel.Label(L"15", SS_LEFT, CRect(192, 96, 250, 112));
    panel.Label(L"成功：", SS_LEFT, CRect(290, 96, 330, 112));
    panel.Label(L"12", SS_LEFT, CRect(332, 96, 390, 112)).SetTextColor(0x00FF0000);
    panel.Label(L"失败：", SS_LEFT, CRect(430, 96, 470, 112));
    panel.Label(L"3", SS_LEFT, CRect(472, 96, 530, 112)).SetTextColor(0x000000FF);
    panel.Label(L"初始化为PKI应用成功，请更换USBKey", SS_CENTER, CRect(150, 120, 600, 138))
        .SetTextColor(0x00000000);
    panel.Label(L"PIN长度不正确，请输入4-32个字符。", SS_CENTER, CRect(150, 142, 600, 160))
        .SetTextColor(0x000000FF);
    panel.Label(L"Orbel PKI 初始化工具", SS_CENTER | SS_CENTERIMAGE, CRect(150, 192, 600, 228))
        .SetBkColor(0x000000FF, 0x00FF0000, TRUE)
        .SetTextColor(0x00FFFFFF)
        .SetFontBold(TRUE)
        .SetFontSize(12);
    panel.Label(L"3-D 文字", SS_CENTER | SS_CENTERIMAGE, CRect(150, 240, 370, 275))
        .SetTextColor(0x00404040)
        .SetText3DColor(0x00FFFFFF)
        .SetText3D(TRUE, TRUE)
        .SetFontSize(14);
    panel.Label(L"ops@example.com", SS_CENTER | SS_CENTERIMAGE, CRect(380, 240, 600, 275))
        .SetTextColor(0x00FF0000)
        .SetFontUnderline(TRUE)
        .SetMailtoLink(TRUE, FALSE)
        .SetSunken(TRUE);
    panel.Label(L"闪烁的背景", SS_CENTER | SS_CENTERIMAGE, CRect(150, 290, 370, 320))
        .SetBkColor(0x00E0FFFF)
        .SetTextColor(0x000000FF)
        .SetBorder(TRUE);
    panel.Label(L"rotated", SS_LEFT, CRect(500, 285, 600, 420))
        .SetTextColor(0x00008000)
        .SetFontSize(12)
        .SetRotationAngle(90, TRUE);

    // Hover over the first item, as the operator's mouse would.
    CRect first;
    bar.GetItemRect(0, &first);
    CPoint over = first.CenterPoint();
    CPoint screenPoint = over;
    bar.ClientToScreen(&screenPoint);
    ::SetCursorPos(screenPoint.x, screenPoint.y);
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetCurSel() == 0; }, 1000));
    panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    FlushEvents(5);

    Canvas shot(620, 440);
    CaptureClient(panel.m_hWnd, shot);
    // Some of what the picture must show: the bar's background, white captions, the counters.
    CRect barArea(12, 12, 128, 428);
    EXPECT_GT(shot.Count(kSlate, &barArea), 8000);
    EXPECT_GT(shot.Count(Closer(0x00FFFFFF, kSlate), &barArea), 50);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    CRect success(332, 96, 390, 112), failure(472, 96, 530, 112);
    EXPECT_GT(shot.Count(Closer(0x00FF0000, face), &success), 5);
    EXPECT_GT(shot.Count(Closer(0x000000FF, face), &failure), 5);

    ::CreateDirectoryW(L"..\\artifacts", nullptr);
    EXPECT_TRUE(shot.SaveBmp(L"..\\artifacts\\controls.bmp"));
}
