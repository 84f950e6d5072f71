// The baseline for start-up and idle figures: the least a dialog-based program does, built by
// the same toolchain as Vantor.exe and started the same way.
#include "bench/BaselineDialog.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : EndOnClose(dialog, message, wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0);
    return 0;
}
