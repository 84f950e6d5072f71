// The one policy every front end applies, tested once here: for each kind of result in a
// single run, a batch run of the window program, a batch run of the console and a station, the
// text shown and its colour, whether it counts, the ledger line, the note, the batch stop, the
// run's tally and the console's exit code.
#include "attempt/AttemptRunner.h"
#include "ops/RecordingReporter.h"
#include "ledger/LedgerTestSupport.h"
#include "StatusTexts.h"
#include "res/StringIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

// A result on one token (slot 0, serial ending in `serial`, a PKI token before).
AttemptResult OnToken(AttemptKind kind, unsigned messageId, CK_RV rv, std::uint8_t serial) {
    AttemptResult result = EndedWith(kind, messageId, rv);
    VendorRecord record;
    record.info.byDeviceType = DEVICE_TYPE_PKI;
    record.info.abySerialNumber[7] = serial;
    result.token = record;
    return result;
}

// The module refused the SO PIN the attempt tried.
AttemptResult SoPinRefused(AttemptResult result) {
    result.stop = AttemptStop::SoPinRefused;
    return result;
}

AttemptResult WithCode(AttemptResult result) {
    result.end = UnknownAnswer{};
    return result;
}

enum RunKind { kSingle, kPageBatch, kConsoleBatch, kStation };

const std::string kPrefix = "2026-12-06T14:03:05+08:00,ST-01,operator,wipe,";

TEST(AttemptRunner, OnePolicyForEveryFrontEnd) {
    LedgerFolderFixture folder;
    Ledger ledger = folder.Open();
    const struct {
        const char* name;
        AttemptResult result;
        RunKind run;
        std::wstring shown; // status text, notes included
        bool black;
        std::string line; // the ledger line after time, station, user and operation; empty: none
        bool stop;
        int exitCode;
    } rows[] = {
        {"wiped", OnToken(AttemptKind::Success, IDS_WIPE_DONE, CKR_OK, 1), kSingle,
         L"初始化为空锁成功，请更换USBKey", true,
         "single,0,0000000000000001,0.00,pki,,success,0x00000000,初始化为空锁成功，请更换USBKey", false, 0},
        {"wiped again today", OnToken(AttemptKind::Success, IDS_WIPE_DONE, CKR_OK, 1), kSingle,
         L"初始化为空锁成功，请更换USBKey（重复：该锁今天已处理过）", true,
         "single,0,0000000000000001,0.00,pki,,success,0x00000000,初始化为空锁成功，请更换USBKey", false, 0},
        {"unknown answer", WithCode(OnToken(AttemptKind::Failure, IDS_UNKNOWN_ERROR, 0x30, 4)), kConsoleBatch,
         L"未知错误,code =0x00000030", false,
         "batch,0,0000000000000004,0.00,pki,,failure,0x00000030,\"未知错误,code =0x00000030\"", false, 1},
        {"wrong PIN, single", OnToken(AttemptKind::Failure, IDS_SO_PIN_WRONG, CKR_PIN_INCORRECT, 5), kSingle,
         L"管理员PIN错误", false, "single,0,0000000000000005,0.00,pki,,failure,0x000000A0,管理员PIN错误",
         false, 1},
        {"wrong PIN, page batch",
         SoPinRefused(OnToken(AttemptKind::Failure, IDS_SO_PIN_WRONG, CKR_PIN_INCORRECT, 6)), kPageBatch,
         L"管理员PIN错误" + msg::kBatchStopped, false,
         "batch,0,0000000000000006,0.00,pki,,failure,0x000000A0,管理员PIN错误，批量已停止，请核对管理员PIN",
         true, 1},
        {"wrong PIN as 0x07, console batch",
         SoPinRefused(OnToken(AttemptKind::Failure, IDS_SO_PIN_WRONG, CKR_ARGUMENTS_BAD, 7)), kConsoleBatch,
         L"管理员PIN错误" + msg::kBatchStopped, false,
         "batch,0,0000000000000007,0.00,pki,,failure,0x00000007,管理员PIN错误", true, 1},
        {"wrong PIN, station",
         SoPinRefused(OnToken(AttemptKind::Failure, IDS_SO_PIN_WRONG, CKR_PIN_INCORRECT, 12)), kStation,
         L"管理员PIN错误，已停止接收新的锁，请核对管理员PIN", false,
         "station,0,000000000000000C,0.00,pki,,failure,0x000000A0,"
         "管理员PIN错误，已停止接收新的锁，请核对管理员PIN",
         true, 1},
        // The stop follows the result's reason, not the module's code: the same answer to an
        // attempt that tried no SO PIN given for the run goes on.
        {"refusal without an SO PIN tried, page batch",
         OnToken(AttemptKind::Failure, IDS_SO_PIN_WRONG, CKR_PIN_INCORRECT, 13), kPageBatch, L"管理员PIN错误",
         false, "batch,0,000000000000000D,0.00,pki,,failure,0x000000A0,管理员PIN错误", false, 1},
        {"cancelled", OnToken(AttemptKind::Cancelled, IDS_CANCELLED, CKR_FUNCTION_CANCELED, 8), kSingle,
         msg::kCancelled, false, "", false, 1},
        {"no module", EndedWith(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, 0x30), kPageBatch,
         L"初始化运行时库失败，清检查运行时环境是否安装正确！", false, "", false, 4},
        {"no token", EndedWith(AttemptKind::NoToken, IDS_INSERT_TOKEN), kConsoleBatch, L"请插入USBKey", true,
         "", false, 3},
        {"two tokens", EndedWith(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY), kSingle,
         L"一次只能对一支USBKey进行操作，请移除多余的USBKey", false, "", false, 3},
    };
    std::size_t lines = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AttemptSetting setting;
        setting.mode = row.run == kSingle    ? LedgerMode::Single
                       : row.run == kStation ? LedgerMode::Station
                                             : LedgerMode::Batch;
        setting.stopNote = row.run == kConsoleBatch ? StopNote::AfterNotes : StopNote::InMessage;
        setting.ledger = &ledger;
        RecordingReporter page;
        const AttemptOutcome outcome =
            RunAndRecordAttempt([&](AttemptProgress&) { return row.result; }, setting, page);
        ASSERT_EQ(page.reports.size(), 1u);
        EXPECT_EQ(page.reports[0].text, row.shown);
        EXPECT_EQ(outcome.entry.message + outcome.note, row.shown) << "the console's line";
        EXPECT_EQ(page.reports[0].bSuccess, row.black);
        EXPECT_EQ(page.reports[0].bCount, !row.line.empty());
        EXPECT_EQ(outcome.bStopBatch, row.stop);
        EXPECT_EQ(ExitCodeOf(outcome), row.exitCode);
        // The run's tally: counted where a ledger line is written, ended where the batch
        // stops; the run ends 1 after a counted failure (shown in red), 5 after a lost line.
        RunTally tally(2);
        EXPECT_EQ(tally.Add(outcome), row.stop);
        const bool bCounted = !row.line.empty();
        EXPECT_EQ(tally.Counts().total, bCounted ? 1u : 0u);
        EXPECT_EQ(RunExitCode(tally.Counts(), false), bCounted && !row.black ? 1 : 0);
        EXPECT_EQ(RunExitCode(tally.Counts(), true), 5);
        EXPECT_EQ(tally.Add(outcome), bCounted) << "a second counted outcome reaches the count of two";
        const std::string file = folder.Read("2026-12-06.csv");
        lines += !row.line.empty();
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(lines + 1))
            << "header and lines";
        if (!row.line.empty()) {
            const std::string tail = file.substr(file.rfind(kPrefix) + kPrefix.size());
            EXPECT_EQ(tail.substr(0, tail.rfind(',')), row.line) << "the line, then its chain value";
        }
    }
}

// A line that cannot be written is told after the outcome and ends the console with 5; the
// information query records its success with an empty message and shows nothing.
TEST(AttemptRunner, LostLinesAndTheInformationQuery) {
    LedgerFolderFixture folder;
    Ledger ledger = folder.Open();
    AttemptOutcome info = RecordInfoQuery(OnToken(AttemptKind::Success, 0, CKR_OK, 9), &ledger);
    EXPECT_EQ(ExitCodeOf(info), 0);
    EXPECT_NE(folder.Read("2026-12-06.csv")
                  .find("operator,info,single,0,0000000000000009,0.00,pki,,success,0x00000000,,"),
              std::string::npos);
    info = RecordInfoQuery(OnToken(AttemptKind::Failure, IDS_UNKNOWN_ERROR, 0x30, 10), &ledger);
    EXPECT_EQ(info.entry.message, msg::kUnknownError);
    EXPECT_EQ(ExitCodeOf(info), 1);

    std::filesystem::remove_all(folder.folder);
    std::filesystem::create_directories(folder.folder.parent_path());
    std::ofstream(folder.folder) << "a file where the folder should be";
    AttemptSetting setting;
    setting.ledger = &ledger;
    RecordingReporter page;
    const AttemptOutcome lost = RunAndRecordAttempt(
        [](AttemptProgress&) { return OnToken(AttemptKind::Success, IDS_ALREADY_BLANK, CKR_OK, 11); },
        setting, page);
    EXPECT_EQ(page.reports.back().text, L"已经是空锁类型了（记录未能写入）");
    EXPECT_EQ(ExitCodeOf(lost), 5);
}

} // namespace
