#include "ledger/LedgerVerify.h"

#include "ledger/LedgerLine.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace {

// Pieces of the file read at a time: the memory verifying takes, whatever the file's size.
constexpr std::size_t kReadPiece = 1 << 20;

} // namespace

bool IsLedgerFile(const LedgerVerdict& verdict) {
    return verdict.seal == LedgerSeal::kIntact || verdict.seal == LedgerSeal::kNotSealed ||
           verdict.seal == LedgerSeal::kBroken;
}

bool AnchorHolds(const LedgerVerdict& verdict) {
    return verdict.anchorLine != 0 &&
           (verdict.seal == LedgerSeal::kIntact ||
            (verdict.seal == LedgerSeal::kBroken && verdict.brokenLine > verdict.anchorLine));
}

bool IsLedgerHeader(const LedgerRow& header) {
    static const std::vector<std::string> columns = LedgerColumnNames();
    return !header.overlong && header.fields.size() >= columns.size() &&
           std::equal(columns.begin(), columns.end(), header.fields.begin());
}

LedgerVerifier::LedgerVerifier(std::string anchor) : anchor_(std::move(anchor)) {
    verdict_.seal = LedgerSeal::kIntact;
}

void LedgerVerifier::Break(std::uint64_t line, bool withoutValue) {
    if (verdict_.seal != LedgerSeal::kIntact)
        return;
    verdict_.seal = LedgerSeal::kBroken;
    verdict_.brokenLine = line;
    verdict_.brokenWithoutValue = withoutValue;
}

void LedgerVerifier::Take(const LedgerRow& record) {
    const LedgerChain::Step step = chain_.Take(record);
    if (step == LedgerChain::Step::kHeader) {
        headerSeen_ = true;
        if (!IsLedgerHeader(record))
            verdict_.seal = LedgerSeal::kMalformed;
        return;
    }
    ++verdict_.lines;
    if (step == LedgerChain::Step::kNoValue)
        Break(record.line, true);
    else if (step == LedgerChain::Step::kBreaks)
        // A line with a chain value under a header without the column: the header was changed.
        Break(chain_.Sealed() ? record.line : 1, false);
    if (verdict_.anchorLine == 0 && !anchor_.empty() && !record.overlong && record.fields.back() == anchor_)
        verdict_.anchorLine = record.line;
}

LedgerVerdict LedgerVerifier::Finish(const LedgerRowReader& reader) const {
    LedgerVerdict verdict = verdict_;
    verdict.lastChain = chain_.Last();
    verdict.cutAtEnd = reader.HasPartial();
    if (!headerSeen_) // nothing, or not one line break: no header
        verdict.seal = reader.BytesFed() == 0 ? LedgerSeal::kEmpty : LedgerSeal::kMalformed;
    else if (verdict.seal == LedgerSeal::kIntact && !chain_.Sealed())
        verdict.seal = LedgerSeal::kNotSealed;
    return verdict;
}

LedgerVerdict VerifyLedgerBytes(std::string_view bytes, const std::string& anchor) {
    LedgerRowReader reader;
    LedgerVerifier verifier(anchor);
    reader.Feed(bytes, [&verifier](const LedgerRow& record) { verifier.Take(record); });
    return verifier.Finish(reader);
}

LedgerVerdict VerifyLedgerFile(const LedgerPath& path, const std::string& anchor) {
    LedgerRowReader reader;
    return VerifyLedgerFile(
        path, anchor, [](const LedgerRow&) {}, reader);
}

LedgerVerdict VerifyLedgerFile(const LedgerPath& path, const std::string& anchor,
                               const LedgerRowReader::Take& take, LedgerRowReader& reader) {
    LedgerVerdict verdict;
    RegularFile file{std::filesystem::path(path)};
    if (file.Status() != FileRead::kRead) {
        verdict.read = file.Status();
        return verdict;
    }
    LedgerVerifier verifier(anchor);
    std::string piece(kReadPiece, '\0');
    for (std::size_t got; (got = file.Read(&piece[0], piece.size())) > 0;)
        reader.Feed(std::string_view(piece.data(), got), [&](const LedgerRow& record) {
            verifier.Take(record);
            take(record);
        });
    if (file.Status() != FileRead::kRead) {
        verdict.read = file.Status();
        return verdict;
    }
    return verifier.Finish(reader);
}
