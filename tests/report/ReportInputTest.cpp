// What a supervisor may point the commands at: files of another program, damaged and cut
// lines, an empty folder, edited day files. Each gives a clear answer, never a crash.
#include "ReportTestSupport.h"

#include "ledger/LedgerLine.h"
#include "report/LedgerReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using Op = LedgerOperation;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A day file with a foreign line and a cut last line is counted without them, and they are
// named by line; a file of another program in the folder is named and not counted.
TEST(ReportInput, CountsWhatIsLedgerAndNamesTheRest) {
    ReportFolder folder;
    EXPECT_NE("", ReadLedgerReport({folder.ledger.string(), "2026-12-06", "2026-12-06", nullptr}).error);
    fs::create_directories(folder.ledger);
    EXPECT_NE("", ReadLedgerReport({folder.ledger.string(), "2026-12-06", "2026-12-06", nullptr}).error);

    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"), 9);
    folder.Write(Entry(Op::Pki, LedgerOutcome::Failure, L"S2"), 23);
    folder.File("ledger/2026-12-06.csv", Read(folder.Day()) + "a,b,c\r\n" + "2026-12-06T10:00:00+08:00,ST");
    folder.File("ledger/2026-12-05.csv", "Name,Amount\r\nrent,12\r\n");
    folder.File("ledger/2026-12-04.csv", "outside the span");
    const ReportRead read = ReadLedgerReport({folder.ledger.string(), "2026-12-05", "2026-12-06", nullptr});
    ASSERT_EQ("", read.error);
    const LedgerReport& report = read.report;
    EXPECT_EQ(1u, report.total.success);
    EXPECT_EQ(1u, report.total.failure);
    EXPECT_EQ(1u, report.hours[23].failure);
    ASSERT_EQ(2u, report.files.size());
    EXPECT_EQ(LedgerSeal::kMalformed, report.files[0].verdict.seal);
    EXPECT_EQ(std::vector<std::uint64_t>{}, report.files[0].damagedLines);
    EXPECT_EQ(LedgerSeal::kBroken, report.files[1].verdict.seal); // the foreign line carries no value
    EXPECT_EQ((std::vector<std::uint64_t>{4, 5}), report.files[1].damagedLines);
}

// ledger verify: 0 intact or older, 1 when a file is broken (with its line), 2 when one cannot
// be read or is not a ledger file; the day's file by default.
TEST(ReportInput, LedgerVerifyTellsByExitCode) {
    ReportFolder folder;
    std::string output;
    EXPECT_EQ(2, folder.Cli("ledger verify", output)) << output; // no file today yet
    Ledger(folder.ledger.string()).Append(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"));
    Ledger(folder.ledger.string()).Append(Entry(Op::Wipe, LedgerOutcome::Success, L"S2"));
    EXPECT_EQ(0, folder.Cli("ledger verify", output)) << output;
    EXPECT_NE(std::string::npos, output.find("完好，2 行")) << output;

    const fs::path today = *fs::directory_iterator(folder.ledger);
    std::string edited = Read(today);
    edited.replace(edited.find(",S1,"), 4, ",S7,");
    const std::string broken = folder.File("broken.csv", edited);
    const std::string older = folder.File("older.csv", std::string(kLedgerHeader) + "\r\n");
    const std::string foreign = folder.File("foreign.csv", "Name,Amount\r\n");
    const struct {
        std::string files;
        int code;
        const char* shown;
    } cases[] = {
        {today.string() + " " + older, 0, "未封存"},
        {broken, 1, "第 2 行起"},
        {foreign + " " + broken, 1, "不是记录文件"},
        {"missing.csv " + older, 2, "无法读取"},
        {"--all", 2, "不带选项"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.code, folder.Cli("ledger verify " + c.files, output)) << c.files;
        EXPECT_NE(std::string::npos, output.find(c.shown)) << output;
    }
    EXPECT_EQ(2, folder.Cli("ledger check", output));
}

// report refuses what it cannot use, with the reason, and writes nothing.
TEST(ReportInput, ReportRefusesBadInputWithAReason) {
    ReportFolder folder;
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"), 9);
    const std::string list = folder.File("list.txt", "S1\nS 2\n");
    const struct {
        std::string args;
        const char* shown;
    } cases[] = {
        {"--from 2026-12-07 --to 2026-12-07", "没有 2026-12-07 的记录文件"},
        {"--from 2026-02-30", "需要日期"},
        {"--from 2026-12-07 --to 2026-12-06", "晚于"},
        {"--from 2026-12-06 --stock " + list, "第 2 行"},
        {"--from 2026-12-06 --out", "缺少参数"},
        {"--from 2026-12-06 --out " + (folder.root / "no" / "such" / "r.html").string(), "无法写入"},
        {"--json", "不认识"},
    };
    std::string output;
    for (const auto& c : cases) {
        EXPECT_EQ(2, folder.Cli("report " + c.args, output)) << c.args;
        EXPECT_NE(std::string::npos, output.find(c.shown)) << c.args << ": " << output;
    }
    EXPECT_EQ(0, folder.Cli("report --from 2026-12-06 --to 2026-12-06", output)) << output;
    EXPECT_TRUE(fs::is_regular_file(folder.root / "vantor-report-2026-12-06.html"));
}

} // namespace
