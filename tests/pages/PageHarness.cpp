#include "PageHarness.h"

#include "token/TokenModuleOwner.h"
#include "res/resource.h"

#include <cstdio>
#include <memory>
#include <type_traits>

namespace pagetest {

namespace {

// The application object of the test program: the host window becomes its main window.
CWinApp g_testApp(L"Vantor page tests");

// The test program's top-level window, made once: without a window manager Wine takes two
// seconds to hide a top-level window, so the pages come and go inside this one.
class HostWindow final : public CWnd, public TokenModuleOwner {
  public:
    HostWindow() {
        CreateEx(0, nullptr, L"Orbel PKI 初始化工具",
                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CRect(20, 20, 700, 600), nullptr,
                 0);
        AfxGetApp()->m_pMainWnd = this;
    }
    ~HostWindow() override { AfxGetApp()->m_pMainWnd = nullptr; }
    TokenModule* GetTokenModule() override { return pages != nullptr ? pages->GetTokenModule() : nullptr; }

    PageHost* pages = nullptr;
};

HostWindow& TheHostWindow() {
    static HostWindow window;
    return window;
}

} // namespace

PageHost::PageHost() {
    HostWindow& window = TheHostWindow();
    window.pages = this;
    bBound = bench.Bind();
    blank.Create(IDD_BLANK_PAGE, &window);
    pki.Create(IDD_PKI_PAGE, &window);

    // The window's client area is exactly one page, as the main window's page frame is.
    CRect page;
    blank.GetWindowRect(&page);
    CRect outer(0, 0, page.Width(), page.Height());
    ::AdjustWindowRectEx(&outer, window.GetStyle(), FALSE, window.GetExStyle());
    window.SetWindowPos(nullptr, 20, 20, outer.Width(), outer.Height(), SWP_NOZORDER | SWP_SHOWWINDOW);
    blank.MoveWindow(0, 0, page.Width(), page.Height());
    pki.MoveWindow(0, 0, page.Width(), page.Height());
}

PageHost::~PageHost() {
    // As the main window closes: every run ended before the binding goes.
    blank.StopBatchAndWait();
    pki.StopBatchAndWait();
    TheHostWindow().pages = nullptr;
}

HWND PageHost::Window() const {
    return TheHostWindow().GetSafeHwnd();
}

void PageHost::ShowPage(int index) {
    if (index != 0)
        blank.ShowWindow(SW_HIDE);
    if (index != 1)
        pki.ShowWindow(SW_HIDE);
    if (index == 0)
        blank.ShowWindow(SW_SHOW);
    if (index == 1)
        pki.ShowWindow(SW_SHOW);
}

void PagesTest::SetUp() {
    host = std::make_unique<PageHost>();
    ASSERT_TRUE(host->bBound) << host->bench.Error();
    ASSERT_NE(host->blank.GetSafeHwnd(), nullptr);
    ASSERT_NE(host->pki.GetSafeHwnd(), nullptr);
    host->ShowPage(0);
    Pump(20);
}

void PagesTest::TearDown() {
    host.reset();
    // Leftover windows and messages of this test must not reach the next one.
    Pump(10);
}

int PagesTest::CallCount(const std::string& name) const {
    int count = 0;
    for (const std::string& call : host->bench.Calls())
        count += call == name;
    return count;
}

void Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= timeoutMs)
            return done();
        Pump(5);
    }
    return true;
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

UINT TypingLimit(const CWnd& page, int id) {
    return static_cast<UINT>(::SendMessageW(Item(page, id), EM_GETLIMITTEXT, 0, 0));
}

bool SaveScreenshot(HWND window, const std::wstring& name) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(20);
    CRect rect;
    ::GetWindowRect(window, &rect);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = rect.Width();
    header.biHeight = -rect.Height(); // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rect.Width()) * static_cast<DWORD>(rect.Height()) * 4;

    // The window's own surface, frame included: what it has drawn, whether or not the X
    // server has been given it yet.
    struct WindowDcRelease {
        HWND window;
        void operator()(HDC dc) const { ::ReleaseDC(window, dc); }
    };
    std::unique_ptr<std::remove_pointer_t<HDC>, WindowDcRelease> drawn(::GetWindowDC(window), {window});
    std::unique_ptr<std::remove_pointer_t<HDC>, decltype(&::DeleteDC)> memory(::CreateCompatibleDC(nullptr),
                                                                              &::DeleteDC);
    void* bits = nullptr;
    BitmapHandle bitmap(::CreateDIBSection(memory.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                           DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!drawn || !memory || !bitmap || bits == nullptr)
        return false;
    {
        SelectScope selected(memory.get(), bitmap);
        if (!::BitBlt(memory.get(), 0, 0, rect.Width(), rect.Height(), drawn.get(), 0, 0, SRCCOPY))
            return false;
        ::GdiFlush();
    }
    // Opaque everywhere: text leaves the fourth byte zero, which viewers take for transparency.
    auto* pixel = static_cast<DWORD*>(bits);
    for (DWORD i = 0; i < header.biSizeImage / 4; ++i)
        pixel[i] |= 0xFF000000u;
    ::CreateDirectoryW(L"..\\artifacts", nullptr); // tests run in <build>/bin
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::unique_ptr<FILE, decltype(&std::fclose)> out(_wfopen((L"..\\artifacts\\" + name).c_str(), L"wb"),
                                                      &std::fclose);
    return out && std::fwrite(&file, sizeof file, 1, out.get()) == 1 &&
           std::fwrite(&header, sizeof header, 1, out.get()) == 1 &&
           std::fwrite(bits, header.biSizeImage, 1, out.get()) == 1 && std::fflush(out.get()) == 0;
}

} // namespace pagetest
