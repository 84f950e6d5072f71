#pragma once
// The navigation bar: an owner-drawn list box drawing each item as a centred icon with its
// caption under it. The item under the mouse gets a raised frame, the pressed item and the
// active item (the current page) a sunken one. Every left-button release over the bar
// sends WM_OUTLOOKBAR_CLICK (wParam the selected index or -1, lParam the bar's control ID)
// to the owner window, or to the parent when no owner is set. The bar knows nothing of
// pages: the owner marks the current one with SetActiveItem and redraws the bar.
//
// The list box sends its owner-draw requests to its parent; the parent must be a window of
// the layer (the pager is), which hands them back to DrawItem and MeasureItem.
#include "win/Afx.h"

#include <list>
#include <memory>

constexpr UINT WM_OUTLOOKBAR_CLICK = WM_USER + 1019;

// One item of the bar, owned by the bar.
struct BAR_ITEM {
    IconHandle hIcon; // null when the icon resource is missing: the caption is still drawn
    int nIndex = 0;   // what LB_ADDSTRING answered for the item
    CString strText;
};

class COutlookBar : public CListBox {
  public:
    COutlookBar();

    // Creates the list box (LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT added) with the
    // stock DEFAULT_GUI_FONT; FALSE when the window cannot be made.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) override;
    // Appends an item with icon resource `nIconId` of the program and returns its index.
    int AddItem(UINT nIconId, LPCWSTR lpszText);
    // Marks the current page's item; returns the previous index. Does not redraw.
    int SetActiveItem(int nIndex);
    // The item at list position `nIndex`, or null when there is none.
    BAR_ITEM* GetItem(int nIndex);
    int GetActiveItem() const { return m_nActiveItem; }

    // Where an item drawn in `item` (client coordinates) has its frame and its caption.
    CRect ItemFrame(const CRect& item) const;
    CRect ItemCaption(const CRect& item) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // Hover timer: runs only while the cursor is over the bar.
    static constexpr UINT_PTR kHoverTimer = 1;
    static constexpr UINT kHoverPeriodMs = 10;

  protected:
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnWindowPosChanged(WINDOWPOS* lpwndpos) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // A pixel offset at the standard icon size, grown with the icon in force.
    int Scaled(int standardPixels) const;

    int m_cxIcon;
    int m_cyIcon;
    int m_nActiveItem = -1;
    bool m_bMouseInside = true;
    bool m_bButtonDown = false;
    CPoint m_ptMouse;

  public:
    COLORREF m_crBackColor; // written by the owner before Create
    COLORREF m_crTextColor;

  private:
    std::list<std::unique_ptr<BAR_ITEM>> m_itemList;
};
