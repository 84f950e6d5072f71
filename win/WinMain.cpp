// The program's entry point: runs the one global application object.
#include "win/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return AfxWinRun(instance);
}
