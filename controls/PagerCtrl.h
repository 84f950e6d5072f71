#pragma once
// The common-controls pager ("SysPager") that hosts the navigation bar. Being a window of
// the layer, it hands the bar's owner-draw requests back to the bar.
#include "win/Afx.h"

#include <commctrl.h>

class CPagerCtrl : public CWnd {
  public:
    // Vertical pager (no PGS_HORZ) with WS_CLIPCHILDREN added.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetChild(HWND child) { SendMessage(PGM_SETCHILD, 0, reinterpret_cast<LPARAM>(child)); }
    void SetButtonSize(int size) { SendMessage(PGM_SETBUTTONSIZE, 0, size); }
};
