// The workbench's batch run against the stand-in module, natively: each slot event gives
// exactly one attempt, Stop ends a run for good and at once, the run's tally ends it (its count,
// a wrong SO PIN), a run that cannot start is refused, and a release of the module while a run
// polls ends it without another module call. Run under ThreadSanitizer too (label threads).
#include "StandInBench.h"
#include "StatusTexts.h"
#include "WaitFor.h"
#include "attempt/OutcomeText.h"
#include "workbench/Workbench.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <random>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A front end as the run sees it: reports recorded under a lock, since the test thread reads
// them while the run writes.
class RecordingView final : public BatchView {
  public:
    explicit RecordingView(TokenModule* module) : m_module(module) {}

    TokenModule* Binding() override { return m_module; }
    void ShowProgress(std::wstring text) override { Record(true, text); }
    void ShowOutcome(const AttemptOutcome& outcome) override {
        Record(IsShownAsSuccess(outcome.result), outcome.ShownText());
    }
    void ShowRefused(std::wstring text) override {
        Record(false, text);
        Bump(&Counts::refused);
    }
    void ShowRunning() override { Bump(&Counts::running); }
    bool GrantAttempt(TokenModule*& module) override {
        Bump(&Counts::attempts);
        module = m_module;
        return true;
    }
    void ShowCounts(const RunTally& tally) override {
        std::lock_guard<std::mutex> lock(m_lock);
        m_counts.total = static_cast<int>(tally.Counts().total);
        m_counts.success = static_cast<int>(tally.Counts().success);
        m_counts.failure = static_cast<int>(tally.Counts().failure);
    }
    void EndAttempt(bool bEndsRun) override {
        Bump(&Counts::attemptsEnded);
        if (bEndsRun)
            Bump(&Counts::endedRun);
    }
    void ShowFinished() override { Bump(&Counts::finished); }

    struct Counts {
        int total = 0, success = 0, failure = 0, attempts = 0, attemptsEnded = 0, endedRun = 0, running = 0,
            finished = 0, refused = 0;
        std::wstring lastText;
        bool lastSuccess = false;
    };
    Counts Snapshot() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_counts;
    }
    // Waits until `condition(Snapshot())` holds.
    template <class Condition> bool WaitFor(Condition condition) {
        return WaitUntil([&] { return condition(Snapshot()); });
    }

  private:
    void Record(bool success, const std::wstring& text) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_counts.lastText = text;
        m_counts.lastSuccess = success;
    }
    void Bump(int Counts::*field) {
        std::lock_guard<std::mutex> lock(m_lock);
        ++(m_counts.*field);
    }

    TokenModule* m_module;
    std::mutex m_lock;
    Counts m_counts;
};

// One batch run of a wipe with `soPin` on its own thread, stopped and joined when the test is
// done with it.
struct WorkerRun {
    WorkerRun(Workbench& bench, RecordingView& view, std::chrono::milliseconds period,
              unsigned long countLimit = 0, const wchar_t* soPin = L"tamsel")
        : tally(countLimit) {
        job.soPin = SecretText(soPin);
        worker = std::thread([this, &bench, &view, period] {
            bStarted = bench.RunBatch(job, view, tally, signal, StopNote::InMessage, period);
        });
    }
    ~WorkerRun() { Join(); }
    void Join() {
        signal.Stop();
        if (worker.joinable())
            worker.join();
    }
    Job job;
    RunTally tally;
    StopSignal signal;
    std::atomic<bool> bStarted{false};
    std::thread worker;
};

class BatchRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bench.Bind()) << bench.Error();
        workbench.Lend(&bench.Module());
    }
    void Do(const std::string& lines) { ASSERT_TRUE(bench.Command(lines)) << bench.Error(); }
    int CallCount(const std::string& name) {
        int n = 0;
        for (const std::string& call : bench.Calls())
            n += call == name;
        return n;
    }
    StandInBench bench;
    Workbench workbench;
};

} // namespace

// Guards against lost, doubled or pre-Start events: each slot event gives exactly one attempt.
// Every bench change waits for the previous attempt's end, so no attempt sees the next token.
TEST_F(BatchRunTest, EachSlotEventGivesExactlyOneAttempt) {
    Do("insert 0 type=blank\nremove 0\ninsert 0 type=blank"); // before Start: drained
    RecordingView host(&bench.Module());
    WorkerRun run(workbench, host, 5ms);
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 1; }));
    EXPECT_EQ(host.Snapshot().total, 1);
    EXPECT_GE(host.Snapshot().running, 1); // the worker and every batch attempt show it

    for (int i = 0; i < 20; ++i) {
        Do("remove 0");
        ASSERT_TRUE(host.WaitFor([&](auto c) { return c.attemptsEnded == 2 + 2 * i; }));
        Do("insert 0 type=blank");
        ASSERT_TRUE(host.WaitFor([&](auto c) { return c.attemptsEnded == 3 + 2 * i; }));
    }
    // Events that pile up between two polls are each handled once.
    Do("remove 0\ninsert 0 type=blank\nremove 0\ninsert 0 type=blank");
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 45; }));
    // One more event gives one more attempt: none was left over from the pile.
    Do("remove 0");
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 46; }));
    RecordingView::Counts counts = host.Snapshot();
    EXPECT_EQ(counts.attempts, 46);
    // Removals are not counted; the four piled-up events all found the token plugged in.
    EXPECT_EQ(counts.total, 1 + 20 + 4);
    EXPECT_EQ(counts.success, counts.total);
    EXPECT_EQ(counts.lastText, msg::kInsertToken);
}

// Guards against a Stop that waits out the pause or is not final: with a pause far longer
// than any timeout here, only a pause that wakes on Stop lets the run end.
TEST_F(BatchRunTest, StopEndsAPausingRunAndForGood) {
    RecordingView host(&bench.Module());
    auto run = std::make_unique<WorkerRun>(workbench, host, std::chrono::hours(1));
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 1; }));
    EXPECT_EQ(host.Snapshot().lastText, msg::kInsertToken);
    run->signal.Stop();
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
    run.reset();
    // A token plugged in after Stop is never touched.
    Do("clear-journal\ninsert 0 type=pki");
    EXPECT_EQ(CallCount("C_WaitForSlotEvent"), 0);
    EXPECT_EQ(host.Snapshot().attempts, 1);
}

// Guards against a poll failure or a missing binding that leaves a run going or counts it.
TEST_F(BatchRunTest, APollFailureBeforeTheFirstAttemptRefusesTheRunAndLaterEndsItQuietly) {
    {
        Do("fail C_WaitForSlotEvent 0x5 once");
        RecordingView host(&bench.Module());
        WorkerRun run(workbench, host, 5ms);
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.refused == 1; }));
        RecordingView::Counts counts = host.Snapshot();
        EXPECT_EQ(counts.lastText, msg::kInitModuleFailed);
        EXPECT_FALSE(counts.lastSuccess);
        EXPECT_EQ(counts.running, 0);
        EXPECT_EQ(counts.attempts, 0);
        EXPECT_EQ(counts.total, 0);
    }
    {
        RecordingView host(&bench.Module());
        WorkerRun run(workbench, host, 5ms);
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 1; }));
        Do("fail C_WaitForSlotEvent 0x30 once");
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
        EXPECT_EQ(host.Snapshot().lastText, msg::kInsertToken) << "the last status line stays";
    }
}

// Guards against a module call after the binding is released during a run.
TEST_F(BatchRunTest, ReleasingTheModuleEndsARunWithoutAnotherModuleCall) {
    Do("delay C_WaitForSlotEvent 2");
    RecordingView host(&bench.Module());
    WorkerRun run(workbench, host, 1ms);
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.attempts == 1; }));
    bench.Module().UnloadTokenModule();
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
    std::vector<std::string> calls = bench.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "C_Finalize");
}

// Guards against data races and runs that never end or end twice: random Stop and restart
// timings while tokens come and go. Meant for ThreadSanitizer as much as for itself.
TEST_F(BatchRunTest, RandomStopsRestartsAndTokenChurnKeepCountsConsistent) {
    std::mt19937 random(20261206);
    std::atomic<bool> churning{true};
    std::thread churn([&] {
        std::mt19937 local(7);
        while (churning.load()) {
            bench.Command(local() % 2 ? "insert 0 type=blank" : "remove 0");
            if (local() % 5 == 0)
                bench.Command("insert 1 type=lock\nremove 1");
            std::this_thread::sleep_for(std::chrono::microseconds(200 + local() % 800));
        }
    });
    int runs = 0;
    for (int i = 0; i < 60; ++i) {
        RecordingView host(&bench.Module());
        {
            WorkerRun run(workbench, host, std::chrono::milliseconds(1 + random() % 3));
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 15));
        }
        RecordingView::Counts counts = host.Snapshot();
        EXPECT_EQ(counts.total, counts.success + counts.failure);
        EXPECT_LE(counts.total, counts.attempts);
        EXPECT_EQ(counts.finished + (counts.running == 0 ? counts.refused : 0), 1) << "every run ends once";
        runs += counts.running;
    }
    churning = false;
    churn.join();
    EXPECT_GT(runs, 0);
}

// Guards against a run that outlives its tally: the count reached and a wrong SO PIN on a wipe
// each end it after that attempt, with no further attempt however many tokens come.
TEST_F(BatchRunTest, TheTallyEndsTheRunAtItsCountAndAtAWrongSoPin) {
    {
        Do("insert 0 type=pki");
        RecordingView host(&bench.Module());
        WorkerRun run(workbench, host, 1ms, 2);
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 1; }));
        Do("remove 0\ninsert 0 type=pki");
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
        EXPECT_FALSE(run.signal.IsRunning());
        Do("remove 0\ninsert 0 type=pki");
        run.Join();
        const RecordingView::Counts counts = host.Snapshot();
        // One bench change: the removal's event already finds the token plugged in again.
        EXPECT_EQ(counts.attempts, 2);
        EXPECT_EQ(counts.total, 2);
        EXPECT_EQ(counts.endedRun, 1);
        EXPECT_TRUE(run.bStarted);
    }
    {
        Do("remove 0\ninsert 0 type=pki so=other-pin");
        RecordingView host(&bench.Module());
        WorkerRun run(workbench, host, 1ms);
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
        Do("remove 0\ninsert 0 type=pki so=tamsel");
        run.Join();
        const RecordingView::Counts counts = host.Snapshot();
        EXPECT_EQ(counts.attempts, 1);
        EXPECT_EQ(counts.failure, 1);
        EXPECT_EQ(counts.endedRun, 1);
        EXPECT_EQ(counts.lastText, msg::kSoPinWrong + msg::kBatchStopped);
        EXPECT_EQ(bench.Query("token 0")["type"], "1") << "the next token was never touched";
    }
}

// Guards against a run without a binding that shows as running or touches anything.
TEST_F(BatchRunTest, ARunWithoutABindingIsRefused) {
    RecordingView host(nullptr);
    WorkerRun run(workbench, host, 1ms);
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.refused == 1; }));
    run.Join();
    EXPECT_FALSE(run.bStarted);
    const RecordingView::Counts counts = host.Snapshot();
    EXPECT_EQ(counts.lastText, msg::kInitModuleFailed);
    EXPECT_EQ(counts.running + counts.attempts + counts.finished, 0);
}
