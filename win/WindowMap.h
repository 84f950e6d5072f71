#pragma once
// Which object each window is bound to, for every thread of the process.
//
// The lookup runs for every message a bound window receives. It is kept in the process
// rather than in a window property because reading a property is a call into the window
// system (under Wine a round trip to its server), where this is a hash lookup.
#include <windows.h>

class CWnd;

namespace WindowMap {

// False when `window` is bound already, to this object or another.
bool Add(HWND window, CWnd* object);
CWnd* Find(HWND window);
// Forgets the binding if `window` is bound to `object`; a binding of another object stays.
void Remove(HWND window, const CWnd* object);

} // namespace WindowMap
