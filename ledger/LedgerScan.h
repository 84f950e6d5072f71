#pragma once
// What a day's file already holds, read incrementally: which tokens were handled
// successfully, where its chain stands, whether it still holds, and whether the file ends
// inside a line (a write cut short by a crash).
#include "ledger/LedgerChain.h"
#include "ledger/LedgerKeys.h"
#include "ledger/LedgerRows.h"

#include <cstdint>
#include <string>
#include <string_view>

class LedgerScan {
  public:
    // Successes of a day remembered at most: far beyond a busy station's day.
    static constexpr std::size_t kMaxSuccesses = 1 << 17;

    // Bytes that follow those fed before; the first feed starts at the file's beginning.
    void Feed(std::string_view bytes);
    void Reset() { *this = LedgerScan(); }
    std::uint64_t BytesFed() const { return reader_.BytesFed(); }

    // Operation word and serial field as written in the file.
    bool HasSucceeded(const std::string& operation, const std::string& serialField) const;
    void NoteSuccess(const std::string& operation, const std::string& serialField);

    // What ends a partial last line (closing an open quote first); empty at a line end.
    std::string LineCloser() const;

    // The file, with `prefix` written after it (a new file's header, the closer of a cut line),
    // no longer verifies: a line of a sealed file that does not hold (with a wrong value or
    // none: a cut line closed carries none, unless only its line end was lost), or a first
    // line that is not the ledger's header.
    bool Damaged(const std::string& prefix) const;

    // The chain value of a line with `body` (its bytes before the value) written right after
    // `prefix` (a new file's header, the closer of a cut line); empty when the file is not
    // sealed.
    std::string ChainValueFor(const std::string& prefix, const std::string& body) const;

  private:
    void TakeRecord(const LedgerRow& record);

    LedgerRowReader reader_;
    LedgerChain chain_;
    bool headerSeen_ = false;
    bool damaged_ = false;
    LedgerKeys successes_{kMaxSuccesses};
};
