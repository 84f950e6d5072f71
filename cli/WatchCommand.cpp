#include "attempt/ExitCode.h"
#include "attempt/AttemptRunner.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/StopTriggers.h"
#include "ledger/LedgerSources.h"

#include <string>

namespace {

// The page's batch run with a console for its controls: one attempt at once and one per
// slot event, each written as it ends and counted as on the page.
class WatchHost final : public SlotEventHost {
  public:
    WatchHost(Workbench& bench, const TokenJob& job, const WatchLimits& limits, OutcomeWriter& writer,
              StopSignal& signal, IdleStop& idle)
        : m_tally(limits.count), m_bench(bench), m_job(job), m_writer(writer), m_signal(signal),
          m_idle(idle) {}

    TokenModule* GetTokenModule() override { return m_bench.Module(); }
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
        m_bRefused = true;
    }
    void ShowRunning() override {}
    void ShowFinished() override {}
    void RunAttempt() override {
        const AttemptRecord attempt = RunJobAttempt(m_bench, m_job, true);
        const AttemptOutcome& outcome = attempt.outcome;
        m_writer.Write(attempt);
        m_idle.Touch(); // the idle time counts from the end of the last attempt
        if (m_tally.Add(outcome))
            m_signal.Stop();
    }

    RunTally m_tally;
    bool m_bRefused = false;

  private:
    Workbench& m_bench;
    const TokenJob& m_job;
    OutcomeWriter& m_writer;
    StopSignal& m_signal;
    IdleStop& m_idle;
};

} // namespace

int RunWatch(Workbench& bench, const TokenJob& job, const WatchLimits& limits, bool bJson,
             OutcomeWriter& writer) {
    StopSignal signal;
    InterruptStop interrupt(signal);
    IdleStop idle(signal, std::chrono::seconds(limits.idleSeconds));
    WatchHost host(bench, job, limits, writer, signal, idle);
    RunSlotEventLoop(host, signal);
    if (host.m_bRefused)
        return kExitModule;
    return EndRun(host.m_tally.Counts(), bJson, writer);
}

int EndRun(const RunCounts& counts, bool bJson, const OutcomeWriter& writer) {
    // The page's counters; with --json on standard error, so standard output holds attempts only.
    const std::wstring summary = L"总数：" + std::to_wstring(counts.total) + L" 成功：" +
                                 std::to_wstring(counts.success) + L" 失败：" +
                                 std::to_wstring(counts.failure);
    WriteLine(bJson ? ConsoleStream::kError : ConsoleStream::kOutput, summary);
    return RunExitCode(counts, writer.LedgerFailed());
}
