#pragma once
// Owners for GDI objects, device contexts and icons, so that every path of a paint handler
// gives back what it took. Drawing failures are not reported; a null handle is harmless.
#include "win/WinGeometry.h"

#include <windows.h>

#include <functional>
#include <utility>

// Owns one GDI object (brush, bitmap, pen, font) and deletes it.
template <class Handle> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(other.Detach()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }
    ~GdiObject() { Reset(); }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (m_handle != nullptr)
            ::DeleteObject(m_handle);
        m_handle = handle;
    }
    Handle Detach() { return std::exchange(m_handle, nullptr); }

  private:
    Handle m_handle = nullptr;
};

using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;

// Owns an icon or cursor made by LoadImage/CreateIcon (not a shared one) and destroys it.
class IconHandle {
  public:
    IconHandle() = default;
    explicit IconHandle(HICON icon) : m_icon(icon) {}
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    IconHandle(IconHandle&& other) noexcept : m_icon(std::exchange(other.m_icon, nullptr)) {}
    IconHandle& operator=(IconHandle&& other) noexcept {
        Reset(std::exchange(other.m_icon, nullptr));
        return *this;
    }
    ~IconHandle() { Reset(); }
    HICON Get() const { return m_icon; }
    void Reset(HICON icon = nullptr) {
        if (m_icon != nullptr)
            ::DestroyIcon(m_icon);
        m_icon = icon;
    }

  private:
    HICON m_icon = nullptr;
};

// Selects an object into a device context for one scope and puts the previous one back.
class SelectScope {
  public:
    SelectScope(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(object ? ::SelectObject(dc, object) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() {
        if (m_previous != nullptr)
            ::SelectObject(m_dc, m_previous);
    }

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// SaveDC / RestoreDC for one scope.
class SavedDC {
  public:
    explicit SavedDC(HDC dc) : m_dc(dc), m_state(::SaveDC(dc)) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() {
        if (m_state != 0)
            ::RestoreDC(m_dc, m_state);
    }

  private:
    HDC m_dc;
    int m_state;
};

// A memory device context compatible with `reference`, holding a compatible bitmap of
// `size` selected for its whole life: the off-screen surface of flicker-free painting.
class MemoryDC {
  public:
    MemoryDC(HDC reference, SIZE size);
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC();
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    // False when the context or its bitmap could not be made; drawing into it is then lost.
    bool IsValid() const { return m_dc != nullptr && m_bitmap; }

  private:
    HDC m_dc = nullptr;
    BitmapHandle m_bitmap;
    HGDIOBJ m_previousBitmap = nullptr;
};

// Draws with `paint` into an off-screen copy of `target` and then copies it over, so the
// window never shows half a picture; straight into `target` when no copy can be made (out of
// GDI memory: flicker rather than nothing).
void PaintBuffered(HDC target, const RECT& client, const std::function<void(HDC)>& paint);

// BeginPaint / EndPaint. When the window is asked to paint into a given context
// (WM_PAINT with a wParam, WM_PRINTCLIENT), that context is used and nothing is validated.
class PaintDC {
  public:
    PaintDC(HWND window, HDC given = nullptr);
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC();
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_paint; }

  private:
    HWND m_window;
    HDC m_dc;
    bool m_begun;
    PAINTSTRUCT m_paint{};
};

// GetDC / ReleaseDC of a window's client area.
class ClientDC {
  public:
    explicit ClientDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    ~ClientDC() {
        if (m_dc != nullptr)
            ::ReleaseDC(m_window, m_dc);
    }
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// A font owned by the object that holds it; deleted with it.
class CFont {
  public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    ~CFont() { DeleteObject(); }

    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    // `pointSize` in tenths of a point, as the dialog editor gives it; the height is worked
    // out for `dc`, or for the screen when no context is given.
    BOOL CreatePointFont(int pointSize, const wchar_t* faceName, HDC dc = nullptr);
    BOOL DeleteObject();
    int GetLogFont(LOGFONTW* logFont) const;

    HFONT GetSafeHandle() const { return m_font.Get(); }
    operator HFONT() const { return m_font.Get(); }

  private:
    FontHandle m_font;
};
