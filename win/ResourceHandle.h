#pragma once
// The module whose resources the program loads: the executable itself, since the Win32 layer
// and the resources are linked into it.
#include <windows.h>

HINSTANCE AfxGetResourceHandle();
