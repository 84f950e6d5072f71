#pragma once
// The one place where an attempt's outcome leaves the program: as the status text for a
// human, or as one JSON line whose keys are the ledger's columns. The ledger line is to be
// appended here too, before the outcome is shown.
#include "cli/AttemptOutcome.h"

#include <string>

// time, station and user of the line: filled in when the line is written.
struct StationStamp {
    std::wstring time; // local time with offset, 2026-12-06T14:03:05+08:00
    std::wstring station;
    std::wstring user;
};
StationStamp StampNow();

// One JSON object: the ledger's columns in their order, then `details` as extra keys.
std::string FormatJsonLine(const StationStamp& stamp, const AttemptOutcome& attempt);

class OutcomeWriter {
  public:
    OutcomeWriter(bool bJson, bool bLedger) : m_bJson(bJson), m_bLedger(bLedger) {}
    void Write(const AttemptOutcome& attempt);

  private:
    const bool m_bJson;
    const bool m_bLedger; // false with --no-ledger
};
