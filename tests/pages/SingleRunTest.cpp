// One press of Start in single mode on each page: every outcome on the status line and the
// counters, the values handed to the module, and the PKI page's validation, which refuses
// bad fields before any module call.
#include "PageHarness.h"
#include "res/resource.h"

#include <vector>

using namespace pagetest;

namespace {

struct Outcome {
    std::wstring text;
    COLORREF colour;
    const wchar_t* total;
    const wchar_t* success;
    const wchar_t* fail;
};

class BlankSingleRunTest : public PagesTest {
  protected:
    CBlankPage& Page() { return host->blank; }
    void ExpectOutcome(const Outcome& o) {
        EXPECT_EQ(Text(Page(), IDC_BLANK_STATUS), o.text);
        EXPECT_EQ(Page().m_lblStatus.GetTextColor(), o.colour);
        EXPECT_EQ(Text(Page(), IDC_COUNT_TOTAL), o.total);
        EXPECT_EQ(Text(Page(), IDC_COUNT_SUCCESS), o.success);
        EXPECT_EQ(Text(Page(), IDC_BLANK_COUNT_FAIL), o.fail);
    }
};

class PkiSingleRunTest : public PagesTest {
  protected:
    void SetUp() override {
        PagesTest::SetUp();
        host->ShowPage(1);
        SetValidationMessageHook(
            [this](const CString& text) { validationMessages.push_back(text.ToStdWString()); });
    }
    void TearDown() override {
        SetValidationMessageHook(nullptr);
        PagesTest::TearDown();
    }
    CPkiPage& Page() { return host->pki; }
    void ExpectOutcome(const Outcome& o) {
        EXPECT_EQ(Text(Page(), IDC_PKI_STATUS), o.text);
        EXPECT_EQ(Page().m_lblStatus.GetTextColor(), o.colour);
        EXPECT_EQ(Text(Page(), IDC_COUNT_TOTAL), o.total);
        EXPECT_EQ(Text(Page(), IDC_COUNT_SUCCESS), o.success);
        EXPECT_EQ(Text(Page(), IDC_PKI_COUNT_FAIL), o.fail);
    }
    // A refused field: one validation message, the focus on that field with its text
    // selected, nothing counted and the module never asked.
    void ExpectRefusedField(int id) {
        EXPECT_EQ(validationMessages.size(), 1u);
        EXPECT_EQ(::GetFocus(), Item(Page(), id)) << "focus on field " << id;
        DWORD from = 99, to = 99;
        ::SendMessageW(Item(Page(), id), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                       reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, static_cast<DWORD>(Text(Page(), id).size()));
        ExpectOutcome({msg::kInsertAndStart, kBlack, L"0", L"0", L"0"});
        EXPECT_TRUE(host->bench.Calls().empty());
    }

    std::vector<std::wstring> validationMessages;
};

} // namespace

TEST_F(BlankSingleRunTest, APkiTokenIsWipedWithThePinAsTyped) {
    Do("insert 0 type=pki so=secret12");
    Type(Page(), IDC_BLANK_PIN, L"secret12");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kBlankDone, kBlack, L"1", L"1", L"0"});
    EXPECT_EQ(Page().m_lblSuccess.GetTextColor(), kBlue);
    EXPECT_EQ(host->bench.Query("token 0").at("type"), "4");
    bool wiped = false;
    for (const JournalCall& call : host->bench.Journal())
        if (call.name == "E_InitBlankToken") {
            EXPECT_EQ(call.args.at("pinlen"), "8");
            wiped = true;
        }
    EXPECT_TRUE(wiped);
}

TEST_F(BlankSingleRunTest, EachOutcomeOnTheStatusLineAndCounters) {
    Do("insert 0 type=pki so=other99");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kSoPinWrong, kRed, L"1", L"0", L"1"});

    Do("remove 0\ninsert 0 type=lock");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kEncryptionLock, kRed, L"2", L"0", L"2"});

    Do("remove 0\ninsert 0 type=blank");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kAlreadyBlank, kBlack, L"3", L"1", L"2"});

    Do("remove 0"); // nothing plugged in: asked for, not counted
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kInsertToken, kBlack, L"3", L"1", L"2"});

    Do("insert 0 type=pki\ninsert 3 type=pki");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kOneTokenOnly, kRed, L"3", L"1", L"2"});
    EXPECT_EQ(CallCount("E_GetDeviceInfo"), 3) << "the two tokens were not looked at";
}

TEST_F(BlankSingleRunTest, WithoutABindingNothingIsAskedOrCounted) {
    host->bBound = false;
    Do("insert 0 type=pki");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kInitModuleFailed, kRed, L"0", L"0", L"0"});
    EXPECT_TRUE(host->bench.Calls().empty());
}

TEST_F(BlankSingleRunTest, TogglingBatchModeAfterAFailureKeepsTheRed) {
    Do("insert 0 type=lock");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    EXPECT_EQ(Text(Page(), IDC_BLANK_STATUS), msg::kInsertAndStart);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    ASSERT_TRUE(Click(Page(), IDC_BLANK_BATCH_CHECK));
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    EXPECT_EQ(Text(Page(), IDC_COUNT_TOTAL), L"1") << "mode changes keep the counts";
}

TEST_F(BlankSingleRunTest, ThePinFieldTakesAtMostOneHundredCharacters) {
    HWND field = Item(Page(), IDC_BLANK_PIN);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    for (int i = 0; i < 130; ++i)
        ::SendMessageW(field, WM_CHAR, L'a' + i % 26, 1);
    EXPECT_EQ(Text(Page(), IDC_BLANK_PIN).size(), 100u);
}

TEST_F(PkiSingleRunTest, ABlankTokenIsInitialisedWithThePageParameters) {
    Do("insert 0 type=blank");
    Type(Page(), IDC_PKI_SO_PIN, L"admin-77");
    Type(Page(), IDC_PKI_USER_PIN, L"user-4321");
    Type(Page(), IDC_PKI_SO_RETRY, L"9");
    Type(Page(), IDC_PKI_USER_RETRY, L"12");
    Type(Page(), IDC_PKI_LABEL, L"Bench7");
    Type(Page(), IDC_PKI_PUBLIC_SIZE, L"1234");
    Type(Page(), IDC_PKI_PRIVATE_SIZE, L"4321");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kPkiDone, kBlack, L"1", L"1", L"0"});
    auto token = host->bench.Query("token 0");
    EXPECT_EQ(token["type"], "1");
    EXPECT_EQ(token["so-max"], "9");
    EXPECT_EQ(token["user-max"], "12");
    EXPECT_EQ(token["label"], "Bench7");
    EXPECT_EQ(token["public"], "1234");
    EXPECT_EQ(token["private"], "4321");
    auto record = host->bench.Query("last-pki-record");
    EXPECT_EQ(record["so-len"], "8");
    EXPECT_EQ(record["user-len"], "9");
}

TEST_F(PkiSingleRunTest, EachOutcomeOnTheStatusLineAndCounters) {
    Do("insert 0 type=pki\nfail E_InitPkiToken 0xA0 once");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kSoPinWrong, kRed, L"1", L"0", L"1"});

    Do("remove 0\ninsert 0 type=lock");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kEncryptionLock, kRed, L"2", L"0", L"2"});

    Do("remove 0");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kInsertToken, kBlack, L"2", L"0", L"2"});

    Do("insert 0 type=blank\ninsert 1 type=blank");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kOneTokenOnly, kRed, L"2", L"0", L"2"});

    Do("remove 1");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kPkiDone, kBlack, L"3", L"1", L"2"});
    EXPECT_EQ(Page().m_lblSuccess.GetTextColor(), kBlue);
    EXPECT_EQ(Page().m_lblFail.GetTextColor(), kRed);
    EXPECT_TRUE(validationMessages.empty());
}

TEST_F(PkiSingleRunTest, TogglingBatchModeAfterAFailureKeepsTheRed) {
    Do("insert 0 type=lock");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ASSERT_TRUE(Click(Page(), IDC_PKI_BATCH_CHECK));
    EXPECT_EQ(Text(Page(), IDC_PKI_STATUS), msg::kInsertAndStart);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
}

TEST_F(PkiSingleRunTest, PinsOfWrongLengthAreCountedFailuresWithoutAModuleCall) {
    Do("insert 0 type=blank");
    host->bench.Command("clear-journal");
    const struct {
        int field;
        std::wstring pin;
    } cases[] = {{IDC_PKI_SO_PIN, L"abc"},
                 {IDC_PKI_SO_PIN, std::wstring(33, L'x')},
                 {IDC_PKI_USER_PIN, L"123"},
                 {IDC_PKI_USER_PIN, std::wstring(33, L'7')}};
    for (const auto& c : cases) {
        host->ShowPage(0);
        host->ShowPage(1);
        Type(Page(), c.field, c.pin);
        ASSERT_TRUE(Click(Page(), IDC_START));
        ExpectOutcome({msg::kPinLength, kRed, L"1", L"0", L"1"});
    }
    EXPECT_TRUE(host->bench.Calls().empty());
    EXPECT_TRUE(validationMessages.empty());
    // 4 and 32 characters are accepted.
    Type(Page(), IDC_PKI_SO_PIN, L"abcd");
    Type(Page(), IDC_PKI_USER_PIN, std::wstring(32, L'u'));
    ASSERT_TRUE(Click(Page(), IDC_START));
    EXPECT_EQ(Text(Page(), IDC_PKI_STATUS), msg::kPkiDone);
}

TEST_F(PkiSingleRunTest, RetryCountsOutOfRangeAreRefusedByTheExchange) {
    for (const wchar_t* value : {L"0", L"256"}) {
        validationMessages.clear();
        Type(Page(), IDC_PKI_SO_RETRY, value);
        ASSERT_TRUE(Click(Page(), IDC_START));
        SCOPED_TRACE(::testing::Message() << "SO retries " << value);
        ExpectRefusedField(IDC_PKI_SO_RETRY);
        Type(Page(), IDC_PKI_SO_RETRY, L"6");
    }
    validationMessages.clear();
    Type(Page(), IDC_PKI_USER_RETRY, L"256");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectRefusedField(IDC_PKI_USER_RETRY);
}

TEST_F(PkiSingleRunTest, AreaSizesAndNumbersAreRefusedByTheExchange) {
    const struct {
        int field;
        const wchar_t* value;
    } cases[] = {{IDC_PKI_PUBLIC_SIZE, L"65536"},
                 {IDC_PKI_PRIVATE_SIZE, L"99999"},
                 {IDC_PKI_PRIVATE_SIZE, L"12a"},
                 {IDC_PKI_PUBLIC_SIZE, L""},
                 {IDC_PKI_SO_RETRY, L"-1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "field " << c.field);
        host->ShowPage(0);
        host->ShowPage(1);
        validationMessages.clear();
        Type(Page(), c.field, c.value);
        ASSERT_TRUE(Click(Page(), IDC_START));
        ExpectRefusedField(c.field);
    }
}

TEST_F(PkiSingleRunTest, OfTwoBadFieldsOnlyTheFirstInExchangeOrderIsReported) {
    // Exchange order: SO PIN, private size, public size, SO retries, label, user PIN, user
    // retries.
    Type(Page(), IDC_PKI_USER_RETRY, L"0");
    Type(Page(), IDC_PKI_PUBLIC_SIZE, L"70000");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectRefusedField(IDC_PKI_PUBLIC_SIZE);

    validationMessages.clear();
    Type(Page(), IDC_PKI_PRIVATE_SIZE, L"70000");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectRefusedField(IDC_PKI_PRIVATE_SIZE);

    validationMessages.clear();
    Type(Page(), IDC_PKI_PRIVATE_SIZE, L"1");
    Type(Page(), IDC_PKI_PUBLIC_SIZE, L"1");
    Type(Page(), IDC_PKI_LABEL, std::wstring(33, L'L'));
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectRefusedField(IDC_PKI_LABEL);
}

TEST_F(PkiSingleRunTest, ALabelOfThirtyThreeCharactersIsRefusedByTheExchange) {
    Do("insert 0 type=blank");
    host->bench.Command("clear-journal");
    Type(Page(), IDC_PKI_LABEL, std::wstring(33, L'n'));
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectRefusedField(IDC_PKI_LABEL);
    // Typing stops at 32.
    ::SendMessageW(Item(Page(), IDC_PKI_LABEL), EM_SETSEL, 0, -1);
    for (int i = 0; i < 40; ++i)
        ::SendMessageW(Item(Page(), IDC_PKI_LABEL), WM_CHAR, L'k', 1);
    EXPECT_EQ(Text(Page(), IDC_PKI_LABEL).size(), 32u);
}

TEST_F(PkiSingleRunTest, WithoutABindingValidPinsStillLeadToNoModuleCall) {
    host->bBound = false;
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kInitModuleFailed, kRed, L"0", L"0", L"0"});
    // The length check comes first and counts.
    Type(Page(), IDC_PKI_SO_PIN, L"abc");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kPinLength, kRed, L"1", L"0", L"1"});
    EXPECT_TRUE(host->bench.Calls().empty());
}
