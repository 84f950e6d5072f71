#include "win/WinGdi.h"

#include <cstdlib>

MemoryDC::MemoryDC(HDC reference, SIZE size) : m_dc(::CreateCompatibleDC(reference)) {
    if (m_dc == nullptr)
        return;
    // A zero-sized bitmap cannot be made; one pixel keeps the context usable.
    int width = size.cx > 0 ? size.cx : 1;
    int height = size.cy > 0 ? size.cy : 1;
    m_bitmap.Reset(::CreateCompatibleBitmap(reference, width, height));
    if (m_bitmap)
        m_previousBitmap = ::SelectObject(m_dc, m_bitmap.Get());
}

MemoryDC::~MemoryDC() {
    if (m_dc == nullptr)
        return;
    if (m_previousBitmap != nullptr)
        ::SelectObject(m_dc, m_previousBitmap);
    ::DeleteDC(m_dc);
    // m_bitmap goes after the context no longer holds it.
}

PaintDC::PaintDC(HWND window, HDC given) : m_window(window), m_dc(given), m_begun(given == nullptr) {
    if (m_begun)
        m_dc = ::BeginPaint(window, &m_paint);
    else
        ::GetClipBox(given, &m_paint.rcPaint);
}

PaintDC::~PaintDC() {
    if (m_begun)
        ::EndPaint(m_window, &m_paint);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont) {
    if (logFont == nullptr)
        return FALSE;
    HFONT font = ::CreateFontIndirectW(logFont);
    if (font == nullptr)
        return FALSE;
    m_font.Reset(font);
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSize, const wchar_t* faceName, HDC dc) {
    LOGFONTW logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (faceName != nullptr)
        lstrcpynW(logFont.lfFaceName, faceName, LF_FACESIZE);

    HDC screen = nullptr;
    HDC measure = dc;
    if (measure == nullptr)
        measure = screen = ::GetDC(nullptr);
    // Tenths of a point to logical units: device pixels per inch over 720.
    POINT height{0, ::MulDiv(::GetDeviceCaps(measure, LOGPIXELSY), pointSize, 720)};
    POINT origin{0, 0};
    ::DPtoLP(measure, &height, 1);
    ::DPtoLP(measure, &origin, 1);
    logFont.lfHeight = -std::abs(height.y - origin.y);
    if (screen != nullptr)
        ::ReleaseDC(nullptr, screen);
    return CreateFontIndirect(&logFont);
}

BOOL CFont::DeleteObject() {
    if (!m_font)
        return FALSE;
    m_font.Reset();
    return TRUE;
}

int CFont::GetLogFont(LOGFONTW* logFont) const {
    if (!m_font || logFont == nullptr)
        return 0;
    return ::GetObjectW(m_font.Get(), sizeof(LOGFONTW), logFont);
}

void PaintBuffered(HDC target, const RECT& client, const std::function<void(HDC)>& paint) {
    const SIZE size{client.right - client.left, client.bottom - client.top};
    MemoryDC memory(target, size);
    if (!memory.IsValid()) {
        paint(target);
        return;
    }
    paint(memory);
    ::BitBlt(target, client.left, client.top, size.cx, size.cy, memory, client.left, client.top, SRCCOPY);
}
