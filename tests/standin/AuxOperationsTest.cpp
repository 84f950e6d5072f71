// The vendor extension as a real token answers it: wipe, PKI initialisation, hardware record.
#include "StandinTest.h"

#include <cstring>
#include <memory>

namespace {

class Aux : public StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        Init();
    }
    CK_RV Wipe(CK_SLOT_ID slot, std::string pin) {
        return aux->E_InitBlankToken(slot, reinterpret_cast<CK_BYTE*>(&pin[0]), pin.size());
    }
    std::map<std::string, std::string> Token(int slot) {
        return standin.Fields("token " + std::to_string(slot));
    }
};

TEST_F(Aux, UnusedEntriesAreNotSupported) {
    E_AuxUnused_t entries[] = {aux->E_AuxEntry1, aux->E_AuxEntry2, aux->E_AuxEntry3, aux->E_AuxEntry4,
                               aux->E_AuxEntry5, aux->E_AuxEntry6, aux->E_AuxEntry7};
    for (E_AuxUnused_t entry : entries) {
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(CKR_FUNCTION_NOT_SUPPORTED, entry());
    }
    EXPECT_EQ("E_AuxEntry7 rv=0x00000054", standin.Journal().back());
}

TEST_F(Aux, DeviceInfoCarriesEveryField) {
    Do("insert 6 type=lock serial=01A2000000003C4D atr=3B0102030405060708090A0B0C0D0E0F cos=1.5 "
       "made=12-12-24-9-30-0 total=65536");
    DEVICE_INFO info;
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(CKR_OK, aux->E_GetDeviceInfo(6, &info));
    EXPECT_EQ(DEVICE_TYPE_ENCRYPTION_LOCK, info.byDeviceType);
    EXPECT_EQ(1, info.byCosVersionMajor);
    EXPECT_EQ(5, info.byCosVersionMinor);
    EXPECT_EQ(
        0, std::memcmp("\x3B\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F", info.abyAtr, 16));
    EXPECT_EQ(0, std::memcmp("\x0C\x0C\x18\x09\x1E\x00", info.abyProductionTime, 6));
    EXPECT_EQ(0, std::memcmp("\x01\xA2\x00\x00\x00\x00\x3C\x4D", info.abySerialNumber, 8));
    const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
    EXPECT_EQ(0, std::memcmp("\x00\x00\x01\x00", bytes + 68, 4)); // 65536, little-endian
    // The module's own bytes are not zero: callers must not rely on them.
    EXPECT_NE(0, bytes[0] | bytes[1] | bytes[3] | bytes[22] | bytes[56] | bytes[72]);
    EXPECT_EQ("E_GetDeviceInfo slot=6 rv=0x00000000 type=2", standin.Journal().back());

    Do("insert 7 type=3");
    ASSERT_EQ(CKR_OK, aux->E_GetDeviceInfo(7, &info));
    EXPECT_EQ(3, info.byDeviceType);
    EXPECT_EQ(CKR_TOKEN_NOT_PRESENT, aux->E_GetDeviceInfo(5, &info));
    EXPECT_EQ(CKR_SLOT_ID_INVALID, aux->E_GetDeviceInfo(16, &info));
    EXPECT_EQ(CKR_ARGUMENTS_BAD, aux->E_GetDeviceInfo(6, nullptr));
}

TEST_F(Aux, WipeChecksTheSoPinAndCountsFailures) {
    Do("insert 0 so=tamsel so-max=3");
    EXPECT_EQ(CKR_PIN_LEN_RANGE, Wipe(0, "abc"));
    EXPECT_EQ(CKR_PIN_LEN_RANGE, Wipe(0, std::string(33, 'a')));
    EXPECT_EQ("3", Token(0)["so-left"]); // a length refused before any comparison costs nothing
    EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(0, "tamsel2"));
    EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(0, "tamse"));
    EXPECT_EQ("1", Token(0)["so-left"]);
    EXPECT_EQ(CKR_OK, Wipe(0, "tamsel"));
    auto token = Token(0);
    EXPECT_EQ("4", token["type"]);
    EXPECT_EQ("", token["label"]);
    EXPECT_EQ("0", token["so-max"]);
    EXPECT_EQ("0", token["public"]);
    EXPECT_EQ(CKR_OK, Wipe(0, "x")); // blank now: nothing to check
    EXPECT_EQ(CKR_OK, aux->E_InitBlankToken(0, nullptr, 0));
}

TEST_F(Aux, WipeOfALockedOrOddToken) {
    Do("insert 0 so-left=0\ninsert 1 type=lock\ninsert 2 type=3");
    EXPECT_EQ(CKR_PIN_LOCKED, Wipe(0, "tamsel"));
    EXPECT_EQ("1", Token(0)["type"]);
    EXPECT_EQ(CKR_TOKEN_WRITE_PROTECTED, Wipe(1, "tamsel"));
    EXPECT_EQ(CKR_TOKEN_NOT_RECOGNIZED, Wipe(2, "tamsel"));
    EXPECT_EQ(CKR_TOKEN_NOT_PRESENT, Wipe(3, "tamsel"));
    EXPECT_EQ(CKR_SLOT_ID_INVALID, Wipe(99, "tamsel"));
}

TEST_F(Aux, JournalNeverCarriesPinValues) {
    Do("insert 0 so=Sekr1t-So");
    EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(0, "Wr0ng-Pin"));
    PkiRequest request;
    request.soPin = "Fresh-So-Pin";
    request.userPin = "Fresh-User";
    EXPECT_EQ(CKR_OK, aux->E_InitPkiToken(0, request.Record()));
    const std::string journal = standin.JournalText();
    for (const char* secret : {"Sekr1t", "Wr0ng", "Fresh"})
        EXPECT_EQ(std::string::npos, journal.find(secret)) << secret;
    EXPECT_NE(std::string::npos, journal.find("E_InitBlankToken slot=0 pinlen=9 rv=0x000000A0\n"));
    EXPECT_NE(std::string::npos, journal.find("E_InitPkiToken slot=0 so-len=12 user-len=10 rv=0x00000000\n"));
    EXPECT_EQ(std::string::npos, standin.Query("last-pki-record").find("Fresh"));
}

TEST_F(Aux, PkiInitialisationSetsEverything) {
    Do("insert 0 type=blank");
    PkiRequest request("My Token");
    ASSERT_EQ(CKR_OK, aux->E_InitPkiToken(0, request.Record()));
    auto token = Token(0);
    EXPECT_EQ("1", token["type"]);
    EXPECT_EQ("5", token["so-max"]);
    EXPECT_EQ("5", token["so-left"]);
    EXPECT_EQ("7", token["user-left"]);
    EXPECT_EQ("30000", token["public"]);
    EXPECT_EQ("15000", token["private"]);
    CK_TOKEN_INFO info;
    ASSERT_EQ(CKR_OK, f->C_GetTokenInfo(0, &info));
    EXPECT_EQ("My Token" + std::string(24, ' '), std::string(reinterpret_cast<char*>(info.label), 32));

    // The new SO PIN is the one a wipe now wants.
    EXPECT_EQ(CKR_PIN_INCORRECT, Wipe(0, "tamsel"));
    EXPECT_EQ(CKR_OK, Wipe(0, "newso-pin"));

    // The record exactly as received, for the program's own tests.
    auto last = standin.Fields("last-pki-record");
    EXPECT_EQ(2 * sizeof(PKI_INIT_PARAM), last["record"].size());
    EXPECT_EQ("0101", last["record"].substr(0, 4));
    std::string spaces;
    for (int i = 0; i < 24; ++i)
        spaces += "20";
    EXPECT_EQ("4D7920546F6B656E" + spaces + "00", last["label"]);
    EXPECT_EQ("9", last["so-len"]);
    EXPECT_EQ("4", last["user-len"]);
}

TEST_F(Aux, PkiInitialisationRefusesBadRecords) {
    Do("insert 0 type=blank total=45000");
    struct Case {
        const char* what;
        void (*spoil)(PkiRequest&);
        CK_RV expected;
    } cases[] = {
        {"fixed byte 0", [](PkiRequest& r) { r.param.byFixed0 = 2; }, CKR_ARGUMENTS_BAD},
        {"fixed byte 1", [](PkiRequest& r) { r.param.byFixed1 = 0; }, CKR_ARGUMENTS_BAD},
        {"fixed value", [](PkiRequest& r) { r.param.ulFixedVersion = 0x00010001; }, CKR_ARGUMENTS_BAD},
        {"label not ended", [](PkiRequest& r) { r.labelField[32] = ' '; }, CKR_ARGUMENTS_BAD},
        {"SO PIN too short", [](PkiRequest& r) { r.soPin = "abc"; }, CKR_PIN_LEN_RANGE},
        {"user PIN too long", [](PkiRequest& r) { r.userPin = std::string(33, 'u'); }, CKR_PIN_LEN_RANGE},
        {"no SO retries", [](PkiRequest& r) { r.param.bySoPinMaxRetry = 0; }, CKR_ARGUMENTS_BAD},
        {"no user retries", [](PkiRequest& r) { r.param.byUserPinMaxRetry = 0; }, CKR_ARGUMENTS_BAD},
        {"areas beyond the total", [](PkiRequest& r) { r.param.ulPrivateSize = 15001; }, CKR_DEVICE_MEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PkiRequest request;
        c.spoil(request);
        EXPECT_EQ(c.expected, aux->E_InitPkiToken(0, request.Record()));
        EXPECT_EQ("4", Token(0)["type"]); // nothing changed
    }
    // The longest PINs, and areas that take the whole token.
    PkiRequest fits;
    fits.soPin = fits.userPin = std::string(32, 'p');
    EXPECT_EQ(CKR_OK, aux->E_InitPkiToken(0, fits.Record()));

    PkiRequest nulls;
    PKI_INIT_PARAM* record = nulls.Record();
    record->pUserPin = nullptr;
    EXPECT_EQ(CKR_ARGUMENTS_BAD, aux->E_InitPkiToken(0, record));
    record = nulls.Record();
    record->pLabel = nullptr;
    EXPECT_EQ(CKR_ARGUMENTS_BAD, aux->E_InitPkiToken(0, record));
    EXPECT_EQ(CKR_ARGUMENTS_BAD, aux->E_InitPkiToken(0, nullptr));
    EXPECT_EQ("E_InitPkiToken slot=0 record=null rv=0x00000007", standin.Journal().back());
}

TEST_F(Aux, PinWithoutTerminatorIsReadNoFurtherThan64Bytes) {
    Do("insert 0 type=blank");
    // Exactly 64 bytes and no zero among them: a bounded reader stops at the end (the address
    // sanitizer would catch one byte more).
    auto unterminated = std::make_unique<std::uint8_t[]>(64);
    std::memset(unterminated.get(), 'x', 64);
    PkiRequest request;
    PKI_INIT_PARAM* record = request.Record();
    record->pSoPin = unterminated.get();
    EXPECT_EQ(CKR_PIN_LEN_RANGE, aux->E_InitPkiToken(0, record));
    EXPECT_EQ("-1", standin.Fields("last-pki-record")["so-len"]);
}

TEST_F(Aux, PkiInitialisationOfOtherTypes) {
    Do("insert 0 type=lock\ninsert 1 type=3\ninsert 2 type=pki so=old-so-pin");
    PkiRequest request;
    EXPECT_EQ(CKR_TOKEN_WRITE_PROTECTED, aux->E_InitPkiToken(0, request.Record()));
    EXPECT_EQ(CKR_TOKEN_NOT_RECOGNIZED, aux->E_InitPkiToken(1, request.Record()));
    EXPECT_EQ(CKR_TOKEN_NOT_PRESENT, aux->E_InitPkiToken(3, request.Record()));
    EXPECT_EQ(CKR_SLOT_ID_INVALID, aux->E_InitPkiToken(20, request.Record()));
    // A PKI token is initialised again without its old SO PIN.
    EXPECT_EQ(CKR_OK, aux->E_InitPkiToken(2, request.Record()));
    EXPECT_EQ(CKR_OK, Wipe(2, "newso-pin"));
}

} // namespace
