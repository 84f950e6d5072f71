// The information page's query: each failure's message, the calls made, and a crafted token.
#include "BenchTest.h"
#include "info/DeviceInfoQuery.h"

namespace {

class DeviceInfoQuery : public BenchTest {
  protected:
    // Every failure leaves all six texts empty.
    void ExpectFailure(unsigned messageId, TokenModule* module) {
        DeviceInfoResult result = QueryDeviceInfo(module);
        EXPECT_EQ(messageId, result.attempt.messageId);
        EXPECT_EQ(DeviceInfoTexts{}, result.texts);
    }
};

TEST_F(DeviceInfoQuery, NotBoundCallsNothing) {
    Do("insert 0");
    ExpectFailure(106, nullptr);
    TokenModule unbound(L"no-such-module");
    ExpectFailure(106, &unbound);
    EXPECT_EQ(Calls(), bench.Calls());
}

TEST_F(DeviceInfoQuery, ListingFailures) {
    Do("insert 0\nfail C_GetSlotList 0x30 once");
    ExpectFailure(106, &bench.Module());
    for (int slot = 1; slot <= 10; ++slot) // eleven tokens: CKR_BUFFER_TOO_SMALL
        Do("insert " + std::to_string(slot));
    ExpectFailure(106, &bench.Module());
    EXPECT_EQ(Calls({"C_GetSlotList", "C_GetSlotList"}), bench.Calls());
}

TEST_F(DeviceInfoQuery, TokenCountOtherThanOne) {
    ExpectFailure(113, &bench.Module());
    Do("insert 0\ninsert 1");
    ExpectFailure(108, &bench.Module());
    EXPECT_EQ(Calls({"C_GetSlotList", "C_GetSlotList"}), bench.Calls());
    EXPECT_EQ("10", CallOf("C_GetSlotList").args["count"]);
}

TEST_F(DeviceInfoQuery, UnreadableRecordShowsUnknownError) {
    Do("insert 0\nfail E_GetDeviceInfo 0x30");
    ExpectFailure(112, &bench.Module());
    EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
}

TEST_F(DeviceInfoQuery, CraftedTokenReadsAsItWasMade) {
    Do("insert 4 type=pki serial=01A2000000003C4D atr=3B9F958131FE9F0066465305010011AB cos=1.5 "
       "made=12-12-24-09-30-00 total=65536");
    DeviceInfoResult result = QueryDeviceInfo(&bench.Module());
    EXPECT_EQ(0u, result.attempt.messageId);
    EXPECT_EQ(L"01A2000000003C4D", result.texts.strSerialNumber);
    EXPECT_EQ(L"1.05", result.texts.strCosVersion);
    EXPECT_EQ(L"2012-12-24 09:30:00", result.texts.strProductionTime);
    EXPECT_EQ(L"64K", result.texts.strTotalSpace);
    EXPECT_EQ(L"3B9F958131FE9F0066465305010011AB", result.texts.strAtr);
    EXPECT_EQ(L"PKI类型", result.texts.strDeviceType);
    EXPECT_EQ("4", CallOf("E_GetDeviceInfo").args["slot"]);
}

TEST_F(DeviceInfoQuery, TypeNames) {
    const struct {
        const char* type;
        const wchar_t* name;
    } rows[] = {{"0", L"空锁"}, {"1", L"PKI类型"}, {"2", L"加密锁类型"},    {"3", L"空锁"},
                {"4", L"空锁"}, {"5", L"空锁"},    {"lock", L"加密锁类型"}, {"blank", L"空锁"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        Do(std::string("reset\ninsert 0 type=") + row.type + " total=1023");
        DeviceInfoResult result = QueryDeviceInfo(&bench.Module());
        EXPECT_EQ(0u, result.attempt.messageId);
        EXPECT_EQ(row.name, result.texts.strDeviceType);
        EXPECT_EQ(L"0K", result.texts.strTotalSpace);
    }
}

} // namespace
