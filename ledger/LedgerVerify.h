#pragma once
// Whether a day file still reads as it was written: its chain checked line by line, the file
// read in pieces so that its size never matters; and whether it still passes through a chain
// value a supervisor kept elsewhere (an anchor), which a cut tail or a file sealed again from
// scratch no longer does.
#include "ledger/LedgerChain.h"
#include "ledger/LedgerFile.h"
#include "ledger/LedgerRows.h"
#include "base/RegularFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class LedgerSeal {
    kIntact,     // sealed, and every line holds
    kNotSealed,  // written before lines were sealed (no chain column)
    kBroken,     // a line does not hold: changed, removed, inserted, added or cut short there
    kUnreadable, // the file cannot be read, or is no regular file (a folder, a device, a pipe)
    kMalformed,  // not a ledger file: its first line is not the ledger's header
    kEmpty,      // nothing in it at all
};

struct LedgerVerdict {
    LedgerSeal seal = LedgerSeal::kUnreadable;
    std::uint64_t brokenLine = 0;    // kBroken: the first line that does not hold
    bool brokenWithoutValue = false; // kBroken: that line carries no chain value at all
    std::uint64_t lines = 0;         // complete lines after the header
    std::string lastChain;           // the last sealed line's value, for keeping elsewhere
    bool cutAtEnd = false;           // the file ends inside a line (a write cut short)
    FileRead read = FileRead::kRead; // kUnreadable: why
    std::uint64_t anchorLine = 0;    // the first line carrying the anchor value; 0: none
};

// A ledger file as such, whatever its lines: intact, not sealed or broken.
bool IsLedgerFile(const LedgerVerdict& verdict);
// The file passes through the anchor: a line carries it and every line up to it holds.
bool AnchorHolds(const LedgerVerdict& verdict);

// Takes a file's records in order (one LedgerRowReader's) and judges it at the end.
class LedgerVerifier {
  public:
    // `anchor`: a chain value to look for (64 lowercase hex digits), or empty.
    explicit LedgerVerifier(std::string anchor = {});
    void Take(const LedgerRow& record);
    LedgerVerdict Finish(const LedgerRowReader& reader) const;

  private:
    void Break(std::uint64_t line, bool withoutValue);

    std::string anchor_;
    LedgerChain chain_;
    LedgerVerdict verdict_;
    bool headerSeen_ = false;
};

// The ledger's columns first, in order (a chain column may follow).
bool IsLedgerHeader(const LedgerRow& header);

LedgerVerdict VerifyLedgerBytes(std::string_view bytes, const std::string& anchor = {});
// Reads the file in pieces: a regular file only, never blocking on a pipe or reading a device.
LedgerVerdict VerifyLedgerFile(const LedgerPath& path, const std::string& anchor = {});
// The same for any reader of a file: each record to `take` after the verifier has seen it.
LedgerVerdict VerifyLedgerFile(const LedgerPath& path, const std::string& anchor,
                               const LedgerRowReader::Take& take, LedgerRowReader& reader);
