// The station as the window and the console drive it: every present token handled at once in
// a child process (vantor-cli itself), each once while it stays plugged, later ones as they
// appear; a hung token abandoned after the limit without holding up the others; Stop and a
// wrong SO PIN ending the taking. Decided by the outcomes and the ledger, never by time.
#include "StationFixture.h"

#include <set>

namespace {

// Four tokens at once, one plugged later, one pulled and plugged again: each handled once per
// plugging, one ledger line each, in mode station; the counters as the counters count.
TEST_F(StationTest, EveryTokenHandledOnceWhileItStaysPlugged) {
    for (int slot = 0; slot < 4; ++slot)
        Insert(slot);
    {
        Station station(module, Settings(JobOperation::Wipe, soPin, userPin, noPin), recorder);
        ASSERT_TRUE(station.Start());
        ASSERT_TRUE(WaitOutcomes(4));
        Insert(6);
        ASSERT_TRUE(WaitOutcomes(5));
        Bench("remove 0");
        ASSERT_TRUE(recorder.Wait([&] {
            return !recorder.tiles.empty() && recorder.tiles.back().slot == 0 &&
                   recorder.tiles.back().phase == StationPhase::Empty;
        }));
        Insert(0);
        ASSERT_TRUE(WaitOutcomes(6));
        station.Stop();
        ASSERT_TRUE(recorder.Wait([&] { return recorder.finished == 1; }));
        station.Close();
    }
    EXPECT_EQ(Outcomes(), 6u) << "no token handled twice while plugged";
    const std::vector<LedgerRecord> lines = ReadLedger(folder / "ledger");
    ASSERT_EQ(lines.size(), 6u);
    std::multiset<std::string> serials;
    for (const LedgerRecord& line : lines) {
        EXPECT_EQ(line.at("mode"), "station");
        EXPECT_EQ(line.at("outcome"), "success") << line.at("message");
        EXPECT_EQ(line.at("serial"), Serial(std::stoi(line.at("slot"))));
        serials.insert(line.at("serial"));
    }
    EXPECT_EQ(serials,
              (std::multiset<std::string>{Serial(0), Serial(0), Serial(1), Serial(2), Serial(3), Serial(6)}));
    EXPECT_EQ(recorder.counts, (std::vector<unsigned long>{6, 6, 0}));
    EXPECT_EQ(recorder.takingEnded, 1);
    for (const StationTile& tile : recorder.tiles)
        EXPECT_FALSE(tile.phase == StationPhase::Done && tile.bFailure) << "slot " << tile.slot;
}

// A token whose initialisation never returns is abandoned after the limit and recorded as
// timed out; the others succeed meanwhile.
TEST_F(StationTest, HungTokenTimesOutWithoutHoldingUpTheOthers) {
    for (int slot = 0; slot < 3; ++slot)
        Insert(slot, "type=blank");
    Bench("hang E_InitPkiToken slot=1");
    Station station(module, Settings(JobOperation::Pki, soPin, userPin, noPin), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(WaitOutcomes(3));
    const auto texts = Texts();
    EXPECT_EQ(texts.at(1), kTimedOut);
    EXPECT_EQ(texts.at(0), L"初始化为PKI应用成功，请更换USBKey");
    EXPECT_EQ(texts.at(2), L"初始化为PKI应用成功，请更换USBKey");
    station.Close();
    std::map<std::string, LedgerRecord> bySlot;
    for (const LedgerRecord& line : ReadLedger(folder / "ledger"))
        bySlot[line.at("slot")] = line;
    ASSERT_EQ(bySlot.size(), 3u);
    EXPECT_EQ(bySlot["1"].at("outcome"), "failure");
    EXPECT_EQ(bySlot["1"].at("message"), "操作超时");
    EXPECT_EQ(bySlot["1"].at("serial"), Serial(1));
    EXPECT_EQ(bySlot["0"].at("label"), "Station");
    EXPECT_EQ(recorder.counts, (std::vector<unsigned long>{3, 2, 1}));
}

// Stop while a token hangs: no token is taken any more at once, the hung one ends at its limit
// and the station finishes.
TEST_F(StationTest, StopWhileOneHangs) {
    Insert(0, "type=blank");
    Bench("hang E_InitPkiToken slot=0");
    Station station(module, Settings(JobOperation::Pki, soPin, userPin, noPin), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(recorder.Wait(
        [&] { return !recorder.tiles.empty() && recorder.tiles.back().phase == StationPhase::Working; }));
    station.Stop();
    ASSERT_TRUE(recorder.Wait([&] { return recorder.takingEnded == 1; }));
    Insert(1, "type=blank");
    ASSERT_TRUE(recorder.Wait([&] { return recorder.finished == 1; }));
    EXPECT_TRUE(station.IsFinished());
    EXPECT_EQ(Texts(), (std::map<unsigned long, std::wstring>{{0, kTimedOut}})) << "slot 1 never taken";
}

// A wrong SO PIN ends the taking of a wipe station: a token plugged afterwards is not touched.
TEST_F(StationTest, WrongSoPinEndsAWipeStation) {
    Bench("insert 0 serial=" + Serial(0) + " so=tamsel");
    Station station(module, Settings(JobOperation::Wipe, soPin, userPin, noPin), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(recorder.Wait([&] { return recorder.takingEnded == 1; }));
    Insert(1);
    ASSERT_TRUE(recorder.Wait([&] { return recorder.finished == 1; }));
    EXPECT_EQ(Texts(), (std::map<unsigned long, std::wstring>{
                           {0, L"管理员PIN错误，已停止接收新的锁，请核对管理员PIN"}}));
    EXPECT_EQ(ReadLedger(folder / "ledger").size(), 1u);
}

// A child that gives no result line (here a program that only echoes its arguments) is a
// counted failure of its own; a station over an unbound module does not start.
TEST_F(StationTest, ChildWithoutResultIsACountedFailure) {
    Insert(0);
    StationSettings settings = Settings(JobOperation::Wipe, soPin, userPin, noPin);
    settings.childProgram = L"/bin/echo";
    settings.maxTokens = 1;
    Station station(module, std::move(settings), recorder);
    ASSERT_TRUE(station.Start());
    ASSERT_TRUE(recorder.Wait([&] { return recorder.finished == 1; }));
    EXPECT_EQ(Texts(), (std::map<unsigned long, std::wstring>{{0, L"操作未能完成：处理进程没有给出结果"}}));
    EXPECT_EQ(recorder.counts, (std::vector<unsigned long>{1, 0, 1}));

    TokenModule unbound{StandinPath()};
    Recorder other;
    Station refused(unbound, Settings(JobOperation::Wipe, soPin, userPin, noPin), other);
    EXPECT_FALSE(refused.Start());
}

} // namespace
