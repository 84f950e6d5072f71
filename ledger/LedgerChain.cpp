#include "ledger/LedgerChain.h"

#include "ledger/LedgerLine.h"
#include "base/HexText.h"

#include <algorithm>

namespace {

std::size_t ColumnCount() {
    static const std::size_t count = LedgerColumnNames().size();
    return count;
}

} // namespace

std::string SealedLedgerHeader() {
    return std::string(kLedgerHeader) + ',' + kLedgerChainColumn;
}

bool IsChainValue(const std::string& field) {
    return field.size() == 64 && std::all_of(field.begin(), field.end(),
                                             [](char c) { return HexDigitValue(c, HexCase::kLower) >= 0; });
}

LedgerChain::Step LedgerChain::Take(const LedgerRow& record) {
    if (!headerSeen_) {
        headerSeen_ = true;
        sealed_ = !record.overlong && record.fields.size() == ColumnCount() + 1 &&
                  record.fields.back() == kLedgerChainColumn;
        pending_.Add(record.raw);
        return Step::kHeader;
    }
    const bool hasValue =
        !record.overlong && record.fields.size() == ColumnCount() + 1 && IsChainValue(record.fields.back());
    if (!sealed_)
        return hasValue ? Step::kBreaks : Step::kUnsealed;
    if (!hasValue) {
        pending_.Add(record.raw);
        return Step::kNoValue;
    }
    // A chain value is hex, never quoted: the last comma starts its field.
    const std::string_view body(record.raw.data(), record.raw.rfind(','));
    Sha256 hash = pending_;
    hash.Add(body);
    const bool holds = hash.FinishHex() == record.fields.back();
    last_ = record.fields.back();
    pending_ = Sha256();
    pending_.Add(last_);
    return holds ? Step::kHolds : Step::kBreaks;
}

std::string LedgerChain::ValueFor(const std::string& body) const {
    Sha256 hash = pending_;
    hash.Add(body);
    return hash.FinishHex();
}
