// The station page with the stand-in: every token plugged in is handled at once by a vantor-cli
// child of its own (beside this test program), shown on its slot's tile, counted and written
// to the ledger once; a token that hangs is abandoned at the limit without holding the others;
// Stop and the page's end while one hangs. The children see the bench through its file.
#include "PageHarness.h"
#include "ProcessProbe.h"
#include "ProgramUnderTest.h"
#include "res/resource.h"

#include <cstdlib>
#include <fstream>
#include <set>

using namespace pagetest;

namespace {

const std::wstring kTimedOut = L"操作超时";
const std::wstring kDonePhase = L"完成";
const std::wstring kWorkingPhase = L"正在处理";
const std::wstring kTakingEnded = L"已停止接收新的USBKey，正在等待处理中的USBKey结束";
constexpr DWORD kRunTimeoutMs = 180000; // only ends a hung test

std::filesystem::path BenchFile() {
    const wchar_t* path = _wgetenv(L"VANTOR_BENCH_FILE");
    return path != nullptr ? std::filesystem::path(path) : std::filesystem::path();
}

// Appends bench lines to the file every process of the stand-in runs.
void Bench(const std::string& lines) {
    std::ofstream(BenchFile(), std::ios::app) << lines << '\n';
}

std::string Serial(int slot) {
    return "00000000000000A" + std::to_string(slot);
}

// Children of this process still running vantor-cli.exe.
int LiveChildren() {
    return ChildProcesses(::GetCurrentProcessId(), L"vantor-cli.exe");
}

class StationPageTest : public PagesTest {
  protected:
    void SetUp() override {
        ASSERT_FALSE(BenchFile().empty()) << "VANTOR_BENCH_FILE is not set";
        // Every process starts from the same empty bench.
        std::ofstream(BenchFile(), std::ios::trunc) << "reset\n";
        PagesTest::SetUp();
        host->UseLedger();
        host->ShowPage(2);
        HandlePending();
    }

    CStationPage& Page() { return host->station; }
    const TileContent* Tile(int slot) { return Page().m_tiles.FindTile(static_cast<unsigned long>(slot)); }
    bool Done(int slot) { return Tile(slot) != nullptr && Tile(slot)->phase == kDonePhase; }
    std::wstring Counts() {
        return Text(Page(), IDC_STATION_COUNT_TOTAL) + L"/" + Text(Page(), IDC_STATION_COUNT_SUCCESS) + L"/" +
               Text(Page(), IDC_STATION_COUNT_FAIL);
    }
    std::wstring Status() { return Text(Page(), IDC_STATION_STATUS); }
    std::vector<LedgerRecord> Lines() { return ReadLedger(host->ledgerFolder); }
    bool Until(const std::function<bool()>& done) { return PumpUntil(done, kRunTimeoutMs); }

    // The operation chosen, the limit typed, Start pressed; the station runs.
    void Start(int operation, const wchar_t* limitSeconds = L"120") {
        ASSERT_TRUE(Click(Page(), operation));
        Type(Page(), IDC_STATION_LIMIT, limitSeconds);
        ASSERT_TRUE(Click(Page(), IDC_STATION_START));
        ASSERT_TRUE(Page().HasStation()) << Utf8(Status());
        EXPECT_TRUE(Enabled(Page(), IDC_STATION_STOP));
        EXPECT_FALSE(Enabled(Page(), IDC_STATION_START));
    }
};

} // namespace

// Guards against tokens handled one after another or twice, a token plugged in later left
// alone, tiles that miss a slot or show another's serial, counters that disagree with the
// tiles, and outcomes missing from the ledger. Leaves artifacts/station.bmp.
TEST_F(StationPageTest, EveryTokenIsHandledOnceOnTheTileOfItsSlot) {
    for (int slot = 0; slot < 6; ++slot)
        Bench("insert " + std::to_string(slot) + " type=blank serial=" + Serial(slot) +
              (slot == 4 ? " misbehave=label" : ""));
    Start(IDC_STATION_PKI);
    Bench("insert 6 type=blank serial=" + Serial(6) + "\ninsert 7 type=blank serial=" + Serial(7));
    ASSERT_TRUE(Until([&] { return Counts() == L"8/7/1"; })) << Utf8(Counts());

    ASSERT_EQ(Page().m_tiles.Tiles().size(), 8u);
    for (int slot = 0; slot < 8; ++slot) {
        SCOPED_TRACE(slot);
        const TileContent* tile = Tile(slot);
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(Utf8(tile->serial), Serial(slot));
        EXPECT_EQ(tile->caption, L"槽位 " + std::to_wstring(slot));
        EXPECT_EQ(tile->phase, kDonePhase);
        EXPECT_EQ(tile->look, slot == 4 ? TileLook::Failure : TileLook::Success);
        if (slot == 4)
            EXPECT_EQ(tile->text.rfind(L"初始化后校验失败：", 0), 0u) << Utf8(tile->text);
        else
            EXPECT_EQ(tile->text, msg::kPkiDone);
    }
    // Eight tiles in a grid that keeps the serial numbers large.
    const TileGrid grid = Page().m_tiles.Grid();
    EXPECT_GE(grid.columns * grid.rows, 8);
    EXPECT_GE(Page().m_tiles.SerialHeight(), 16);
    SaveScreenshot(Page().GetSafeHwnd(), ArtifactsFolder() / L"station.bmp");

    // A ninth token ends once the first eight have been seen again and again, still plugged.
    Bench("insert 8 type=blank serial=" + Serial(8));
    ASSERT_TRUE(Until([&] { return Counts() == L"9/8/1"; })) << Utf8(Counts());
    const std::vector<LedgerRecord> lines = Lines();
    ASSERT_EQ(lines.size(), 9u);
    std::set<std::string> serials;
    for (const LedgerRecord& line : lines) {
        serials.insert(line.at("serial"));
        EXPECT_EQ(line.at("mode"), "station");
        EXPECT_EQ(line.at("operation"), "pki");
    }
    EXPECT_EQ(serials.size(), 9u) << "a token handled twice";
    ASSERT_TRUE(Click(Page(), IDC_STATION_STOP));
    ASSERT_TRUE(Until([&] { return !Page().HasStation(); }));
    EXPECT_TRUE(Enabled(Page(), IDC_STATION_START));
}

// Guards against tokens taken one after another: the hung token is plugged first, into the
// lowest slot, and the others end while its tile still shows it working. Leaves
// artifacts/station-hung.bmp.
TEST_F(StationPageTest, AHungTokenTakenFirstHoldsUpNoneOfTheOthers) {
    Bench("hang E_InitPkiToken slot=0\ninsert 0 type=blank serial=" + Serial(0));
    Start(IDC_STATION_PKI); // the bench releases the hung call, not the limit of 120 s
    ASSERT_TRUE(Until([&] { return Tile(0) != nullptr && Tile(0)->phase == kWorkingPhase; }));
    Bench("insert 1 type=blank serial=" + Serial(1) + "\ninsert 2 type=blank serial=" + Serial(2));
    ASSERT_TRUE(Until([&] { return Done(1) && Done(2); }));
    EXPECT_EQ(Tile(0)->phase, kWorkingPhase) << "the others waited for the hung token";
    EXPECT_EQ(Counts(), L"2/2/0");
    SaveScreenshot(Page().GetSafeHwnd(), ArtifactsFolder() / L"station-hung.bmp");

    Bench("clear-faults"); // the hung call returns
    ASSERT_TRUE(Until([&] { return Done(0); }));
    EXPECT_EQ(Tile(0)->text, msg::kPkiDone);
    EXPECT_EQ(Counts(), L"3/3/0");
    const std::vector<LedgerRecord> lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.back().at("serial"), Serial(0)) << "written last, as it ended last";
    ASSERT_TRUE(Click(Page(), IDC_STATION_STOP));
    ASSERT_TRUE(Until([&] { return !Page().HasStation(); }));
}

// Guards against Stop that takes one more token, that waits for a hung one, or that leaves the
// hung one unrecorded; against another page starting while the station's token is in work;
// and against the page's end (leaving it, or the window's close) waiting on a hung child past
// its limit or leaving it alive.
TEST_F(StationPageTest, StopAndTheEndOfThePageWhileATokenHangs) {
    Bench("hang E_InitPkiToken slot=0\ninsert 0 type=blank serial=" + Serial(0));
    Start(IDC_STATION_PKI, L"5");
    ASSERT_TRUE(Until([&] { return Tile(0) != nullptr; }));
    ASSERT_TRUE(Click(Page(), IDC_STATION_STOP));
    EXPECT_FALSE(Enabled(Page(), IDC_STATION_STOP));
    ASSERT_TRUE(Until([&] { return Status() == kTakingEnded; }));
    Bench("insert 1 type=blank serial=" + Serial(1));
    ASSERT_TRUE(Until([&] { return !Page().HasStation(); }));
    EXPECT_EQ(Tile(0)->text, kTimedOut);
    EXPECT_EQ(Tile(0)->look, TileLook::Failure);
    EXPECT_EQ(Tile(1), nullptr) << "taken after Stop";
    EXPECT_EQ(Counts(), L"1/0/1");
    EXPECT_TRUE(Enabled(Page(), IDC_STATION_START));
    EXPECT_EQ(LiveChildren(), 0);

    // Leaving the page ends the station as Stop does; the page starts afresh. (A new Start
    // takes every token present, so the earlier ones are pulled.)
    Bench("remove 0\nremove 1\nhang E_InitPkiToken slot=2\ninsert 2 type=blank serial=" + Serial(2));
    Start(IDC_STATION_PKI, L"5");
    ASSERT_TRUE(Until([&] { return Tile(2) != nullptr; }));
    host->ShowPage(1);
    EXPECT_FALSE(Enabled(host->pki, IDC_START)) << "another attempt while the station's may touch a token";
    ASSERT_TRUE(Until([&] { return !Page().HasStation(); }));
    EXPECT_TRUE(Enabled(host->pki, IDC_START));
    host->ShowPage(2);
    EXPECT_EQ(Counts(), L"0/0/0");
    EXPECT_TRUE(Page().m_tiles.Tiles().empty());
    EXPECT_EQ(Lines().size(), 2u) << "the abandoned token is still recorded";
}

// Its own ctest entry with a timeout well below the default limit of 120 s: a close that
// waited for the default instead of the limit typed (3 s) fails by that timeout.
class StationPageClose : public StationPageTest {};

// Guards against the page's close waiting on a hung child past the limit, leaving it alive or
// the hung token unrecorded, or the module still in use by the station afterwards.
TEST_F(StationPageClose, WaitsAtMostTheLimitAndLeavesNoChild) {
    Bench("hang E_InitPkiToken slot=0\ninsert 0 type=blank serial=" + Serial(0)); // never released
    Start(IDC_STATION_PKI, L"3");
    ASSERT_TRUE(Until([&] { return Tile(0) != nullptr && Tile(0)->phase == kWorkingPhase; }));
    ASSERT_EQ(LiveChildren(), 1);
    Page().CloseStation();
    EXPECT_FALSE(Page().HasStation());
    EXPECT_EQ(LiveChildren(), 0);
    const std::vector<LedgerRecord> lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].at("message"), Utf8(kTimedOut));
    StandinHandle& own = SharedStandin(); // keeps the journal while the binding goes
    host->bench.Unbind();
    const std::vector<std::string> calls = own.Journal();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind("C_Finalize ", 0), 0u) << "a station call after its close: " << calls.back();
}

// Guards against a second set of parameters: the station works with what the operator left on
// the operation's page, refuses it with that page's messages, and touches no token then.
TEST_F(StationPageTest, ParametersAreThoseOfTheOperationsPage) {
    std::vector<CString> messages;
    const ValidationMessageHook previous =
        SetValidationMessageHook([&](const CString& text) { messages.push_back(text); });
    host->ShowPage(1);
    Type(host->pki, IDC_PKI_USER_RETRY, L"0");
    ASSERT_TRUE(Click(host->pki, IDC_START));
    ASSERT_EQ(messages.size(), 1u);
    host->ShowPage(2);
    ASSERT_TRUE(Click(Page(), IDC_STATION_PKI));
    ASSERT_TRUE(Click(Page(), IDC_STATION_START));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], messages[0]);
    SetValidationMessageHook(previous);
    EXPECT_FALSE(Page().HasStation());

    host->ShowPage(1);
    Type(host->pki, IDC_PKI_SO_PIN, L"abc");
    host->ShowPage(2);
    ASSERT_TRUE(Click(Page(), IDC_STATION_PKI));
    ASSERT_TRUE(Click(Page(), IDC_STATION_START));
    EXPECT_EQ(Status(), msg::kPinLength);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    EXPECT_FALSE(Page().HasStation());

    // The wipe page's SO PIN and the PKI page's label reach the tokens.
    host->ShowPage(0);
    Type(host->blank, IDC_WIPE_PIN, L"Secret-77");
    host->ShowPage(1);
    Type(host->pki, IDC_PKI_LABEL, L"Desk9");
    host->ShowPage(2);
    Bench("insert 0 type=pki so=Secret-77 serial=" + Serial(0));
    Start(IDC_STATION_WIPE);
    ASSERT_TRUE(Until([&] { return Done(0); }));
    EXPECT_EQ(Tile(0)->text, msg::kBlankDone);
    ASSERT_TRUE(Click(Page(), IDC_STATION_STOP));
    ASSERT_TRUE(Until([&] { return !Page().HasStation(); }));
    Bench("remove 0\ninsert 1 type=blank serial=" + Serial(1));
    Start(IDC_STATION_PKI);
    ASSERT_TRUE(Until([&] { return Done(1); }));
    EXPECT_EQ(Tile(1)->text, msg::kPkiDone);
    // The children's changes reach this process's bench with its next module call.
    EXPECT_TRUE(Until([&] { return host->bench.Query("token 1")["label"] == "Desk9"; }));
    EXPECT_EQ(Lines().back().at("label"), "Desk9");
    EXPECT_EQ(Counts(), L"2/2/0") << "the counters add up over the runs while the page stays";
}
