#include "ledger/LedgerRows.h"

#include "ledger/LedgerLine.h"

#include <utility>

namespace {

bool IsSpecial(char c) {
    return c == '"' || c == ',' || c == '\n' || c == '\r';
}

} // namespace

void LedgerRowReader::Keep(std::string_view bytes) {
    recordBytes_ += bytes.size();
    const std::size_t room = kMaxRecordBytes - record_.raw.size();
    if (bytes.size() > room)
        record_.overlong = true;
    record_.raw.append(bytes.data(), bytes.size() < room ? bytes.size() : room);
}

void LedgerRowReader::AddToField(std::string_view run) {
    if (!record_.overlong)
        record_.fields.back().append(run.data(), run.size());
}

void LedgerRowReader::EndRecord(const Take& take) {
    // The byte-order mark stays in the first record's bytes but not in its first field.
    std::string& first = record_.fields.front();
    if (std::exchange(first_, false) && first.compare(0, 3, kUtf8ByteOrderMark) == 0 &&
        record_.raw.compare(0, 3, kUtf8ByteOrderMark) == 0)
        first.erase(0, 3);
    take(record_);
    record_.line += breaks_ + 1;
    record_.raw.clear();
    record_.fields.assign(1, std::string());
    record_.overlong = false;
    recordBytes_ = 0;
    breaks_ = 0;
}

void LedgerRowReader::Feed(std::string_view bytes, const Take& take) {
    bytesFed_ += bytes.size();
    std::size_t start = 0; // of the bytes not yet kept in the record's raw
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        lastByte_ = c;
        if (quote_ == Quote::kClosing) {
            if (c == '"') { // "" inside quotes: one quote
                quote_ = Quote::kInside;
                AddToField(bytes.substr(i, 1));
                continue;
            }
            quote_ = Quote::kOutside; // the quote closed the field; c is read outside
        }
        if (c == '"') {
            quote_ = quote_ == Quote::kInside ? Quote::kClosing : Quote::kInside;
        } else if (quote_ == Quote::kInside) {
            breaks_ += c == '\n';
            AddToField(bytes.substr(i, 1));
        } else if (c == '\n') {
            Keep(bytes.substr(start, i + 1 - start));
            start = i + 1;
            EndRecord(take);
        } else if (c == ',') {
            if (!record_.overlong)
                record_.fields.emplace_back();
        } else if (c != '\r') {
            // A run of plain bytes goes into the field at once, up to the record's limit.
            const std::size_t limit =
                record_.overlong ? bytes.size() : start + kMaxRecordBytes - record_.raw.size();
            std::size_t end = i + 1;
            while (end < bytes.size() && end < limit && !IsSpecial(bytes[end]))
                ++end;
            AddToField(bytes.substr(i, end - i));
            i = end - 1;
            lastByte_ = bytes[i];
        }
        // A record is cut off at the limit however the bytes came: keep as it grows.
        if (!record_.overlong && i + 1 - start + record_.raw.size() > kMaxRecordBytes) {
            Keep(bytes.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    Keep(bytes.substr(start));
}
