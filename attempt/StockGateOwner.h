#pragma once
// Whoever holds the stock list in force: the main window in the program. Pages reach it
// through the application's main window, as they reach the ledger.
#include "attempt/StockGate.h"

class StockGateOwner {
  public:
    virtual StockGate* GetStockGate() = 0;

  protected:
    ~StockGateOwner() = default;
};
