// One token's life on the bench, as an operator would take it through the three pages.
#include "BenchTest.h"
#include "info/DeviceInfoQuery.h"
#include "pki/PkiFormat.h"

namespace {

class BenchScenario : public BenchTest {
  protected:
    CK_RV Wipe(const wchar_t* soPin) {
        BlankFormatParams params;
        params.strSoPin = soPin;
        return RunRecorded(
            [&](AttemptProgress& progress) { return FormatBlankToken(&bench.Module(), params, progress); },
            reporter);
    }
    CK_RV InitPki(const wchar_t* soPin, const wchar_t* userPin) {
        PkiFormatParams params;
        params.strSoPin = soPin;
        params.strUserPin = userPin;
        params.bySoPinMaxRetry = 3;
        params.byUserPinMaxRetry = 5;
        params.strLabel = L"Bench";
        return RunRecorded(
            [&](AttemptProgress& progress) { return FormatPkiToken(&bench.Module(), params, progress); },
            reporter);
    }
    const Report& Last() const { return reporter.reports.back(); }
    int Counted() const {
        int n = 0;
        for (const Report& report : reporter.reports)
            n += report.bCount ? 1 : 0;
        return n;
    }
};

TEST_F(BenchScenario, WipeLockOutReinitialiseWipeAgain) {
    Do("insert 0 type=pki so=tamsel so-max=3 so-left=3");
    reporter.bYes = true; // the operator risks the final try

    // Wiped with its SO PIN, then prepared as a PKI token again with new PINs.
    ASSERT_EQ(CKR_OK, Wipe(L"tamsel"));
    EXPECT_EQ(Success(true, msg::kBlankDone), Last());
    EXPECT_EQ(L"空锁", QueryDeviceInfo(&bench.Module()).texts.strDeviceType);
    ASSERT_EQ(CKR_OK, InitPki(L"first-so", L"1111"));
    EXPECT_EQ(Success(true, msg::kPkiDone), Last());
    auto token = bench.Query("token 0");
    EXPECT_EQ("1", token["type"]);
    EXPECT_EQ("3", token["so-max"]);
    EXPECT_EQ("3", token["so-left"]);
    EXPECT_EQ("5", token["user-max"]);
    EXPECT_EQ("Bench", token["label"]);

    // A wrong SO PIN is refused, and each refusal costs one retry until none is left.
    for (int left = 2; left >= 0; --left) {
        EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(L"tamsel"));
        EXPECT_EQ(Failure(true, msg::kSoPinWrong), Last());
        EXPECT_EQ(std::to_string(left), bench.Query("token 0")["so-left"]);
    }
    // Locked: even the right SO PIN no longer wipes it.
    EXPECT_NE(CKR_OK, Wipe(L"first-so"));
    EXPECT_FALSE(Last().bSuccess);
    EXPECT_EQ("1", bench.Query("token 0")["type"]);

    // A new PKI initialisation gives fresh PINs and counters; the new SO PIN wipes it.
    ASSERT_EQ(CKR_OK, InitPki(L"second-so", L"2222"));
    EXPECT_EQ("3", bench.Query("token 0")["so-left"]);
    EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(L"first-so"));
    ASSERT_EQ(CKR_OK, Wipe(L"second-so"));
    EXPECT_EQ(Success(true, msg::kBlankDone), Last());

    DeviceInfoResult info = QueryDeviceInfo(&bench.Module());
    EXPECT_EQ(0u, info.attempt.messageId);
    EXPECT_EQ(L"空锁", info.texts.strDeviceType);
    EXPECT_EQ("4", bench.Query("token 0")["type"]);
    EXPECT_EQ(9, Counted()); // every attempt on the one token counted once
}

TEST_F(BenchScenario, PullingAndPluggingBetweenAttempts) {
    Do("insert 0 type=blank");
    ASSERT_EQ(CKR_OK, InitPki(L"tamsel", L"5820"));
    Do("remove 0");
    EXPECT_EQ(CKR_OK, Wipe(L"tamsel"));
    EXPECT_EQ(Success(false, msg::kInsertToken), Last());
    EXPECT_EQ(113u, QueryDeviceInfo(&bench.Module()).attempt.messageId);
    Do("insert 1 type=pki");
    ASSERT_EQ(CKR_OK, Wipe(L"tamsel"));
    EXPECT_EQ("4", bench.Query("token 1")["type"]);
    EXPECT_EQ(2, Counted());
}

} // namespace
