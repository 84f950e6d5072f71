// The sealed day file: every kind of tampering is found at its line, while what really happens
// on a bench (several stations on one shared file, a write cut short, files of older versions)
// keeps verifying.
#include "LedgerTestSupport.h"

#include "ledger/LedgerHash.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerVerify.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

namespace {

constexpr const char* kToday = "2026-12-06.csv";

// The file's lines, each with its line end.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at + 1));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

LedgerVerdict Verify(const LedgerFolderFixture& fixture) {
    return VerifyLedgerFile(fixture.DayFile(kToday).native());
}

void Write(const LedgerFolderFixture& fixture, const std::string& bytes) {
    std::filesystem::create_directories(fixture.folder);
    std::ofstream(fixture.DayFile(kToday), std::ios::binary) << bytes;
}

// The hash is the platform's SHA-256 (checked against the standard's test vector), and a
// changed, removed or inserted line breaks the chain exactly there.
TEST(LedgerChain, FindsEachTamperingAtItsLine) {
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Sha256Hex({"a", "bc"}));
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    for (const wchar_t* serial : {L"A", L"B", L"C", L"D", L"E", L"F"})
        ASSERT_TRUE(ledger.Append(WipeSuccess(serial)).written);
    const std::string text = fixture.Read(kToday);
    const LedgerVerdict intact = Verify(fixture);
    EXPECT_EQ(LedgerSeal::kIntact, intact.seal);
    EXPECT_EQ(6u, intact.lines);
    EXPECT_EQ(text.substr(text.size() - 66, 64), intact.lastChain);

    const std::vector<std::string> lines = Lines(text); // [0] is the header, line 1
    const std::string older = std::string(kUtf8ByteOrderMark) + kLedgerHeader + "\r\n";
    std::string unsealed = lines[3];
    unsealed.erase(unsealed.rfind(','));
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::uint64_t brokenLine;
    } cases[] = {
        {"changed", {lines[0], lines[1], lines[2], lines[3] + "", lines[4], lines[5], lines[6]}, 0},
        {"removed", {lines[0], lines[1], lines[2], lines[4], lines[5], lines[6]}, 4},
        {"inserted copy",
         {lines[0], lines[1], lines[2], lines[3], lines[1], lines[4], lines[5], lines[6]},
         5},
        {"inserted without value",
         {lines[0], lines[1], unsealed + "\r\n", lines[2], lines[3], lines[4], lines[5], lines[6]},
         3},
        {"appended without value",
         {lines[0], lines[1], lines[2], lines[3], lines[4], lines[5], lines[6], unsealed + "\r\n"},
         8},
        {"header changed",
         {lines[0].substr(3), lines[1], lines[2], lines[3], lines[4], lines[5], lines[6]},
         2},
        {"chain column removed", {older, lines[1], lines[2], lines[3], lines[4], lines[5], lines[6]}, 1},
    };
    for (auto c : cases) {
        if (c.brokenLine == 0) { // one character of line 4 changed
            c.lines[3].replace(c.lines[3].find(",C,"), 3, ",X,");
            c.brokenLine = 4;
        }
        Write(fixture, Joined(c.lines));
        const LedgerVerdict verdict = Verify(fixture);
        EXPECT_EQ(LedgerSeal::kBroken, verdict.seal) << c.what;
        EXPECT_EQ(c.brokenLine, verdict.brokenLine) << c.what;
    }
}

// A write cut short by a crash is closed by the next line, which carries it in its value: the
// file stays intact, and the cut line cannot be changed unseen afterwards.
TEST(LedgerChain, ACutLineIsCarriedByTheNextLine) {
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    ASSERT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
    ASSERT_TRUE(ledger.Append(WipeSuccess(L"B")).written);
    const std::string whole = fixture.Read(kToday);
    const std::size_t last = Lines(whole)[2].size();
    // B's write cut inside its fields, inside its chain value, before its line end.
    for (const std::size_t cut : {last - 40, std::size_t{10}, std::size_t{2}}) { // bytes lost
        Write(fixture, whole.substr(0, whole.size() - cut));
        const LedgerVerdict cutShort = Verify(fixture);
        EXPECT_EQ(LedgerSeal::kIntact, cutShort.seal) << cut;
        EXPECT_TRUE(cutShort.cutAtEnd);
        ASSERT_TRUE(fixture.Open().Append(WipeSuccess(L"C")).written);
        ASSERT_TRUE(fixture.Open().Append(WipeSuccess(L"D")).written);
        const LedgerVerdict closed = Verify(fixture);
        EXPECT_EQ(LedgerSeal::kIntact, closed.seal) << cut;
        EXPECT_FALSE(closed.cutAtEnd);
        EXPECT_EQ(4u, closed.lines);

        std::vector<std::string> lines = Lines(fixture.Read(kToday));
        lines[2].replace(lines[2].find("ST-01"), 5, "ST-99");
        Write(fixture, Joined(lines));
        const LedgerVerdict changed = Verify(fixture);
        EXPECT_EQ(LedgerSeal::kBroken, changed.seal) << cut;
        EXPECT_EQ(3u, changed.brokenLine) << cut;
    }
}

// Two stations appending to one shared file at once each chain to the line the other wrote.
TEST(LedgerChain, TwoStationsKeepOneChain) {
    LedgerFolderFixture fixture;
    std::vector<std::thread> stations;
    for (int station = 0; station < 2; ++station)
        stations.emplace_back([&fixture, station] {
            Ledger ledger = fixture.Open();
            for (int i = 0; i < 40; ++i)
                EXPECT_TRUE(ledger.Append(WipeSuccess(std::to_wstring(station * 100 + i))).written);
        });
    for (std::thread& station : stations)
        station.join();
    const LedgerVerdict verdict = Verify(fixture);
    EXPECT_EQ(LedgerSeal::kIntact, verdict.seal);
    EXPECT_EQ(80u, verdict.lines);
}

// A day file written before lines were sealed keeps its form and verifies as not sealed; what
// is not a ledger file, or cannot be read, is told apart.
TEST(LedgerChain, TellsOlderForeignAndMissingFilesApart) {
    LedgerFolderFixture fixture;
    const std::string older = std::string(kUtf8ByteOrderMark) + kLedgerHeader + "\r\n";
    Write(fixture, older);
    ASSERT_TRUE(fixture.Open().Append(WipeSuccess(L"A")).written);
    const std::string text = fixture.Read(kToday);
    EXPECT_EQ(",done\r\n", text.substr(text.size() - 7)); // no chain value added
    EXPECT_EQ(LedgerSeal::kNotSealed, Verify(fixture).seal);
    Write(fixture, "");
    EXPECT_EQ(LedgerSeal::kNotSealed, Verify(fixture).seal);
    Write(fixture, "Name,Amount\r\nrent,12\r\n");
    EXPECT_EQ(LedgerSeal::kMalformed, Verify(fixture).seal);
    std::filesystem::remove(fixture.DayFile(kToday));
    EXPECT_EQ(LedgerSeal::kUnreadable, Verify(fixture).seal);
}

} // namespace
