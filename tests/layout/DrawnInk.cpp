#include "layout/DrawnInk.h"

#include "win/WinGdi.h"
#include "win/WinTestSupport.h"

namespace layout {

namespace {

constexpr COLORREF kPaper = RGB(0xFF, 0xFF, 0xFF);

void Draw(wintest::Canvas& canvas, HFONT font, const std::wstring& text, RECT rect, UINT format) {
    SelectScope selected(canvas.Dc(), font);
    ::SetBkMode(canvas.Dc(), TRANSPARENT);
    ::SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    ::DrawTextW(canvas.Dc(), text.c_str(), -1, &rect, format);
    ::GdiFlush();
}

} // namespace

DrawnInk DrawInk(HFONT font, const std::wstring& text, SIZE size, const RECT& rect, UINT format) {
    wintest::Canvas clipped(size.cx, size.cy, kPaper), whole(size.cx, size.cy, kPaper);
    Draw(clipped, font, text, rect, format);
    // The whole text: no ellipsis in place of what does not fit.
    Draw(whole, font, text, rect,
         (format & ~(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) | DT_NOCLIP);
    DrawnInk drawn;
    RECT ink{size.cx, size.cy, 0, 0};
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF pixel = whole.Pixel(x, y);
            drawn.bCut = drawn.bCut || clipped.Pixel(x, y) != pixel;
            if (pixel == kPaper)
                continue;
            ink.left = x < ink.left ? x : ink.left;
            ink.top = y < ink.top ? y : ink.top;
            ink.right = x + 1 > ink.right ? x + 1 : ink.right;
            ink.bottom = y + 1 > ink.bottom ? y + 1 : ink.bottom;
        }
    if (ink.right > ink.left)
        drawn.ink = ink;
    return drawn;
}

} // namespace layout
