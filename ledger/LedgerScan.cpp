#include "ledger/LedgerScan.h"

#include "ledger/LedgerLine.h"

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
    reader_.Feed(bytes, [this](const LedgerRow& record) { TakeRecord(record); });
}

void LedgerScan::TakeRecord(const LedgerRow& record) {
    chain_.Take(record);
    const auto& fields = record.fields;
    if (fields.size() <= kOutcomeColumn || fields[kOutcomeColumn] != "success" ||
        fields[kSerialColumn].empty())
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
    const std::string& partial = reader_.Partial();
    if (partial.empty())
        return {};
    if (reader_.PartialInQuotes())
        return "\"\r\n";
    return partial.back() == '\r' ? "\n" : "\r\n";
}

std::string LedgerScan::ChainValueFor(const std::string& prefix, const std::string& body) const {
    // The file as it will stand before the line: a cut line closed is a line like any other.
    LedgerRowReader reader = reader_;
    LedgerChain chain = chain_;
    reader.Feed(prefix, [&chain](const LedgerRow& record) { chain.Take(record); });
    return chain.Sealed() ? chain.ValueFor(body) : std::string();
}
