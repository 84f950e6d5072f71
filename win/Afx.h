#pragma once
// The window layer in one include: strings, geometry, GDI owners, windows, controls,
// dialogs with data exchange, the application object and worker threads.
#include "win/DataExchange.h"
#include "win/Dialog.h"
#include "win/WinApp.h"
#include "win/WinControls.h"
#include "win/WinGdi.h"
#include "win/WinGeometry.h"
#include "win/WinString.h"
#include "win/WinThread.h"
#include "win/Wnd.h"
