// The PKI initialisation: which tokens are initialised, how the module's answers read, and
// the record's bytes as the module received them.
#include "BenchTest.h"
#include "pki/PkiInit.h"

#include <cstddef>
#include <cstring>

namespace {

class PkiInit : public BenchTest {
  protected:
    CK_RV Init(const PkiInitParams& params = PkiInitParams{}) {
        return RunRecorded(
            [&](AttemptProgress& progress) { return InitialisePkiToken(&bench.Module(), params, progress); },
            reporter);
    }
};

const Reports kInitialised = {Success(false, msg::kInitialising), Success(true, msg::kPkiDone)};
const Calls kAllCalls = {"C_GetSlotList", "E_GetDeviceInfo", "E_InitPkiToken"};
const Calls kVerifiedCalls = {"C_GetSlotList", "E_GetDeviceInfo", "E_InitPkiToken", "C_GetTokenInfo",
                              "C_OpenSession", "C_Login",         "C_Logout",       "C_Login",
                              "C_Logout",      "C_CloseSession"};

TEST_F(PkiInit, BlankAndPkiTokensAreInitialised) {
    for (const char* type : {"blank", "pki"}) {
        SCOPED_TRACE(type);
        reporter.reports.clear();
        Do(std::string("reset\ninsert 2 type=") + type);
        EXPECT_EQ(CKR_OK, Init());
        EXPECT_EQ(kInitialised, reporter.reports);
        EXPECT_EQ(kVerifiedCalls, bench.Calls());
        EXPECT_EQ("2", CallOf("E_InitPkiToken").args["slot"]);
        EXPECT_EQ("1", bench.Query("token 2")["type"]);
    }
}

TEST_F(PkiInit, ModuleAnswersMapToTheirTexts) {
    const struct {
        const char* code;
        CK_RV rv;
        std::wstring text;
    } rows[] = {
        {"0xE1", CKR_TOKEN_NOT_RECOGNIZED, msg::kAlreadyBlank},
        {"0xE2", CKR_TOKEN_WRITE_PROTECTED, msg::kAlreadyBlank},
        {"0xA0", CKR_PIN_INCORRECT, msg::kSoPinWrong},
        {"0x07", CKR_ARGUMENTS_BAD, msg::kSoPinWrong},
        {"0xA2", CKR_PIN_LEN_RANGE, msg::kPinLength},
        {"0x30", 0x30, L"未知错误,code =0x00000030"},
        {"0x80000001", 0x80000001, L"未知错误,code =0x80000001"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        reporter.reports.clear();
        Do(std::string("reset\ninsert 0 type=blank\nfail E_InitPkiToken ") + row.code + " once");
        EXPECT_EQ(row.rv, Init());
        EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, row.text)}), reporter.reports);
        EXPECT_EQ(kAllCalls, bench.Calls());
    }
}

TEST_F(PkiInit, LabelOutOfRangeIsCountedAndNeverSent) {
    // Empty; 32 bytes; 33 bytes of eleven Chinese characters; 29 + 3 = 32 bytes.
    for (const std::wstring& label : {std::wstring(), std::wstring(32, L'A'), std::wstring(11, L'\x4E2D'),
                                      std::wstring(29, L'a') + L'\x4E2D'}) {
        SCOPED_TRACE(label.size());
        reporter.reports.clear();
        Do("reset\ninsert 0 type=blank");
        PkiInitParams params;
        params.strLabel = label;
        EXPECT_EQ(CK_RV{1}, Init(params));
        EXPECT_EQ(Reports({Success(false, msg::kInitialising), Failure(true, msg::kLabelLength)}),
                  reporter.reports);
        EXPECT_EQ(Calls({"C_GetSlotList", "E_GetDeviceInfo"}), bench.Calls());
        EXPECT_EQ("4", bench.Query("token 0")["type"]);
    }
}

// The record as this build hands it over: 52 bytes in the 32-bit module interface, with
// 8-byte pointers in a native 64-bit build. Pointer fields are left out of the comparison.
std::vector<unsigned char> ExpectedRecord(std::uint8_t soRetry, std::uint8_t userRetry,
                                          std::uint32_t publicSize, std::uint32_t privateSize) {
    std::vector<unsigned char> bytes(sizeof(PKI_INIT_PARAM), 0);
    auto put32 = [&](std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bytes[0] = 1;
    bytes[1] = 1;
    bytes[offsetof(PKI_INIT_PARAM, bySoPinMaxRetry)] = soRetry;
    bytes[offsetof(PKI_INIT_PARAM, byUserPinMaxRetry)] = userRetry;
    put32(offsetof(PKI_INIT_PARAM, ulPublicSize), publicSize);
    put32(offsetof(PKI_INIT_PARAM, ulPrivateSize), privateSize);
    put32(offsetof(PKI_INIT_PARAM, ulFixedVersion), 0x00020001);
    return bytes;
}

void ExpectRecord(const std::vector<unsigned char>& expected, std::vector<unsigned char> received) {
    ASSERT_EQ(sizeof(PKI_INIT_PARAM), received.size());
    for (std::size_t offset : {offsetof(PKI_INIT_PARAM, pLabel), offsetof(PKI_INIT_PARAM, pSoPin),
                               offsetof(PKI_INIT_PARAM, pUserPin)}) {
        std::vector<unsigned char> pointer(received.begin() + offset,
                                           received.begin() + offset + sizeof(void*));
        EXPECT_NE(std::vector<unsigned char>(sizeof(void*), 0), pointer) << "null pointer at " << offset;
        std::memset(received.data() + offset, 0, sizeof(void*));
    }
    EXPECT_EQ(expected, received);
}

std::vector<unsigned char> LabelField(const std::string& utf8) {
    std::string field = utf8 + std::string(32 - utf8.size(), ' ');
    std::vector<unsigned char> bytes(field.begin(), field.end());
    bytes.push_back(0);
    return bytes;
}

TEST_F(PkiInit, DefaultRecordAsReceived) {
    Do("insert 0 type=blank");
    ASSERT_EQ(CKR_OK, Init());
    auto received = bench.Query("last-pki-record");
    ExpectRecord(ExpectedRecord(6, 6, 30000, 15000), ParseHex(received["record"]));
    EXPECT_EQ(LabelField("Orbel"), ParseHex(received["label"]));
    EXPECT_EQ("6", received["so-len"]);
    EXPECT_EQ("4", received["user-len"]);
    if (sizeof(void*) == 4) { // the exact bytes of the 32-bit interface, sizes 0x7530 and 0x3A98
        const std::vector<unsigned char> tail = {6, 6, 0, 0, 0x30, 0x75, 0, 0, 0x98, 0x3A, 0, 0,
                                                 0, 0, 0, 0, 0,    0,    0, 0, 0,    1,    0, 2,
                                                 0, 0, 0, 0, 0,    0,    0, 0, 0,    0};
        std::vector<unsigned char> record = ParseHex(received["record"]);
        ASSERT_EQ(52u, record.size());
        EXPECT_EQ(tail, std::vector<unsigned char>(record.begin() + 18, record.end()));
    }
}

TEST_F(PkiInit, EveryParameterLandsInItsField) {
    Do("insert 0 type=pki");
    PkiInitParams params;
    params.strSoPin = L"12345678901234567890123456789012";
    params.strUserPin = L"abcd";
    params.bySoPinMaxRetry = 255;
    params.byUserPinMaxRetry = 1;
    params.ulPublicSize = 65535;
    params.ulPrivateSize = 0;
    ASSERT_EQ(CKR_OK, Init(params));
    auto received = bench.Query("last-pki-record");
    ExpectRecord(ExpectedRecord(255, 1, 65535, 0), ParseHex(received["record"]));
    EXPECT_EQ("32", received["so-len"]);
    EXPECT_EQ("4", received["user-len"]);
}

TEST_F(PkiInit, LabelFieldAsReceived) {
    std::string tenChinese;
    for (int i = 0; i < 10; ++i)
        tenChinese += "\xE4\xB8\xAD";
    const struct {
        std::wstring label;
        std::string utf8;
    } rows[] = {
        {L"Orbel", "Orbel"},
        {std::wstring(31, L'Z'), std::string(31, 'Z')},
        {std::wstring(10, L'\x4E2D'), tenChinese},
        {L"a b", "a b"},
        {std::wstring(L"ab\0cd", 5), "ab"}, // text ends at its first zero character
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.utf8);
        Do("reset\ninsert 0 type=blank");
        PkiInitParams params;
        params.strLabel = row.label;
        ASSERT_EQ(CKR_OK, Init(params));
        EXPECT_EQ(LabelField(row.utf8), ParseHex(bench.Query("last-pki-record")["label"]));
    }
}

} // namespace
