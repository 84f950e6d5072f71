#pragma once
// Whoever owns the program's one ledger: the main window in the program, a host window in
// tests. Pages reach it through the application's main window, as they reach the binding.
#include "ledger/Ledger.h"

class LedgerOwner {
  public:
    // Null when there is no ledger.
    virtual Ledger* GetLedger() = 0;

  protected:
    ~LedgerOwner() = default;
};
