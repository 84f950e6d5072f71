#pragma once
// Where the day files live: the folder VANTOR_LEDGER_DIR names when it is set, otherwise
// %LOCALAPPDATA%\Vantor\ledger (elsewhere $XDG_DATA_HOME/vantor/ledger or
// ~/.local/share/vantor/ledger). Empty when none of them can be found.
#include "ledger/LedgerFile.h"

LedgerPath DefaultLedgerFolder();
