// The rows both format operations share: the binding, the token count and the hardware record.
#include "BenchTest.h"
#include "attempt/StockGate.h"
#include "pki/PkiInit.h"

namespace {

struct Operation {
    const char* name;
    CK_RV (*run)(TokenModule* module, RecordingReporter& reporter, const AttemptSetting& setting);
};

CK_RV RunWipe(TokenModule* module, RecordingReporter& reporter, const AttemptSetting& setting) {
    WipeParams params;
    params.strSoPin = L"tamsel";
    return RunAndRecordAttempt([&](AttemptProgress& progress) { return WipeToken(module, params, progress); },
                               setting, reporter)
        .result.rv;
}

CK_RV RunPkiInit(TokenModule* module, RecordingReporter& reporter, const AttemptSetting& setting) {
    return RunAndRecordAttempt(
               [&](AttemptProgress& progress) {
                   return InitialisePkiToken(module, PkiInitParams{}, progress);
               },
               setting, reporter)
        .result.rv;
}

class TokenTarget : public BenchTest, public ::testing::WithParamInterface<Operation> {
  protected:
    CK_RV Attempt(const AttemptSetting& setting = {}) {
        return GetParam().run(&bench.Module(), reporter, setting);
    }
};

TEST_P(TokenTarget, ModuleNotBoundCallsNothing) {
    Do("insert 0");
    EXPECT_EQ(CKR_FUNCTION_FAILED, GetParam().run(nullptr, reporter, {}));
    TokenModule unbound(L"no-such-module");
    EXPECT_EQ(CKR_FUNCTION_FAILED, GetParam().run(&unbound, reporter, {}));
    EXPECT_EQ(Reports({Failure(false, msg::kInitModuleFailed), Failure(false, msg::kInitModuleFailed)}),
              reporter.reports);
    EXPECT_EQ(Calls(), bench.Calls());
}

// Guards against a token touched that should not be, a refusal counted wrongly or told with
// the wrong text, and a listing that asks for other slots than those with a token.
TEST_P(TokenTarget, RefusalsBeforeAnyChangeToTheToken) {
    const Calls listed = {"C_GetSlotList"}, read = {"C_GetSlotList", "E_GetDeviceInfo"};
    std::string ten = "insert 0";
    for (int slot = 1; slot < 10; ++slot)
        ten += "\ninsert " + std::to_string(slot);
    auto readAndRefused = [](const std::wstring& text) {
        return Reports{Success(false, msg::kInitialising), Failure(true, text)};
    };
    const struct {
        std::string bench;
        CK_RV rv;
        Reports reports;
        Calls calls;
    } rows[] = {
        {"", CKR_OK, {Success(false, msg::kInsertToken)}, listed},
        {"insert 0\ninsert 5 type=blank", CKR_OK, {Failure(false, msg::kOneTokenOnly)}, listed},
        {ten, CKR_OK, {Failure(false, msg::kOneTokenOnly)}, listed},
        {ten + "\ninsert 10", CKR_BUFFER_TOO_SMALL, {Failure(false, msg::kInitModuleFailed)}, listed},
        {"insert 0\nfail C_GetSlotList 0x30 once", 0x30, {Failure(false, msg::kInitModuleFailed)}, listed},
        {"insert 0\nfail E_GetDeviceInfo 0x30", 0x30, readAndRefused(msg::kNoDeviceInfo), read},
        {"insert 0 type=lock", CKR_OK, readAndRefused(msg::kEncryptionLock), read},
        {"insert 0 type=0", CKR_OK, readAndRefused(msg::kUnknownType), read},
        {"insert 0 type=3", CKR_OK, readAndRefused(msg::kUnknownType), read},
        {"insert 0 type=5", CKR_OK, readAndRefused(msg::kUnknownType), read},
        {"insert 0 type=255", CKR_OK, readAndRefused(msg::kUnknownType), read},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bench);
        reporter.reports.clear();
        Do("reset\nclear-journal\n" + row.bench);
        EXPECT_EQ(row.rv, Attempt());
        EXPECT_EQ(row.reports, reporter.reports);
        EXPECT_EQ(row.calls, bench.Calls());
    }
    Do("reset\nclear-journal");
    Attempt();
    JournalCall listing = CallOf("C_GetSlotList");
    EXPECT_EQ("1", listing.args["present"]);
    EXPECT_EQ("10", listing.args["count"]);
}

// While a stock list is in force, a token off it is refused once its record is read: nothing
// is written to it, nor is its SO PIN tried. One on the list goes on and counts as done.
TEST_P(TokenTarget, StockListRefusesStrangersBeforeAnyWrite) {
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

INSTANTIATE_TEST_SUITE_P(BothOperations, TokenTarget,
                         ::testing::Values(Operation{"Wipe", RunWipe}, Operation{"PkiInit", RunPkiInit}),
                         [](const ::testing::TestParamInfo<Operation>& info) { return info.param.name; });

} // namespace
