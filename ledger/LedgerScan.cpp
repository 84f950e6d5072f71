#include "ledger/LedgerScan.h"

#include "ledger/LedgerLine.h"
#include "ledger/LedgerVerify.h"

#include <utility>

namespace {

// Whether the record, taken by the chain, makes the file fail to verify.
bool Damages(LedgerChain& chain, bool& headerSeen, const LedgerRow& record) {
    const LedgerChain::Step step = chain.Take(record);
    if (!std::exchange(headerSeen, true))
        return !IsLedgerHeader(record);
    return step == LedgerChain::Step::kBreaks || step == LedgerChain::Step::kNoValue;
}

} // namespace

void LedgerScan::Feed(std::string_view bytes) {
    reader_.Feed(bytes, [this](const LedgerRow& record) { TakeRecord(record); });
}

void LedgerScan::TakeRecord(const LedgerRow& record) {
    damaged_ = Damages(chain_, headerSeen_, record) || damaged_;
    const auto& fields = record.fields;
    if (fields.size() <= kLedgerOutcome ||
        fields[kLedgerOutcome] != LedgerOutcomeWord(LedgerOutcome::Success) || fields[kLedgerSerial].empty())
        return;
    const std::string& operation = fields[kLedgerOperation];
    if (operation == LedgerOperationWord(LedgerOperation::Wipe) ||
        operation == LedgerOperationWord(LedgerOperation::Pki))
        NoteSuccess(operation, fields[kLedgerSerial]);
}

bool LedgerScan::HasSucceeded(const std::string& operation, const std::string& serialField) const {
    return successes_.Contains(SuccessKey(operation, serialField));
}

void LedgerScan::NoteSuccess(const std::string& operation, const std::string& serialField) {
    successes_.Add(SuccessKey(operation, serialField));
}

std::string LedgerScan::LineCloser() const {
    if (!reader_.HasPartial())
        return {};
    if (reader_.PartialInQuotes())
        return "\"\r\n";
    return reader_.PartialEndsWithCr() ? "\n" : "\r\n";
}

bool LedgerScan::Damaged(const std::string& prefix) const {
    LedgerRowReader reader = reader_;
    LedgerChain chain = chain_;
    bool headerSeen = headerSeen_, damaged = damaged_;
    reader.Feed(prefix,
                [&](const LedgerRow& record) { damaged = Damages(chain, headerSeen, record) || damaged; });
    return damaged;
}

std::string LedgerScan::ChainValueFor(const std::string& prefix, const std::string& body) const {
    // The file as it will stand before the line: a cut line closed is a line like any other.
    LedgerRowReader reader = reader_;
    LedgerChain chain = chain_;
    reader.Feed(prefix, [&chain](const LedgerRow& record) { chain.Take(record); });
    return chain.Sealed() ? chain.ValueFor(body) : std::string();
}
