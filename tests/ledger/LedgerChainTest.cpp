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

// A digest takes the platform's hashing only at its first piece: an untouched one, a copy of
// it, one assigned from it and a copy taken mid-way each go on from where the original stood.
TEST(LedgerChain, DigestCopiesGoOnFromWhereTheOriginalStood) {
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", Sha256().FinishHex());
    const Sha256 untouched;
    Sha256 copy(untouched);
    copy.Add("abc");
    EXPECT_EQ(abc, copy.FinishHex());
    EXPECT_EQ("", copy.FinishHex()) << "a finished digest is spent";
    Sha256 reused;
    reused.Add("x");
    reused = untouched;
    reused.Add("abc");
    EXPECT_EQ(abc, reused.FinishHex());
    Sha256 midway;
    midway.Add("a");
    Sha256 branch(midway);
    branch.Add("bc");
    midway.Add("bc");
    EXPECT_EQ(abc, branch.FinishHex());
    EXPECT_EQ(abc, midway.FinishHex());
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

// A line without a value of its own never holds, whoever closes or follows it: a line added by
// hand, or a fake one of the program's form, stays found at its line however many lines the
// program writes after it, and the program tells its operator once that today's file is
// damaged, while recording every line.
TEST(LedgerChain, AnAddedLineIsNotLaunderedByTheLinesAfterIt) {
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    ASSERT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
    ASSERT_FALSE(ledger.Append(WipeSuccess(L"B")).damaged);
    const std::string whole = fixture.Read(kToday);
    std::string forged = Lines(whole)[2];
    forged.replace(forged.find(",B,"), 3, ",Z,");
    const struct {
        const char* what;
        std::string bytes;
        bool withoutValue;
    } cases[] = {
        {"without value", forged.substr(0, forged.rfind(',')) + "\r\n", true},
        {"wrong value", forged, false},
        {"no line end, closed by the program", forged.substr(0, forged.size() - 10), true},
    };
    for (const auto& c : cases) {
        Write(fixture, whole + c.bytes);
        Ledger after = fixture.Open();
        Ledger other = fixture.Open();
        EXPECT_TRUE(after.Append(WipeSuccess(L"C")).damaged) << c.what;
        EXPECT_FALSE(after.Append(WipeSuccess(L"D")).damaged) << "told once";
        EXPECT_TRUE(other.Append(WipeSuccess(L"E")).damaged) << "once by each program";
        const LedgerVerdict verdict = Verify(fixture);
        EXPECT_EQ(LedgerSeal::kBroken, verdict.seal) << c.what;
        EXPECT_EQ(4u, verdict.brokenLine) << c.what;
        EXPECT_EQ(c.withoutValue, verdict.brokenWithoutValue) << c.what;
        EXPECT_EQ(6u, verdict.lines) << "nothing lost";
    }
    // A file whose last write lost only its line end is whole once closed.
    Write(fixture, whole.substr(0, whole.size() - 2));
    EXPECT_TRUE(Verify(fixture).cutAtEnd);
    EXPECT_FALSE(fixture.Open().Append(WipeSuccess(L"C")).damaged);
    EXPECT_EQ(LedgerSeal::kIntact, Verify(fixture).seal);
}

// A kept chain value tells a cut tail and a file sealed again from scratch, which the chain
// alone cannot see; a change before the value shows there.
TEST(LedgerChain, AnAnchorFindsCutAndResealedFiles) {
    LedgerFolderFixture fixture;
    for (const wchar_t* serial : {L"A", L"B", L"C", L"D"})
        ASSERT_TRUE(fixture.Open().Append(WipeSuccess(serial)).written);
    const std::string whole = fixture.Read(kToday);
    const std::vector<std::string> lines = Lines(whole);
    const std::string anchor = lines[3].substr(lines[3].size() - 66, 64); // line 4's value
    const LedgerVerdict found = VerifyLedgerFile(fixture.DayFile(kToday).native(), anchor);
    EXPECT_TRUE(AnchorHolds(found));
    EXPECT_EQ(4u, found.anchorLine);

    Write(fixture, Joined({lines[0], lines[1], lines[2]}));
    const LedgerVerdict cut = VerifyLedgerFile(fixture.DayFile(kToday).native(), anchor);
    EXPECT_EQ(LedgerSeal::kIntact, cut.seal) << "the chain alone sees nothing";
    EXPECT_FALSE(AnchorHolds(cut));
    EXPECT_EQ(0u, cut.anchorLine);

    std::filesystem::remove(fixture.DayFile(kToday)); // sealed again without line 2
    for (const wchar_t* serial : {L"A", L"C", L"D"})
        ASSERT_TRUE(fixture.Open().Append(WipeSuccess(serial)).written);
    const LedgerVerdict resealed = VerifyLedgerFile(fixture.DayFile(kToday).native(), anchor);
    EXPECT_EQ(LedgerSeal::kIntact, resealed.seal);
    EXPECT_FALSE(AnchorHolds(resealed));

    std::string changed = whole;
    changed.replace(changed.find(",B,"), 3, ",X,");
    Write(fixture, changed);
    const LedgerVerdict before = VerifyLedgerFile(fixture.DayFile(kToday).native(), anchor);
    EXPECT_FALSE(AnchorHolds(before));
    EXPECT_EQ(4u, before.anchorLine);
    EXPECT_EQ(3u, before.brokenLine);
}

// The file's bytes may come in pieces of any size: a piece ending inside the byte-order mark, a
// doubled quote or a CRLF reads as the whole file does.
TEST(LedgerChain, ReadsTheSameWhateverThePieces) {
    LedgerFolderFixture fixture;
    LedgerEntry quoted = WipeSuccess(L"Q");
    quoted.message = L"a \"\"b\", c\r\nd";
    ASSERT_TRUE(fixture.Open().Append(quoted).written);
    ASSERT_TRUE(fixture.Open().Append(WipeSuccess(L"R")).written);
    const std::string text = fixture.Read(kToday);
    for (const std::size_t piece : {1, 2, 3, 5}) {
        LedgerRowReader reader;
        LedgerVerifier verifier;
        for (std::size_t at = 0; at < text.size(); at += piece)
            reader.Feed(std::string_view(text).substr(at, piece),
                        [&verifier](const LedgerRow& record) { verifier.Take(record); });
        const LedgerVerdict verdict = verifier.Finish(reader);
        EXPECT_EQ(LedgerSeal::kIntact, verdict.seal) << piece;
        EXPECT_EQ(2u, verdict.lines) << piece;
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
// is not a ledger file (the command line tests each kind), or cannot be read, is told apart.
TEST(LedgerChain, TellsOlderForeignAndMissingFilesApart) {
    LedgerFolderFixture fixture;
    const std::string older = std::string(kUtf8ByteOrderMark) + kLedgerHeader + "\r\n";
    Write(fixture, older);
    ASSERT_TRUE(fixture.Open().Append(WipeSuccess(L"A")).written);
    const std::string text = fixture.Read(kToday);
    EXPECT_EQ(",done\r\n", text.substr(text.size() - 7)); // no chain value added
    EXPECT_EQ(LedgerSeal::kNotSealed, Verify(fixture).seal);
    Write(fixture, "");
    EXPECT_EQ(LedgerSeal::kEmpty, Verify(fixture).seal);
    Write(fixture, "Name,Amount\r\nrent,12\r\n");
    EXPECT_EQ(LedgerSeal::kMalformed, Verify(fixture).seal);
    std::filesystem::remove(fixture.DayFile(kToday));
    EXPECT_EQ(LedgerSeal::kUnreadable, Verify(fixture).seal);
}

} // namespace
