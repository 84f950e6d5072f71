#pragma once
// The stock list in force: while one is, the runner refuses a token whose serial is not on it
// before anything is written to it, and counts the list's serials done. One gate may be
// shared by the interface thread (loading a list, showing its progress) and a batch worker.
#include "ledger/LedgerEntry.h"
#include "ledger/LedgerFile.h"
#include "stock/StockList.h"

#include <cstddef>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct StockCount {
    std::size_t expected = 0; // serials on the list
    std::size_t done = 0;     // of them, wiped or PKI-initialised successfully today
};

class StockGate {
  public:
    // Puts `list` in force; `done` are those of its serials already done today.
    void Put(const StockList& list, const std::vector<std::string>& done);
    // From now on each success also takes in what today's file in `folder` shows done: another
    // station writing the same folder adds to it.
    void Follow(const LedgerPath& folder);
    bool InForce() const;
    // Every serial while no list is in force.
    bool Admits(const std::wstring& serial) const;
    // What the list in force says of `serial` besides it: holder and label (empty: nothing).
    StockToken Listed(const std::wstring& serial) const;
    // A counted success on `serial`: done, when it is on the list.
    void NoteSuccess(const std::wstring& serial);
    StockCount Count() const;

  private:
    void NoteDone(const std::vector<std::string>& serials); // under the lock

    mutable std::mutex m_lock;
    bool m_bInForce = false;
    StockList m_list;                       // in force, as read
    std::optional<LedgerPath> m_folder;     // followed
    std::set<std::string> m_listed, m_done; // by StockKey
};

// Puts `list` in force with its serials that today's file in `folder` shows done (a
// successful wipe or PKI initialisation, whichever station wrote it), as the day report
// counts them, and follows that file from then on.
void PutStockInForce(StockGate& gate, const StockList& list, const LedgerPath& folder,
                     const LedgerTime& today);

// The line the pages and vantor-cli show while a list is in force.
std::wstring StockProgressText(const StockCount& count);
