// What a supervisor may point the commands at: files of another program, damaged and cut
// lines, an empty folder, edited day files. Each gives a clear answer, never a crash.
#include "ReportTestSupport.h"

#include "ledger/LedgerLine.h"
#include "report/LedgerReport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Op = LedgerOperation;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A day file with a foreign line and a cut last line is counted without them, they are named
// by line, and the file is shown broken; a file of another program in the span refuses the
// report, naming it.
TEST(ReportInput, CountsWhatIsLedgerAndNamesTheRest) {
    ReportFolder folder;
    EXPECT_NE("", ReadLedgerReport({folder.ledger.string(), "2026-12-06", "2026-12-06", nullptr}).error);
    fs::create_directories(folder.ledger);
    EXPECT_NE("", ReadLedgerReport({folder.ledger.string(), "2026-12-06", "2026-12-06", nullptr}).error);

    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"), 9);
    folder.Write(Entry(Op::Pki, LedgerOutcome::Failure, L"S2"), 23);
    folder.File("ledger/2026-12-06.csv", Read(folder.Day()) + "a,b,c\r\n" + "2026-12-06T10:00:00+08:00,ST");
    folder.File("ledger/2026-12-04.csv", "outside the span");
    const ReportRead read = ReadLedgerReport({folder.ledger.string(), "2026-12-05", "2026-12-06", nullptr});
    ASSERT_EQ("", read.error);
    const LedgerReport& report = read.report;
    EXPECT_EQ(1u, report.total.success);
    EXPECT_EQ(1u, report.total.failure);
    EXPECT_EQ(1u, report.hours[23].failure);
    ASSERT_EQ(1u, report.files.size());
    EXPECT_EQ(LedgerSeal::kBroken, report.files[0].verdict.seal); // the foreign line carries no value
    EXPECT_EQ(1u, DamagedFileCount(report));
    EXPECT_EQ((std::vector<std::uint64_t>{4, 5}), report.files[0].damagedLines);

    folder.File("ledger/2026-12-05.csv", "Name,Amount\r\nrent,12\r\n");
    const ReportRead foreign =
        ReadLedgerReport({folder.ledger.string(), "2026-12-05", "2026-12-06", nullptr});
    EXPECT_NE(std::string::npos, foreign.error.find("2026-12-05.csv 不是记录文件")) << foreign.error;
}

// ledger verify: 0 intact or older, 1 when a file is broken (with its line), 2 when one cannot
// be read or is not a ledger file (each kind named); the day's file by default.
TEST(ReportInput, LedgerVerifyTellsByExitCode) {
    ReportFolder folder;
    std::string output;
    EXPECT_EQ(2, folder.Cli("ledger verify", output)) << output; // no file today yet
    EXPECT_NE(std::string::npos, output.find("文件不存在")) << output;
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"), 9);
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S2"), 9);
    const std::string today = folder.Day().string();
    EXPECT_EQ(0, folder.Cli("ledger verify " + today, output)) << output;
    EXPECT_NE(std::string::npos, output.find("完好，2 行")) << output;

    const std::string sealed = Read(today);
    std::string edited = sealed;
    edited.replace(edited.find(",S1,"), 4, ",S7,");
    const std::string broken = folder.File("broken.csv", edited);
    const std::string older = folder.File("older.csv", std::string(kLedgerHeader) + "\r\n");
    const std::string foreign = folder.File("foreign.csv", "Name,Amount\r\n");
    const struct {
        std::string files;
        int code;
        const char* shown;
    } cases[] = {
        {today + " " + older, 0, "未封存"},
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

    // What is no ledger at all never verifies as one, and a pipe is never waited on.
    fs::create_directories(folder.root / "folder.csv");
    ASSERT_EQ(0, mkfifo((folder.root / "pipe.csv").c_str(), 0600));
    std::string noLineEnds = sealed;
    for (std::size_t at; (at = noLineEnds.find("\r\n")) != std::string::npos;)
        noLineEnds.replace(at, 2, "  ");
    const std::string kinds[] = {
        (folder.root / "folder.csv").string(),
        (folder.root / "pipe.csv").string(),
        "/dev/null",
        folder.File("empty.csv", ""),
        folder.File("text.csv", "time,station,user,operation"),
        folder.File("random.csv", std::string("\x8F\x00\xFF\x1B[2J\xC3", 8)),
        folder.File("zeros.csv", std::string(5000, '\0')),
        folder.File("joined.csv", noLineEnds),
    };
    for (const std::string& kind : kinds) {
        EXPECT_EQ(2, folder.Cli("ledger verify " + kind, output)) << kind << ": " << output;
        EXPECT_NE(std::string::npos, output.find(kind + "：")) << output;
    }
}

// --anchor: the file passes through a kept value (0, with its line), or no longer does because
// it was cut, sealed again or changed before it (1); a value of another form is refused (2).
TEST(ReportInput, LedgerVerifyChecksAnAnchor) {
    ReportFolder folder;
    for (const wchar_t* serial : {L"S1", L"S2", L"S3"})
        folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, serial), 9);
    const std::string sealed = Read(folder.Day());
    const std::string anchor = sealed.substr(sealed.size() - 66, 64); // line 4's
    std::string upper = anchor;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t lastLine = sealed.rfind("\n", sealed.size() - 2) + 1;
    std::string changed = sealed;
    changed.replace(changed.find(",S1,"), 4, ",S7,");
    const struct {
        std::string args;
        int code;
        const char* shown;
    } cases[] = {
        {anchor + " " + folder.Day().string(), 0, "在第 4 行，此行及之前各行完好"},
        {upper + " " + folder.Day().string(), 0, "在第 4 行"},
        {anchor + " " + folder.File("cut.csv", sealed.substr(0, lastLine)), 1, "没有一行带有"},
        {anchor + " " + folder.File("changed.csv", changed), 1, "第 2 行起已不成立"},
        {"0123 " + folder.Day().string(), 2, "64 位十六进制"},
        {anchor + "\x1B " + folder.Day().string(), 2, "64 位十六进制"},
        {anchor + " " + folder.Day().string() + " " + folder.Day().string(), 2, "只核对一个"},
    };
    std::string output;
    for (const auto& c : cases) {
        EXPECT_EQ(c.code, folder.Cli("ledger verify --anchor " + c.args, output)) << c.args;
        EXPECT_NE(std::string::npos, output.find(c.shown)) << c.args << ": " << output;
        EXPECT_EQ(std::string::npos, output.find('\x1B')) << "never echoed";
    }
}

// A day file that no longer holds is counted, and named as damaged above the numbers and in
// the summary, never shown as clean.
TEST(ReportInput, ReportShowsADamagedFileAsDamaged) {
    ReportFolder folder;
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"), 9);
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S2"), 9);
    std::string edited = Read(folder.Day());
    edited.replace(edited.find(",S1,"), 4, ",S7,");
    folder.File("ledger/2026-12-06.csv", edited);
    std::string output;
    ASSERT_EQ(0, folder.Cli("report --from 2026-12-06 --to 2026-12-06 --out page.html", output)) << output;
    EXPECT_NE(std::string::npos, output.find("其中 1 个已损坏")) << output;
    EXPECT_NE(std::string::npos, output.find("2026-12-06.csv 未通过核对：已损坏，第 2 行起")) << output;
    const std::string page = Read(folder.root / "page.html");
    EXPECT_NE(std::string::npos,
              page.find("id=\"damaged\">注意：1 个记录文件已损坏：2026-12-06.csv（第 2 行起）"));
    EXPECT_NE(std::string::npos, page.find("已损坏：第 2 行起链值不符"));
}

// report refuses what it cannot use, with the reason, and writes nothing.
TEST(ReportInput, ReportRefusesBadInputWithAReason) {
    ReportFolder folder;
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Success, L"S1"), 9);
    const std::string list = folder.File("list.txt", "S1\nS 2\n");
    ASSERT_EQ(0, mkfifo((folder.ledger / "2026-12-05.csv").c_str(), 0600)); // never waited on
    folder.File("ledger/2026-12-04.csv", "");
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
        {"--from 2026-12-04 --to 2026-12-06", "2026-12-05.csv 无法读取：不是普通文件"},
        {"--from 2026-12-03 --to 2026-12-04", "2026-12-04.csv 不是记录文件（空文件）"},
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
