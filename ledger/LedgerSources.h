#pragma once
// Where the ledger takes the time, the station and the user from: the system by default,
// anything a test wants instead.
#include "ledger/LedgerEntry.h"

#include <functional>
#include <string>

struct LedgerSources {
    std::function<LedgerTime()> now;
    std::function<std::string()> station; // UTF-8
    std::function<std::string()> user;    // UTF-8
};

LedgerTime LocalTimeNow();
// The computer name.
std::string ThisStation();
// The Windows user name; elsewhere the login name.
std::string ThisUser();

LedgerSources SystemLedgerSources();
