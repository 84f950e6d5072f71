#include "win/WinTestSupport.h"

#include "support/WaitFor.h"

#include <cstdio>

namespace wintest {

void FlushEvents(DWORD ms) {
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
        HandlePending();
    }
}

void HandlePending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return WaitForOutcome(
        done, [] { FlushEvents(10); }, timeoutMs);
}

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<const DWORD*>(bits);
    m_previous = ::SelectObject(m_dc, m_bitmap);
    RECT all{0, 0, width, height};
    BrushHandle brush(::CreateSolidBrush(fill));
    ::FillRect(m_dc, &all, brush);
    ::GdiFlush();
}

Canvas::~Canvas() {
    ::SelectObject(m_dc, m_previous);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

COLORREF Canvas::Pixel(int x, int y) const {
    ::GdiFlush();
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_bits == nullptr)
        return CLR_INVALID;
    DWORD value = m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
    // The DIB holds 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

namespace {
CRect Clip(const RECT* area, int width, int height) {
    CRect r = area ? CRect(*area) : CRect(0, 0, width, height);
    r.left = r.left < 0 ? 0 : r.left;
    r.top = r.top < 0 ? 0 : r.top;
    r.right = r.right > width ? width : r.right;
    r.bottom = r.bottom > height ? height : r.bottom;
    return r;
}
} // namespace

Match Exactly(COLORREF colour) {
    return [colour](COLORREF pixel) { return pixel == colour; };
}

Match Closer(COLORREF colour, COLORREF other) {
    auto distance = [](COLORREF a, COLORREF b) {
        int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b),
            db = GetBValue(a) - GetBValue(b);
        return dr * dr + dg * dg + db * db;
    };
    return [=](COLORREF pixel) { return distance(pixel, colour) < distance(pixel, other); };
}

int Canvas::Count(const Match& match, const RECT* area) const {
    CRect r = Clip(area, m_width, m_height);
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += match(Pixel(x, y));
    return count;
}

void PrintClient(HWND window, Canvas& canvas) {
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
}

void CaptureClient(HWND window, Canvas& canvas) {
    ::UpdateWindow(window);
    FlushEvents(30);
    ClientDC screen(window);
    ::BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, 0, 0, SRCCOPY);
    ::GdiFlush();
}

CWnd& TestHost() {
    static CWnd host;
    if (host.m_hWnd == nullptr) {
        host.CreateEx(0, nullptr, L"tests", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 1200, 900),
                      nullptr, 0);
        ::SetForegroundWindow(host.m_hWnd);
        FlushEvents(50);
    }
    return host;
}

RecordingWindow::RecordingWindow(int width, int height) {
    CreateEx(0, nullptr, L"recording", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, width, height),
             &TestHost(), 0);
    FlushEvents(20);
}

int RecordingWindow::CountOf(UINT message) const {
    int count = 0;
    for (const auto& r : records)
        count += r.message == message;
    return count;
}

LRESULT RecordingWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY || message >= WM_USER) {
        Record record{message, wParam, lParam, {}};
        if (message == WM_NOTIFY && lParam != 0)
            record.notify = *reinterpret_cast<const NMHDR*>(lParam);
        records.push_back(record);
        if (message >= WM_USER)
            return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

} // namespace wintest
