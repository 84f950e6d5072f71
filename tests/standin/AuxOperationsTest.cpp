// The vendor extension's journal and record reading, where the stand-in itself could leak or
// overread what the program hands it. The outcomes are covered through the operations' tests.
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
};

// Guards against PIN values reaching the journal, which tests and operators read.
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

// Guards against reading a PIN beyond its 64-byte field when it has no terminator.
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

} // namespace
