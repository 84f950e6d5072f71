#include "controls/OutlookBar.h"

#include <algorithm>

namespace {
// Pixel offsets of an item's drawing at the standard 32-pixel icon; they grow with the icon,
// which the system makes larger at 125 % and 150 %, as the caption's font does.
constexpr int kStandardIcon = 32;
constexpr int kIconTop = 15;
constexpr int kFrameTop = 13;
constexpr int kFrameBottom = 50; // from the item's top: 14 above the bottom of a 64-pixel item
constexpr int kFrameMargin = 4;  // the frame is this much wider than the icon
constexpr int kCaptionGap = 2;   // between the frame's bottom and the caption
constexpr int kCaptionSide = 7;

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    COLORREF previous = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}
} // namespace

COutlookBar::COutlookBar()
    : m_cxIcon(::GetSystemMetrics(SM_CXICON)), m_cyIcon(::GetSystemMetrics(SM_CYICON)),
      m_crBackColor(::GetSysColor(COLOR_BTNSHADOW)), m_crTextColor(::GetSysColor(COLOR_WINDOW)) {}

BOOL COutlookBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (!CListBox::Create(dwStyle | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return TRUE;
}

int COutlookBar::AddItem(UINT nIconId, LPCWSTR lpszText) {
    auto item = std::make_unique<BAR_ITEM>();
    // Without LBS_HASSTRINGS the list box keeps the pointer only as item data.
    item->nIndex = static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszText)));
    item->strText = lpszText;
    const wchar_t* name = MAKEINTRESOURCEW(LOWORD(nIconId));
    HINSTANCE module = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    item->hIcon.Reset(
        static_cast<HICON>(::LoadImageW(module, name, IMAGE_ICON, m_cxIcon, m_cyIcon, LR_DEFAULTCOLOR)));
    int index = item->nIndex;
    m_itemList.push_back(std::move(item));
    return index;
}

int COutlookBar::SetActiveItem(int nIndex) {
    int previous = m_nActiveItem;
    m_nActiveItem = nIndex;
    return previous;
}

BAR_ITEM* COutlookBar::GetItem(int nIndex) {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_itemList.size())
        return nullptr;
    auto it = m_itemList.begin();
    std::advance(it, nIndex);
    return it->get();
}

void COutlookBar::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    // Twice the icon, or taller when the caption's font needs more room under the frame (an
    // English caption's descenders in a Chinese desktop's font).
    ClientDC dc(m_hWnd);
    SelectScope font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRICW metrics{};
    const int lineHeight = ::GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
    const int captionTop = Scaled(kFrameBottom) + kCaptionGap;
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(std::max(2 * m_cyIcon, captionTop + lineHeight));
}

int COutlookBar::Scaled(int standardPixels) const {
    return ::MulDiv(standardPixels, m_cyIcon, kStandardIcon);
}

CRect COutlookBar::ItemFrame(const CRect& item) const {
    CRect frame;
    frame.left = item.left + (item.Width() - m_cxIcon - kFrameMargin) / 2;
    frame.right = frame.left + m_cxIcon + kFrameMargin;
    frame.top = item.top + Scaled(kFrameTop);
    frame.bottom = item.top + Scaled(kFrameBottom);
    return frame;
}

CRect COutlookBar::ItemCaption(const CRect& item) const {
    CRect caption = item;
    caption.DeflateRect(kCaptionSide, 0, kCaptionSide, 0);
    caption.top = ItemFrame(item).bottom + kCaptionGap;
    return caption;
}

void COutlookBar::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    HDC dc = lpDrawItemStruct->hDC;
    CRect item = lpDrawItemStruct->rcItem;
    int width = item.Width();
    int itemId = static_cast<int>(lpDrawItemStruct->itemID);
    // The list box may ask for an index it does not hold (-1 for the focus of an empty
    // list); such a request gets the background only.
    BAR_ITEM* record = GetItem(itemId);

    SavedDC saved(dc);
    ::SetTextColor(dc, m_crTextColor);
    ::SetBkColor(dc, m_crBackColor);
    FillSolid(dc, item, m_crBackColor);
    if (record == nullptr)
        return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));

    if (record->hIcon.Get() != nullptr)
        ::DrawIcon(dc, (width - m_cxIcon) / 2, item.top + Scaled(kIconTop), record->hIcon.Get());

    CRect caption = ItemCaption(item);
    ::DrawTextW(dc, record->strText, -1, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);

    CRect frame = ItemFrame(item);

    bool hot = (lpDrawItemStruct->itemState & ODS_SELECTED) && m_bMouseInside;
    bool active = itemId == m_nActiveItem;
    UINT edge = 0;
    if (hot)
        edge = (m_bButtonDown || active) ? BDR_SUNKENINNER : BDR_RAISEDOUTER;
    else if (active)
        edge = BDR_SUNKENINNER;
    if (edge != 0)
        ::DrawEdge(dc, &frame, edge, BF_RECT);
}

LRESULT COutlookBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Printing the window must show what painting shows.
    if (message == WM_PRINTCLIENT) {
        OnPaint();
        return 0;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

void COutlookBar::OnPaint() {
    PaintDC paint(m_hWnd, GetPaintTarget());
    CRect client;
    GetClientRect(&client);
    MemoryDC memory(paint, client.Size());
    if (!memory.IsValid())
        return;
    ::SetMapMode(memory, ::GetMapMode(paint));
    FillSolid(memory, client, m_crBackColor);
    // The list box draws its items (through DrawItem) into the off-screen context.
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memory.Get()), 0);
    ::BitBlt(paint, client.left, client.top, client.Width(), client.Height(), memory, client.left, client.top,
             SRCCOPY);
}

BOOL COutlookBar::OnEraseBkgnd(HDC) {
    return FALSE;
}

void COutlookBar::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
    CListBox::OnWindowPosChanged(lpwndpos);
    Invalidate(TRUE);
}

void COutlookBar::OnMouseMove(UINT nFlags, CPoint point) {
    m_ptMouse = point;
    SetTimer(kHoverTimer, kHoverPeriodMs);
    CListBox::OnMouseMove(nFlags, point);
}

void COutlookBar::OnTimer(UINT_PTR) {
    CRect window;
    GetWindowRect(&window);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (window.PtInRect(cursor)) {
        m_bMouseInside = true;
        BOOL outside = TRUE;
        int hovered = static_cast<int>(ItemFromPoint(m_ptMouse, outside));
        if (hovered != GetCurSel() && !outside)
            SetCurSel(hovered);
    } else {
        m_bMouseInside = false;
        if (!m_bButtonDown)
            SetCurSel(-1);
        KillTimer(kHoverTimer);
    }
}

void COutlookBar::OnLButtonDown(UINT nFlags, CPoint point) {
    m_bButtonDown = true;
    SetCurSel(GetCurSel());
    CListBox::OnLButtonDown(nFlags, point);
}

void COutlookBar::OnLButtonUp(UINT nFlags, CPoint point) {
    m_bButtonDown = false;
    int selection = GetCurSel();
    SetCurSel(selection);
    if (CWnd* owner = GetOwner())
        ::SendMessageW(owner->m_hWnd, WM_OUTLOOKBAR_CLICK, static_cast<WPARAM>(selection),
                       static_cast<LPARAM>(GetDlgCtrlID()));
    CListBox::OnLButtonUp(nFlags, point);
}
