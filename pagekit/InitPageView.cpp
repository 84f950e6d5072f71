// What a page's runs change on it: the status line, the counters, the stock line and the run
// buttons. Kept apart from the page's own handling, so that what its batch control calls back
// calls nothing of that control in turn.
#include "attempt/OutcomeText.h"
#include "pagekit/InitPage.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

void CInitPage::EnableInputs() {
    EnableRunInputs(TRUE);
}

void CInitPage::ShowStopped() {
    m_bBatch = FALSE;
    EnableInputsAtStop();
    m_btnStop.EnableWindow(FALSE);
}

void CInitPage::ShowProgress(std::wstring text) {
    ShowStatus(m_lblStatus, kColorBlack, text);
}

void CInitPage::ShowOutcome(const AttemptOutcome& outcome) {
    const bool bSuccess = IsShownAsSuccess(outcome.result);
    ShowStatus(m_lblStatus, bSuccess ? kColorBlack : kColorRed, outcome.ShownText());
}

void CInitPage::ShowCounts(const RunTally& tally) {
    const RunCounts before = m_tally.Counts();
    m_tally = tally;
    // The total's colour stays as it is; the counter that grew shows in its colour.
    const RunCounts& counts = m_tally.Counts();
    ShowCount(m_lblTotal, counts.total);
    if (counts.success != before.success)
        ShowCount(m_lblSuccess.SetTextColor(kColorBlue), counts.success);
    if (counts.failure != before.failure)
        ShowCount(m_lblFail.SetTextColor(kColorRed), counts.failure);
    ShowStockLine();
}

void CInitPage::ShowRefused(std::wstring text) {
    ShowStatus(m_lblStatus, kColorRed, text);
    EnableInputs();
}

void CInitPage::ShowStockLine() {
    const StockGate& stock = m_bench.Stock();
    const bool bInForce = stock.InForce();
    if (bInForce)
        m_lblStock.SetText(CString(StockProgressText(stock.Count())));
    if (m_lblStock.GetSafeHwnd() != nullptr)
        m_lblStock.ShowWindow(bInForce ? SW_SHOW : SW_HIDE);
}

void CInitPage::ShowRunning() {
    SetStartWanted(false);
    m_btnStop.EnableWindow(TRUE);
}

void CInitPage::ShowFinished() {
    SetStartWanted(true);
    m_btnStop.EnableWindow(FALSE);
    EnableInputs();
}

void CInitPage::RefreshStart() {
    SetStartWanted(m_bStartWanted);
}

void CInitPage::OnWorkerEnded() {
    if (CWnd* parent = GetParent())
        ::PostMessageW(parent->GetSafeHwnd(), WM_PAGE_WORKER_ENDED, 0, 0);
}

void CInitPage::SetStartWanted(bool bWanted) {
    m_bStartWanted = bWanted;
    m_btnStart.EnableWindow(bWanted && !m_bench.Runs().IsHeld() ? TRUE : FALSE);
}
