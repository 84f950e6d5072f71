#pragma once
// What a person would see wrong among one window's visible controls: a text wider or taller
// than the room its control draws it in, or two controls on top of each other.
//
// The room is what the unthemed controls leave their text, measured with the control's own
// font in its own device context: a static's whole client area (its lines wrapped at its
// width when it wraps and is taller than one line); a push button's client area less its
// frame and the label's margin, 3 px on each side, 4 px for the default button, whose outline
// takes one more; a check box's or radio button's less its box (SM_CXMENUCHECK, or the
// 12 px at 96 dpi plus 1 the button draws when that is less), the gap after it (half a
// digit's width) and the label's 1 px margins; a group box's caption 8 px in from
// each side. Text fields count for the overlaps only, never for their contents.
#include "win/Afx.h"

#include <string>
#include <vector>

namespace layout {

// One line for each problem of the visible child controls of `window`, each naming `where`
// (the page, its state, the language and the scale), the control's ID and kind, its text
// (escaped), the room it needs and the rectangle it has, in the window's client coordinates.
std::vector<std::string> CheckControls(HWND window, const std::string& where);

// The size `text` takes in `font` (access-key marks not counted unless `bNoPrefix`).
SIZE TextExtent(HWND control, HFONT font, const std::wstring& text, bool bNoPrefix = false);

// `text` as UTF-8, control characters escaped, for a finding.
std::string Quoted(const std::wstring& text);
std::string Describe(const RECT& rect);

} // namespace layout
