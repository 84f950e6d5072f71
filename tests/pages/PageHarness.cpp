#include "PageHarness.h"

#include "res/resource.h"

#include <memory>

namespace pagetest {

namespace {

// The application object of the test program: the host window becomes its main window.
CWinApp g_testApp(L"Vantor page tests");

// The test program's top-level window, made once: without a window manager Wine takes two
// seconds to hide a top-level window, so the pages come and go inside this one.
class HostWindow final : public CWnd {
  public:
    HostWindow() {
        CreateEx(0, nullptr, L"Orbel PKI 初始化工具",
                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CRect(20, 20, 700, 600), nullptr,
                 0);
        AfxGetApp()->m_pMainWnd = this;
    }
    ~HostWindow() override { AfxGetApp()->m_pMainWnd = nullptr; }

    PageHost* pages = nullptr;
};

HostWindow& TheHostWindow() {
    static HostWindow window;
    return window;
}

std::filesystem::path FreshLedgerFolder() {
    const std::filesystem::path folder = std::filesystem::current_path() / "page-ledger";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return folder;
}

// Duplicates are told within one day: the test's day never ends at midnight.
LedgerSources SourcesOnOneDay() {
    LedgerSources sources = SystemLedgerSources();
    sources.now = [] { return LedgerTime{2026, 12, 6, 14, 3, 5, 8 * 60}; };
    return sources;
}

} // namespace

std::string Utf8(const std::wstring& text) {
    std::string bytes(static_cast<size_t>(
                          ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                      '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr,
                          nullptr);
    bytes.pop_back();
    return bytes;
}

PageHost::PageHost()
    : ledgerFolder(FreshLedgerFolder()), ledger(ledgerFolder.wstring(), SourcesOnOneDay()),
      blank(nullptr, workbench), pki(nullptr, workbench), station(nullptr, workbench, {blank, pki}) {
    HostWindow& window = TheHostWindow();
    window.pages = this;
    bBound = bench.Bind();
    SetBound(bBound);
    blank.Create(IDD_WIPE_PAGE, &window);
    pki.Create(IDD_PKI_PAGE, &window);
    station.Create(IDD_STATION_PAGE, &window);

    // The window's client area is exactly one page, as the main window's page frame is.
    CRect page;
    blank.GetWindowRect(&page);
    CRect outer(0, 0, page.Width(), page.Height());
    ::AdjustWindowRectEx(&outer, window.GetStyle(), FALSE, window.GetExStyle());
    window.SetWindowPos(nullptr, 20, 20, outer.Width(), outer.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
    blank.MoveWindow(0, 0, page.Width(), page.Height());
    pki.MoveWindow(0, 0, page.Width(), page.Height());
    station.MoveWindow(0, 0, page.Width(), page.Height());
}

PageHost::~PageHost() {
    // As the main window closes: every run ended before the binding goes.
    station.CloseStation();
    blank.StopBatchAndWait();
    pki.StopBatchAndWait();
    TheHostWindow().pages = nullptr;
}

void PageHost::ShowPage(int index) {
    if (index != 0)
        blank.ShowWindow(SW_HIDE);
    if (index != 1)
        pki.ShowWindow(SW_HIDE);
    if (index != 2)
        station.ShowWindow(SW_HIDE);
    if (index == 0)
        blank.ShowWindow(SW_SHOW);
    if (index == 1)
        pki.ShowWindow(SW_SHOW);
    if (index == 2)
        station.ShowWindow(SW_SHOW);
}

void PagesTest::SetUp() {
    host = std::make_unique<PageHost>();
    ASSERT_TRUE(host->bBound) << host->bench.Error();
    ASSERT_NE(host->blank.GetSafeHwnd(), nullptr);
    ASSERT_NE(host->pki.GetSafeHwnd(), nullptr);
    host->ShowPage(0);
    HandlePending();
}

void PagesTest::TearDown() {
    host.reset();
    // Leftover messages of this test must not reach the next one.
    HandlePending();
}

int PagesTest::CallCount(const std::string& name) const {
    int count = 0;
    for (const std::string& call : host->bench.Calls())
        count += call == name;
    return count;
}

HWND Item(const CWnd& page, int id) {
    return ::GetDlgItem(page.GetSafeHwnd(), id);
}

std::wstring Text(const CWnd& page, int id) {
    HWND item = Item(page, id);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(item, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool Enabled(const CWnd& page, int id) {
    return ::IsWindowEnabled(Item(page, id)) != FALSE;
}

bool Shown(const CWnd& page, int id) {
    return (::GetWindowLongW(Item(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

CRect Place(const CWnd& page, int id) {
    CRect rect;
    ::GetWindowRect(Item(page, id), &rect);
    page.ScreenToClient(&rect);
    return rect;
}

void Type(const CWnd& page, int id, const std::wstring& text) {
    ::SetWindowTextW(Item(page, id), text.c_str());
}

bool Click(const CWnd& page, int id) {
    HWND button = Item(page, id);
    if (button == nullptr || !::IsWindowEnabled(button) ||
        !(::GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE))
        return false;
    ::SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

} // namespace pagetest
