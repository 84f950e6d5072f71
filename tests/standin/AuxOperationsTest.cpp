// The vendor extension's journal, which tests read: it carries PIN lengths, never PIN values.
// The outcomes are covered through the operations' tests.
#include "StandinTest.h"

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
    std::string journal;
    for (const std::string& line : standin.Journal())
        journal += line + "\n";
    for (const char* secret : {"Sekr1t", "Wr0ng", "Fresh"})
        EXPECT_EQ(std::string::npos, journal.find(secret)) << secret;
    EXPECT_NE(std::string::npos, journal.find("E_InitBlankToken slot=0 pinlen=9 rv=0x000000A0\n"));
    EXPECT_NE(std::string::npos, journal.find("E_InitPkiToken slot=0 so-len=12 user-len=10 rv=0x00000000\n"));
    EXPECT_EQ(std::string::npos, standin.Query("last-pki-record").find("Fresh"));
}

} // namespace
