#include "pagekit/PageSupport.h"

void ShowStatus(CStatusLabel& status, COLORREF colour, const std::wstring& text) {
    status.SetTextColor(colour).SetText(CString(text));
}

void ShowCount(CStatusLabel& label, unsigned long count) {
    label.SetText(CString(std::to_wstring(count).c_str()));
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
