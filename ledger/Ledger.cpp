#include "ledger/Ledger.h"

#include "ledger/LedgerDay.h"
#include "ledger/LedgerLine.h"
#include "base/Utf8.h"

#include <utility>

Ledger::Ledger(LedgerPath folder, LedgerSources sources)
    : folder_(std::move(folder)), sources_(std::move(sources)) {}

bool Ledger::CatchUp(const LedgerPath& file, const std::string& fileName) {
    if (fileName != scannedFileName_) {
        scan_.Reset();
        scannedFileName_ = fileName;
    }
    const auto feed = [this](std::string_view piece) { scan_.Feed(piece); };
    std::uint64_t size = 0;
    if (!ReadLedgerFile(file, scan_.BytesFed(), feed, size)) {
        // Read it whole next time.
        scannedFileName_.clear();
        return false;
    }
    if (size < scan_.BytesFed()) { // replaced by a shorter file: start over
        scan_.Reset();
        if (!ReadLedgerFile(file, 0, feed, size)) {
            scannedFileName_.clear();
            return false;
        }
    }
    return true;
}

LedgerAppendResult Ledger::Append(const LedgerEntry& entry) {
    // The whole append under the lock: the sources themselves (the user's account record) may
    // not be read from two threads at once, and lines reach the file in the order of their times.
    std::lock_guard<std::mutex> lock(mutex_);
    const LedgerTime now = sources_.now();
    const std::string fileName = LedgerDayFileName(now);
    std::string body = LedgerLineText(entry, now, sources_.station(), sources_.user());
    body.resize(body.size() - 2); // the chain value and the line end follow
    const std::string operation = LedgerOperationWord(entry.operation);
    const std::string serialField = GuardFormula(WideToUtf8(entry.serial));
    const bool checksDuplicate = entry.operation != LedgerOperation::Info &&
                                 entry.outcome == LedgerOutcome::Success && !serialField.empty();

    LedgerAppendResult result;
    result.time = now;
    if (!CreateLedgerFolders(folder_))
        return result;
    const LedgerPath path = JoinLedgerPath(folder_, fileName);
    // Opened (and so created) before reading, so that an empty file gets the header. The
    // append lock is held from the reading to the writing, so that the chain value follows
    // the file's last line whichever station wrote it. A file locked against writing may
    // still be readable: the duplicate is told all the same.
    AppendOnlyFile file(path);
    const bool locked = file.IsOpen() && file.LockForAppend();
    const bool scanned = CatchUp(path, fileName);
    result.duplicate = scanned && checksDuplicate && scan_.HasSucceeded(operation, serialField);
    if (!locked)
        return result;

    std::string prefix;
    if (scanned) {
        if (scan_.BytesFed() == 0)
            prefix = std::string(kUtf8ByteOrderMark) + SealedLedgerHeader() + "\r\n";
        prefix += scan_.LineCloser();
        // Told once: the operator passes it on, the supervisor's verify says where.
        if (scan_.Damaged(prefix) && damageToldFor_ != fileName) {
            damageToldFor_ = fileName;
            result.damaged = true;
        }
    }
    std::string bytes = prefix + body;
    const std::string chainValue = scanned ? scan_.ChainValueFor(prefix, body) : std::string();
    if (!chainValue.empty())
        bytes += ',' + chainValue;
    result.written = file.WriteDurably(bytes + "\r\n");
    if (result.written && checksDuplicate)
        scan_.NoteSuccess(operation, serialField);
    return result;
}
