#pragma once
// The supervisor's system menu items: a stock list put in force, and today's report opened
// in the default browser.
#include "attempt/StockGate.h"
#include "win/Afx.h"

// Asks for a stock list file and puts it in force in `gate`, keeping its serials in `list`
// for the report; a malformed list is refused in a message box naming the file and line.
// False when nothing changed.
bool AskAndPutStockInForce(CWnd& owner, StockGate& gate, StockList& list, const LedgerPath& folder);

// Writes today's report (with the list's progress when `list` is given) to %TEMP% and opens
// it; a ledger folder without a file today is said in a message box.
void OpenTodaysReport(CWnd& owner, const LedgerPath& folder, const StockList* list);
