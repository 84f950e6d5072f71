#pragma once
// The day file cut into CSV records as written: each with its bytes exactly as in the file
// (line end included, the byte-order mark with the first), its unquoted fields and the line
// it starts on. Fed in pieces; a record split between two pieces is taken whole.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct LedgerRow {
    std::string raw;
    std::vector<std::string> fields;
    std::uint64_t line = 0; // from 1; a quoted line break makes a record span several lines
};

class LedgerRowReader {
  public:
    using Take = std::function<void(const LedgerRow&)>;

    // Bytes that follow those fed before; `take` sees every record completed by them.
    void Feed(const std::string& bytes, const Take& take);

    std::uint64_t BytesFed() const { return bytesFed_; }
    // The bytes after the last complete record: a line cut short, or nothing.
    const std::string& Partial() const { return partial_; }
    bool PartialInQuotes() const { return partialInQuotes_; }
    // The line the partial record starts on.
    std::uint64_t PartialLine() const { return line_; }

  private:
    std::uint64_t bytesFed_ = 0;
    std::uint64_t line_ = 1;
    std::string partial_;
    bool partialInQuotes_ = false;
};
