#pragma once
// What both initialisation pages share on screen apart from the run page itself: the status
// colours, the PIN field's focus, control places, and the way to the binding and the ledger.
#include "controls/StatusLabel.h"
#include "ledger/Ledger.h"
#include "token/TokenModule.h"
#include "win/Afx.h"

#include <string>

class StockGate;

constexpr COLORREF kColorBlack = 0x00000000; // progress and success texts
constexpr COLORREF kColorRed = 0x000000FF;   // failures and the failure counter
constexpr COLORREF kColorBlue = 0x00FF0000;  // the success counter and the note line

// The main window's binding, read anew at every use: null without a main window that owns
// one.
TokenModule* CurrentTokenModule();
// The program's one ledger, owned by the main window: null without one. Read on the interface
// thread; the ledger outlives every batch worker, which may write to it.
Ledger* CurrentLedger();
// The stock list the main window holds (in force or not): null without one.
StockGate* CurrentStockGate();

void ShowStatus(CStatusLabel& status, COLORREF colour, const std::wstring& text);
// A counter's label shows its count in plain digits.
void ShowCount(CStatusLabel& label, unsigned long count);

// Whole text selected and the caret in view, so typing replaces it; then the focus.
void FocusWholeText(CEdit& field);

// `child`'s window rectangle in `page`'s client coordinates.
CRect RectInParent(const CWnd& page, const CWnd& child);
