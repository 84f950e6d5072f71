// The batch worker loop against the stand-in module, natively: each slot event gives exactly
// one attempt, Stop ends a run for good and at once, and a release of the module while a run
// polls ends it without another module call. Run under ThreadSanitizer too (label threads).
#include "StandInBench.h"
#include "StatusTexts.h"
#include "WaitFor.h"
#include "attempt/AttemptRunner.h"
#include "attempt/SlotEventLoop.h"
#include "attempt/OutcomeText.h"
#include "wipe/WipeToken.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <random>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A page as the worker sees it: reports and control changes recorded under a lock, since the
// test thread reads them while the worker writes.
class RecordingHost final : public SlotEventHost, public AttemptFrontEnd {
  public:
    explicit RecordingHost(TokenModule* module) : m_module(module) {}

    TokenModule* GetTokenModule() override { return m_module; }
    void ShowProgress(std::wstring text) override { Record(true, false, text); }
    void ShowOutcome(const AttemptOutcome& outcome) override {
        Record(IsShownAsSuccess(outcome.result), outcome.IsCounted(), outcome.ShownText());
    }
    void ShowRefused(std::wstring text) override {
        Record(false, false, text);
        Bump(&Counts::inputsEnabled);
    }
    void ShowRunning() override { Bump(&Counts::running); }
    void RunAttempt() override {
        Bump(&Counts::attempts);
        WipeParams params;
        params.strSoPin = SecretText(L"tamsel");
        params.bBatch = true;
        AttemptSetting setting;
        setting.mode = LedgerMode::Batch;
        RunAndRecordAttempt(
            [&](AttemptProgress& progress) { return WipeToken(GetTokenModule(), params, progress); }, setting,
            *this);
        Bump(&Counts::attemptsEnded);
    }
    void ShowFinished() override { Bump(&Counts::finished); }

    struct Counts {
        int total = 0, success = 0, failure = 0, attempts = 0, attemptsEnded = 0, running = 0, finished = 0,
            inputsEnabled = 0;
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
    void Record(bool success, bool bCount, const std::wstring& text) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_counts.lastText = text;
        m_counts.lastSuccess = success;
        if (bCount) {
            ++m_counts.total;
            ++(success ? m_counts.success : m_counts.failure);
        }
    }
    void Bump(int Counts::*field) {
        std::lock_guard<std::mutex> lock(m_lock);
        ++(m_counts.*field);
    }

    TokenModule* m_module;
    std::mutex m_lock;
    Counts m_counts;
};

// One batch run on its own thread, stopped and joined when the test is done with it.
struct WorkerRun {
    WorkerRun(RecordingHost& host, std::chrono::milliseconds period)
        : worker([this, &host, period] { RunSlotEventLoop(host, signal, period); }) {}
    ~WorkerRun() {
        signal.Stop();
        worker.join();
    }
    StopSignal signal;
    std::thread worker;
};

class SlotEventLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(bench.Bind()) << bench.Error(); }
    void Do(const std::string& lines) { ASSERT_TRUE(bench.Command(lines)) << bench.Error(); }
    int CallCount(const std::string& name) {
        int n = 0;
        for (const std::string& call : bench.Calls())
            n += call == name;
        return n;
    }
    StandInBench bench;
};

} // namespace

// Guards against lost, doubled or pre-Start events: each slot event gives exactly one attempt.
// Every bench change waits for the previous attempt's end, so no attempt sees the next token.
TEST_F(SlotEventLoopTest, EachSlotEventGivesExactlyOneAttempt) {
    Do("insert 0 type=blank\nremove 0\ninsert 0 type=blank"); // before Start: drained
    RecordingHost host(&bench.Module());
    WorkerRun run(host, 5ms);
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
    RecordingHost::Counts counts = host.Snapshot();
    EXPECT_EQ(counts.attempts, 46);
    // Removals are not counted; the four piled-up events all found the token plugged in.
    EXPECT_EQ(counts.total, 1 + 20 + 4);
    EXPECT_EQ(counts.success, counts.total);
    EXPECT_EQ(counts.lastText, msg::kInsertToken);
}

// Guards against a Stop that waits out the pause or is not final: with a pause far longer
// than any timeout here, only a pause that wakes on Stop lets the run end.
TEST_F(SlotEventLoopTest, StopEndsAPausingRunAndForGood) {
    RecordingHost host(&bench.Module());
    auto run = std::make_unique<WorkerRun>(host, std::chrono::hours(1));
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
TEST_F(SlotEventLoopTest, APollFailureBeforeTheFirstAttemptRefusesTheRunAndLaterEndsItQuietly) {
    {
        Do("fail C_WaitForSlotEvent 0x5 once");
        RecordingHost host(&bench.Module());
        WorkerRun run(host, 5ms);
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.inputsEnabled == 1; }));
        RecordingHost::Counts counts = host.Snapshot();
        EXPECT_EQ(counts.lastText, msg::kInitModuleFailed);
        EXPECT_FALSE(counts.lastSuccess);
        EXPECT_EQ(counts.running, 0);
        EXPECT_EQ(counts.attempts, 0);
        EXPECT_EQ(counts.total, 0);
    }
    {
        RecordingHost host(&bench.Module());
        WorkerRun run(host, 5ms);
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.attemptsEnded == 1; }));
        Do("fail C_WaitForSlotEvent 0x30 once");
        ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
        EXPECT_EQ(host.Snapshot().lastText, msg::kInsertToken) << "the last status line stays";
    }
}

// Guards against a module call after the binding is released during a run.
TEST_F(SlotEventLoopTest, ReleasingTheModuleEndsARunWithoutAnotherModuleCall) {
    Do("delay C_WaitForSlotEvent 2");
    RecordingHost host(&bench.Module());
    WorkerRun run(host, 1ms);
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.attempts == 1; }));
    bench.Module().UnloadTokenModule();
    ASSERT_TRUE(host.WaitFor([](auto c) { return c.finished == 1; }));
    std::vector<std::string> calls = bench.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "C_Finalize");
}

// Guards against data races and runs that never end or end twice: random Stop and restart
// timings while tokens come and go. Meant for ThreadSanitizer as much as for itself.
TEST_F(SlotEventLoopTest, RandomStopsRestartsAndTokenChurnKeepCountsConsistent) {
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
        RecordingHost host(&bench.Module());
        {
            WorkerRun run(host, std::chrono::milliseconds(1 + random() % 3));
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 15));
        }
        RecordingHost::Counts counts = host.Snapshot();
        EXPECT_EQ(counts.total, counts.success + counts.failure);
        EXPECT_LE(counts.total, counts.attempts);
        EXPECT_EQ(counts.finished + (counts.running == 0 ? counts.inputsEnabled : 0), 1)
            << "every run ends once";
        runs += counts.running;
    }
    churning = false;
    churn.join();
    EXPECT_GT(runs, 0);
}
