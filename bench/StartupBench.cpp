// Start-up: from CreateProcess until the main window is visible and the process waits for
// input, against a minimal dialog program started the same way, runs interleaved.
#include "Benches.h"
#include "Figures.h"
#include "Stopwatch.h"
#include "VantorSession.h"

#include <cstdio>

namespace {

constexpr double kTargetRatio = 1.3;

// Milliseconds until `caption` is shown and the program is idle; negative on failure.
double TimeOneStart(const ScenarioFolder& folder, const std::wstring& program, const std::wstring& caption) {
    Stopwatch clock;
    ProgramUnderTest started(folder, program);
    if (started.Process() == nullptr)
        return -1;
    if (WaitForInputIdle(started.Process(), 60000) != 0)
        return -1;
    HWND window = nullptr;
    bool shown = WaitUntil(
        [&] {
            for (HWND w : started.TopWindows())
                if (WindowText(w) == caption) {
                    window = w;
                    return true;
                }
            Sleep(1);
            return false;
        },
        60000);
    double elapsed = clock.Milliseconds();
    if (!shown)
        return -1;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return started.WaitForExit(30000) ? elapsed : -1;
}

} // namespace

bool RunStartupBench(const BenchOptions& options) {
    ScenarioFolder folder(L"bench-startup");
    FillScenario(folder);
    std::vector<double> vantor, minimal;
    for (int run = -1; run < options.startupRuns; ++run) {
        double v = TimeOneStart(folder, L"Vantor.exe", kVantorTitle);
        double m = TimeOneStart(folder, L"MinimalDialog.exe", L"MinimalDialog");
        if (v < 0 || m < 0) {
            PrintNote("start-up: a program did not come up");
            return false;
        }
        if (run >= 0) { // the first start of each warms the file cache and Wine's loader
            vantor.push_back(v);
            minimal.push_back(m);
        }
    }
    const double ratio = Median(vantor) / Median(minimal);
    PrintRow(Format("start-up, median of %d", options.startupRuns),
             Format("%.0f ms (x%.2f)", Median(vantor), ratio),
             Format("MinimalDialog %.0f ms; target <= x%.1f", Median(minimal), kTargetRatio),
             Check(ratio <= kTargetRatio));
    PrintNote(Format("start-up spread: Vantor %.0f-%.0f ms, MinimalDialog %.0f-%.0f ms; from CreateProcess "
                     "until the main window is visible and WaitForInputIdle has returned",
                     Percentile(vantor, 1), Maximum(vantor), Percentile(minimal, 1), Maximum(minimal)));
    return true;
}
