#pragma once
// The operator's ledger: one CSV line per token handled, appended to the day's file
// (YYYY-MM-DD.csv by local date) in the ledger folder and flushed to the disk before the
// caller shows the outcome. Nothing is kept open between lines, so a failure (folder
// missing, disk full, file locked) affects only the line being written. One ledger may be
// shared by several threads.
#include "ledger/LedgerEntry.h"
#include "ledger/LedgerFolder.h"
#include "ledger/LedgerScan.h"
#include "ledger/LedgerSources.h"

#include <mutex>
#include <string>

struct LedgerAppendResult {
    bool written = false; // the line reached the disk
    // A successful wipe or PKI initialisation of a serial that today's file already shows
    // as handled successfully by the same operation.
    bool duplicate = false;
    LedgerTime time; // the line's time
    // The day's file no longer verifies (a line that does not hold, one cut short, not the
    // ledger's header): true for the first line this ledger writes after finding it so, once
    // per day file. The line is written all the same, and chains to what is there.
    bool damaged = false;
};

class Ledger {
  public:
    explicit Ledger(LedgerPath folder = DefaultLedgerFolder(), LedgerSources sources = SystemLedgerSources());

    LedgerAppendResult Append(const LedgerEntry& entry);

    const LedgerPath& Folder() const { return folder_; }
    // Where its lines take the time, the station and the user from.
    const LedgerSources& Sources() const { return sources_; }

  private:
    // Brings the scan of the day's file up to date, reading only what was added since the
    // last time; false when it cannot be read.
    bool CatchUp(const LedgerPath& file, const std::string& fileName);

    const LedgerPath folder_;
    const LedgerSources sources_;
    std::mutex mutex_;
    std::string scannedFileName_; // the day file the scan belongs to
    std::string damageToldFor_;   // the day file whose damage was told
    LedgerScan scan_;
};
