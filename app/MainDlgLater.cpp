// What the main window leaves until it has shown: the pages the operator does not see at
// start. The window's first look costs no more than its own controls; the other pages follow
// before the operator can reach them.
#include "app/MainDlg.h"

#include "res/resource.h"

namespace {

// Arbitrary, unlike any other timer of the main window.
constexpr UINT_PTR kLaterPagesTimer = 0x4C50;

// While it lives, nothing in this thread takes the keyboard focus: a page focuses its first
// field as it initialises, which must not move the operator's focus to a hidden page.
class FocusHold {
  public:
    FocusHold() : m_hook(::SetWindowsHookExW(WH_CBT, &Refuse, nullptr, ::GetCurrentThreadId())) {}
    ~FocusHold() {
        if (m_hook != nullptr)
            ::UnhookWindowsHookEx(m_hook);
    }
    FocusHold(const FocusHold&) = delete;
    FocusHold& operator=(const FocusHold&) = delete;

  private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        return code == HCBT_SETFOCUS ? 1 : ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook;
};

} // namespace

void CMainDlg::ScheduleLaterPages() {
    m_bLaterPagesPending = true;
    // A timer's message comes only when no painting is due: the window shows complete first.
    SetTimer(kLaterPagesTimer, 0);
}

bool CMainDlg::TakeLaterPagesMessage(UINT message, WPARAM wParam) {
    const bool bTimer = message == WM_TIMER && wParam == kLaterPagesTimer;
    // The bar and the system menu are the ways to the other pages.
    if (bTimer || message == WM_OUTLOOKBAR_CLICK || message == WM_SYSCOMMAND)
        CreateLaterPages();
    return bTimer;
}

void CMainDlg::CreateLaterPages() {
    if (!m_bLaterPagesPending)
        return;
    m_bLaterPagesPending = false;
    KillTimer(kLaterPagesTimer);
    // Where the first page stands, all stand.
    CRect rect;
    m_pageBlank.GetWindowRect(&rect);
    ScreenToClient(&rect);
    FocusHold hold;
    m_pagePki.Create(IDD_PKI_PAGE, this);
    m_pageInfo.Create(IDD_INFO_PAGE, this);
    m_pageStation.Create(IDD_STATION_PAGE, this);
    m_pagePki.MoveWindow(&rect, TRUE);
    m_pageInfo.MoveWindow(&rect, TRUE);
    m_pageStation.MoveWindow(&rect, TRUE);
}
