// What the main window leaves until it has shown: the pages the operator does not see at
// start. The window's first look costs no more than its own controls; the other pages follow
// one at a time, so the window answers in between, before the operator can reach them.
#include "app/MainDlg.h"

#include "res/resource.h"

#include <iterator>

namespace {

// Arbitrary, unlike any other timer of the main window.
constexpr UINT_PTR kLaterPagesTimer = 0x4C50;
// The first page comes this long after the window's start, when its painting is done and it
// waits for input; the next ones as far apart. Far below what an operator's first click takes.
constexpr UINT kLaterPageStepMs = 100;
// In the order the pages always had, which is their order behind one another.
constexpr UINT kLaterPageTemplates[] = {IDD_PKI_PAGE, IDD_INFO_PAGE, IDD_STATION_PAGE};

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
    m_nLaterPages = static_cast<int>(std::size(kLaterPageTemplates));
    // A timer's message comes only when no painting is due: the window shows complete first.
    SetTimer(kLaterPagesTimer, kLaterPageStepMs);
}

bool CMainDlg::TakeLaterPagesMessage(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kLaterPagesTimer) {
        if (!CreateNextLaterPage())
            KillTimer(kLaterPagesTimer);
        return true;
    }
    // The bar and the system menu are the ways to the other pages.
    if ((message == WM_OUTLOOKBAR_CLICK || message == WM_SYSCOMMAND) && m_nLaterPages > 0) {
        while (CreateNextLaterPage()) {
        }
        KillTimer(kLaterPagesTimer);
    }
    return false;
}

bool CMainDlg::CreateNextLaterPage() {
    CDialog* const pages[] = {&m_pagePki, &m_pageInfo, &m_pageStation};
    static_assert(std::size(pages) == std::size(kLaterPageTemplates));
    if (m_nLaterPages <= 0)
        return false;
    const int next = static_cast<int>(std::size(pages)) - m_nLaterPages--;
    // Where the first page stands, all stand.
    CRect rect;
    m_pageWipe.GetWindowRect(&rect);
    ScreenToClient(&rect);
    FocusHold hold;
    pages[next]->Create(kLaterPageTemplates[next], this);
    pages[next]->MoveWindow(&rect, TRUE);
    return m_nLaterPages > 0;
}
