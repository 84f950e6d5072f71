#pragma once
// The day file cut into CSV records as written: each with its bytes exactly as in the file
// (line end included, the byte-order mark with the first), its unquoted fields and the line
// it starts on. Fed in pieces of any size; how a file is split never changes what is read.
// A record longer than any line the ledger writes keeps only its start, so no file, however
// large or however broken, makes the reader hold more than one such record.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct LedgerRow {
    std::string raw;
    std::vector<std::string> fields;
    std::uint64_t line = 0; // from 1; a quoted line break makes a record span several lines
    bool overlong = false;  // longer than kMaxRecordBytes: raw and fields hold only its start
};

class LedgerRowReader {
  public:
    using Take = std::function<void(const LedgerRow&)>;
    // A ledger line is well under 1 KB; a header or line beyond this is not the ledger's.
    static constexpr std::size_t kMaxRecordBytes = 64 * 1024;

    // Bytes that follow those fed before; `take` sees every record completed by them.
    void Feed(std::string_view bytes, const Take& take);

    std::uint64_t BytesFed() const { return bytesFed_; }
    // Bytes after the last complete record: a line cut short.
    bool HasPartial() const { return recordBytes_ != 0; }
    // The partial record is inside a quoted field.
    bool PartialInQuotes() const { return quote_ == Quote::kInside; }
    bool PartialEndsWithCr() const { return lastByte_ == '\r'; }
    // The line the partial record starts on.
    std::uint64_t PartialLine() const { return record_.line; }

  private:
    enum class Quote { kOutside, kInside, kClosing }; // kClosing: a quote inside, "" or the end
    void Keep(std::string_view bytes);                // into raw, within the limit
    void AddToField(std::string_view run);
    void EndRecord(const Take& take);

    std::uint64_t bytesFed_ = 0;
    std::uint64_t recordBytes_ = 0; // of the record being read, kept or not
    std::uint64_t breaks_ = 0;      // quoted line breaks in it
    LedgerRow record_{{}, {std::string()}, 1, false};
    Quote quote_ = Quote::kOutside;
    char lastByte_ = 0;
    bool first_ = true;
};
