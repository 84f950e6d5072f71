// vantor-cli station wipe|init: the station with a console for its controls. Each token's
// outcome is written as it ends, the counters at the end, with the exit codes of watch.
#include "attempt/ExitCode.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "base/OwnProgram.h"
#include "cli/StopTriggers.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "station/Station.h"
#include "base/Language.h"

#include <exception>
#include <filesystem>
#include <memory>

namespace {

class ConsoleStation final : public StationFrontEnd {
  public:
    ConsoleStation(OutcomeWriter& writer, const StockGate& stock, StopSignal& run, IdleStop& idle)
        : m_writer(writer), m_stock(stock), m_run(run), m_idle(idle) {}

    void ShowTile(const StationTile& tile) override {
        if (tile.phase == StationPhase::Waiting)
            m_idle.Touch(); // a token was taken
        // A token without a serial number is left alone: no outcome follows.
        if (tile.phase == StationPhase::Done && tile.serial.empty())
            WriteLine(ConsoleStream::kError, Localized(L"槽位 ", L"Slot ") + std::to_wstring(tile.slot) +
                                                 Localized(L"：", L": ") + tile.text);
    }
    void ShowCounts(const RunCounts& counts) override { m_counts = counts; }
    void ShowTakingEnded() override {}
    void ShowFinished() override { m_run.Stop(); }
    void ShowOutcome(const AttemptOutcome& outcome) override {
        m_writer.Write(RecordOf(outcome, m_stock));
        m_idle.Touch();
    }

    // Read after the station has closed: no station thread calls any more.
    RunCounts m_counts;

  private:
    OutcomeWriter& m_writer;
    const StockGate& m_stock;
    StopSignal& m_run;
    IdleStop& m_idle;
};

// A path the operator gave, made absolute: it names the same file for every child.
// The path as given when it cannot be made absolute, or when the working folder's name cannot be
// written as text (bytes that are not UTF-8 there throw rather than fail).
std::wstring AbsolutePath(const std::wstring& path) {
    try {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
        return error ? path : full.wstring();
    } catch (const std::exception&) {
        return path;
    }
}

StationOptions OptionsOf(const StationRun& run) {
    StationOptions options;
    options.childProgram = OwnProgramPath();
    options.pinVariables = run.pinVariables;
    options.modulePath = run.modulePath.empty() ? std::wstring() : AbsolutePath(run.modulePath);
    options.stopNote = StopNote::AfterNotes;
    if (run.limitSeconds != 0)
        options.limit = std::chrono::seconds(run.limitSeconds);
    options.maxTokens = run.limits.count;
    return options;
}

} // namespace

int RunStation(Workbench& bench, const TokenJob& job, const StationRun& run, bool bJson,
               OutcomeWriter& writer) {
    StopSignal running;
    InterruptStop interrupt(running);
    IdleStop idle(running, std::chrono::seconds(run.limits.idleSeconds));
    ConsoleStation console(writer, bench.Stock(), running, idle);
    const std::unique_ptr<Station> station = bench.StartStation(job.job, OptionsOf(run), console);
    if (!station) {
        WriteLine(ConsoleStream::kError, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return kExitModule;
    }
    idle.Touch();
    while (running.PauseWhileRunning(std::chrono::seconds(1))) {
    }
    station->Close();
    return EndRun(console.m_counts, bJson, writer);
}
