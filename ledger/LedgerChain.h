#pragma once
// The seal of a day file. A sealed file's header ends with the column `chain`, and every line
// of it must end with a chain value: SHA-256 over the chain value of the last line before it
// that carries one, the bytes of any lines between the two that carry none, and this line's
// own bytes up to its chain field. The first line chains over the header's bytes. A line
// without a value never holds, whatever follows: not one added by hand, and not one cut short
// by a crash and closed by the next writer either, since nothing tells the two apart. So a
// changed, removed, inserted or added line breaks the chain there, and stays found however
// many lines are written after it. Writers on several stations take the file's append lock,
// read what is there and chain to it.
#include "ledger/LedgerHash.h"
#include "ledger/LedgerRows.h"

#include <string>

inline constexpr const char* kLedgerChainColumn = "chain";

// The header a new day file starts with: the line's columns and the chain column.
std::string SealedLedgerHeader();

// 64 lowercase hex digits, as a chain value is written.
bool IsChainValue(const std::string& field);

class LedgerChain {
  public:
    enum class Step {
        kHeader,   // the first record
        kUnsealed, // a line of a file without the chain column
        kHolds,    // a sealed line whose value is right
        kBreaks,   // a sealed line whose value is wrong, or a value under a header without the column
        kNoValue,  // a line of a sealed file without a chain value: cut short or added
    };

    Step Take(const LedgerRow& record);

    // The header names the chain column.
    bool Sealed() const { return sealed_; }
    // The value of a line with `body` (its bytes before the chain field) written next.
    std::string ValueFor(const std::string& body) const;
    // The value of the last line that carries one; empty before the first.
    const std::string& Last() const { return last_; }

  private:
    bool headerSeen_ = false;
    bool sealed_ = false;
    std::string last_;
    Sha256 pending_; // the last value and the bytes since the line that carries it
};
