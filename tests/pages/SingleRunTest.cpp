// One press of Start in single mode on each page: every outcome on the status line and the
// counters, the values handed to the module, and the PKI page's validation, which refuses
// bad fields before any module call.
#include "PageHarness.h"
#include "res/resource.h"
#include "support/SupervisorCertificate.h"

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

// One page's status line and counters, as the operator reads them.
void ExpectOutcome(const CWnd& page, int statusId, int failId, const CStatusLabel& status, const Outcome& o) {
    EXPECT_EQ(Text(page, statusId), o.text);
    EXPECT_EQ(status.GetTextColor(), o.colour);
    EXPECT_EQ(Text(page, IDC_COUNT_TOTAL), o.total);
    EXPECT_EQ(Text(page, IDC_COUNT_SUCCESS), o.success);
    EXPECT_EQ(Text(page, failId), o.fail);
}

class WipeSingleRunTest : public PagesTest {
  protected:
    CWipePage& Page() { return host->blank; }
    void ExpectOutcome(const Outcome& o) {
        ::ExpectOutcome(Page(), IDC_WIPE_STATUS, IDC_WIPE_COUNT_FAIL, Page().m_lblStatus, o);
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
        ::ExpectOutcome(Page(), IDC_PKI_STATUS, IDC_PKI_COUNT_FAIL, Page().m_lblStatus, o);
    }

    std::vector<std::wstring> validationMessages;
};

} // namespace

// Guards against an outcome shown in the wrong colour or counted wrongly. Which text and count
// each kind of result gets is the attempt runner's, tested there; the PIN a run takes from the
// page is BatchPageTest's.
TEST_F(WipeSingleRunTest, EachOutcomeOnTheStatusLineAndCounters) {
    const struct {
        const char* bench;
        Outcome outcome;
    } cases[] = {
        {"insert 0 type=pki so=secret12", {msg::kBlankDone, kBlack, L"1", L"1", L"0"}},
        {"remove 0\ninsert 0 type=pki so=other99", {msg::kSoPinWrong, kRed, L"2", L"1", L"1"}},
    };
    Type(Page(), IDC_WIPE_PIN, L"secret12");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bench);
        Do(c.bench);
        ASSERT_TRUE(Click(Page(), IDC_START));
        ExpectOutcome(c.outcome);
    }
    // A change of mode keeps the last colour and the counts.
    ASSERT_TRUE(Click(Page(), IDC_WIPE_BATCH_CHECK));
    EXPECT_EQ(Text(Page(), IDC_WIPE_STATUS), msg::kInsertAndStart);
    EXPECT_EQ(Page().m_lblStatus.GetTextColor(), kRed);
    EXPECT_EQ(Text(Page(), IDC_COUNT_TOTAL), L"2");
}

// Guards against parameters lost or mixed up on their way from the fields to the token.
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

// Guards against out-of-range or malformed fields reaching the module, a refusal that leaves
// the focus elsewhere, and reporting any but the first bad field in exchange order (SO PIN,
// private size, public size, SO retries, label, user PIN, user retries).
TEST_F(PkiSingleRunTest, BadFieldsAreRefusedByTheExchange) {
    Do("insert 0 type=blank\nclear-journal");
    const struct {
        std::vector<std::pair<int, std::wstring>> typed;
        int refused;
    } cases[] = {
        {{{IDC_PKI_SO_RETRY, L"0"}}, IDC_PKI_SO_RETRY},
        {{{IDC_PKI_SO_RETRY, L"256"}}, IDC_PKI_SO_RETRY},
        {{{IDC_PKI_SO_RETRY, L"-1"}}, IDC_PKI_SO_RETRY},
        {{{IDC_PKI_USER_RETRY, L"256"}}, IDC_PKI_USER_RETRY},
        {{{IDC_PKI_PUBLIC_SIZE, L"65536"}}, IDC_PKI_PUBLIC_SIZE},
        {{{IDC_PKI_PUBLIC_SIZE, L""}}, IDC_PKI_PUBLIC_SIZE},
        {{{IDC_PKI_PRIVATE_SIZE, L"99999"}}, IDC_PKI_PRIVATE_SIZE},
        {{{IDC_PKI_PRIVATE_SIZE, L"12a"}}, IDC_PKI_PRIVATE_SIZE},
        {{{IDC_PKI_LABEL, std::wstring(33, L'n')}}, IDC_PKI_LABEL},
        {{{IDC_PKI_USER_RETRY, L"0"}, {IDC_PKI_PUBLIC_SIZE, L"70000"}}, IDC_PKI_PUBLIC_SIZE},
        {{{IDC_PKI_PUBLIC_SIZE, L"70000"}, {IDC_PKI_PRIVATE_SIZE, L"70000"}}, IDC_PKI_PRIVATE_SIZE},
        {{{IDC_PKI_USER_RETRY, L"0"}, {IDC_PKI_LABEL, std::wstring(33, L'L')}}, IDC_PKI_LABEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "refused field " << c.refused);
        host->ShowPage(0);
        host->ShowPage(1);
        validationMessages.clear();
        for (const auto& field : c.typed)
            Type(Page(), field.first, field.second);
        ASSERT_TRUE(Click(Page(), IDC_START));
        EXPECT_EQ(validationMessages.size(), 1u);
        EXPECT_EQ(::GetFocus(), Item(Page(), c.refused));
        DWORD from = 99, to = 99;
        ::SendMessageW(Item(Page(), c.refused), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                       reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, static_cast<DWORD>(Text(Page(), c.refused).size())) << "the whole text selected";
        ExpectOutcome({msg::kInsertAndStart, kBlack, L"0", L"0", L"0"});
    }
    EXPECT_TRUE(host->bench.Calls().empty());
}

// Guards against a token written to with a random user PIN nobody can recover: without a
// certificate Start is refused before any module call; with one, the token is initialised only
// after its envelope is on disk (where the platform can seal; Wine's CryptoAPI cannot make an
// AES envelope, and there the token is left untouched with its counted failure).
TEST_F(PkiSingleRunTest, ARandomUserPinIsSealedBeforeTheTokenIsTouched) {
    host->UseLedger();
    Do("insert 0 type=blank\nclear-journal");
    ASSERT_TRUE(Click(Page(), IDC_PKI_RANDOM_USER_PIN));
    EXPECT_FALSE(Shown(Page(), IDC_PKI_USER_PIN));
    EXPECT_TRUE(Shown(Page(), IDC_PKI_RANDOM_LENGTH));
    EXPECT_EQ(Text(Page(), IDC_PKI_RANDOM_LENGTH), L"8");
    ASSERT_TRUE(Click(Page(), IDC_START));
    ExpectOutcome({msg::kSealCertificateNeeded, kRed, L"0", L"0", L"0"});
    EXPECT_EQ(CallCount("E_InitPkiToken"), 0);

    SealCertificateLoad load = SealCertificateFromBytes(kSupervisorCertificatePem);
    ASSERT_TRUE(load.certificate) << load.problem;
    host->workbench.PutSealCertificate(std::make_shared<const SealCertificate>(*load.certificate));
    Type(Page(), IDC_PKI_RANDOM_LENGTH, L"12");
    ASSERT_TRUE(Click(Page(), IDC_START));
    const std::filesystem::path pins = host->ledgerFolder / "pins";
    std::vector<std::filesystem::path> envelopes;
    if (std::filesystem::exists(pins))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(pins))
            if (entry.is_regular_file())
                envelopes.push_back(entry.path());
    if (envelopes.empty()) {
        ExpectOutcome({msg::kEnvelopeNotWritten, kRed, L"1", L"0", L"1"});
        EXPECT_EQ(CallCount("E_InitPkiToken"), 0);
        return;
    }
    ASSERT_EQ(envelopes.size(), 1u);
    EXPECT_EQ(Text(Page(), IDC_PKI_STATUS).rfind(msg::kPkiDone + L"（PIN信封：pins/", 0), 0u);
    EXPECT_EQ(host->bench.Query("last-pki-record")["user-len"], "12");
}
