#include "ledger/LedgerVerify.h"

#include "ledger/LedgerLine.h"

#include <algorithm>

bool IsLedgerHeader(const std::vector<std::string>& fields) {
    static const std::vector<std::string> columns = LedgerColumnNames();
    return fields.size() >= columns.size() && std::equal(columns.begin(), columns.end(), fields.begin());
}

void LedgerVerifier::Take(const LedgerRow& record) {
    const LedgerChain::Step step = chain_.Take(record);
    if (step == LedgerChain::Step::kHeader) {
        if (!IsLedgerHeader(record.fields))
            verdict_.seal = LedgerSeal::kMalformed;
        return;
    }
    ++verdict_.lines;
    if (step == LedgerChain::Step::kUnsealed && chain_.Uncovered() == 1)
        firstUncovered_ = record.line;
    if (step == LedgerChain::Step::kBreaks && verdict_.seal == LedgerSeal::kIntact) {
        // A line without a value of its own before it may be the one changed: the first such.
        verdict_.seal = LedgerSeal::kBroken;
        // A line with a chain value under a header without the column: the header was changed.
        verdict_.brokenLine = !chain_.Sealed() ? 1 : firstUncovered_ != 0 ? firstUncovered_ : record.line;
    }
    if (step == LedgerChain::Step::kHolds || step == LedgerChain::Step::kBreaks)
        firstUncovered_ = 0;
}

LedgerVerdict LedgerVerifier::Finish(const LedgerRowReader& reader) const {
    LedgerVerdict verdict = verdict_;
    verdict.lastChain = chain_.Last();
    verdict.cutAtEnd = !reader.Partial().empty();
    if (verdict.seal != LedgerSeal::kIntact)
        return verdict;
    if (!chain_.Sealed()) // also an empty file, or one cut inside its header
        verdict.seal = LedgerSeal::kNotSealed;
    else if (firstUncovered_ != 0) {
        // Whole lines after the last sealed one that no value carries: added by hand.
        verdict.seal = LedgerSeal::kBroken;
        verdict.brokenLine = firstUncovered_;
    }
    return verdict;
}

LedgerVerdict VerifyLedgerBytes(const std::string& bytes) {
    LedgerRowReader reader;
    LedgerVerifier verifier;
    reader.Feed(bytes, [&verifier](const LedgerRow& record) { verifier.Take(record); });
    return verifier.Finish(reader);
}

LedgerVerdict VerifyLedgerFile(const LedgerPath& path) {
    std::string bytes;
    std::uint64_t size = 0;
    if (!ReadLedgerFile(path, 0, bytes, size))
        return {};
    return VerifyLedgerBytes(bytes);
}
