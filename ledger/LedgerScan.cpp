#include "ledger/LedgerScan.h"

#include "ledger/LedgerLine.h"

#include <vector>

namespace {

// Column positions of the header line.
constexpr std::size_t kOperationColumn = 3;
constexpr std::size_t kSerialColumn = 6;
constexpr std::size_t kOutcomeColumn = 10;

std::string Key(const std::string& operation, const std::string& serialField) {
    return operation + '\n' + serialField;
}

} // namespace

void LedgerScan::Feed(const std::string& bytes) {
    std::string text = partial_ + bytes;
    if (bytesFed_ == 0 && text.compare(0, 3, kUtf8ByteOrderMark) == 0)
        text.erase(0, 3);
    bytesFed_ += bytes.size();

    // Each pass starts at a line boundary, so a field split between two feeds is parsed whole.
    std::vector<std::string> fields(1);
    bool inQuotes = false;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (inQuotes && i + 1 < text.size() && text[i + 1] == '"')
                fields.back() += text[++i];
            else
                inQuotes = !inQuotes;
        } else if (inQuotes) {
            fields.back() += c;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            TakeRecord(fields.data(), fields.size());
            fields.assign(1, std::string());
            lineStart = i + 1;
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    partial_ = text.substr(lineStart);
    partialInQuotes_ = inQuotes;
}

void LedgerScan::TakeRecord(const std::string* fields, std::size_t count) {
    if (count <= kOutcomeColumn || fields[kOutcomeColumn] != "success" || fields[kSerialColumn].empty())
        return;
    const std::string& operation = fields[kOperationColumn];
    if (operation == LedgerOperationWord(LedgerOperation::Wipe) ||
        operation == LedgerOperationWord(LedgerOperation::Pki))
        NoteSuccess(operation, fields[kSerialColumn]);
}

bool LedgerScan::HasSucceeded(const std::string& operation, const std::string& serialField) const {
    return successes_.count(Key(operation, serialField)) != 0;
}

void LedgerScan::NoteSuccess(const std::string& operation, const std::string& serialField) {
    successes_.insert(Key(operation, serialField));
}

std::string LedgerScan::LineCloser() const {
    if (partial_.empty())
        return {};
    if (partialInQuotes_)
        return "\"\r\n";
    return partial_.back() == '\r' ? "\n" : "\r\n";
}
