// Start-up: from CreateProcess until the main window is visible and the process waits for
// input, against a minimal dialog program started the same way, runs interleaved.
#include "Benches.h"
#include "Figures.h"
#include "ProcessProbe.h"
#include "Stopwatch.h"
#include "VantorSession.h"

namespace {

constexpr double kTargetRatio = 1.3;

struct StartTimes {
    double wallMs = -1; // negative: the program did not come up
    double cpuMs = 0;   // what the process itself spent until then
};

// Until `caption` is shown and the program is idle, polled every millisecond.
StartTimes TimeOneStart(const ScenarioFolder& folder, const std::wstring& program,
                        const std::wstring& caption) {
    StartTimes times;
    Stopwatch clock;
    ProgramUnderTest started(folder, program);
    if (started.Process() == nullptr || WaitForInputIdle(started.Process(), 60000) != 0)
        return times;
    HWND window = nullptr;
    while (window == nullptr && clock.Milliseconds() < 60000) {
        for (HWND w : started.TopWindows())
            if (WindowText(w) == caption)
                window = w;
        if (window == nullptr)
            Sleep(1);
    }
    const double elapsed = clock.Milliseconds();
    if (window == nullptr)
        return times;
    times.cpuMs = static_cast<double>(CpuTime(started.Process())) / 10000.0;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (started.WaitForExit(30000))
        times.wallMs = elapsed;
    return times;
}

} // namespace

bool RunStartupBench(const BenchOptions& options) {
    ScenarioFolder folder(L"bench-startup");
    FillScenario(folder);
    std::vector<double> vantor, minimal, vantorCpu, minimalCpu;
    for (int run = -1; run < options.startupRuns; ++run) {
        const StartTimes v = TimeOneStart(folder, L"Vantor.exe", kVantorTitle);
        const StartTimes m = TimeOneStart(folder, L"MinimalDialog.exe", L"MinimalDialog");
        if (v.wallMs < 0 || m.wallMs < 0) {
            PrintNote("start-up: a program did not come up");
            return false;
        }
        if (run >= 0) { // the first start of each warms the file cache and Wine's loader
            vantor.push_back(v.wallMs);
            minimal.push_back(m.wallMs);
            vantorCpu.push_back(v.cpuMs);
            minimalCpu.push_back(m.cpuMs);
        }
    }
    const double ratio = Median(vantor) / Median(minimal);
    PrintRow(Format("start-up, median of %d", options.startupRuns),
             Format("%.0f ms (x%.2f)", Median(vantor), ratio),
             Format("MinimalDialog %.0f ms; target <= x%.1f", Median(minimal), kTargetRatio),
             Check(ratio <= kTargetRatio));
    PrintRow("start-up CPU time of the process, median", Format("%.0f ms", Median(vantorCpu)),
             Format("MinimalDialog %.0f ms", Median(minimalCpu)), Verdict::kInfo);
    PrintNote(Format("start-up: from CreateProcess until the main window is visible and WaitForInputIdle has "
                     "returned, programs started alternately; spread Vantor %.0f-%.0f ms, MinimalDialog "
                     "%.0f-%.0f ms. CPU time in 10 ms steps, wineserver not included",
                     Percentile(vantor, 1), Maximum(vantor), Percentile(minimal, 1), Maximum(minimal)));
    return true;
}
