// Modal dialogs in the system's dialog loop, with a modeless child page inside: Tab moves
// through the page's fields, Enter and Esc typed in the page reach the page, not the dialog.
#include "WinTestIds.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace wintest;

namespace {
constexpr UINT kRunScript = WM_APP + 10;

class TestPage : public CDialog {
  public:
    TestPage() : CDialog(IDD_TEST_PAGE) {}
    int oks = 0;
    int cancels = 0;
    int goes = 0;

  protected:
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == IDC_PAGE_GO && HIWORD(wParam) == BN_CLICKED) {
            ++goes;
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
};

// Runs a list of steps inside its own modal loop, one posted message per step, so that
// every key posted by one step has gone through the loop before the next step runs.
class HostDialog : public CDialog {
  public:
    HostDialog() : CDialog(IDD_TEST_MODAL) {}
    TestPage page;
    bool withPage = true;
    int cancels = 0;
    std::vector<std::function<void(HostDialog&)>> steps;

  protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (withPage) {
            page.Create(IDD_TEST_PAGE, this);
            page.MoveWindow(10, 30, 300, 150);
            page.ShowWindow(SW_SHOW);
        }
        PostMessage(kRunScript, 0);
        return TRUE;
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRunScript) {
            size_t step = wParam;
            if (step < steps.size()) {
                steps[step](*this);
                PostMessage(kRunScript, step + 1);
            }
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

void PostKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}
} // namespace

// Guards against keys typed in a page being taken by the dialog around it: Tab, Esc, Enter.
TEST(DialogTest, KeysInAChildPageReachThePage) {
    HostDialog host;
    int focusAfterTab = 0;
    bool pageIsControlParent = false;
    host.steps = {
        [&](HostDialog& h) {
            pageIsControlParent = (h.page.GetExStyle() & WS_EX_CONTROLPARENT) != 0;
            h.page.GetDlgItem(IDC_PAGE_FIRST)->SetFocus();
            PostKey(::GetFocus(), VK_TAB);
        },
        [&](HostDialog&) {
            focusAfterTab = ::GetDlgCtrlID(::GetFocus());
            PostKey(::GetFocus(), VK_ESCAPE);
        },
        [&](HostDialog&) { PostKey(::GetFocus(), VK_RETURN); },
        [&](HostDialog& h) { h.EndDialog(77); },
    };
    EXPECT_EQ(host.DoModal(), 77);
    EXPECT_TRUE(pageIsControlParent);
    EXPECT_EQ(focusAfterTab, IDC_PAGE_SECOND);
    EXPECT_EQ(host.page.cancels, 1); // Esc went to the page ...
    EXPECT_EQ(host.cancels, 0);      // ... and did not close the dialog
    EXPECT_EQ(host.page.goes, 1);    // Enter pressed the page's default button
    EXPECT_EQ(host.page.oks, 0);
    EXPECT_EQ(host.m_hWnd, nullptr);
    EXPECT_EQ(host.page.m_hWnd, nullptr); // the page went with its dialog
}

// Guards against Esc outside a page failing to cancel the dialog.
TEST(DialogTest, EscapeOutsideAPageCancelsTheDialog) {
    HostDialog host;
    host.withPage = false;
    host.steps = {[](HostDialog& h) { PostKey(h.m_hWnd, VK_ESCAPE); }};
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.cancels, 1);
}
