#pragma once
// The window layer in one include: strings, geometry, GDI owners, windows, controls,
// dialogs with data exchange, the application object and worker threads.
#include "DataExchange.h"
#include "Dialog.h"
#include "WinApp.h"
#include "WinControls.h"
#include "WinGdi.h"
#include "WinGeometry.h"
#include "WinString.h"
#include "WinThread.h"
#include "Wnd.h"
