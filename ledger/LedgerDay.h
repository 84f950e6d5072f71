#pragma once
// The ledger's days: one file a local date, named by it (2026-12-06.csv). Every front end
// tells "today" and finds a span's files by these, never by cutting names itself.
#include "ledger/LedgerEntry.h"

#include <optional>
#include <string>

// The local date: 2026-12-06
std::string LedgerDayName(const LedgerTime& time);
// The day's file name by local date: 2026-12-06.csv
std::string LedgerDayFileName(const LedgerTime& time);

// YYYY-MM-DD with a month and day that exist in a calendar.
bool IsLedgerDate(const std::string& text);
// The date a day file's name stands for ("2026-12-06" of "2026-12-06.csv"); nothing for any
// other name.
std::optional<std::string> LedgerDayOfFileName(const std::string& fileName);
