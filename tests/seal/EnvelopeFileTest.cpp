// An envelope's file: its name from the day, the serial and the time, never over another
// file, the serial unable to leave its folder, a folder named in Chinese.
#include "seal/EnvelopeFile.h"

#include "base/RegularFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::vector<unsigned char> kDer = {0x30, 0x03, 0x02, 0x01, 0x07};

fs::path FreshFolder(const char* name) {
    const fs::path folder = fs::current_path() / fs::u8path(name);
    fs::remove_all(folder);
    return folder;
}

TEST(EnvelopeFile, NamesAreNeverReusedAndHoldTheEnvelope) {
    const fs::path ledger = FreshFolder(u8"台账 文件夹");
    const EnvelopeFileWritten first = WriteEnvelopeFile(ledger, "2026-12-07", "ABC", "235959", kDer);
    ASSERT_TRUE(first.written);
    EXPECT_EQ("pins/2026-12-07/ABC-235959.der", first.relativeName);
    EXPECT_EQ(ledger / "pins" / "2026-12-07" / "ABC-235959.der", first.path);
    std::string bytes;
    ASSERT_EQ(FileRead::kRead, ReadRegularFile(first.path, 1024, bytes));
    EXPECT_EQ(std::string(kDer.begin(), kDer.end()), bytes);

    EXPECT_EQ("pins/2026-12-07/ABC-235959-2.der",
              WriteEnvelopeFile(ledger, "2026-12-07", "ABC", "235959", kDer).relativeName);
    EXPECT_EQ("pins/2026-12-07/ABC-235959-3.der",
              WriteEnvelopeFile(ledger, "2026-12-07", "ABC", "235959", kDer).relativeName);
    ASSERT_EQ(FileRead::kRead, ReadRegularFile(first.path, 1024, bytes));
    EXPECT_EQ(kDer.size(), bytes.size());

    EXPECT_TRUE(RemoveEnvelopeFile(first.path));
    EXPECT_FALSE(fs::exists(first.path));
    EXPECT_FALSE(RemoveEnvelopeFile(first.path));
}

TEST(EnvelopeFile, TheSerialBecomesASafeNameAndTheDayAndTimeMustBeDigits) {
    EXPECT_EQ("A____b_c-d_e", EnvelopeFileSerial("A/../b c-d_e"));
    EXPECT_EQ(std::string(7, '_'), EnvelopeFileSerial("令牌\n"));
    EXPECT_EQ("unread", EnvelopeFileSerial(""));
    EXPECT_EQ(std::string(64, 'x'), EnvelopeFileSerial(std::string(100, 'x')));

    const fs::path ledger = FreshFolder("names");
    EXPECT_EQ("pins/2026-12-07/__x-010203.der",
              WriteEnvelopeFile(ledger, "2026-12-07", "..x", "010203", kDer).relativeName);
    EXPECT_FALSE(WriteEnvelopeFile(ledger, "../2026", "A", "010203", kDer).written);
    EXPECT_FALSE(WriteEnvelopeFile(ledger, "2026-12-07", "A", "01/02", kDer).written);
    EXPECT_FALSE(WriteEnvelopeFile(ledger, "2026-12-07", "A", "010203", {}).written);
    // A file where the day's folder should be: nothing written, nothing thrown.
    const fs::path blocked = FreshFolder("blocked");
    fs::create_directories(blocked / "pins");
    { std::ofstream(blocked / "pins" / "2026-12-07") << "x"; }
    EXPECT_FALSE(WriteEnvelopeFile(blocked, "2026-12-07", "A", "010203", kDer).written);
}

} // namespace
