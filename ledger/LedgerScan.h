#pragma once
// What a day's file already holds, read incrementally: which tokens were handled
// successfully, and whether the file ends inside a line (a write cut short by a crash).
#include <cstdint>
#include <set>
#include <string>

class LedgerScan {
  public:
    // Bytes that follow those fed before; the first feed starts at the file's beginning.
    void Feed(const std::string& bytes);
    void Reset() { *this = LedgerScan(); }
    std::uint64_t BytesFed() const { return bytesFed_; }

    // Operation word and serial field as written in the file.
    bool HasSucceeded(const std::string& operation, const std::string& serialField) const;
    void NoteSuccess(const std::string& operation, const std::string& serialField);

    // What ends a partial last line (closing an open quote first); empty at a line end.
    std::string LineCloser() const;

  private:
    void TakeRecord(const std::string* fields, std::size_t count);

    std::uint64_t bytesFed_ = 0;
    std::string partial_; // bytes after the last complete line
    bool partialInQuotes_ = false;
    std::set<std::string> successes_;
};
