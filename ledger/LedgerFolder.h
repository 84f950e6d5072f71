#pragma once
// Where the day files live: the folder VANTOR_LEDGER_DIR names when it is set, otherwise
// %LOCALAPPDATA%\Vantor\ledger (elsewhere $XDG_DATA_HOME/vantor/ledger or
// ~/.local/share/vantor/ledger). Empty when none of them can be found.
#include "ledger/LedgerFile.h"

LedgerPath DefaultLedgerFolder();

#ifdef _WIN32
// Creates the default folder when needed and opens it in the shell; true when it opened.
bool OpenLedgerFolder();
#endif
