// What only a station that works side by side gets right: a hung token taken first holds up
// none of those after it; Close ends a hung token at the station's limit and kills its child;
// a child touches only the token it was given, even when another was swapped into the slot
// meanwhile; a stock list refuses a stranger before any write, and its "done" count is what
// today's ledger file says, whichever station wrote it. Decided by outcomes and files.
#include "StationFixture.h"
#include "StatusTexts.h"
#include "attempt/StockGate.h"
#include "base/Utf8.h"
#include "ledger/LedgerSources.h"
#include "res/StringIds.h"
#include "station/StationAttempt.h"

namespace {

// The hung token is plugged first and sits in the lowest slot: a station that took its tokens
// one after another would show no other outcome before the hung one's.
TEST_F(StationTest, AHungTokenTakenFirstHoldsUpNoneOfTheOthers) {
    Bench("hang E_InitBlankToken slot=0");
    Insert(0);
    StationSettings settings = Settings(JobOperation::Wipe, soPin, userPin, noPin);
    settings.limit = std::chrono::minutes(10); // the bench releases the hung call, not the limit
    Station station(module, std::move(settings), recorder);
    // Gone before the station: a failed test waits for no limit either.
    const auto release = AtScopeEnd([&] { Bench("clear-faults"); });
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(recorder.Wait([&] { return recorder.PhaseOf(0) == StationPhase::Working; }));
    Insert(1);
    Insert(2);
    ASSERT_TRUE(recorder.Wait([&] { return recorder.HasOutcome(1) && recorder.HasOutcome(2); }));
    recorder.Read([&] {
        EXPECT_FALSE(recorder.HasOutcome(0)) << "the others waited for the hung token";
        EXPECT_EQ(recorder.PhaseOf(0), StationPhase::Working);
    });

    Bench("clear-faults"); // the hung call returns
    ASSERT_TRUE(WaitOutcomes(3));
    station.Close();
    EXPECT_EQ(Texts(), (std::map<unsigned long, std::wstring>{
                           {0, msg::kBlankDone}, {1, msg::kBlankDone}, {2, msg::kBlankDone}}));
    const std::vector<LedgerRecord> lines = ReadLedger(folder / "ledger");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.back().at("serial"), Serial(0)) << "written last, as it ended last";
}

// Its own ctest entry with a timeout well below the default limit of 120 s: a Close that
// waited for the default instead of the station's limit of 3 s fails by that timeout.
class StationClose : public StationTest {};

TEST_F(StationClose, EndsAHungTokenAtTheLimitKillsItsChildAndFreesTheModule) {
    Bench("hang E_InitBlankToken slot=0"); // never released
    Insert(0);
    StationSettings settings = Settings(JobOperation::Wipe, soPin, userPin, noPin);
    settings.limit = std::chrono::seconds(3);
    Station station(module, std::move(settings), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(recorder.Wait([&] { return recorder.PhaseOf(0) == StationPhase::Working; }));
    ASSERT_EQ(ChildProcesses(), 1);
    station.Close();
    EXPECT_TRUE(station.IsFinished());
    EXPECT_EQ(Texts(), (std::map<unsigned long, std::wstring>{{0, kTimedOut}}));
    EXPECT_EQ(ChildProcesses(), 0) << "the hung child outlived Close";
    const std::vector<LedgerRecord> lines = ReadLedger(folder / "ledger");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("message"), "操作超时");
    EXPECT_EQ(lines[0].at("outcome"), "failure");

    StandinHandle& own = SharedStandin(); // keeps the journal while the binding goes
    module.UnloadTokenModule();
    const std::vector<std::string> calls = own.Journal();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind("C_Finalize ", 0), 0u) << "a station call after Close: " << calls.back();
}

struct NoQuestions final : AttemptProgress {
    void ShowProgress(unsigned) override {}
    void ShowRunning() override {}
    bool ConfirmFinalTry() override { return false; }
};

// A child given a serial its slot no longer holds writes nothing and says so in its result
// line; given the serial the slot holds, it wipes (so the journal does see writes). With the
// vendor extension and through standard calls alike.
TEST_F(StationTest, AChildWritesOnlyToTheSerialItWasGiven) {
    StationSettings settings = Settings(JobOperation::Wipe, soPin, userPin, noPin);
    settings.limit = std::chrono::minutes(1); // nothing hangs here
    NoQuestions progress;
    int slot = 0;
    for (const std::wstring& path : {StandinPath(), NoAuxStandinPath()}) {
        SCOPED_TRACE(WideToUtf8(path));
        Insert(++slot);
        settings.modulePath = path;
        AttemptResult result =
            RunChildAttempt(settings, StationToken{CK_SLOT_ID(slot), L"00000000000000EE"}, progress);
        EXPECT_EQ(result.Kind(), AttemptKind::NoToken);
        EXPECT_EQ(std::get<EndMessage>(result.end).messageId, unsigned(IDS_INSERT_TOKEN))
            << "no result line from the child";
        EXPECT_EQ(WritesOn(slot), 0);

        result =
            RunChildAttempt(settings, StationToken{CK_SLOT_ID(slot), Utf8ToWide(Serial(slot))}, progress);
        EXPECT_EQ(result.Kind(), AttemptKind::Success);
        EXPECT_EQ(WritesOn(slot), 1);
    }
}

// The token is swapped between the station's read and its child's start: the station's own
// process still sees the token it read, every child the one now in the slot. The child
// refuses; nothing is written and nothing recorded.
TEST_F(StationTest, ATokenSwappedBeforeItsChildStartsIsNotTouched) {
    Insert(1);
    Bench("insert 1 serial=00000000000000EE so=" + kSoPin);
    StandinHandle& own = SharedStandin();
    ASSERT_FALSE(own.Query("token 1").empty()); // this process has run the swap too...
    ASSERT_EQ(own.Command("insert 1 serial=" + Serial(1) + " so=" + kSoPin), 0); // ...and undoes it
    StationSettings settings = Settings(JobOperation::Wipe, soPin, userPin, noPin);
    settings.limit = std::chrono::minutes(1); // nothing hangs here
    settings.maxTokens = 1;
    Station station(module, std::move(settings), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(recorder.Wait([&] { return recorder.finished == 1; }));
    recorder.Read([&] {
        ASSERT_EQ(recorder.outcomes.size(), 1u);
        EXPECT_EQ(recorder.outcomes[0].entry.message, msg::kInsertToken);
        EXPECT_EQ(recorder.PhaseOf(1), StationPhase::Done);
    });
    EXPECT_EQ(WritesOn(1), 0);
    EXPECT_TRUE(ReadLedger(folder / "ledger").empty());
}

// A station with a stock list: the stranger is refused before its child starts, the listed
// one is wiped. The list's "done" count follows today's file: a second station's success on
// the list counts at this station's next outcome, and a restart counts all of them again.
TEST_F(StationTest, AStockListRefusesStrangersAndCountsWhatTodaysFileShowsDone) {
    StockList list;
    list.serials = {Serial(0), Serial(2), Serial(3)};
    const LedgerPath ledgerFolder = (folder / "ledger").string();
    StockGate gate;
    PutStockInForce(gate, list, ledgerFolder, LocalTimeNow());
    Insert(0);
    Insert(1); // not on the list
    StationSettings settings = Settings(JobOperation::Wipe, soPin, userPin, noPin);
    settings.limit = std::chrono::minutes(1); // nothing hangs here
    settings.stock = &gate;
    Station station(module, std::move(settings), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(WaitOutcomes(2));
    EXPECT_EQ(Texts(), (std::map<unsigned long, std::wstring>{{0, msg::kBlankDone}, {1, msg::kNotInStock}}));
    EXPECT_EQ(WritesOn(1), 0);
    EXPECT_EQ(WritesOn(0), 1);
    EXPECT_EQ(gate.Count().done, 1u);

    // Another station writes the same folder: its success on the list is done too.
    LedgerEntry other;
    other.operation = LedgerOperation::Wipe;
    other.mode = LedgerMode::Station;
    other.slot = 5;
    other.serial = Utf8ToWide(Serial(2));
    other.outcome = LedgerOutcome::Success;
    other.message = msg::kBlankDone;
    ASSERT_TRUE(Ledger(ledgerFolder).Append(other).written);
    Insert(3);
    ASSERT_TRUE(WaitOutcomes(3));
    station.Close();
    EXPECT_EQ(gate.Count().expected, 3u);
    EXPECT_EQ(gate.Count().done, 3u) << "the other station's token is not counted";

    StockGate restarted;
    PutStockInForce(restarted, list, ledgerFolder, LocalTimeNow());
    EXPECT_EQ(restarted.Count().done, 3u);
    EXPECT_EQ(ReadLedger(folder / "ledger").size(), 4u);
}

} // namespace
