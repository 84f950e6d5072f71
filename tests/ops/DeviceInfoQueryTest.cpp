// The information page's query: its message for an unreadable record, and a crafted token.
#include "BenchTest.h"
#include "info/DeviceInfoQuery.h"

namespace {

using DeviceInfoQuery = BenchTest;

// The binding, the listing and the token count are the initialisation attempts' own start,
// tested with them (TokenTargetTest); the query differs only in what it shows, and an
// unreadable record leaves every text empty.
TEST_F(DeviceInfoQuery, ACraftedTokenReadsAsItWasMadeAnUnreadableOneNot) {
    Do("insert 4 type=pki serial=01A2000000003C4D atr=3B9F958131FE9F0066465305010011AB cos=1.5 "
       "made=12-12-24-09-30-00 total=65536");
    DeviceInfoResult result = QueryDeviceInfo(&bench.Module());
    EXPECT_EQ(0u, std::get<EndMessage>(result.attempt.end).messageId);
    EXPECT_EQ(L"01A2000000003C4D", result.texts.strSerialNumber);
    EXPECT_EQ(L"1.05", result.texts.strCosVersion);
    EXPECT_EQ(L"2012-12-24 09:30:00", result.texts.strProductionTime);
    EXPECT_EQ(L"64K", result.texts.strTotalSpace);
    EXPECT_EQ(L"3B9F958131FE9F0066465305010011AB", result.texts.strAtr);
    EXPECT_EQ(L"PKI类型", result.texts.strDeviceType);
    EXPECT_EQ("4", CallOf("E_GetDeviceInfo").args["slot"]);

    Do("fail E_GetDeviceInfo 0x30");
    result = QueryDeviceInfo(&bench.Module());
    EXPECT_EQ(112u, std::get<EndMessage>(result.attempt.end).messageId);
    EXPECT_EQ(DeviceInfoTexts{}, result.texts);
}

} // namespace
