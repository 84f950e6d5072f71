// Start-up: from CreateProcess until the main window is visible and the process waits for
// input, against a minimal dialog program started the same way, runs interleaved.
#include "bench/Benches.h"
#include "bench/Figures.h"
#include "bench/ProcessFigures.h"
#include "bench/Stopwatch.h"
#include "bench/VantorSession.h"

#include <initializer_list>

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

// One program's start-ups over the runs.
struct Series {
    const wchar_t* program;
    const wchar_t* caption;
    std::vector<double> wall, cpu;
};

bool RunStartupBench(const BenchOptions& options) {
    ScenarioFolder folder(L"bench-startup");
    FillScenario(folder);
    Series vantor{L"Vantor.exe", kVantorTitle.c_str(), {}, {}};
    Series minimal{L"MinimalDialog.exe", L"MinimalDialog", {}, {}};
    Series templates{L"TemplateDialog.exe", L"TemplateDialog", {}, {}};
    for (int run = -1; run < options.startupRuns; ++run) {
        for (Series* series : {&vantor, &minimal, &templates}) {
            const StartTimes t = TimeOneStart(folder, series->program, series->caption);
            if (t.wallMs < 0) {
                PrintNote("start-up: a program did not come up");
                return false;
            }
            if (run >= 0) { // the first start of each warms the file cache and Wine's loader
                series->wall.push_back(t.wallMs);
                series->cpu.push_back(t.cpuMs);
            }
        }
    }
    const double base = Median(minimal.wall);
    const double ratio = Median(vantor.wall) / base;
    PrintRow(Printf("start-up, median of %d", options.startupRuns),
             Printf("%.0f ms (x%.2f)", Median(vantor.wall), ratio),
             Printf("MinimalDialog %.0f ms; target <= x%.1f", base, kTargetRatio),
             Check(ratio <= kTargetRatio));
    PrintRow("start-up of the same windows without the program",
             Printf("%.0f ms (x%.2f)", Median(templates.wall), Median(templates.wall) / base),
             Printf("Vantor.exe x%.2f of it", Median(vantor.wall) / Median(templates.wall)), Verdict::kInfo);
    PrintRow(
        "start-up CPU time of the process, median", Printf("%.0f ms", Median(vantor.cpu)),
        Printf("MinimalDialog %.0f ms, TemplateDialog %.0f ms", Median(minimal.cpu), Median(templates.cpu)),
        Verdict::kInfo);
    PrintNote(
        Printf("start-up: from CreateProcess until the main window is visible and WaitForInputIdle has "
               "returned, programs started in turn; spread Vantor %.0f-%.0f ms, MinimalDialog %.0f-%.0f ms, "
               "TemplateDialog %.0f-%.0f ms. TemplateDialog creates the program's own main window and "
               "pages from its templates, with its manifest, and nothing else. CPU time in 10 ms steps, "
               "wineserver not included",
               Percentile(vantor.wall, 1), Maximum(vantor.wall), Percentile(minimal.wall, 1),
               Maximum(minimal.wall), Percentile(templates.wall, 1), Maximum(templates.wall)));
    return true;
}
