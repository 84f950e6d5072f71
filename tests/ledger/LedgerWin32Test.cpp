// The day file on Windows: shared with a spreadsheet that watches it, refused politely when
// another program locks it, and reached through wide (Chinese) folder names.
#include "LedgerReader.h"
#include "LedgerTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace {

constexpr const char* kToday = "2026-12-06.csv";

using FileHandle = std::unique_ptr<void, decltype(&CloseHandle)>;

FileHandle Hold(const std::filesystem::path& path, DWORD access, DWORD share) {
    HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle, CloseHandle);
}

// A spreadsheet watching today's file must not stop the next line from being written.
TEST(LedgerWin32, AppendsWhileAReaderWatches) {
    LedgerFolderFixture fixture;
    Ledger ledger = fixture.Open();
    ASSERT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
    const FileHandle watcher =
        Hold(fixture.DayFile(kToday), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(watcher);
    EXPECT_TRUE(ledger.Append(WipeSuccess(L"B")).written);
    EXPECT_NE(std::string::npos, fixture.Read(kToday).find(",B,"));
}

// A program holding the file without sharing writes makes the line fail; without sharing reads
// the line fails too (a sealed line needs the one before it) and the duplicate is unknown.
// Neither hangs, and once it lets go the next line lands, its duplicate told.
TEST(LedgerWin32, ReportsALockedFileAndRecovers) {
    const struct {
        DWORD access, share;
        bool written, duplicate;
    } lockers[] = {{GENERIC_READ, FILE_SHARE_READ, false, true},
                   {GENERIC_WRITE, FILE_SHARE_WRITE, false, false}};
    for (const auto& l : lockers) {
        SCOPED_TRACE(l.duplicate ? "readable, not writable" : "writable, not readable");
        LedgerFolderFixture fixture;
        Ledger ledger = fixture.Open();
        ASSERT_TRUE(ledger.Append(WipeSuccess(L"A")).written);
        FileHandle locker = Hold(fixture.DayFile(kToday), l.access, l.share);
        ASSERT_TRUE(locker);
        const LedgerAppendResult locked = ledger.Append(WipeSuccess(L"A"));
        EXPECT_EQ(locked.written, l.written);
        EXPECT_EQ(locked.duplicate, l.duplicate);
        locker.reset();
        const LedgerAppendResult after = ledger.Append(WipeSuccess(L"A"));
        EXPECT_TRUE(after.written);
        EXPECT_TRUE(after.duplicate);
        EXPECT_EQ(ReadLedgerRows(fixture.folder).size(), 2u) << "no line glued to another";
    }
}

// Folder names outside the ANSI code page must reach the file system unchanged.
TEST(LedgerWin32, WritesUnderAChineseFolderName) {
    LedgerFolderFixture fixture;
    const std::filesystem::path folder = fixture.root / L"\x8BB0\x5F55" / L"\x5DE5\x4F4D";
    EXPECT_TRUE(fixture.Open(folder).Append(WipeSuccess(L"A")).written);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / kToday));
}

} // namespace
