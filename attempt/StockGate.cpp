#include "attempt/StockGate.h"

#include "base/Utf8.h"
#include "ledger/LedgerLine.h"
#include "report/LedgerReport.h"

void StockGate::Put(const StockList& list, const std::vector<std::string>& done) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bInForce = true;
    m_listed.clear();
    m_done.clear();
    for (const std::string& serial : list.serials)
        m_listed.insert(StockKey(serial));
    for (const std::string& serial : done)
        if (m_listed.count(StockKey(serial)))
            m_done.insert(StockKey(serial));
}

bool StockGate::InForce() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_bInForce;
}

bool StockGate::Admits(const std::wstring& serial) const {
    std::lock_guard<std::mutex> lock(m_lock);
    return !m_bInForce || m_listed.count(StockKey(WideToUtf8(serial))) != 0;
}

void StockGate::NoteSuccess(const std::wstring& serial) {
    const std::string key = StockKey(WideToUtf8(serial));
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_listed.count(key))
        m_done.insert(key);
}

StockCount StockGate::Count() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return StockCount{m_listed.size(), m_done.size()};
}

void PutStockInForce(StockGate& gate, const StockList& list, const LedgerPath& folder,
                     const LedgerTime& today) {
    const std::string day = LedgerDayFileName(today).substr(0, 10);
    // No file today (or none readable): nothing of the list is done yet.
    const ReportRead read = ReadLedgerReport({folder, day, day, &list});
    gate.Put(list, read.report.stock.done);
}

std::wstring StockProgressText(const StockCount& count) {
    return L"本批清单：共 " + std::to_wstring(count.expected) + L" 支，已完成 " +
           std::to_wstring(count.done) + L" 支";
}
