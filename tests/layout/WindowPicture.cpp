#include "layout/WindowPicture.h"

#include "win/WinGdi.h"

#include <fstream>
#include <vector>

namespace layout {

namespace {

// GetWindowDC / ReleaseDC: the whole window, frame included.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetWindowDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (m_dc != nullptr)
            ::ReleaseDC(m_window, m_dc);
    }
    operator HDC() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// CreateCompatibleDC / DeleteDC.
class OwnDC {
  public:
    explicit OwnDC(HDC reference) : m_dc(::CreateCompatibleDC(reference)) {}
    OwnDC(const OwnDC&) = delete;
    OwnDC& operator=(const OwnDC&) = delete;
    ~OwnDC() {
        if (m_dc != nullptr)
            ::DeleteDC(m_dc);
    }
    operator HDC() const { return m_dc; }

  private:
    HDC m_dc;
};

} // namespace

bool SaveWindowPicture(HWND window, const std::filesystem::path& bmpFile) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    WindowDC source(window);
    if (static_cast<HDC>(source) == nullptr || width <= 0 || height <= 0)
        return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as BMP files hold their rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                           &bits, nullptr, 0));
    OwnDC memory(source);
    if (!bitmap || static_cast<HDC>(memory) == nullptr)
        return false;
    {
        SelectScope selected(memory, bitmap.Get());
        if (!::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY))
            return false;
        ::GdiFlush();
    }

    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + size;
    header.biSizeImage = size;
    std::ofstream out(bmpFile, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

} // namespace layout
