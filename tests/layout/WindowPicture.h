#pragma once
// A picture of a whole window (frame, caption and every child) as it has painted itself, for a
// person to look at: read from the window's own device context, so nothing in front of it on
// the screen and no pending transfer to the X server changes it.
#include "win/Afx.h"

#include <filesystem>

namespace layout {

// Writes the window as a 24-bit BMP file; false when it could not be read or written.
bool SaveWindowPicture(HWND window, const std::filesystem::path& bmpFile);

} // namespace layout
