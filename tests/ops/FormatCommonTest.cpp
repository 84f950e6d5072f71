// The rows both format operations share: the binding, the token count and the hardware record.
#include "BenchTest.h"
#include "attempt/StockGate.h"
#include "pki/PkiFormat.h"

namespace {

struct Operation {
    const char* name;
    CK_RV (*run)(TokenModule* module, RecordingReporter& reporter, const AttemptSetting& setting);
};

CK_RV RunWipe(TokenModule* module, RecordingReporter& reporter, const AttemptSetting& setting) {
    BlankFormatParams params;
    params.strSoPin = L"tamsel";
    return RunAndRecordAttempt(
               [&](AttemptProgress& progress) { return FormatBlankToken(module, params, progress); }, setting,
               reporter)
        .result.rv;
}

CK_RV RunPkiInit(TokenModule* module, RecordingReporter& reporter, const AttemptSetting& setting) {
    return RunAndRecordAttempt(
               [&](AttemptProgress& progress) { return FormatPkiToken(module, PkiFormatParams{}, progress); },
               setting, reporter)
        .result.rv;
}

class FormatCommon : public BenchTest, public ::testing::WithParamInterface<Operation> {
  protected:
    CK_RV Attempt(const AttemptSetting& setting = {}) {
        return GetParam().run(&bench.Module(), reporter, setting);
    }
};

TEST_P(FormatCommon, ModuleNotBoundCallsNothing) {
    Do("insert 0");
    EXPECT_EQ(CKR_FUNCTION_FAILED, GetParam().run(nullptr, reporter, {}));
    TokenModule unbound(L"no-such-module");
    EXPECT_EQ(CKR_FUNCTION_FAILED, GetParam().run(&unbound, reporter, {}));
    EXPECT_EQ(Reports({Failure(false, msg::kInitModuleFailed), Failure(false, msg::kInitModuleFailed)}),
              reporter.reports);
    EXPECT_EQ(Calls(), bench.Calls());
}

TEST_P(FormatCommon, NoTokenAsksForOne) {
    EXPECT_EQ(CKR_OK, Attempt());
    EXPECT_EQ(Reports({Success(false, msg::kInsertToken)}), reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList"}), bench.Calls());
    JournalCall listing = CallOf("C_GetSlotList");
    EXPECT_EQ("1", listing.args["present"]);
    EXPECT_EQ("10", listing.args["count"]);
}

TEST_P(FormatCommon, TwoTokensReadNoDeviceInfo) {
    Do("insert 0\ninsert 5 type=blank");
    EXPECT_EQ(CKR_OK, Attempt());
    EXPECT_EQ(Reports({Failure(false, msg::kOneTokenOnly)}), reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList"}), bench.Calls());
}

TEST_P(FormatCommon, TenTokensAreTooManyElevenFailTheListing) {
    for (int slot = 0; slot < 10; ++slot)
        Do("insert " + std::to_string(slot));
    EXPECT_EQ(CKR_OK, Attempt());
    Do("insert 10");
    EXPECT_EQ(CKR_BUFFER_TOO_SMALL, Attempt());
    EXPECT_EQ(Reports({Failure(false, msg::kOneTokenOnly), Failure(false, msg::kInitModuleFailed)}),
              reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList", "C_GetSlotList"}), bench.Calls());
}

TEST_P(FormatCommon, ListingFailureIsNotCounted) {
    Do("insert 0\nfail C_GetSlotList 0x30 once");
    EXPECT_EQ(CK_RV{0x30}, Attempt());
    EXPECT_EQ(Reports({Failure(false, msg::kInitModuleFailed)}), reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList"}), bench.Calls());
}

TEST_P(FormatCommon, UnreadableDeviceInfoCountsAsFailure) {
    Do("insert 0\nfail E_GetDeviceInfo 0x30");
    EXPECT_EQ(CK_RV{0x30}, Attempt());
    EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, msg::kNoDeviceInfo)}),
              reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
}

TEST_P(FormatCommon, EncryptionLockIsRefusedUntouched) {
    Do("insert 0 type=lock");
    EXPECT_EQ(CKR_OK, Attempt());
    EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, msg::kEncryptionLock)}),
              reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
}

TEST_P(FormatCommon, UnrecognisedTypesAreRefusedUntouched) {
    for (int code : {0, 3, 5, 255}) {
        SCOPED_TRACE("type code " + std::to_string(code));
        reporter.reports.clear();
        Do("reset\ninsert 0 type=" + std::to_string(code));
        EXPECT_EQ(CKR_OK, Attempt());
        EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, msg::kUnknownType)}),
                  reporter.reports);
        EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
    }
}

// While a stock list is in force, a token off it is refused once its record is read: nothing
// is written to it, nor is its SO PIN tried. One on the list goes on and counts as done.
TEST_P(FormatCommon, StockListRefusesStrangersBeforeAnyWrite) {
    StockGate gate;
    gate.Put(ParseStockList("serial\n00000000000000a1\n00000000000000A2\n"), {});
    AttemptSetting setting;
    setting.stock = &gate;
    Do("insert 0 type=pki so=tamsel serial=00000000000000B1");
    EXPECT_EQ(CKR_CANCEL, Attempt(setting));
    EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, msg::kNotInStock)}),
              reporter.reports);
    EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
    EXPECT_EQ(gate.Count().done, 0u);

    Do("remove 0\ninsert 0 type=pki so=tamsel serial=00000000000000A1");
    EXPECT_EQ(CKR_OK, Attempt(setting));
    EXPECT_TRUE(reporter.reports.back().bSuccess && reporter.reports.back().bCount);
    EXPECT_EQ(gate.Count().expected, 2u);
    EXPECT_EQ(gate.Count().done, 1u);
}

INSTANTIATE_TEST_SUITE_P(BothOperations, FormatCommon,
                         ::testing::Values(Operation{"Wipe", RunWipe}, Operation{"PkiInit", RunPkiInit}),
                         [](const ::testing::TestParamInfo<Operation>& info) { return info.param.name; });

} // namespace
