#pragma once
// What both initialisation pages share on screen: the status colours, counters, the button
// layout of single and batch mode, the PIN field's focus, and the way to the binding.
#include "win/Afx.h"
#include "controls/StatusLabel.h"
#include "token/TokenModule.h"

#include <string>

constexpr COLORREF kColorBlack = 0x00000000; // progress and success texts
constexpr COLORREF kColorRed = 0x000000FF;   // failures and the failure counter
constexpr COLORREF kColorBlue = 0x00FF0000;  // the success counter and the note line

// The main window's binding, read anew at every use: null without a main window that owns
// one.
TokenModule* CurrentTokenModule();

void ShowStatus(CStatusLabel& status, COLORREF colour, const std::wstring& text);
// Counters read "%d".
void ShowCount(CStatusLabel& label, int count);
// One counted outcome: the total grows (its colour untouched), and so does `nTally`, shown in
// `tallyColour`.
void CountOutcome(int& nTotal, CStatusLabel& lblTotal, int& nTally, CStatusLabel& lblTally,
                  COLORREF tallyColour);

// A page's reset on screen: the three counters read "0" (their colours stay) and the status
// line asks, in black, for a token and a press of Start.
void ShowFreshPage(CStatusLabel& lblTotal, CStatusLabel& lblSuccess, CStatusLabel& lblFail,
                   CStatusLabel& lblStatus);
// A change of mode asks for a token and a press of Start again, in the status line's colour.
void ShowStartPrompt(CStatusLabel& lblStatus);
// Running: Start disabled and Stop enabled; otherwise the other way round.
void ShowRunButtons(CButton& start, CButton& stop, bool bRunning);

// Whole text selected and the caret in view, so typing replaces it; then the focus.
void FocusWholeText(CEdit& field);

// `child`'s window rectangle in `page`'s client coordinates.
CRect RectInParent(const CWnd& page, const CWnd& child);

// Batch mode: Stop shown and disabled, Start back at `rcStart` and enabled. Single mode:
// Stop hidden and Start laid exactly over Stop's place.
void LayOutRunButtons(const CWnd& page, bool bBatch, CButton& start, CButton& stop, const CRect& rcStart);
