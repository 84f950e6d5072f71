#pragma once
// The seal of a day file. A sealed file's header ends with the column `chain`, and every line
// written to it ends with a chain value: SHA-256 over the chain value of the last sealed line
// before it, the bytes of any lines between the two that carry none (a line cut short by a
// crash and closed by the next writer, a line of an older program), and this line's own bytes
// up to its chain field. The first line chains over the header's bytes. So a changed, removed
// or inserted line breaks the chain from there on, while a cut line is closed, carried by the
// next line's value and cannot be changed unseen either. Writers on several stations take the
// file's append lock, read what is there and chain to it.
#include "ledger/LedgerRows.h"

#include <string>

inline constexpr const char* kLedgerChainColumn = "chain";

// The header a new day file starts with: the line's columns and the chain column.
std::string SealedLedgerHeader();

class LedgerChain {
  public:
    enum class Step {
        kHeader,   // the first record
        kUnsealed, // a file without the chain column, or a line without a chain value
        kHolds,    // a sealed line whose value is right
        kBreaks,   // a sealed line whose value is wrong, or a value under a header without the column
    };

    // `checks` false: a writer, which only follows the chain, spares the hashing of every line.
    explicit LedgerChain(bool checks = true) : checks_(checks) {}

    Step Take(const LedgerRow& record);

    // The header names the chain column.
    bool Sealed() const { return sealed_; }
    // The value of a line with `body` (its bytes before the chain field) written next.
    std::string ValueFor(const std::string& body) const;
    // The value of the last sealed line; empty before the first.
    const std::string& Last() const { return last_; }
    // Lines taken since the last sealed one, not counting the header.
    std::uint64_t Uncovered() const { return uncovered_; }

  private:
    bool checks_;
    bool headerSeen_ = false;
    bool sealed_ = false;
    std::string last_;
    std::string pending_; // bytes since the last sealed line
    std::uint64_t uncovered_ = 0;
};
