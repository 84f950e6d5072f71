#include "attempt/RunTally.h"

#include "attempt/ExitCode.h"

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
