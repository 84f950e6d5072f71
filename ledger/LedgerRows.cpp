#include "ledger/LedgerRows.h"

#include "ledger/LedgerLine.h"

void LedgerRowReader::Feed(const std::string& bytes, const Take& take) {
    const std::string text = partial_ + bytes;
    // The byte-order mark stays in the first record's bytes but not in its first field.
    std::size_t i = bytesFed_ == 0 && text.compare(0, 3, kUtf8ByteOrderMark) == 0 ? 3 : 0;
    bytesFed_ += bytes.size();

    LedgerRow record;
    record.fields.assign(1, std::string());
    record.line = line_;
    std::uint64_t breaks = 0; // line breaks inside the current record
    bool inQuotes = false;
    std::size_t start = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = record.fields.back();
        if (c == '"') {
            if (inQuotes && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                inQuotes = !inQuotes;
        } else if (c == '\n' && !inQuotes) {
            record.raw.assign(text, start, i + 1 - start);
            take(record);
            start = i + 1;
            line_ += breaks + 1;
            breaks = 0;
            record.line = line_;
            record.fields.assign(1, std::string());
        } else if (inQuotes) {
            breaks += c == '\n';
            field += c;
        } else if (c == ',') {
            record.fields.emplace_back();
        } else if (c != '\r') {
            field += c;
        }
    }
    partial_ = text.substr(start);
    partialInQuotes_ = inQuotes;
}
