// The day file on Windows: shared with a spreadsheet that watches it, refused politely when
// another program locks it, and reached through wide (Chinese) folder names.
#include "LedgerTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace {

constexpr const char* kToday = "2026-12-06.csv";

using FileHandle = std::unique_ptr<void, decltype(&CloseHandle)>;

FileHandle OpenForReading(const std::filesystem::path& path, DWORD share) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle, CloseHandle);
}

// A spreadsheet watching today's file must not stop the next line from being written.
TEST(LedgerWin32, AppendsWhileAReaderWatches) {
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    ASSERT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
    const FileHandle watcher = OpenForReading(fixture.DayFile(kToday), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(watcher);
    EXPECT_TRUE(ledger.Append(WipeSuccess(L"B")).written);
    EXPECT_NE(std::string::npos, fixture.Read(kToday).find(",B,"));
}

// A program holding the file without sharing writes makes the line fail, not hang; the next one lands.
TEST(LedgerWin32, ReportsALockedFileAndRecovers) {
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    ASSERT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
    FileHandle locker = OpenForReading(fixture.DayFile(kToday), FILE_SHARE_READ);
    ASSERT_TRUE(locker);
    const LedgerAppendResult locked = ledger.Append(WipeSuccess(L"A"));
    EXPECT_FALSE(locked.written);
    EXPECT_TRUE(locked.duplicate); // still readable
    locker.reset();
    const LedgerAppendResult after = ledger.Append(WipeSuccess(L"A"));
    EXPECT_TRUE(after.written);
    EXPECT_TRUE(after.duplicate);
}

// Folder names outside the ANSI code page must reach the file system unchanged.
TEST(LedgerWin32, WritesUnderAChineseFolderName) {
    LedgerFolderFixture fixture;
    const std::filesystem::path folder = fixture.root / L"\x8BB0\x5F55" / L"\x5DE5\x4F4D";
    EXPECT_TRUE(fixture.Open(folder).Append(WipeSuccess(L"A")).written);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / kToday));
}

} // namespace
