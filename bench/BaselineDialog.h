#pragma once
// What the baseline programs' dialogs share: OK, Cancel and the close box end them, and
// nothing else is handled.
#include <windows.h>

inline INT_PTR EndOnClose(HWND dialog, UINT message, WPARAM wParam) {
    const bool closing = message == WM_CLOSE ||
                         (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL));
    if (closing)
        EndDialog(dialog, 0);
    return closing ? TRUE : FALSE;
}
