#include "pagekit/PageSupport.h"

#include "attempt/StockGateOwner.h"
#include "ledger/LedgerOwner.h"
#include "token/TokenModuleOwner.h"

TokenModule* CurrentTokenModule() {
    auto* owner = dynamic_cast<TokenModuleOwner*>(AfxGetMainWnd());
    return owner != nullptr ? owner->GetTokenModule() : nullptr;
}

Ledger* CurrentLedger() {
    auto* owner = dynamic_cast<LedgerOwner*>(AfxGetMainWnd());
    return owner != nullptr ? owner->GetLedger() : nullptr;
}

StockGate* CurrentStockGate() {
    auto* owner = dynamic_cast<StockGateOwner*>(AfxGetMainWnd());
    return owner != nullptr ? owner->GetStockGate() : nullptr;
}

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
