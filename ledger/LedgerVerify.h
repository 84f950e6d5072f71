#pragma once
// Whether a day file still reads as it was written: its chain checked line by line.
#include "ledger/LedgerChain.h"
#include "ledger/LedgerFile.h"
#include "ledger/LedgerRows.h"

#include <cstdint>
#include <string>
#include <vector>

enum class LedgerSeal {
    kIntact,     // sealed, and every line holds
    kNotSealed,  // written before lines were sealed (no chain column), or empty
    kBroken,     // a line does not hold: changed, removed or inserted there
    kUnreadable, // the file cannot be read
    kMalformed,  // not a ledger file: its first line is not the ledger's header
};

struct LedgerVerdict {
    LedgerSeal seal = LedgerSeal::kUnreadable;
    std::uint64_t brokenLine = 0; // kBroken: the first line that does not hold
    std::uint64_t lines = 0;      // complete lines after the header
    std::string lastChain;        // the last sealed line's value, for keeping elsewhere
    bool cutAtEnd = false;        // the file ends inside a line (a write cut short)
};

// Takes a file's records in order (one LedgerRowReader's) and judges it at the end.
class LedgerVerifier {
  public:
    void Take(const LedgerRow& record);
    LedgerVerdict Finish(const LedgerRowReader& reader) const;

  private:
    LedgerChain chain_;
    LedgerVerdict verdict_ = Intact();
    static LedgerVerdict Intact() {
        LedgerVerdict verdict;
        verdict.seal = LedgerSeal::kIntact;
        return verdict;
    }
    std::uint64_t firstUncovered_ = 0; // the first line since the last sealed one without a value
};

// The ledger's columns first, in order (a chain column may follow).
bool IsLedgerHeader(const std::vector<std::string>& fields);

LedgerVerdict VerifyLedgerBytes(const std::string& bytes);
LedgerVerdict VerifyLedgerFile(const LedgerPath& path);
