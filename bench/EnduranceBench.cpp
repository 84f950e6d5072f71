// Endurance: ten thousand batch attempts on the wipe page (the stand-in's churn plugs and
// pulls a blank token as fast as the worker takes the events), with the program's GDI objects,
// windows and private memory before and after, and the counters and the module journal
// checked for lost or doubled attempts.
#include "bench/Benches.h"
#include "bench/Figures.h"
#include "bench/ProcessFigures.h"
#include "ProcessProbe.h"
#include "bench/Stopwatch.h"
#include "bench/VantorSession.h"

#include <string>

namespace {

constexpr double kMemoryLimitBytes = 1024.0 * 1024.0;
constexpr DWORD kChunkTimeoutMs = 300000;

struct Holdings {
    int gdi;
    int windows;
    std::uint64_t memory;
};

Holdings Measure(const ProgramUnderTest& program) {
    Sleep(500); // painting makes short-lived objects; count when the program has settled
    return {CountGdiObjects(program.Process()), CountWindows(program.ProcessId()),
            PrivateMemoryBytes(program.Process())};
}

// Churns `events` events through the running batch, `chunk` at a time, emptying the
// stand-in's in-memory journal after each so that the test tool's memory does not count
// against the program (its journal file keeps every line). False on timeout.
bool Churn(const ScenarioFolder& folder, const BatchPage& page, int events, int chunk) {
    for (int done = 0; done < events; done += chunk) {
        const int now = std::min(chunk, events - done);
        const int counted = page.Total() + now / 2;
        folder.Bench("churn 0 " + std::to_string(now) + " type=blank");
        if (!page.WaitForCounted(counted, kChunkTimeoutMs))
            return false;
        folder.Bench("clear-journal");
    }
    return true;
}

} // namespace

bool RunEnduranceBench(const BenchOptions& options) {
    VantorSession session(L"bench-endurance");
    if (!session.Ready())
        return false;
    BatchPage page(session.Main(), kWipePageControls);
    if (!page.Valid() || !page.StartBatch())
        return false;
    const ScenarioFolder& folder = session.Folder();
    const ProgramUnderTest& program = session.Program();

    const std::uint64_t startMemory = PrivateMemoryBytes(program.Process());
    if (!Churn(folder, page, options.warmUpEvents, options.warmUpEvents))
        return false;
    const Holdings before = Measure(program);
    PrintMarkBegin();
    Stopwatch clock;
    if (!Churn(folder, page, options.churnEvents, options.warmUpEvents)) {
        PrintNote(Printf("endurance: stuck after %d counted attempts", page.Total()));
        return false;
    }
    const double seconds = clock.Milliseconds() / 1000.0;
    PrintMarkEnd(seconds * 1000.0, "CPU of the wineserver during the attempts");
    const Holdings after = Measure(program);
    const int total = page.Total(), success = page.Success(), fail = page.Fail();
    page.PressStop();
    WaitUntil([&] { return page.StartEnabled(); });
    if (!session.Close())
        return false;

    const int events = options.warmUpEvents + options.churnEvents;
    const int insertions = events / 2;
    PrintRow(Printf("GDI objects, %d attempts", options.churnEvents),
             Printf("%d -> %d", before.gdi, after.gdi), "no growth",
             Check(before.gdi > 0 && after.gdi <= before.gdi));
    PrintRow(Printf("user objects (windows), %d attempts", options.churnEvents),
             Printf("%d -> %d", before.windows, after.windows), "no growth",
             Check(before.windows > 0 && after.windows <= before.windows));
    const double growth = static_cast<double>(after.memory) - static_cast<double>(before.memory);
    PrintRow(Printf("private memory, %d attempts", options.churnEvents),
             Printf("%.1f -> %.1f MiB (%+.0f KiB)", before.memory / 1048576.0, after.memory / 1048576.0,
                    growth / 1024.0),
             "growth < 1024 KiB", Check(before.memory > 0 && growth < kMemoryLimitBytes));
    PrintRow("counters: total = success + failure", Printf("%d = %d + %d", total, success, fail),
             Printf("= %d insertions", insertions), Check(total == success + fail && total == insertions));

    // One attempt lists the slots once; an insertion's attempt also reads the device data.
    const int delivered = folder.JournalCount("C_WaitForSlotEvent", " rv=0x00000000");
    const int attempts = folder.JournalCount("C_GetSlotList");
    const int deviceReads = folder.JournalCount("E_GetDeviceInfo");
    PrintRow("attempts per slot event (journal)",
             Printf("%d events, %d attempts, %d device reads", delivered, attempts, deviceReads),
             Printf("%d events, 1 + one attempt each, %d reads", events, insertions),
             Check(delivered == events && attempts == events + 1 && deviceReads == insertions));
    PrintRow("batch throughput", Printf("%.0f attempts/s", options.churnEvents / seconds),
             Printf("%d attempts in %.1f s", options.churnEvents, seconds), Verdict::kInfo);
    PrintNote(Printf("endurance: private memory %.2f MiB when the run started, %.2f MiB after the warm-up, "
                     "%.2f MiB at the end",
                     startMemory / 1048576.0, before.memory / 1048576.0, after.memory / 1048576.0));
    PrintNote(
        Printf("endurance: measured after a warm-up of %d attempts; user objects are the process's "
               "windows (EnumWindows + EnumChildWindows), GDI objects Wine's GDI handle table (non-stock "
               "entries), private memory GetProcessMemoryInfo's PagefileUsage (Wine: anonymous resident "
               "memory + swap). The stand-in's in-memory journal is emptied every %d events.",
               options.warmUpEvents, options.warmUpEvents));
    return true;
}
