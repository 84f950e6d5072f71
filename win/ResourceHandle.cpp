#include "win/ResourceHandle.h"

HINSTANCE AfxGetResourceHandle() {
    return ::GetModuleHandleW(nullptr);
}
