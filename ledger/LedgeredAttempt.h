#pragma once
// One wipe or PKI initialisation attempt as the ledger sees it. Stands between the operation
// and whoever shows its outcome: uncounted reports and the token noted pass straight through;
// the counted outcome is held until the operation has returned its result, then written to the
// ledger and only then shown, with a note when the line could not be written or the token was
// already handled today.
#include "ledger/Ledger.h"
#include "token/FormatReporter.h"

#include <optional>
#include <string>

class LedgeredAttempt final : public BlankFormatReporter {
  public:
    // `ledger` null: nothing is written (and no note is added). `label` for PKI initialisation.
    LedgeredAttempt(BlankFormatReporter& shown, Ledger* ledger, LedgerOperation operation, LedgerMode mode,
                    std::wstring label = std::wstring());

    void ReportSuccess(bool bCount, std::wstring text) override;
    void ReportFailure(bool bCount, std::wstring text) override;
    void NoteToken(CK_SLOT_ID slot, const DEVICE_INFO* info) override;
    void ShowRunning() override { m_shown.ShowRunning(); }
    bool ConfirmFinalTry() override { return m_shown.ConfirmFinalTry(); }

    // After the operation returned `rv`: writes and shows the held outcome, if any, its text
    // followed by `more` (what the front end adds to it, such as the end of a batch run).
    // Returns the ledger's answer (written stays true when there was nothing to write).
    LedgerAppendResult Finish(CK_RV rv, const std::wstring& more = std::wstring());

    // The entry of the counted outcome, once Finish has run (for front ends that print it).
    const std::optional<LedgerEntry>& Entry() const { return m_entry; }

  private:
    void Hold(bool bSuccess, bool bCount, std::wstring text);

    BlankFormatReporter& m_shown;
    Ledger* const m_ledger;
    LedgerEntry m_pending;
    std::optional<LedgerEntry> m_entry;
    bool m_bHeld = false;
};

// The token's fields of a ledger line: slot, and when the record was read, serial, COS version
// (as the information page shows them) and the type before the attempt.
void FillTokenFields(LedgerEntry& entry, CK_SLOT_ID slot, const DEVICE_INFO* info);
