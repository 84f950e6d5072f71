// Start-up: from CreateProcess until the main window is visible and the process waits for
// input, against the same windows made from the same templates without the program's code
// (TemplateDialog) and a minimal dialog program, started the same way, runs interleaved.
#include "bench/Benches.h"
#include "bench/Figures.h"
#include "bench/ProcessFigures.h"
#include "bench/Stopwatch.h"
#include "bench/VantorSession.h"

#include "res/resource.h"

#include <initializer_list>

namespace {

// Of TemplateDialog's start-up: what the program adds to its windows stays within a tenth.
constexpr double kTargetRatio = 1.10;

struct StartTimes {
    double wallMs = -1;    // negative: the program did not come up
    double cpuMs = 0;      // what the process itself spent until then
    double allPagesMs = 0; // until a control of its last page exists (0: not asked for)
};

// Until `caption` is shown and the program is idle, polled every millisecond; then, when
// `lastPageControl` is given, until that control exists (pages made after the first show).
StartTimes TimeOneStart(const ScenarioFolder& folder, const std::wstring& program,
                        const std::wstring& caption, int lastPageControl) {
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
    if (lastPageControl != 0) {
        while (PageWithControl(window, lastPageControl) == nullptr && clock.Milliseconds() < 60000)
            Sleep(1);
        times.allPagesMs = clock.Milliseconds();
    }
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
    int lastPageControl;
    std::vector<double> wall, cpu, allPages;
};

bool RunStartupBench(const BenchOptions& options) {
    ScenarioFolder folder(L"bench-startup");
    FillScenario(folder);
    Series vantor{L"Vantor.exe", kVantorTitle.c_str(), IDC_STATION_TILES, {}, {}, {}};
    Series minimal{L"MinimalDialog.exe", L"MinimalDialog", 0, {}, {}, {}};
    Series templates{L"TemplateDialog.exe", L"TemplateDialog", 0, {}, {}, {}};
    for (int run = -1; run < options.startupRuns; ++run) {
        for (Series* series : {&vantor, &minimal, &templates}) {
            const StartTimes t =
                TimeOneStart(folder, series->program, series->caption, series->lastPageControl);
            if (t.wallMs < 0) {
                PrintNote("start-up: a program did not come up");
                return false;
            }
            if (run >= 0) { // the first start of each warms the file cache and Wine's loader
                series->wall.push_back(t.wallMs);
                series->cpu.push_back(t.cpuMs);
                series->allPages.push_back(t.allPagesMs);
            }
        }
    }
    const double base = Median(templates.wall);
    const double ratio = Median(vantor.wall) / base;
    PrintRow(Printf("start-up, median of %d", options.startupRuns),
             Printf("%.0f ms (x%.2f)", Median(vantor.wall), ratio),
             Printf("TemplateDialog %.0f ms; target <= x%.2f", base, kTargetRatio),
             Check(ratio <= kTargetRatio));
    PrintRow("start-up of a minimal dialog", Printf("%.0f ms", Median(minimal.wall)),
             Printf("Vantor.exe x%.2f of it", Median(vantor.wall) / Median(minimal.wall)), Verdict::kInfo);
    PrintRow("start-up until every page exists, median", Printf("%.0f ms", Median(vantor.allPages)),
             "pages not shown at start follow the first show", Verdict::kInfo);
    PrintRow(
        "start-up CPU time of the process, median", Printf("%.0f ms", Median(vantor.cpu)),
        Printf("MinimalDialog %.0f ms, TemplateDialog %.0f ms", Median(minimal.cpu), Median(templates.cpu)),
        Verdict::kInfo);
    PrintNote(Printf(
        "start-up: from CreateProcess until the main window is visible and WaitForInputIdle has "
        "returned, programs started in turn; spread Vantor %.0f-%.0f ms, MinimalDialog %.0f-%.0f ms, "
        "TemplateDialog %.0f-%.0f ms. TemplateDialog creates the program's own main window and its blank, "
        "PKI and information pages from their templates, with its manifest, and nothing else; "
        "Vantor.exe makes its other pages after its window has shown. CPU time in 10 ms steps, "
        "wineserver not included",
        Percentile(vantor.wall, 1), Maximum(vantor.wall), Percentile(minimal.wall, 1), Maximum(minimal.wall),
        Percentile(templates.wall, 1), Maximum(templates.wall)));
    return true;
}
