#include "controls/PagerCtrl.h"

BOOL CPagerCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PAGESCROLLER_CLASS;
    // A failed registration shows as a failed creation below.
    ::InitCommonControlsEx(&controls);
    return CreateEx(0, WC_PAGESCROLLERW, nullptr, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID);
}
