#pragma once
// What the window tests share: waiting for windows by handling their messages (never by
// sleeping alone), painting a window into a bitmap and reading its pixels, and a top-level
// window that records what is sent to it.
#include "win/Afx.h"

#include <functional>
#include <string>
#include <vector>

namespace wintest {

// Handles every pending and arriving message for `ms` milliseconds.
void FlushEvents(DWORD ms = 50);
// Handles the messages already queued for this thread, then returns.
void HandlePending();
// Handles messages until `done` holds or `timeoutMs` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);

// Which pixels a question is about.
using Match = std::function<bool(COLORREF)>;
// Pixels of exactly `colour`.
Match Exactly(COLORREF colour);
// Pixels nearer to `colour` than to `other` (smoothed text: its edge pixels are blends).
Match Closer(COLORREF colour, COLORREF other);

// A 32-bit top-down bitmap with its own memory context.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill = RGB(0x12, 0x34, 0x56));
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;
    // Matching pixels inside `area` (the whole canvas by default).
    int Count(const Match& match, const RECT* area = nullptr) const;
    int Count(COLORREF colour, const RECT* area = nullptr) const { return Count(Exactly(colour), area); }

  private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    const DWORD* m_bits = nullptr;
};

// The client area of `window` as its WM_PRINTCLIENT painting draws it.
void PrintClient(HWND window, Canvas& canvas);
// What the screen shows of the client area of `window` now (the X server's copy).
void CaptureClient(HWND window, Canvas& canvas);

// One visible top-level window for the whole test program, 1200 x 900 at the screen's
// origin. Test windows are its children: under Wine without a window manager, hiding or
// destroying a top-level window waits two seconds for the X server, a child does not.
CWnd& TestHost();

// A visible child of the test host, of the layer's own class, that records WM_NOTIFY and
// every message from WM_USER on (WM_OUTLOOKBAR_CLICK among them) sent to it.
class RecordingWindow : public CWnd {
  public:
    struct Record {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        NMHDR notify;
    };
    explicit RecordingWindow(int width = 640, int height = 480);
    std::vector<Record> records;
    int CountOf(UINT message) const;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace wintest
