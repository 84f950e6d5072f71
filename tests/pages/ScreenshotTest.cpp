// Both pages as the operator sees them, saved to <build>/artifacts for a person to look at:
// single and batch layout, and a batch run with counted outcomes.
#include "PageHarness.h"
#include "res/resource.h"

using namespace pagetest;

namespace {

// One token plugged in, handled and pulled out again, as at the bench.
void HandleToken(PagesTest& test, const CWnd& page, int statusId, const std::string& type,
                 const wchar_t* total) {
    test.Bench("insert 0 type=" + type);
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_COUNT_TOTAL) == total; }));
    test.Bench("remove 0");
    ASSERT_TRUE(PumpUntil([&] { return Text(page, statusId) == msg::kInsertToken; }));
}

} // namespace

TEST_F(PagesTest, BlankPagePictures) {
    CBlankPage& page = host->blank;
    EXPECT_TRUE(SaveScreenshot(page.GetSafeHwnd(), L"pages-blank-single.bmp"));
    ASSERT_TRUE(Click(page, IDC_BLANK_BATCH_CHECK));
    EXPECT_TRUE(SaveScreenshot(page.GetSafeHwnd(), L"pages-blank-batch.bmp"));

    ASSERT_TRUE(Click(page, IDC_START));
    HandleToken(*this, page, IDC_BLANK_STATUS, "pki", L"1");
    HandleToken(*this, page, IDC_BLANK_STATUS, "pki", L"2");
    Do("insert 0 type=lock");
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_COUNT_TOTAL) == L"3"; }));
    EXPECT_TRUE(SaveScreenshot(page.GetSafeHwnd(), L"pages-blank-running.bmp"));
}

TEST_F(PagesTest, PkiPagePictures) {
    host->ShowPage(1);
    CPkiPage& page = host->pki;
    EXPECT_TRUE(SaveScreenshot(page.GetSafeHwnd(), L"pages-pki-single.bmp"));
    ASSERT_TRUE(Click(page, IDC_PKI_BATCH_CHECK));
    EXPECT_TRUE(SaveScreenshot(page.GetSafeHwnd(), L"pages-pki-batch.bmp"));

    ASSERT_TRUE(Click(page, IDC_START));
    HandleToken(*this, page, IDC_PKI_STATUS, "blank", L"1");
    HandleToken(*this, page, IDC_PKI_STATUS, "lock", L"2");
    Do("insert 0 type=blank");
    ASSERT_TRUE(PumpUntil([&] { return Text(page, IDC_COUNT_TOTAL) == L"3"; }));
    EXPECT_TRUE(SaveScreenshot(page.GetSafeHwnd(), L"pages-pki-running.bmp"));
}
