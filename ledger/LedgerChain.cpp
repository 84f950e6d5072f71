#include "ledger/LedgerChain.h"

#include "ledger/LedgerHash.h"
#include "ledger/LedgerLine.h"

namespace {

std::size_t ColumnCount() {
    static const std::size_t count = LedgerColumnNames().size();
    return count;
}

bool IsChainValue(const std::string& field) {
    return field.size() == 64 && field.find_first_not_of("0123456789abcdef") == std::string::npos;
}

} // namespace

std::string SealedLedgerHeader() {
    return std::string(kLedgerHeader) + ',' + kLedgerChainColumn;
}

LedgerChain::Step LedgerChain::Take(const LedgerRow& record) {
    if (!headerSeen_) {
        headerSeen_ = true;
        sealed_ = record.fields.size() == ColumnCount() + 1 && record.fields.back() == kLedgerChainColumn;
        pending_ = record.raw;
        return Step::kHeader;
    }
    const bool hasValue = record.fields.size() == ColumnCount() + 1 && IsChainValue(record.fields.back());
    if (!sealed_)
        return hasValue ? Step::kBreaks : Step::kUnsealed;
    if (!hasValue) {
        pending_ += record.raw;
        ++uncovered_;
        return Step::kUnsealed;
    }
    // A chain value is hex, never quoted: the last comma starts its field.
    const std::string body = record.raw.substr(0, record.raw.rfind(','));
    const bool holds = !checks_ || Sha256Hex({last_, pending_, body}) == record.fields.back();
    last_ = record.fields.back();
    pending_.clear();
    uncovered_ = 0;
    return holds ? Step::kHolds : Step::kBreaks;
}

std::string LedgerChain::ValueFor(const std::string& body) const {
    return Sha256Hex({last_, pending_, body});
}
