// Batch latency on the wipe page, against the worker's 500 ms poll period: from a token's
// insertion (a line appended to the bench file) until the attempt's first status text is on
// screen, and from Stop until Start is enabled again. Each event comes at a random moment of
// the poll period.
#include "base/Utf8.h"
#include "bench/Benches.h"
#include "bench/Figures.h"
#include "bench/Stopwatch.h"
#include "bench/VantorSession.h"
#include "StatusTexts.h"

#include <random>

namespace {

constexpr double kPollPeriodMs = 500;
constexpr double kTargetP95Ms = 520;
constexpr DWORD kEventTimeoutMs = 10000;

// Polls `done` about every millisecond; the elapsed time, or a negative value on timeout.
template <class Done> double TimeUntil(const Stopwatch& clock, Done done) {
    while (!done()) {
        if (clock.Milliseconds() > kEventTimeoutMs)
            return -1;
        Sleep(1);
    }
    return clock.Milliseconds();
}

void PrintLatency(const char* figure, const std::vector<double>& samples) {
    const double p95 = Percentile(samples, 95);
    PrintRow(Printf("%s (%d events)", figure, static_cast<int>(samples.size())),
             Printf("median %.0f, p95 %.0f, max %.0f ms", Median(samples), p95, Maximum(samples)),
             Printf("poll period %.0f ms; target p95 <= %.0f ms", kPollPeriodMs, kTargetP95Ms),
             Check(p95 <= kTargetP95Ms));
}

} // namespace

bool RunLatencyBench(const BenchOptions& options) {
    VantorSession session(L"bench-latency");
    if (!session.Ready())
        return false;
    BatchPage page(session.Main(), kWipePageControls);
    if (!page.Valid() || !page.StartBatch() ||
        !WaitUntil([&] { return page.Status() == msg::kInsertToken; })) {
        PrintNote("latency: the wipe page's batch run did not start; status: " + WideToUtf8(page.Status()));
        return false;
    }
    const ScenarioFolder& folder = session.Folder();
    std::mt19937 random(20121224);
    auto randomPause = [&] { Sleep(random() % static_cast<unsigned>(kPollPeriodMs)); };

    std::vector<double> insertions;
    for (int i = 0; i < options.latencyEvents; ++i) {
        randomPause();
        Stopwatch clock;
        // A serial of its own each time: the ledger notes a token handled twice in a day.
        folder.Bench(Printf("insert 0 type=blank serial=%016X", i + 1));
        double ms = TimeUntil(clock, [&] { return page.Status() != msg::kInsertToken; });
        if (ms < 0 || !WaitUntil([&] { return page.Status() == msg::kAlreadyBlank; })) {
            PrintNote("latency: an inserted token was not handled; status: " + WideToUtf8(page.Status()));
            return false;
        }
        insertions.push_back(ms);
        folder.Bench("remove 0");
        if (!WaitUntil([&] { return page.Status() == msg::kInsertToken; }))
            return false;
    }

    std::vector<double> stops;
    for (int i = 0; i < options.latencyEvents; ++i) {
        randomPause();
        Stopwatch clock;
        page.PressStop();
        double ms = TimeUntil(clock, [&] { return page.StartEnabled(); });
        if (ms < 0 || !page.StartBatch())
            return false;
        stops.push_back(ms);
    }
    const bool counted = page.Total() == options.latencyEvents;
    PrintLatency("insertion to first status text", insertions);
    PrintLatency("Stop to Start enabled", stops);
    if (!counted)
        PrintNote(
            Printf("latency run counted %d attempts for %d insertions", page.Total(), options.latencyEvents));
    return session.Close() && counted;
}
