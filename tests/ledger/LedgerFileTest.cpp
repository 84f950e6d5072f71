// The day files on disk: appended to only, readable by a spreadsheet, and consulted again
// after a restart of the program.
#include "LedgerTestSupport.h"

#include "ledger/LedgerChain.h"
#include "ledger/LedgerLine.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kToday = "2026-12-06.csv";

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A second line, or a new ledger object on an existing file, must not repeat the BOM and header.
TEST(LedgerFile, WritesByteOrderMarkAndHeaderOnceWithCrlfLines) {
    LedgerFolderFixture fixture;
    EXPECT_TRUE(fixture.Open().Append(WipeSuccess(L"A")).written);
    Ledger ledger = fixture.Open();
    EXPECT_TRUE(ledger.Append(WipeSuccess(L"B")).written);
    EXPECT_TRUE(ledger.Append(WipeSuccess(L"C")).written);

    const std::string text = fixture.Read(kToday);
    EXPECT_EQ(0u, text.find(std::string(kUtf8ByteOrderMark) + SealedLedgerHeader() + "\r\n"));
    EXPECT_EQ(1u, Count(text, kLedgerHeader));
    EXPECT_EQ(1u, Count(text, kUtf8ByteOrderMark));
    EXPECT_EQ(4u, Count(text, "\r\n"));
    EXPECT_EQ(4u, Count(text, "\n"));
    EXPECT_EQ(",done,", text.substr(text.size() - 72, 6)); // then the chain value
}

// A batch running past midnight must continue in the new day's file, which gets its own header.
TEST(LedgerFile, StartsANewFileOnTheNextLocalDay) {
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    fixture.now = {2026, 12, 6, 23, 59, 59, 480};
    EXPECT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
    fixture.now = {2026, 12, 7, 0, 0, 1, 480};
    EXPECT_TRUE(ledger.Append(WipeSuccess(L"A")).written);

    const std::string first = fixture.Read(kToday), second = fixture.Read("2026-12-07.csv");
    EXPECT_EQ(2u, Count(first, "\r\n"));
    EXPECT_EQ(2u, Count(second, "\r\n"));
    EXPECT_EQ(1u, Count(second, kLedgerHeader));
    EXPECT_NE(std::string::npos, second.find("2026-12-07T00:00:01+08:00"));
}

// A line cut short by a crash must be closed, or the next line would be glued to it.
TEST(LedgerFile, ClosesAPartialLastLineFirst) {
    const struct {
        const char* tail;   // what the earlier run left
        const char* closer; // what must come before the new line
    } cases[] = {
        {"cut,sho", "\r\n"},
        {"cut,\"open quote", "\"\r\n"},
        {"cut\r", "\n"},
    };
    for (const auto& c : cases) {
        LedgerFolderFixture fixture;
        const std::string before = std::string(kUtf8ByteOrderMark) + kLedgerHeader + "\r\n" + c.tail;
        WriteFile(fixture.DayFile(kToday), before);
        EXPECT_TRUE(fixture.Open().Append(WipeSuccess(L"A")).written);
        const std::string expected = before + c.closer + "2026-12-06T14:03:05";
        EXPECT_EQ(expected, fixture.Read(kToday).substr(0, expected.size())) << c.tail;
    }
}

// A ledger that cannot be written reports it, and the next line tries again once the cause is gone.
TEST(LedgerFile, ReportsAFailedWriteAndRecovers) {
    LedgerFolderFixture fixture;
    const fs::path blockers[] = {fixture.folder, fixture.folder.parent_path(), fixture.DayFile(kToday)};
    for (const fs::path& blocker : blockers) {
        fs::remove_all(fixture.root);
        // A file where a folder must go, or a folder where the day file must go.
        if (blocker == fixture.DayFile(kToday))
            fs::create_directories(blocker);
        else
            WriteFile(blocker, "not a folder");
        Ledger ledger = fixture.Open();
        EXPECT_FALSE(ledger.Append(WipeSuccess(L"A")).written) << blocker;
        fs::remove_all(blocker);
        EXPECT_TRUE(ledger.Append(WipeSuccess(L"A")).written) << blocker;
        EXPECT_EQ(1u, Count(fixture.Read(kToday), kLedgerHeader));
    }
}

// Today's successes are known after a restart, per operation and serial, and only successes count.
TEST(LedgerFile, FindsDuplicatesAcrossARestart) {
    LedgerFolderFixture fixture;
    LedgerEntry pki = WipeSuccess(L"=S1");
    pki.operation = LedgerOperation::Pki;
    LedgerEntry failed = WipeSuccess(L"S2");
    failed.outcome = LedgerOutcome::Failure;
    LedgerEntry info = WipeSuccess(L"S3");
    info.operation = LedgerOperation::Info;
    LedgerEntry noSerial = WipeSuccess(L"");
    {
        Ledger first = fixture.Open();
        for (const LedgerEntry* entry : {&pki, &failed, &info, &noSerial})
            EXPECT_FALSE(first.Append(*entry).duplicate);
    }
    Ledger second = fixture.Open();
    Ledger other = fixture.Open(); // another program appending to the same file
    EXPECT_TRUE(second.Append(pki).duplicate);
    EXPECT_FALSE(second.Append(WipeSuccess(L"=S1")).duplicate); // same serial, other operation
    EXPECT_FALSE(second.Append(WipeSuccess(L"S2")).duplicate);  // earlier only a failure
    EXPECT_TRUE(other.Append(WipeSuccess(L"S2")).duplicate);    // the other's line is seen
    EXPECT_TRUE(second.Append(WipeSuccess(L"S2")).duplicate);   // its own line is remembered
    EXPECT_FALSE(second.Append(WipeSuccess(L"S3")).duplicate);
    EXPECT_FALSE(second.Append(noSerial).duplicate);
    EXPECT_FALSE(second.Append(failed).duplicate);
    fixture.now.day = 7;
    EXPECT_FALSE(second.Append(pki).duplicate); // a new day starts afresh
}

// Today's successes are found after whatever precedes them in the file: a line cut short by a
// crash and closed by another program, a quoted message with a comma, a quote and a line
// break, and a file replaced by a shorter one.
TEST(LedgerFile, FindsDuplicatesAfterCutQuotedAndReplacedLines) {
    LedgerFolderFixture fixture;
    EXPECT_TRUE(fixture.Open().Append(WipeSuccess(L"S1")).written);
    std::ofstream(fixture.DayFile(kToday), std::ios::binary | std::ios::app)
        << "2026-12-06T14:03:05+08:00,ST-01,op";
    EXPECT_FALSE(fixture.Open().Append(WipeSuccess(L"S5")).duplicate); // closes the cut line first
    LedgerEntry quoted = WipeSuccess(L"S2");
    quoted.message = L"a \"b\", c\r\nd";
    Ledger second = fixture.Open();
    EXPECT_TRUE(second.Append(WipeSuccess(L"S5")).duplicate);
    EXPECT_TRUE(second.Append(WipeSuccess(L"S1")).duplicate);
    EXPECT_FALSE(second.Append(quoted).duplicate);
    EXPECT_FALSE(second.Append(WipeSuccess(L"S3")).duplicate);

    Ledger third = fixture.Open();
    for (const wchar_t* serial : {L"S1", L"S5", L"S2", L"S3"})
        EXPECT_TRUE(third.Append(WipeSuccess(serial)).duplicate) << serial;
    WriteFile(fixture.DayFile(kToday),
              std::string(kUtf8ByteOrderMark) + kLedgerHeader + "\r\n" +
                  LedgerLineText(WipeSuccess(L"S7"), fixture.now, "ST-01", "operator"));
    EXPECT_TRUE(third.Append(WipeSuccess(L"S7")).duplicate);
    EXPECT_FALSE(third.Append(WipeSuccess(L"S1")).duplicate) << "gone with the replaced file";
}

// The folder comes from VANTOR_LEDGER_DIR, else from the user's local application data.
TEST(LedgerFile, ChoosesTheFolderFromTheEnvironment) {
    const SavedEnvironment saved{"VANTOR_LEDGER_DIR", "LOCALAPPDATA", "XDG_DATA_HOME", "HOME"};
    LedgerFolderFixture fixture;
    SetEnvironment("VANTOR_LEDGER_DIR", fixture.folder.string());
    EXPECT_EQ(fixture.folder.native(), DefaultLedgerFolder());
    SetEnvironment("VANTOR_LEDGER_DIR", "");
#ifdef _WIN32
    SetEnvironment("LOCALAPPDATA", fixture.root.string());
    EXPECT_EQ((fixture.root / "Vantor\\ledger").native(), DefaultLedgerFolder());
#else
    SetEnvironment("XDG_DATA_HOME", fixture.root.string());
    EXPECT_EQ((fixture.root / "vantor/ledger").native(), DefaultLedgerFolder());
    SetEnvironment("XDG_DATA_HOME", "");
    SetEnvironment("HOME", fixture.root.string());
    EXPECT_EQ((fixture.root / ".local/share/vantor/ledger").native(), DefaultLedgerFolder());
#endif
}

} // namespace
