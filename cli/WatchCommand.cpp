#include "attempt/ExitCode.h"
#include "attempt/AttemptRunner.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/StopTriggers.h"
#include "ledger/LedgerSources.h"
#include "base/Language.h"

#include <string>

namespace {

// The page's batch run with a console for its controls: each attempt written as it ends.
class WatchView final : public BatchView {
  public:
    WatchView(Workbench& bench, const TokenJob& job, OutcomeWriter& writer, IdleStop& idle)
        : m_bench(bench), m_job(job), m_writer(writer), m_idle(idle) {}

    TokenModule* Binding() override { return m_bench.Module(); }
    // The run could not start (module trouble): shown like an attempt that handled no token.
    void ShowRefused(std::wstring text) override {
        AttemptRecord attempt;
        AttemptOutcome& outcome = attempt.outcome;
        outcome.result = EndedWith(AttemptKind::NoModule, 0);
        outcome.entry.operation = m_job.job.Recorded();
        outcome.entry.mode = LedgerMode::Batch;
        outcome.entry.message = std::move(text);
        outcome.time = LocalTimeNow();
        m_writer.Write(attempt);
    }
    void ShowProgress(std::wstring) override {}
    void ShowOutcome(const AttemptOutcome& outcome) override {
        m_writer.Write(RecordOf(outcome, m_bench.Stock()));
        m_idle.Touch(); // the idle time counts from the end of the last attempt
    }

  private:
    Workbench& m_bench;
    const TokenJob& m_job;
    OutcomeWriter& m_writer;
    IdleStop& m_idle;
};

} // namespace

int RunWatch(Workbench& bench, const TokenJob& job, const WatchLimits& limits, bool bJson,
             OutcomeWriter& writer) {
    StopSignal signal;
    InterruptStop interrupt(signal);
    IdleStop idle(signal, std::chrono::seconds(limits.idleSeconds));
    WatchView view(bench, job, writer, idle);
    RunTally tally(limits.count);
    if (!bench.RunBatch(job.job, view, tally, signal, StopNote::AfterNotes))
        return kExitModule;
    return EndRun(tally.Counts(), bJson, writer);
}

int EndRun(const RunCounts& counts, bool bJson, const OutcomeWriter& writer) {
    // The page's counters; with --json on standard error, so standard output holds attempts only.
    const std::wstring summary = Localized(L"总数：", L"Total: ") + std::to_wstring(counts.total) +
                                 Localized(L" 成功：", L" Succeeded: ") + std::to_wstring(counts.success) +
                                 Localized(L" 失败：", L" Failed: ") + std::to_wstring(counts.failure);
    WriteLine(bJson ? ConsoleStream::kError : ConsoleStream::kOutput, summary);
    return RunExitCode(counts, writer.LedgerFailed());
}
