#include "controls/StatusLabel.h"

#include <shellapi.h>

#include <algorithm>

namespace {
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkPeriodMs = 500;
constexpr int kGradientBands = 100;
// Larger sizes would overflow the tenths of a point the font is asked for.
constexpr int kMaxPointSize = 10000;

void ShellOpen(const wchar_t* verb, const wchar_t* file) {
    ::ShellExecuteW(nullptr, verb, file, nullptr, nullptr, SW_SHOWNORMAL);
}

LinkOpener g_linkOpener = &ShellOpen;

COLORREF BrushColour(HBRUSH brush, COLORREF fallback) {
    LOGBRUSH info{};
    if (brush == nullptr || ::GetObjectW(brush, sizeof info, &info) != sizeof info)
        return fallback;
    return info.lbColor;
}
} // namespace

LinkOpener SetLinkOpener(LinkOpener opener) {
    LinkOpener previous = g_linkOpener;
    g_linkOpener = opener ? opener : &ShellOpen;
    return previous;
}

CStatusLabel::CStatusLabel()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_hDefaultBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))) {}

CStatusLabel& CStatusLabel::SetBkColor(COLORREF crBack, COLORREF crBackEnd, BOOL bGradient) {
    m_crBack = crBack;
    m_crBackEnd = crBackEnd;
    m_bGradient = bGradient;
    m_hBackBrush.Reset(bGradient ? nullptr : ::CreateSolidBrush(crBack));
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetTextColor(COLORREF crText) {
    m_crText.store(crText);
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetText(UINT nStringId) {
    CString text;
    text.LoadString(nStringId);
    return SetText(text);
}

CStatusLabel& CStatusLabel::SetText(const CString& strText) {
    if (HasWindow()) {
        SetWindowText(strText);
        Repaint();
    }
    return *this;
}

CStatusLabel& CStatusLabel::SetFontBold(BOOL bBold) {
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetFontName(const CString& strFace, BYTE byCharSet) {
    m_lf.lfCharSet = byCharSet;
    // At most LF_FACESIZE - 1 characters, always terminated.
    ::lstrcpynW(m_lf.lfFaceName, strFace, LF_FACESIZE);
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetFontUnderline(BOOL bSet) {
    m_lf.lfUnderline = static_cast<BYTE>(bSet & 0xFF);
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetFontItalic(BOOL bSet) {
    m_lf.lfItalic = static_cast<BYTE>(bSet & 0xFF);
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetFontSize(int nPoints) {
    CFont sized;
    LOGFONTW measured{};
    if (nPoints >= 1 && nPoints <= kMaxPointSize && sized.CreatePointFont(nPoints * 10, m_lf.lfFaceName) &&
        sized.GetLogFont(&measured) != 0) {
        m_lf.lfHeight = measured.lfHeight;
        m_lf.lfWidth = measured.lfWidth;
    }
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetSunken(BOOL bSet) {
    if (HasWindow())
        ModifyStyleEx(bSet ? 0 : WS_EX_STATICEDGE, bSet ? WS_EX_STATICEDGE : 0, SWP_DRAWFRAME);
    return *this;
}

CStatusLabel& CStatusLabel::SetBorder(BOOL bSet) {
    if (HasWindow())
        ModifyStyle(bSet ? 0 : WS_BORDER, bSet ? WS_BORDER : 0, SWP_DRAWFRAME);
    return *this;
}

CStatusLabel& CStatusLabel::SetTransparent(BOOL bSet) {
    m_bTransparent = bSet;
    if (HasWindow())
        ModifyStyleEx(0, WS_EX_TRANSPARENT);
    Repaint();
    return *this;
}

void CStatusLabel::RestartBlink(BOOL bFlash, int nKind) {
    if (m_bTimerOn && HasWindow())
        KillTimer(kBlinkTimer);
    if (!bFlash)
        return;
    m_bBlinkPhase = FALSE;
    m_bTimerOn = TRUE;
    // Without a window there is nothing to blink: a timer on no window would tick
    // on the calling thread instead.
    if (HasWindow())
        SetTimer(kBlinkTimer, kBlinkPeriodMs);
    m_nBlinkKind = nKind;
}

CStatusLabel& CStatusLabel::FlashText(BOOL bFlash) {
    RestartBlink(bFlash, 1);
    if (!bFlash)
        m_nBlinkKind = 0;
    return *this;
}

CStatusLabel& CStatusLabel::FlashBackground(BOOL bFlash) {
    RestartBlink(bFlash, 2);
    // The background blink is visible, so stopping it must not leave the label inverted.
    if (!bFlash && m_nBlinkKind == 2)
        m_nBlinkKind = 0;
    return *this;
}

void CStatusLabel::SetLinkKind(int kind, BOOL bNotifyParent) {
    m_nLinkKind = kind;
    m_bNotifyParent = bNotifyParent;
    // A static control sees the mouse only with SS_NOTIFY.
    if (HasWindow())
        ModifyStyle(kind != 0 ? 0 : SS_NOTIFY, kind != 0 ? SS_NOTIFY : 0);
}

CStatusLabel& CStatusLabel::SetLink(BOOL bLink, BOOL bNotifyParent) {
    SetLinkKind(bLink ? 1 : 0, bNotifyParent);
    return *this;
}

CStatusLabel& CStatusLabel::SetLinkCursor(HCURSOR hCursor) {
    m_hLinkCursor = hCursor;
    return *this;
}

CStatusLabel& CStatusLabel::SetText3D(BOOL b3D, BOOL bDownRight) {
    m_b3DText = b3D;
    m_b3DDownRight = bDownRight;
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetRotationAngle(int nDegrees, BOOL bRotate) {
    m_lf.lfEscapement = m_lf.lfOrientation = nDegrees * 10;
    m_bRotate = bRotate;
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetText3DColor(COLORREF cr3DColor) {
    m_cr3DColor = cr3DColor;
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetLogFont(LOGFONTW lf) {
    m_lf = lf;
    m_lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    RebuildFont();
    Repaint();
    return *this;
}

CStatusLabel& CStatusLabel::SetMailtoLink(BOOL bMail, BOOL bNotifyParent) {
    SetLinkKind(bMail ? 2 : 0, bNotifyParent);
    return *this;
}

CStatusLabel& CStatusLabel::SetLinkTarget(const CString& strTarget) {
    m_strLinkTarget = strTarget;
    return *this;
}

void CStatusLabel::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ source = font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT);
    if (::GetObjectW(source, sizeof m_lf, &m_lf) == 0)
        ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof m_lf, &m_lf);
    RebuildFont();
}

BOOL CStatusLabel::PreCreateWindow(CREATESTRUCTW& cs) {
    return CStatic::PreCreateWindow(cs);
}

void CStatusLabel::RebuildFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

void CStatusLabel::Repaint() {
    if (!HasWindow())
        return;
    CRect rect;
    GetWindowRect(&rect);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND parent = ::GetParent(m_hWnd);
    if (parent == nullptr)
        return;
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&rect), 2);
    ::InvalidateRect(parent, &rect, TRUE);
    ::UpdateWindow(parent);
}

LRESULT CStatusLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Printing the window (PrintWindow, WM_PRINT) asks for the client area this way; it
    // must show what painting shows.
    if (message == WM_PRINTCLIENT) {
        OnPaint();
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CStatusLabel::OnTimer(UINT_PTR) {
    m_bBlinkPhase = !m_bBlinkPhase;
    Repaint();
    Default();
}

void CStatusLabel::OnLButtonDown(UINT, CPoint) {
    if (m_bNotifyParent) {
        NMHDR header{};
        header.hwndFrom = m_hWnd;
        header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
        header.code = LABELN_CLICKED;
        ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    } else if (m_nLinkKind == 1 || m_nLinkKind == 2) {
        CString text;
        GetWindowText(text);
        if (m_nLinkKind == 1)
            g_linkOpener(L"open", m_strLinkTarget.IsEmpty() ? text : m_strLinkTarget);
        else
            g_linkOpener(nullptr, CString(L"mailto:") + text);
    }
    Default();
}

BOOL CStatusLabel::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (m_hLinkCursor != nullptr) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return CStatic::OnSetCursor(window, hitTest, message);
}

void CStatusLabel::OnSysColorChange() {
    m_hDefaultBrush.Reset(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    Repaint();
}

BOOL CStatusLabel::OnEraseBkgnd(HDC) {
    return TRUE;
}

void CStatusLabel::OnPaint() {
    PaintDC paint(m_hWnd, GetPaintTarget());
    CRect client;
    GetClientRect(&client);
    if (m_bTransparent) {
        PaintInto(paint, client);
        return;
    }
    PaintBuffered(paint, client, [&](HDC dc) { PaintInto(dc, client); });
}

COLORREF CStatusLabel::BackgroundColour() const {
    if (m_bGradient)
        return m_crBack;
    return BrushColour(m_hBackBrush ? m_hBackBrush.Get() : m_hDefaultBrush.Get(),
                       ::GetSysColor(COLOR_BTNFACE));
}

UINT CStatusLabel::TextFormat(const CString& text) const {
    DWORD style = GetStyle();
    UINT format;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        format = DT_LEFT;
        break;
    default:
        format = DT_LEFT | DT_WORDBREAK;
        break;
    }
    if (text.Find(L'\t') >= 0)
        format |= DT_EXPANDTABS;
    if (style & SS_CENTERIMAGE)
        format = text.Find(L"\r\n") >= 0 ? DT_CENTER : (DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return format;
}

void CStatusLabel::PaintInto(HDC dc, const CRect& client) {
    CString text;
    GetWindowText(text);
    // One read: a worker may change the colour while this paints.
    COLORREF textColour = m_crText.load();

    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF previousColour = ::SetTextColor(dc, textColour);
    SelectScope font(dc, m_font.GetSafeHandle());

    if (!m_bTransparent) {
        if (m_nBlinkKind == 2 && !m_bBlinkPhase) {
            // Background blink, dark phase: text colour and background change places.
            BrushHandle inverse(::CreateSolidBrush(textColour));
            ::FillRect(dc, &client, inverse);
            ::SetTextColor(dc, BackgroundColour());
        } else if (m_bGradient) {
            FillGradient(dc, client, m_crBack, m_crBackEnd, kGradientBands);
        } else {
            ::FillRect(dc, &client, m_hBackBrush ? m_hBackBrush.Get() : m_hDefaultBrush.Get());
        }
    }
    if (!m_bBlinkPhase && m_nBlinkKind == 1)
        ::SetTextColor(dc, BrushColour(m_hBackBrush, RGB(0, 0, 0)));

    UINT format = TextFormat(text);
    if (m_bRotate) {
        UINT previousAlign = ::SetTextAlign(dc, TA_BASELINE);
        POINT previousOrigin{};
        ::SetViewportOrgEx(dc, client.Width() / 2, client.Height() / 2, &previousOrigin);
        ::TextOutW(dc, 0, 0, text, text.GetLength());
        ::SetViewportOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
        ::SetTextAlign(dc, previousAlign);
    } else {
        CRect box = client;
        ::DrawTextW(dc, text, -1, &box, format);
        if (m_b3DText) {
            ::SetTextColor(dc, m_cr3DColor);
            int offset = m_b3DDownRight ? 1 : -1;
            box = client;
            box.OffsetRect(offset, offset);
            ::DrawTextW(dc, text, -1, &box, format);
        }
    }
    ::SetBkMode(dc, previousMode);
    ::SetTextColor(dc, previousColour);
}

void CStatusLabel::FillGradient(HDC dc, const RECT& rect, COLORREF crFrom, COLORREF crTo, int nBands) {
    int width = rect.right - rect.left;
    int bands = std::min(nBands, width);
    if (bands <= 0)
        return;
    int divisor = bands > 1 ? bands : 1;

    // Channels in 1/256 steps, so that many narrow bands still move the colour.
    int red = GetRValue(crFrom) * 256;
    int green = GetGValue(crFrom) * 256;
    int blue = GetBValue(crFrom) * 256;
    int redStep = ((GetRValue(crTo) - GetRValue(crFrom)) * 256) / divisor;
    int greenStep = ((GetGValue(crTo) - GetGValue(crFrom)) * 256) / divisor;
    int blueStep = ((GetBValue(crTo) - GetBValue(crFrom)) * 256) / divisor;
    int bandWidth = width / divisor;

    SelectScope pen(dc, ::GetStockObject(NULL_PEN));
    int x = rect.left;
    for (int i = 0; i < bands; ++i) {
        int right = (i == bands - 1) ? rect.right : x + bandWidth;
        COLORREF colour = RGB((red / 256) & 0xFF, (green / 256) & 0xFF, (blue / 256) & 0xFF);
        BrushHandle brush(::CreateSolidBrush(colour));
        {
            SelectScope selected(dc, brush);
            // A null pen leaves the right and bottom edge unpainted, hence one more of each.
            ::Rectangle(dc, x, rect.top, right + 1, rect.bottom + 1);
        }
        red += redStep;
        green += greenStep;
        blue += blueStep;
        x = right;
    }
}
