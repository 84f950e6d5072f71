#pragma once
// CWnd: one C++ object per window. A window is bound to its object in one place (a window
// property set at WM_NCCREATE, WM_INITDIALOG or subclassing); every message of a bound
// window goes to the object's virtual WindowProc, whose flat switch calls the named
// handlers below. Whatever a handler leaves alone goes the default way: the original
// procedure of a subclassed window, the dialog manager, or DefWindowProc.
//
// Threads: a window's handlers run on the thread that owns the window. Other threads may
// call the operations below (they become messages sent to that thread), but never the
// handlers. GetDlgItem, GetParent and GetOwner may be called from any thread.
#include "win/WinGdi.h"
#include "win/WinGeometry.h"
#include "win/WinString.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

// A menu the object does not own (the system menu of a window).
class CMenu {
  public:
    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, const wchar_t* newItem = nullptr);
};

class CWnd {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // A window this object created is destroyed with it; a window it only subclassed is
    // given back its original procedure and left alive.
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    // Receiver of owner notifications when set (SetOwner); otherwise the parent is used.
    HWND m_hWndOwner = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to `window`, or null when the window is not bound to any.
    static CWnd* FromHandlePermanent(HWND window);

    // Attach makes this object a plain handle holder: nothing is routed to it.
    BOOL Attach(HWND window);
    HWND Detach();
    // Routes an existing window's messages through this object (PreSubclassWindow runs
    // first). Fails when the object already has a window or the window is already bound.
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Creates a window and binds it. With a null class name the layer's own window class
    // is used and the window is bound from WM_NCCREATE on; a system class (list box,
    // "SysPager", ...) is bound right after creation.
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id);
    BOOL DestroyWindow();

    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual void PreSubclassWindow();
    // Runs after the window is gone and the object is unbound.
    virtual void PostNcDestroy();

    // The one procedure of the window; derived classes override it only for messages
    // that have no named handler (their own WM_USER messages) and pass the rest on.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message now being handled.
    LRESULT Default();
    // The default processing of any message (original procedure or DefWindowProc).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    const MSG* GetCurrentMessage() const { return &m_currentMessage; }
    // The context a paint handler is asked to draw into: the wParam of WM_PAINT or
    // WM_PRINTCLIENT when one is given, else null (paint the window itself).
    HDC GetPaintTarget() const;

    // Window operations.
    BOOL ShowWindow(int command);
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void SetWindowText(const wchar_t* text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    CWnd* SetFocus();
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void UpdateWindow();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // Style changes; with frame flags (SWP_DRAWFRAME, SWP_FRAMECHANGED) the frame is redrawn.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    int GetDlgCtrlID() const;
    HFONT GetFont() const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    HICON SetIcon(HICON icon, BOOL bigIcon);
    CMenu* GetSystemMenu(BOOL revert);
    int MessageBox(const wchar_t* text, const wchar_t* caption = nullptr, UINT type = MB_OK);

    // Other windows as objects: the bound object when there is one, else a handle holder
    // kept by this object for its lifetime. Null when there is no such window.
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    void SetOwner(CWnd* owner) { m_hWndOwner = owner ? owner->m_hWnd : nullptr; }
    CWnd* GetOwner() const;
    CWnd* ViewOf(HWND window) const;

  protected:
    // Named handlers. Each default runs Default().
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Owner-draw requests that reached the parent, handed back to the child's object.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual void OnSysColorChange();
    virtual void OnDestroy();
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual HCURSOR OnQueryDragIcon();
    virtual BOOL OnHelpInfo(HELPINFO* helpInfo);
    virtual void OnWindowPosChanged(WINDOWPOS* windowPos);
    virtual void OnShowWindow(BOOL show, UINT status);

    // The procedure every bound window runs; used by the dialog code as well.
    static LRESULT CALLBACK BoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Bind(HWND window);
    void Unbind();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr; // original procedure of a subclassed window
    bool m_bOwnsWindow = false;   // created here, so destroyed here

  private:
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    bool m_bBound = false;
    MSG m_currentMessage{};
    CMenu m_systemMenu;
    mutable std::mutex m_viewLock;
    mutable std::vector<std::unique_ptr<CWnd>> m_views;
};
