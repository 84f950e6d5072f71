#include "attempt/AttemptRunner.h"

#include "attempt/ExitCode.h"
#include "attempt/OutcomeText.h"
#include "attempt/TokenIssuer.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/DeviceInfoTexts.h"

namespace {

// The operation's progress and question, passed on to the front end; the stock list in force
// decides which tokens it may work on, the issuer what each gets of its own.
class Progress final : public AttemptProgress {
  public:
    Progress(AttemptFrontEnd& frontEnd, const AttemptSetting& setting)
        : m_frontEnd(frontEnd), m_stock(setting.stock) {
        if (setting.operation == LedgerOperation::Pki)
            m_issuer.emplace(setting.randomUserPin, setting.label, setting.ledger, setting.stock);
    }
    void ShowProgress(unsigned messageId) override {
        m_frontEnd.ShowProgress(LoadStringOrDefault(messageId));
    }
    void ShowRunning() override { m_frontEnd.ShowRunning(); }
    void ShowVerifying() override { m_frontEnd.ShowVerifying(); }
    bool ConfirmFinalTry() override { return m_frontEnd.ConfirmFinalTry(); }
    bool MayWorkOn(const std::wstring& serial) override {
        return m_stock == nullptr || m_stock->Admits(serial);
    }
    TokenIssue IssueFor(const std::wstring& serial) override {
        return m_issuer ? m_issuer->IssueFor(serial) : TokenIssue();
    }
    void SerialAssigned(const std::wstring& serial) override {
        if (m_issuer)
            m_issuer->SerialAssigned(serial);
    }
    void Withdraw() override {
        if (m_issuer)
            m_issuer->Withdraw();
    }

    // The ledger line's label and message as the issue made them.
    void Note(LedgerEntry& entry) const {
        if (!m_issuer)
            return;
        if (m_issuer->Label())
            entry.label = *m_issuer->Label();
        if (!m_issuer->EnvelopeName().empty())
            // Follows the line's message when the token's user PIN was sealed: the envelope's file.
            entry.message += MessageWithText(IDS_ENVELOPE_NOTE, m_issuer->EnvelopeName());
    }

  private:
    AttemptFrontEnd& m_frontEnd;
    const StockGate* m_stock;
    std::optional<TokenIssuer> m_issuer;
};

// The token's fields of a ledger line: slot, and when the record was read, serial, COS version
// (as the information page shows them) and the type before the attempt; for a token handled
// through standard calls, the serial and firmware version of its token information.
void FillTokenFields(LedgerEntry& entry, const AttemptResult& result) {
    if (const std::optional<CK_SLOT_ID> slot = SlotOf(result.token))
        entry.slot = static_cast<unsigned long>(*slot);
    if (const auto* identity = std::get_if<StandardIdentity>(&result.token)) {
        entry.serial = identity->serial;
        entry.cosVersion = identity->version;
    } else if (const auto* record = std::get_if<VendorRecord>(&result.token)) {
        const DeviceInfoTexts texts = DescribeDeviceInfo(record->info);
        entry.serial = texts.strSerialNumber;
        entry.cosVersion = texts.strCosVersion;
        entry.typeBefore = record->info.byDeviceType;
    }
}

// Writes the counted entry; the notes the ledger's answer calls for.
std::wstring Record(AttemptOutcome& outcome, Ledger* ledger) {
    outcome.time = LocalTimeNow();
    if (ledger == nullptr)
        return std::wstring();
    const LedgerAppendResult written = ledger->Append(outcome.entry);
    outcome.time = written.time;
    outcome.bLedgerFailed = !written.written;
    // Added to the status text when the line could not be written, after a success on a token
    // already handled today, and once per day file when it no longer verifies. The notes are
    // string-table entries, so the report can read them back in either language.
    const auto note = [](bool bAdded, unsigned id) {
        return bAdded ? LoadStringOrDefault(id) : std::wstring();
    };
    return note(!written.written, IDS_LEDGER_NOT_WRITTEN) + note(written.duplicate, IDS_LEDGER_DUPLICATE) +
           note(written.damaged, IDS_LEDGER_DAMAGED);
}

} // namespace

AttemptSetting JobSetting(const Job& job, LedgerMode mode, Ledger* ledger, StockGate* stock,
                          StopNote stopNote) {
    AttemptSetting setting;
    setting.operation = job.Recorded();
    setting.mode = mode;
    setting.label = job.Label();
    setting.ledger = ledger;
    setting.stopNote = stopNote;
    setting.stock = stock;
    setting.randomUserPin = job.randomUserPin;
    return setting;
}

AttemptOutcome RunAndRecordAttempt(const AttemptOperation& operation, const AttemptSetting& setting,
                                   AttemptFrontEnd& frontEnd) {
    Progress progress(frontEnd, setting);
    AttemptOutcome outcome;
    outcome.result = operation(progress);
    const AttemptResult& result = outcome.result;
    LedgerEntry& entry = outcome.entry;
    entry.operation = setting.operation;
    entry.mode = setting.mode;
    entry.label = setting.label;
    FillTokenFields(entry, result);
    entry.rv = result.rv;
    entry.message = OutcomeText(result);
    progress.Note(entry);
    if (!result.IsCounted()) {
        outcome.time = LocalTimeNow();
        frontEnd.ShowOutcome(outcome);
        return outcome;
    }

    entry.outcome = result.Kind() == AttemptKind::Success ? LedgerOutcome::Success : LedgerOutcome::Failure;
    // The SO PIN given for the whole run was refused (a wipe's, or the current one of a standard
    // initialisation): every further token would spend one of its tries on it.
    outcome.bStopBatch = setting.mode != LedgerMode::Single && result.stop == AttemptStop::SoPinRefused;
    const unsigned stoppedId =
        setting.mode == LedgerMode::Station ? IDS_STATION_STOPPED_SO_PIN : IDS_BATCH_STOPPED_SO_PIN;
    const std::wstring stopped = outcome.bStopBatch ? LoadStringOrDefault(stoppedId) : std::wstring();
    if (setting.stopNote == StopNote::InMessage)
        entry.message += stopped;
    outcome.note = Record(outcome, setting.ledger);
    if (setting.stock != nullptr && result.Kind() == AttemptKind::Success)
        setting.stock->NoteSuccess(entry.serial);
    if (setting.stopNote == StopNote::AfterNotes)
        outcome.note += stopped;
    frontEnd.ShowOutcome(outcome);
    return outcome;
}

AttemptOutcome RecordInfoQuery(const AttemptResult& result, Ledger* ledger) {
    AttemptOutcome outcome;
    outcome.result = result;
    LedgerEntry& entry = outcome.entry;
    entry.operation = LedgerOperation::Info;
    entry.mode = LedgerMode::Single;
    if (result.Kind() != AttemptKind::Success) {
        // Not recorded: no token's data was shown.
        entry.message = OutcomeText(result);
        outcome.time = LocalTimeNow();
        return outcome;
    }
    FillTokenFields(entry, result);
    entry.outcome = LedgerOutcome::Success;
    entry.rv = CKR_OK;
    outcome.note = Record(outcome, ledger);
    return outcome;
}

int ExitCodeOf(const AttemptOutcome& outcome) {
    if (outcome.bLedgerFailed)
        return kExitLedger;
    switch (outcome.result.Kind()) {
    case AttemptKind::Success:
        return kExitSuccess;
    case AttemptKind::Failure:
    case AttemptKind::Cancelled: // the token's state refused the wipe the operator declined
        return kExitTokenFailed;
    case AttemptKind::NoModule:
        return kExitModule;
    case AttemptKind::NoToken:
    case AttemptKind::SeveralTokens:
        break;
    }
    return kExitNoSingleToken;
}

bool RunTally::Add(const AttemptOutcome& outcome) {
    if (!outcome.IsCounted())
        return false;
    ++m_counts.total;
    ++(outcome.result.Kind() == AttemptKind::Success ? m_counts.success : m_counts.failure);
    return outcome.bStopBatch || (m_countLimit != 0 && m_counts.total >= m_countLimit);
}

int RunExitCode(const RunCounts& counts, bool bLedgerFailed) {
    if (bLedgerFailed)
        return kExitLedger;
    return counts.failure == 0 ? kExitSuccess : kExitTokenFailed;
}
