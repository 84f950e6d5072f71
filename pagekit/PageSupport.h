#pragma once
// What both initialisation pages share on screen apart from the run page itself: the status
// colours, the PIN field's focus and control places.
#include "controls/StatusLabel.h"
#include "win/Afx.h"

#include <string>

constexpr COLORREF kColorBlack = 0x00000000; // progress and success texts
constexpr COLORREF kColorRed = 0x000000FF;   // failures and the failure counter
constexpr COLORREF kColorBlue = 0x00FF0000;  // the success counter and the note line

void ShowStatus(CStatusLabel& status, COLORREF colour, const std::wstring& text);
// A counter's label shows its count in plain digits.
void ShowCount(CStatusLabel& label, unsigned long count);

// Whole text selected and the caret in view, so typing replaces it; then the focus.
void FocusWholeText(CEdit& field);

// `child`'s window rectangle in `page`'s client coordinates.
CRect RectInParent(const CWnd& page, const CWnd& child);
