// What the interface's windows cost by themselves: the program's own templates (the main
// window and its three pages, created the way Vantor.exe creates them) with the same
// resources and manifest, but no code behind them: no module, no navigation bar, no page
// logic. Started by the start-up benchmark next to Vantor.exe and MinimalDialog.exe, it
// tells the cost of the windows apart from the cost of the program.
#include "bench/BaselineDialog.h"

#include <commctrl.h>

#include <initializer_list>

#include "res/resource.h"

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

void CreatePages(HWND dialog) {
    RECT frame{};
    GetWindowRect(GetDlgItem(dialog, IDC_MAIN_PAGE_FRAME), &frame);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&frame), 2);
    HWND first = nullptr;
    for (UINT id : {IDD_WIPE_PAGE, IDD_PKI_PAGE, IDD_INFO_PAGE}) {
        HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), dialog, PageProc, 0);
        MoveWindow(page, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
        if (first == nullptr)
            first = page;
    }
    ShowWindow(first, SW_SHOW);
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_INITDIALOG)
        return EndOnClose(dialog, message, wParam);
    SetWindowTextW(dialog, L"TemplateDialog");
    CreatePages(dialog);
    return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PAGESCROLLER_CLASS};
    InitCommonControlsEx(&controls);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainProc, 0);
    return 0;
}
