// The wipe: which tokens reach E_InitBlankToken, how its answers read, and the batch buttons.
#include "BenchTest.h"

namespace {

class WipeOperation : public BenchTest {
  protected:
    CK_RV Wipe(const wchar_t* soPin = L"tamsel", bool bBatch = false) {
        WipeParams params;
        params.strSoPin = soPin;
        params.bBatch = bBatch;
        return RunRecorded(
            [&](AttemptProgress& progress) { return WipeToken(&bench.Module(), params, progress); },
            reporter);
    }
};

TEST_F(WipeOperation, PkiTokenIsWipedWithItsSoPin) {
    Do("insert 3 type=pki so=tamsel");
    EXPECT_EQ(CKR_OK, Wipe(L"tamsel"));
    EXPECT_EQ(Reports({Success(false, msg::kInitialising), Success(true, msg::kBlankDone)}),
              reporter.reports);
    EXPECT_EQ(
        Calls({"C_GetSlotList", "E_GetDeviceInfo", "C_GetTokenInfo", "E_InitBlankToken", "E_GetDeviceInfo"}),
        bench.Calls());
    JournalCall wipe = CallOf("E_InitBlankToken");
    EXPECT_EQ("3", wipe.args["slot"]);
    EXPECT_EQ("6", wipe.args["pinlen"]); // no terminating zero
    EXPECT_EQ("4", bench.Query("token 3")["type"]);
}

TEST_F(WipeOperation, BlankTokenCountsAsSuccessWithoutWipe) {
    Do("insert 0 type=blank");
    EXPECT_EQ(CKR_OK, Wipe(L"anything"));
    EXPECT_EQ(Reports({Success(false, msg::kInitialising), Success(true, msg::kAlreadyBlank)}),
              reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
}

TEST_F(WipeOperation, EmptyPinIsSentAsZeroBytes) {
    Do("insert 0\nfail E_InitBlankToken 0xA0 once");
    EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(L""));
    EXPECT_EQ("0", CallOf("E_InitBlankToken").args["pinlen"]);
}

TEST_F(WipeOperation, ModuleAnswersMapToTheirTexts) {
    const struct {
        const char* code;
        CK_RV rv;
        std::wstring text;
    } rows[] = {
        {"0xE2", CKR_TOKEN_WRITE_PROTECTED, msg::kEncryptionLock},
        {"0xA0", CKR_PIN_INCORRECT, msg::kSoPinWrong},
        {"0x07", CKR_ARGUMENTS_BAD, msg::kSoPinWrong},
        {"0xA2", CKR_PIN_LEN_RANGE, msg::kPinLength},
        {"0x30", 0x30, L"未知错误,code =0x00000030"},
        {"0xE1", CKR_TOKEN_NOT_RECOGNIZED, L"未知错误,code =0x000000E1"}, // listed for the PKI init only
        {"0x80000001", 0x80000001, L"未知错误,code =0x80000001"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        reporter.reports.clear();
        Do(std::string("reset\ninsert 0\nfail E_InitBlankToken ") + row.code + " once");
        EXPECT_EQ(row.rv, Wipe());
        EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, row.text)}), reporter.reports);
        EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo", "C_GetTokenInfo", "E_InitBlankToken"}),
                  bench.Calls());
        EXPECT_EQ("1", bench.Query("token 0")["type"]); // still a PKI token
    }
}

TEST_F(WipeOperation, ButtonsStayWhenNotBatchOrNotListed) {
    Do("insert 0");
    EXPECT_EQ(CKR_OK, Wipe(L"tamsel", false));
    Do("fail C_GetSlotList 0x30 once");
    EXPECT_EQ(CK_RV{0x30}, Wipe(L"tamsel", true));
    WipeParams params;
    params.bBatch = true;
    EXPECT_EQ(CKR_FUNCTION_FAILED,
              RunRecorded([&](AttemptProgress& progress) { return WipeToken(nullptr, params, progress); },
                          reporter));
    EXPECT_EQ(0, reporter.runningCalls);
}

} // namespace
