#pragma once
// The one place where an attempt's outcome leaves the program: as the status text for a
// human, or as one JSON line whose keys and values are the ledger line's. The ledger line
// itself is written by the attempt, before its outcome comes here.
#include "cli/AttemptRecord.h"
#include "ledger/Ledger.h"

#include <memory>
#include <string>

// One JSON object: the ledger's columns in their order, then "note" and the details as extra
// keys.
std::string JsonLineText(const AttemptRecord& attempt, const std::string& station, const std::string& user);

class OutcomeWriter {
  public:
    // bLedger false (--no-ledger): no ledger is written.
    OutcomeWriter(bool bJson, bool bLedger);
    // The ledger the attempts write to; null with --no-ledger.
    Ledger* GetLedger() const { return m_ledger.get(); }
    void Write(const AttemptRecord& attempt);
    // A ledger line of an attempt written so far was lost.
    bool LedgerFailed() const { return m_bLedgerFailed; }

  private:
    const bool m_bJson;
    const std::unique_ptr<Ledger> m_ledger;
    // Station and user do not change while the program runs.
    const std::string m_station;
    const std::string m_user;
    bool m_bLedgerFailed = false;
};
