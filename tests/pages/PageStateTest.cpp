// What each page shows when it first appears, and the state of Start, Stop, the check box and
// the parameter fields in every situation of a run, read from the real controls.
#include "PageHarness.h"
#include "res/resource.h"

#include <vector>

using namespace pagetest;

namespace {

// The controls one page's situations are about.
struct PageControls {
    const char* name;
    int index; // in the host
    int check;
    int status;
    int failCount;
    std::vector<int> fields;
    CDialog& (*page)(PageHost&);
};

const PageControls kBlank{"blank",
                          0,
                          IDC_WIPE_BATCH_CHECK,
                          IDC_WIPE_STATUS,
                          IDC_WIPE_COUNT_FAIL,
                          {IDC_WIPE_PIN},
                          [](PageHost& h) -> CDialog& { return h.blank; }};
const PageControls kPki{"pki",
                        1,
                        IDC_PKI_BATCH_CHECK,
                        IDC_PKI_STATUS,
                        IDC_PKI_COUNT_FAIL,
                        {IDC_PKI_SO_PIN, IDC_PKI_USER_PIN, IDC_PKI_SO_RETRY, IDC_PKI_USER_RETRY,
                         IDC_PKI_LABEL, IDC_PKI_PUBLIC_SIZE, IDC_PKI_PRIVATE_SIZE},
                        [](PageHost& h) -> CDialog& { return h.pki; }};

struct Situation {
    const char* name;
    bool startEnabled;
    bool stopShown;
    bool stopEnabled;
    bool checkEnabled;
    bool fieldsEnabled;
};

void ExpectSituation(const CWnd& page, const PageControls& controls, const Situation& s) {
    SCOPED_TRACE(std::string(controls.name) + ": " + s.name);
    EXPECT_EQ(Enabled(page, IDC_START), s.startEnabled);
    EXPECT_TRUE(Shown(page, IDC_START));
    EXPECT_EQ(Shown(page, IDC_STOP), s.stopShown);
    if (s.stopShown) {
        EXPECT_EQ(Enabled(page, IDC_STOP), s.stopEnabled);
    }
    EXPECT_EQ(Enabled(page, controls.check), s.checkEnabled);
    for (int field : controls.fields)
        EXPECT_EQ(Enabled(page, field), s.fieldsEnabled) << "field " << field;
}

bool Checked(const CWnd& page, int id) {
    return ::SendMessageW(Item(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class PageStateTest : public PagesTest, public ::testing::WithParamInterface<const PageControls*> {
  protected:
    const PageControls& C() const { return *GetParam(); }
    CDialog& Page() { return C().page(*host); }
    void Show() {
        host->ShowPage(C().index);
        HandlePending();
    }
};

} // namespace

// Guards against Start, Stop, the check box or the fields in the wrong state at any point of
// a run, and against a second worker from a second press.
TEST_P(PageStateTest, EverySituationOfARunShowsItsControlStates) {
    Show();
    const CWnd& page = Page();
    const CRect stopPlace = Place(page, IDC_STOP);

    ExpectSituation(page, C(), {"single mode", true, false, false, true, true});
    EXPECT_EQ(Place(page, IDC_START), stopPlace) << "Start sits where Stop sits";

    ASSERT_TRUE(Click(page, C().check));
    ExpectSituation(page, C(), {"batch selected", true, true, false, true, true});
    const CRect ownPlace = Place(page, IDC_START);
    EXPECT_NE(ownPlace, stopPlace) << "Start back at its own place";
    EXPECT_EQ(Place(page, IDC_STOP), stopPlace);

    ASSERT_TRUE(Click(page, C().check));
    ExpectSituation(page, C(), {"batch cleared again", true, false, false, true, true});
    EXPECT_EQ(Place(page, IDC_START), stopPlace);
    ASSERT_TRUE(Click(page, C().check));

    // Until the page handles the worker's first request nothing of the run shows.
    ASSERT_TRUE(Click(page, IDC_START));
    ExpectSituation(page, C(), {"worker draining events", true, true, false, false, false});
    // A second press meanwhile starts no second worker.
    ASSERT_TRUE(Click(page, IDC_START));

    ASSERT_TRUE(PumpUntil([&] { return Enabled(page, IDC_STOP); }));
    ExpectSituation(page, C(), {"run in progress", false, true, true, false, false});
    ASSERT_TRUE(PumpUntil([&] { return Text(page, C().status) == msg::kInsertToken; }));

    ASSERT_TRUE(Click(page, IDC_STOP));
    const bool pki = C().index == 1;
    ExpectSituation(page, C(), {"stopped, worker not yet ended", false, true, false, true, pki});
    EXPECT_TRUE(Checked(page, C().check)) << "the box keeps its tick";

    ASSERT_TRUE(PumpUntil([&] { return Enabled(page, IDC_START); }));
    ExpectSituation(page, C(), {"worker ended", true, true, false, true, true});
    EXPECT_TRUE(Checked(page, C().check));
    EXPECT_EQ(Place(page, IDC_START), ownPlace);

    const PageRuns& batch = C().index == 0 ? host->blank.Batch() : host->pki.Batch();
    ASSERT_TRUE(PumpUntil([&] { return !batch.IsWorkerAlive(); }));
    EXPECT_EQ(batch.MaxWorkersAlive(), 1);
    // One run, one first attempt: a second worker would have listed the slots again.
    EXPECT_EQ(CallCount("C_GetSlotList"), 1);
}

// Guards against a page that keeps a previous visit's mode, counts, status or typed fields, or
// shows without the focus on its first field, wholly selected so that typing replaces it.
TEST_P(PageStateTest, HidingAndShowingAgainResetsLayoutCountersAndStatus) {
    Show();
    CDialog& page = Page();
    const std::wstring firstValue = Text(page, C().fields[0]);
    Type(page, C().fields.back(), L"77");
    ASSERT_TRUE(Click(page, C().check));
    Do("insert 0 type=lock");
    ASSERT_TRUE(Click(page, IDC_START)); // counted failure in batch mode
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_COUNT_TOTAL) == L"1"; }));
    // Hiding ends the run; Start is enabled again once its worker has ended.
    host->ShowPage(-1);
    const PageRuns& batch = C().index == 0 ? host->blank.Batch() : host->pki.Batch();
    ASSERT_TRUE(PumpUntil([&] { return !batch.IsWorkerAlive(); }));
    host->ShowPage(C().index);
    HandlePending();
    ExpectSituation(page, C(), {"shown again", true, false, false, true, true});
    EXPECT_FALSE(Checked(page, C().check));
    EXPECT_EQ(Text(page, IDC_COUNT_TOTAL), L"0");
    EXPECT_EQ(Text(page, IDC_COUNT_SUCCESS), L"0");
    EXPECT_EQ(Text(page, C().failCount), L"0");
    EXPECT_EQ(Text(page, C().status), msg::kInsertAndStart);
    EXPECT_NE(Text(page, C().fields.back()), L"77");
    EXPECT_EQ(Text(page, C().fields[0]), firstValue);
    EXPECT_EQ(::GetFocus(), Item(page, C().fields[0]));
    DWORD from = 99, to = 99;
    ::SendMessageW(Item(page, C().fields[0]), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                   reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, static_cast<DWORD>(firstValue.size()));
}

INSTANTIATE_TEST_SUITE_P(Pages, PageStateTest, ::testing::Values(&kBlank, &kPki),
                         [](const ::testing::TestParamInfo<const PageControls*>& info) {
                             return std::string(info.param->name);
                         });

// Guards against Enter or Esc closing a page.
TEST_F(PagesTest, EnterAndEscLeaveThePageAlone) {
    CWipePage& page = host->blank;
    ::SendMessageW(page.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::SendMessageW(page.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(page.IsWindowVisible());
    EXPECT_EQ(host->bench.Calls().size(), 0u);
}
