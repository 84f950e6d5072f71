#pragma once
// Where a text drawn with DrawText puts its ink, and whether the rectangle it is drawn in cuts
// any of it: the text is drawn twice off screen, as a control draws it and once whole (with
// DT_NOCLIP, no ellipsis), and the two pictures compared. For text whose room is too small by a few blank
// rows of its font's leading, which no person sees, nothing is cut.
#include "win/Afx.h"

#include <string>

namespace layout {

struct DrawnInk {
    bool bCut = false; // the clipped drawing lacks ink the unclipped one has
    RECT ink{};        // the unclipped ink's bounding box, empty when there is none
};

// `text` drawn in `font` into `rect` with `format` (DT_ flags) on a surface of `size`.
DrawnInk DrawInk(HFONT font, const std::wstring& text, SIZE size, const RECT& rect, UINT format);

} // namespace layout
