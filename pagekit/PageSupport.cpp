#include "pagekit/PageSupport.h"

#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/TokenModuleOwner.h"

TokenModule* CurrentTokenModule() {
    auto* owner = dynamic_cast<TokenModuleOwner*>(AfxGetMainWnd());
    return owner != nullptr ? owner->GetTokenModule() : nullptr;
}

void ShowStatus(CStatusLabel& status, COLORREF colour, const std::wstring& text) {
    status.SetTextColor(colour).SetText(CString(text));
}

void ShowCount(CStatusLabel& label, int count) {
    CString text;
    text.Format(L"%d", count);
    label.SetText(text);
}

void CountOutcome(int& nTotal, CStatusLabel& lblTotal, int& nTally, CStatusLabel& lblTally,
                  COLORREF tallyColour) {
    ShowCount(lblTotal, ++nTotal);
    ShowCount(lblTally.SetTextColor(tallyColour), ++nTally);
}

void ShowFreshPage(CStatusLabel& lblTotal, CStatusLabel& lblSuccess, CStatusLabel& lblFail,
                   CStatusLabel& lblStatus) {
    ShowCount(lblTotal, 0);
    ShowCount(lblSuccess, 0);
    ShowCount(lblFail, 0);
    ShowStatus(lblStatus, kColorBlack, LoadStringOrDefault(IDS_INSERT_AND_START));
}

void ShowStartPrompt(CStatusLabel& lblStatus) {
    lblStatus.SetText(CString(LoadStringOrDefault(IDS_INSERT_AND_START)));
}

void ShowRunButtons(CButton& start, CButton& stop, bool bRunning) {
    start.EnableWindow(bRunning ? FALSE : TRUE);
    stop.EnableWindow(bRunning ? TRUE : FALSE);
}

void FocusWholeText(CEdit& field) {
    field.SetSel(0, -1);
    field.ScrollCaret();
    field.SetFocus();
}

CRect RectInParent(const CWnd& page, const CWnd& child) {
    CRect rect;
    child.GetWindowRect(&rect);
    page.ScreenToClient(&rect);
    return rect;
}

void LayOutRunButtons(const CWnd& page, bool bBatch, CButton& start, CButton& stop, const CRect& rcStart) {
    if (bBatch) {
        stop.ShowWindow(SW_SHOW);
        start.MoveWindow(&rcStart, TRUE);
        start.EnableWindow(TRUE);
        stop.EnableWindow(FALSE);
        return;
    }
    const CRect rcStop = RectInParent(page, stop);
    stop.ShowWindow(SW_HIDE);
    start.MoveWindow(&rcStop, TRUE);
}
