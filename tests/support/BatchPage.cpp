#include "BatchPage.h"

#include "ProgramUnderTest.h"
#include "StatusTexts.h"
#include "res/resource.h"

namespace {

constexpr UINT kOutlookBarClick = WM_USER + 1019;

} // namespace

const PageControls kWipePageControls{0, IDC_WIPE_BATCH_CHECK, IDC_WIPE_STATUS, IDC_WIPE_COUNT_FAIL};
const PageControls kPkiPageControls{1, IDC_PKI_BATCH_CHECK, IDC_PKI_STATUS, IDC_PKI_COUNT_FAIL};

BatchPage::BatchPage(HWND main, const PageControls& controls) : m_controls(controls) {
    PostMessageW(main, kOutlookBarClick, controls.barItem, IDC_MAIN_NAV_BAR);
    HWND page = nullptr;
    if (WaitUntil([&] {
            page = PageWithControl(main, controls.batchCheck);
            return page != nullptr && IsWindowVisible(page);
        }))
        m_page = page;
}

bool BatchPage::StartBatch(DWORD timeoutMs) const {
    HWND check = Control(m_controls.batchCheck);
    if (SendMessageW(check, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageW(check, BM_CLICK, 0, 0);
    SendMessageW(Control(IDC_START), BM_CLICK, 0, 0);
    return WaitUntil([&] { return StopEnabled() && !StartEnabled(); }, timeoutMs);
}

void BatchPage::PressStop() const {
    SendMessageW(Control(IDC_STOP), BM_CLICK, 0, 0);
}

bool BatchPage::StartEnabled() const {
    return IsWindowEnabled(Control(IDC_START)) != FALSE;
}

bool BatchPage::StopEnabled() const {
    return IsWindowEnabled(Control(IDC_STOP)) != FALSE;
}

bool BatchPage::WaitForCounted(int total, DWORD timeoutMs) const {
    return WaitUntil([&] { return Total() >= total && Status() == msg::kInsertToken; }, timeoutMs);
}

std::wstring BatchPage::Status() const {
    return WindowText(Control(m_controls.status));
}

int BatchPage::Total() const {
    return Count(IDC_COUNT_TOTAL);
}

int BatchPage::Success() const {
    return Count(IDC_COUNT_SUCCESS);
}

int BatchPage::Fail() const {
    return Count(m_controls.failCount);
}

int BatchPage::Count(int id) const {
    std::wstring text = WindowText(Control(id));
    return text.empty() ? -1 : _wtoi(text.c_str());
}
