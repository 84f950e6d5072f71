#include "attempt/StockGate.h"

#include "base/Language.h"
#include "base/Utf8.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerSources.h"
#include "report/LedgerReport.h"

namespace {

// The list's serials that the day's file in `folder` shows done, as the day report counts them.
std::vector<std::string> DoneOn(const StockList& list, const LedgerPath& folder, const LedgerTime& day) {
    const std::string name = LedgerDayName(day);
    // No file that day (or none readable): nothing of the list is done yet.
    return ReadLedgerReport({folder, name, name, &list}).report.stock.done;
}

} // namespace

void StockGate::Put(const StockList& list, const std::vector<std::string>& done) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bInForce = true;
    m_list = list;
    m_folder.reset();
    m_listed.clear();
    m_done.clear();
    for (const std::string& serial : list.serials)
        m_listed.insert(StockKey(serial));
    NoteDone(done);
}

void StockGate::Follow(const LedgerPath& folder) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_folder = folder;
}

void StockGate::NoteDone(const std::vector<std::string>& serials) {
    for (const std::string& serial : serials)
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

StockToken StockGate::Listed(const std::wstring& serial) const {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_bInForce)
        return {};
    const auto listed = m_list.tokens.find(StockKey(WideToUtf8(serial)));
    return listed == m_list.tokens.end() ? StockToken() : listed->second;
}

void StockGate::NoteSuccess(const std::wstring& serial) {
    StockList list;
    LedgerPath folder;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        NoteDone({WideToUtf8(serial)});
        if (!m_folder)
            return;
        list = m_list;
        folder = *m_folder;
    }
    // Read without the lock: the interface thread may show the count meanwhile.
    const std::vector<std::string> done = DoneOn(list, folder, LocalTimeNow());
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_folder == folder)
        NoteDone(done);
}

StockCount StockGate::Count() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return StockCount{m_listed.size(), m_done.size()};
}

void PutStockInForce(StockGate& gate, const StockList& list, const LedgerPath& folder,
                     const LedgerTime& today) {
    gate.Put(list, DoneOn(list, folder, today));
    gate.Follow(folder);
}

std::wstring StockProgressText(const StockCount& count) {
    return Localized(L"本批清单：共 ", L"Stock list: ") + std::to_wstring(count.expected) +
           Localized(L" 支，已完成 ", L" tokens, done ") + std::to_wstring(count.done) +
           Localized(L" 支", L"");
}
