#pragma once
// The supervisor's system menu items: a stock list put in force, today's report opened in the
// default browser, and today's PIN letters opened there to print.
#include "attempt/StockGate.h"
#include "win/Afx.h"

// Asks for a stock list file and puts it in force in `gate`, keeping its serials in `list`
// for the report; a malformed list is refused in a message box naming the file and line.
// False when nothing changed.
bool AskAndPutStockInForce(CWnd& owner, StockGate& gate, StockList& list, const LedgerPath& folder);

// Writes today's report (with the list's progress when `list` is given) to %TEMP% and opens
// it; a ledger folder without a file today is said in a message box.
void OpenTodaysReport(CWnd& owner, const LedgerPath& folder, const StockList* list);

// Opens today's PIN envelopes with a key of the current user's certificate store (where a key
// on the supervisor's own token answers), writes the letters to %TEMP% and opens them; a day
// without envelopes, or no key, is said in a message box, and so are envelopes that did not
// open (they are listed on the page).
void OpenTodaysPinLetters(CWnd& owner, const LedgerPath& folder);
