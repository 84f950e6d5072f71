// A module answering CKR_OK is no proof: each initialisation reads the token back, and a wipe
// never spends a locked or final SO PIN try unasked. Rows of tokens that lie, calls that fail
// and PIN counters, with the calls as the module's journal saw them.
#include "BenchTest.h"
#include "pki/PkiInit.h"

#include <algorithm>

namespace {

const std::wstring kPkiVerifyFailed = L"初始化后校验失败：";
const std::wstring kNotVerified = L"（未能校验，code =0x"; // then eight digits and "）"

enum class Op { kPki, kWipe, kWipeBatch };

struct Row {
    const char* bench; // lines run before the attempt, after "reset"
    Op op;
    CK_RV rv;
    Report last;
    Calls calls; // after C_GetSlotList and E_GetDeviceInfo
};

const Calls kLogins = {"C_GetTokenInfo", "C_OpenSession", "C_Login",       "C_Logout",
                       "C_Login",        "C_Logout",      "C_CloseSession"};

const Calls kUserLogin = {"C_GetTokenInfo", "C_OpenSession", "C_Login", "C_CloseSession"};
const Report kUserRefused = Failure(true, kPkiVerifyFailed + L"用户PIN无法登录");

Calls Init(Calls readBack) {
    readBack.insert(readBack.begin(), "E_InitPkiToken");
    return readBack;
}

const Row kRows[] = {
    // Item 1: what the token shows after E_InitPkiToken answered CKR_OK (a token that reads
    // back right: PkiInitTest).
    {"insert 0 type=pki misbehave=label", Op::kPki, CKR_GENERAL_ERROR,
     Failure(true, kPkiVerifyFailed + L"名称不符"), Init({"C_GetTokenInfo"})},
    {"insert 0 type=blank misbehave=init-flag", Op::kPki, CKR_GENERAL_ERROR,
     Failure(true, kPkiVerifyFailed + L"令牌未初始化"), Init({"C_GetTokenInfo"})},
    {"insert 0 type=pki misbehave=user-pin", Op::kPki, CKR_GENERAL_ERROR,
     Failure(true, kPkiVerifyFailed + L"用户PIN未设置"), Init({"C_GetTokenInfo"})},
    {"insert 0 type=blank misbehave=user-pin-short", Op::kPki, CKR_GENERAL_ERROR, kUserRefused,
     Init(kUserLogin)},
    {"insert 0 type=blank misbehave=so-pin-short", Op::kPki, CKR_GENERAL_ERROR,
     Failure(true, kPkiVerifyFailed + L"管理员PIN无法登录"),
     Init({"C_GetTokenInfo", "C_OpenSession", "C_Login", "C_Logout", "C_Login", "C_CloseSession"})},
    // Every answer refusing the PIN: locked, invalid, out of range, not initialised; a failing
    // close leaves the mismatch standing.
    {"insert 0\nfail C_Login 0xA4", Op::kPki, CKR_GENERAL_ERROR, kUserRefused, Init(kUserLogin)},
    {"insert 0\nfail C_Login 0xA1", Op::kPki, CKR_GENERAL_ERROR, kUserRefused, Init(kUserLogin)},
    {"insert 0\nfail C_Login 0xA2", Op::kPki, CKR_GENERAL_ERROR, kUserRefused, Init(kUserLogin)},
    {"insert 0\nfail C_Login 0x102", Op::kPki, CKR_GENERAL_ERROR, kUserRefused, Init(kUserLogin)},
    {"insert 0 misbehave=user-pin-short\nfail C_CloseSession 0xB3", Op::kPki, CKR_GENERAL_ERROR, kUserRefused,
     Init(kUserLogin)},
    // A read-back the module cannot answer leaves the success standing, with the code.
    {"insert 0\nfail C_GetTokenInfo 0x30", Op::kPki, CKR_OK,
     Success(true, msg::kPkiDone + kNotVerified + L"00000030）"), Init({"C_GetTokenInfo"})},
    {"insert 0\nfail C_OpenSession 0x54", Op::kPki, CKR_OK,
     Success(true, msg::kPkiDone + kNotVerified + L"00000054）"), Init({"C_GetTokenInfo", "C_OpenSession"})},
    {"insert 0\nfail C_Login 0x100 skip=1", Op::kPki, CKR_OK,
     Success(true, msg::kPkiDone + kNotVerified + L"00000100）"),
     Init({"C_GetTokenInfo", "C_OpenSession", "C_Login", "C_Logout", "C_Login", "C_CloseSession"})},
    {"insert 0\nfail C_Logout 0x30", Op::kPki, CKR_OK,
     Success(true, msg::kPkiDone + kNotVerified + L"00000030）"),
     Init({"C_GetTokenInfo", "C_OpenSession", "C_Login", "C_Logout", "C_CloseSession"})},
    {"insert 0\nfail C_CloseSession 0xB3", Op::kPki, CKR_OK,
     Success(true, msg::kPkiDone + kNotVerified + L"000000B3）"), Init(kLogins)},

    // Item 2: the hardware record read again after a wipe answered CKR_OK (one that reads back
    // right: WipeTokenTest).
    {"insert 0 misbehave=wipe",
     Op::kWipe,
     CKR_GENERAL_ERROR,
     Failure(true, L"清空后校验失败"),
     {"C_GetTokenInfo", "E_InitBlankToken", "E_GetDeviceInfo"}},
    {"insert 0\nfail E_GetDeviceInfo 0x30 skip=1",
     Op::kWipe,
     CKR_OK,
     Success(true, msg::kBlankDone + kNotVerified + L"00000030）"),
     {"C_GetTokenInfo", "E_InitBlankToken", "E_GetDeviceInfo"}},

    // Item 3: the SO PIN's retry state before the wipe; a single run's question is answered No.
    {"insert 0 so-left=0",
     Op::kWipe,
     CKR_PIN_LOCKED,
     Failure(true, L"管理员PIN已锁定，无法清空"),
     {"C_GetTokenInfo"}},
    {"insert 0 so-left=1",
     Op::kWipeBatch,
     CKR_FUNCTION_CANCELED,
     Failure(true, msg::kFinalTryBatch),
     {"C_GetTokenInfo"}},
    {"insert 0 so-left=1",
     Op::kWipe,
     CKR_FUNCTION_CANCELED,
     Failure(false, msg::kCancelled),
     {"C_GetTokenInfo"}},
    {"insert 0 so-left=2",
     Op::kWipeBatch,
     CKR_OK,
     Success(true, msg::kBlankDone),
     {"C_GetTokenInfo", "E_InitBlankToken", "E_GetDeviceInfo"}},
    {"insert 0 so-left=0\nfail C_GetTokenInfo 0x30",
     Op::kWipe,
     CKR_PIN_LOCKED,
     Failure(true, L"未知错误,code =0x000000A4"),
     {"C_GetTokenInfo", "E_InitBlankToken"}},
};

class ReadBack : public BenchTest {
  protected:
    CK_RV Run(Op op) {
        if (op == Op::kPki) {
            PkiInitParams params;
            params.strLabel = L"Bench 7";
            params.strSoPin = L"new-so-pin";
            params.strUserPin = L"24680";
            return RunRecorded(
                [&](AttemptProgress& progress) {
                    return InitialisePkiToken(&bench.Module(), params, progress);
                },
                reporter);
        }
        WipeParams params;
        params.strSoPin = L"tamsel";
        params.bBatch = op == Op::kWipeBatch;
        return RunRecorded(
            [&](AttemptProgress& progress) { return WipeToken(&bench.Module(), params, progress); },
            reporter);
    }
};

TEST_F(ReadBack, EachRowEndsAsTheTokenAndModuleDecide) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.bench);
        reporter = RecordingReporter();
        Do(std::string("reset\n") + row.bench);
        EXPECT_EQ(row.rv, Run(row.op));
        ASSERT_FALSE(reporter.reports.empty());
        EXPECT_EQ(row.last, reporter.reports.back());
        Calls expected = {"C_GetSlotList", "E_GetDeviceInfo"};
        expected.insert(expected.end(), row.calls.begin(), row.calls.end());
        EXPECT_EQ(expected, bench.Calls());
        // A session the read-back opened is closed on every path; a batch run never asks.
        int opened = 0, closed = 0;
        for (const JournalCall& call : bench.Journal()) {
            opened += call.name == "C_OpenSession" && call.args.at("rv") == "0x00000000";
            closed += call.name == "C_CloseSession";
        }
        EXPECT_EQ(opened, closed);
        if (row.op == Op::kWipeBatch) {
            EXPECT_EQ(0, reporter.questions);
        }
    }
}

// The read-back proves the PINs with the very bytes sent, in one read/write session, and a
// right PIN costs no try.
TEST_F(ReadBack, LoginsUseTheSentPinsInOneSession) {
    Do("insert 0 type=pki so-max=6 so-left=4");
    ASSERT_EQ(CKR_OK, Run(Op::kPki));
    const JournalCall open = CallOf("C_OpenSession");
    EXPECT_EQ(std::to_string(CKF_SERIAL_SESSION | CKF_RW_SESSION), open.args.at("flags"));
    std::vector<std::string> logins;
    for (const JournalCall& call : bench.Journal()) {
        if (call.name == "C_Login" || call.name == "C_Logout" || call.name == "C_CloseSession") {
            EXPECT_EQ(open.args.at("session"), call.args.at("session")) << call.name;
        }
        if (call.name == "C_Login")
            logins.push_back(call.args.at("user") + "/" + call.args.at("pinlen") + "/" + call.args.at("rv"));
    }
    EXPECT_EQ(std::vector<std::string>({"1/5/0x00000000", "0/10/0x00000000"}), logins);
    auto token = bench.Query("token 0");
    EXPECT_EQ(token["so-max"], token["so-left"]);
    EXPECT_EQ(token["user-max"], token["user-left"]);
}

// In a single run the operator may risk the final try: one question, then the wipe.
TEST_F(ReadBack, FinalTryIsTriedAfterYes) {
    Do("insert 0 so-left=1");
    reporter.bYes = true;
    EXPECT_EQ(CKR_OK, Run(Op::kWipe));
    EXPECT_EQ(1, reporter.questions);
    EXPECT_EQ(Success(true, msg::kBlankDone), reporter.reports.back());
    EXPECT_EQ("4", bench.Query("token 0")["type"]);
}

} // namespace
