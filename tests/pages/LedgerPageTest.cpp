// The pages' side of the operator's ledger and of the administrator PIN guard: one line per
// counted attempt before its outcome shows, the notes the ledger adds, the question before an
// SO PIN's last try.
#include "PageHarness.h"
#include "res/resource.h"

#include <fstream>
#include <iterator>

using namespace pagetest;

namespace {

const std::wstring kFinalTryQuestion = L"该锁的管理员PIN只剩最后一次尝试机会，输错将锁死。仍要尝试吗？";

// What the question box showed, and the answer given to it.
struct Question {
    std::wstring text;
    bool bDefaultNo = false;
    int answer = IDNO;
    int asked = 0;
};
Question* g_question = nullptr;

// Reads and answers the program's question box, if `window` is one.
BOOL CALLBACK AnswerIfQuestion(HWND window, LPARAM) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window) || g_question == nullptr)
        return TRUE;
    wchar_t text[256] = {};
    ::GetDlgItemTextW(window, 0xFFFF, text, 256);
    g_question->text = text;
    const LRESULT defaultId = ::SendMessageW(window, DM_GETDEFID, 0, 0);
    const LONG noStyle = ::GetWindowLongW(::GetDlgItem(window, IDNO), GWL_STYLE);
    g_question->bDefaultNo = (HIWORD(defaultId) == DC_HASDEFID && LOWORD(defaultId) == IDNO) ||
                             (noStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    ++g_question->asked;
    ::PostMessageW(window, WM_COMMAND, g_question->answer, 0);
    return FALSE;
}

// Runs inside the question box's modal loop, once it is there.
void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &AnswerIfQuestion, 0);
}

class LedgerPageTest : public PagesTest {
  protected:
    void SetUp() override {
        PagesTest::SetUp();
        host->UseLedger();
    }
    CWipePage& Blank() { return host->blank; }
    std::wstring Status() { return Text(Blank(), IDC_WIPE_STATUS); }
    std::wstring Total() { return Text(Blank(), IDC_COUNT_TOTAL); }
    bool Ended() { return !Blank().Batch().IsWorkerAlive(); }
    std::vector<LedgerRecord> Lines() { return ReadLedger(host->ledgerFolder); }
    void StartBatch() {
        ASSERT_TRUE(Click(Blank(), IDC_WIPE_BATCH_CHECK));
        ASSERT_TRUE(Click(Blank(), IDC_START));
        ASSERT_TRUE(PumpUntil([&] { return Status() == msg::kInsertToken; }));
    }
};

} // namespace

// Guards against attempts missing from the ledger or written after their outcome showed, the
// pages' own fields (operation, mode, label) lost, and PIN bytes in the folder. What each kind
// of result writes and shows is the attempt runner's, tested there.
TEST_F(LedgerPageTest, EachCountedAttemptLeavesOneLineWithWhatWasShown) {
    Type(Blank(), IDC_WIPE_PIN, L"Secret-77");
    StartBatch();
    Do("insert 0 so=Secret-77 serial=00000000000000A1");
    ASSERT_TRUE(PumpUntil([&] { return Total() == L"1"; }));
    ASSERT_EQ(Lines().size(), 1u) << "written before the outcome showed";
    const LedgerRecord line = Lines().back();
    EXPECT_EQ(line.at("operation"), "wipe");
    EXPECT_EQ(line.at("mode"), "batch");
    EXPECT_EQ(line.at("serial"), "00000000000000A1");
    EXPECT_EQ(Status(), msg::kBlankDone);
    EXPECT_EQ(line.at("message"), Utf8(Status()));
    ASSERT_TRUE(Click(Blank(), IDC_STOP));
    ASSERT_TRUE(PumpUntil([&] { return Ended(); }));

    // The PKI page: label and mode, its refused PIN length counted and recorded too.
    host->ShowPage(1);
    Type(host->pki, IDC_PKI_LABEL, L"Desk7");
    Type(host->pki, IDC_PKI_USER_PIN, L"Usr-5150");
    ASSERT_TRUE(Click(host->pki, IDC_START));
    Type(host->pki, IDC_PKI_SO_PIN, L"abc");
    ASSERT_TRUE(Click(host->pki, IDC_START));
    const std::vector<LedgerRecord> pki = Lines();
    ASSERT_EQ(pki.size(), 3u);
    EXPECT_EQ(Text(host->pki, IDC_COUNT_TOTAL), L"2");
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(pki[i].at("operation"), "pki");
        EXPECT_EQ(pki[i].at("mode"), "single");
        EXPECT_EQ(pki[i].at("label"), "Desk7");
    }
    EXPECT_EQ(pki[1].at("outcome"), "success");
    EXPECT_EQ(pki[1].at("type_before"), "blank");
    EXPECT_EQ(pki[2].at("message"), Utf8(msg::kPinLength));
    EXPECT_EQ(pki[2].at("slot"), "") << "no token was touched";

    // No PIN typed on either page, in any file of the folder.
    for (const auto& file : std::filesystem::directory_iterator(host->ledgerFolder)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const char* pin : {"Secret-77", "Usr-5150", "tamsel"})
            EXPECT_EQ(bytes.find(pin), std::string::npos) << pin;
    }
}

// Guards against a last SO PIN try spent without asking in a single run, a question asked in
// batch mode, a No that touches the token or counts, and a Yes that does not wipe.
TEST_F(LedgerPageTest, TheLastSoPinTryIsSpentOnlyWhenTheOperatorSaysYes) {
    const struct {
        bool bBatch;
        int answer;
        const std::wstring& status;
        COLORREF colour;
        const wchar_t* total;
        int wipes;
    } cases[] = {
        {false, IDNO, msg::kCancelled, kRed, L"0", 0},
        {false, IDYES, msg::kBlankDone, kBlack, L"1", 1},
        {true, IDYES, msg::kFinalTryBatch, kRed, L"2", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer == IDNO ? "No" : c.bBatch ? "batch" : "Yes");
        Do("remove 0\ninsert 0 type=pki so-left=1");
        Question question;
        question.answer = c.answer;
        g_question = &question;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &AnswerQuestion);
        if (c.bBatch) {
            ASSERT_TRUE(Click(Blank(), IDC_WIPE_BATCH_CHECK));
            ASSERT_TRUE(Click(Blank(), IDC_START));
            ASSERT_TRUE(PumpUntil([&] { return Total() == c.total; }));
        } else {
            ASSERT_TRUE(Click(Blank(), IDC_START));
            EXPECT_EQ(question.asked, 1);
            EXPECT_EQ(question.text, kFinalTryQuestion);
            EXPECT_TRUE(question.bDefaultNo);
        }
        ::KillTimer(nullptr, timer);
        g_question = nullptr;
        EXPECT_EQ(question.asked, c.bBatch ? 0 : 1);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(Blank().m_lblStatus.GetTextColor(), c.colour);
        EXPECT_EQ(Total(), c.total);
        EXPECT_EQ(CallCount("E_InitBlankToken"), c.wipes);
        EXPECT_EQ(Lines().size(), static_cast<size_t>(std::stoi(c.total))) << "uncounted, unrecorded";
    }
}
