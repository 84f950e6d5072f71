#pragma once
// A static text with its own colour, font and background (system face colour, a solid colour
// or a horizontal gradient), optional blinking, links and rotated or 3-D text, painted
// through an off-screen bitmap. Attach it to a static of a dialog template (DDX_Control).
//
// The pages call SetTextColor(colour).SetText(text), also from their worker threads: the
// colour is one atomic value read once per paint, and the text reaches the window as a
// message sent to the interface thread.
#include "win/Afx.h"

#include <atomic>

// Notification code of a click on a label that notifies its parent (WM_NOTIFY).
constexpr UINT LABELN_CLICKED = 0x8200;

// What a link click does with its target: ShellExecuteW(no owner, verb, file, no
// parameters, no directory, SW_SHOWNORMAL) unless a test has put a recorder in its place.
using LinkOpener = void (*)(const wchar_t* verb, const wchar_t* file);
LinkOpener SetLinkOpener(LinkOpener opener); // null restores ShellExecuteW; returns the previous

class CStatusLabel : public CStatic {
  public:
    CStatusLabel();
    ~CStatusLabel() override = default;

    // Every operation returns the label, so that calls can be chained.
    virtual CStatusLabel& SetBkColor(COLORREF crBack, COLORREF crBackEnd = 0, BOOL bGradient = FALSE);
    virtual CStatusLabel& SetTextColor(COLORREF crText);
    // Text of string-table entry `nStringId`, empty when there is none.
    virtual CStatusLabel& SetText(UINT nStringId);
    // Only when the label's window exists; otherwise nothing happens.
    virtual CStatusLabel& SetText(const CString& strText);
    virtual CStatusLabel& SetFontBold(BOOL bBold);
    // Face names longer than 31 characters are cut to 31.
    virtual CStatusLabel& SetFontName(const CString& strFace, BYTE byCharSet = DEFAULT_CHARSET);
    virtual CStatusLabel& SetFontUnderline(BOOL bSet);
    virtual CStatusLabel& SetFontItalic(BOOL bSet);
    // A size for which no font can be made (or a size below 1) keeps the current height.
    virtual CStatusLabel& SetFontSize(int nPoints);
    virtual CStatusLabel& SetSunken(BOOL bSet);
    virtual CStatusLabel& SetBorder(BOOL bSet);
    virtual CStatusLabel& SetTransparent(BOOL bSet);
    virtual CStatusLabel& FlashText(BOOL bFlash);
    // The blink swaps background and text colour every 500 ms.
    virtual CStatusLabel& FlashBackground(BOOL bFlash);
    virtual CStatusLabel& SetLink(BOOL bLink, BOOL bNotifyParent);
    virtual CStatusLabel& SetLinkCursor(HCURSOR hCursor);
    virtual CStatusLabel& SetText3D(BOOL b3D, BOOL bDownRight = TRUE);
    virtual CStatusLabel& SetRotationAngle(int nDegrees, BOOL bRotate);
    virtual CStatusLabel& SetText3DColor(COLORREF cr3DColor);
    virtual CStatusLabel& SetLogFont(LOGFONTW lf);
    virtual CStatusLabel& SetMailtoLink(BOOL bMail, BOOL bNotifyParent);
    virtual CStatusLabel& SetLinkTarget(const CString& strTarget);

    COLORREF GetTextColor() const { return m_crText.load(); }
    const LOGFONTW& GetLogFontRecord() const { return m_lf; }
    HFONT GetLabelFont() const { return m_font.GetSafeHandle(); }

    // A horizontal gradient from `crFrom` to `crTo` in at most `nBands` solid bands.
    static void FillGradient(HDC dc, const RECT& rect, COLORREF crFrom, COLORREF crTo, int nBands);

  protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnSysColorChange() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;

    void Repaint();
    void RebuildFont();

  private:
    // Kills a running blink timer; with bFlash starts blink `nKind` in its dark phase.
    void RestartBlink(BOOL bFlash, int nKind);
    bool HasWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    void SetLinkKind(int kind, BOOL bNotifyParent);
    void PaintInto(HDC dc, const CRect& client);
    COLORREF BackgroundColour() const;
    UINT TextFormat(const CString& text) const;

    std::atomic<COLORREF> m_crText;
    COLORREF m_cr3DColor = RGB(255, 255, 255);
    BrushHandle m_hDefaultBrush;
    BrushHandle m_hBackBrush;
    LOGFONTW m_lf{};
    CFont m_font;
    BOOL m_bBlinkPhase = FALSE;
    BOOL m_bTimerOn = FALSE;
    int m_nLinkKind = 0;
    BOOL m_bTransparent = FALSE;
    BOOL m_b3DText = FALSE;
    BOOL m_bNotifyParent = FALSE;
    BOOL m_bRotate = FALSE;
    int m_nBlinkKind = 0;
    HCURSOR m_hLinkCursor = nullptr; // not owned
    BOOL m_b3DDownRight = TRUE;
    BOOL m_bGradient = FALSE;
    COLORREF m_crBackEnd = 0;
    COLORREF m_crBack = 0;
    CString m_strLinkTarget;
};
