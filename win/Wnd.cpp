#include "win/Wnd.h"
#include "win/WinApp.h"
#include "win/WindowMap.h"

namespace {
const wchar_t kLayerClassName[] = L"VantorWindow";

// Runs `work`, turning an exception into `fallback`: nothing may unwind into the system.
template <class Work> LRESULT Guarded(LRESULT fallback, Work work) {
    try {
        return work();
    } catch (...) {
        return fallback;
    }
}

BOOL ChangeStyle(HWND window, int index, DWORD remove, DWORD add, UINT flags) {
    DWORD style = static_cast<DWORD>(::GetWindowLongW(window, index));
    DWORD updated = (style & ~remove) | add;
    if (style == updated)
        return FALSE;
    ::SetWindowLongW(window, index, static_cast<LONG>(updated));
    if (flags != 0)
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
} // namespace

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, const wchar_t* newItem) {
    return m_hMenu != nullptr && ::AppendMenuW(m_hMenu, flags, idNewItem, newItem);
}

CWnd::~CWnd() {
    if (m_bBound && m_hWnd != nullptr && ::IsWindow(m_hWnd) && m_bOwnsWindow)
        ::DestroyWindow(m_hWnd); // unbinds at WM_NCDESTROY
    if (m_bBound)
        Unbind();
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    return window ? WindowMap::Find(window) : nullptr;
}

bool CWnd::Bind(HWND window) {
    if (window == nullptr || m_hWnd != nullptr || !WindowMap::Add(window, this))
        return false;
    m_hWnd = window;
    m_bBound = true;
    return true;
}

void CWnd::Unbind() {
    if (m_bBound && m_hWnd != nullptr) {
        if (m_pfnSuper != nullptr)
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        WindowMap::Remove(m_hWnd, this);
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    m_bBound = false;
    m_bOwnsWindow = false;
}

BOOL CWnd::Attach(HWND window) {
    if (window == nullptr || m_hWnd != nullptr)
        return FALSE;
    m_hWnd = window;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (m_bBound)
        Unbind();
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!::IsWindow(window) || !Bind(window))
        return FALSE;
    PreSubclassWindow();
    ::SetLastError(0);
    LONG_PTR previous =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoundWindowProc));
    if (previous == 0 && ::GetLastError() != 0) {
        Unbind();
        return FALSE;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(previous);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr || parent->m_hWnd == nullptr)
        return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = m_hWnd;
    Unbind();
    return window;
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id) {
    if (m_hWnd != nullptr)
        return FALSE;
    static const ATOM layerClass = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::BoundWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kLayerClassName;
        return ::RegisterClassExW(&wc);
    }();

    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className ? className : kLayerClassName;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.hMenu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    cs.hInstance = AfxGetInstanceHandle();
    if (!PreCreateWindow(cs))
        return FALSE;

    bool ownClass = cs.lpszClass == kLayerClassName;
    if (ownClass && layerClass == 0)
        return FALSE;
    HWND window = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                                    cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, ownClass ? this : nullptr);
    if (window == nullptr)
        return FALSE;
    if (!ownClass && !SubclassWindow(window)) {
        ::DestroyWindow(window);
        return FALSE;
    }
    if (m_hWnd != window)
        return FALSE;
    m_bOwnsWindow = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&) {
    return TRUE;
}
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

LRESULT CALLBACK CWnd::BoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandlePermanent(window);
    if (self == nullptr && message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWnd*>(cs->lpCreateParams);
        if (self != nullptr && !self->Bind(window))
            self = nullptr;
    }
    if (self == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = Guarded(0, [&] { return self->Dispatch(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        self->Unbind();
        Guarded(0, [&] {
            self->PostNcDestroy();
            return LRESULT{0};
        });
    }
    return result;
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // Handlers may send messages to their own window, so the current message nests.
    struct Restore {
        MSG& slot;
        MSG saved;
        ~Restore() { slot = saved; }
    } restore{m_currentMessage, m_currentMessage};
    m_currentMessage = MSG{m_hWnd, message, wParam, lParam, 0, {0, 0}};
    try {
        return WindowProc(message, wParam, lParam);
    } catch (...) {
        // The handler failed part-way; the default processing keeps the window usable
        // (a paint left undone would otherwise come back forever).
        return Guarded(0, [&] { return DefWindowProc(message, wParam, lParam); });
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result))
            return result;
        break;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM: {
        LRESULT result = 0;
        if (ReflectToChild(message, wParam, lParam, &result))
            return result;
        break;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_HELP:
        return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam, m_currentMessage.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr)
        return 0;
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

HDC CWnd::GetPaintTarget() const {
    UINT message = m_currentMessage.message;
    if (message == WM_PAINT || message == WM_PRINTCLIENT)
        return reinterpret_cast<HDC>(m_currentMessage.wParam);
    return nullptr;
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND child = nullptr;
    switch (message) {
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            child = item->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        // The request names the control by identifier only.
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            child = ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID));
        break;
    }
    case WM_DELETEITEM:
        child = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_COMPAREITEM:
        child = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
        break;
    default:
        break;
    }
    CWnd* wrapper = FromHandlePermanent(child);
    if (wrapper == nullptr || wrapper == this)
        return false;
    return wrapper->OnChildNotify(message, wParam, lParam, result) != FALSE;
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(HDC) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSysColorChange() {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
BOOL CWnd::OnHelpInfo(HELPINFO*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnWindowPosChanged(WINDOWPOS*) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}

BOOL CWnd::ShowWindow(int command) {
    return ::ShowWindow(m_hWnd, command);
}
BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}
void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}
void CWnd::ScreenToClient(LPPOINT point) const {
    ::ScreenToClient(m_hWnd, point);
}
void CWnd::ClientToScreen(LPPOINT point) const {
    ::ClientToScreen(m_hWnd, point);
}

void CWnd::ScreenToClient(LPRECT rect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::ClientToScreen(LPRECT rect) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::SetWindowText(const wchar_t* text) {
    ::SetWindowTextW(m_hWnd, text);
}

void CWnd::GetWindowText(CString& text) const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    // The text may grow between the two calls; the buffer's size bounds what is copied.
    ::GetWindowTextW(m_hWnd, text.GetBuffer(length), length + 1);
    text.ReleaseBuffer();
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}
CWnd* CWnd::SetFocus() {
    return ViewOf(::SetFocus(m_hWnd));
}
void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
    ::InvalidateRect(m_hWnd, rect, erase);
}

BOOL CWnd::RedrawWindow(LPCRECT rect, HRGN region, UINT flags) {
    return ::RedrawWindow(m_hWnd, rect, region, flags);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
}
BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}
DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    return ChangeStyle(m_hWnd, GWL_STYLE, remove, add, flags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    return ChangeStyle(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
HFONT CWnd::GetFont() const {
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}

void CWnd::SetFont(HFONT font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) {
    m_systemMenu.m_hMenu = ::GetSystemMenu(m_hWnd, revert);
    return m_systemMenu.m_hMenu ? &m_systemMenu : nullptr;
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type) {
    if (caption == nullptr && AfxGetApp() != nullptr)
        caption = AfxGetApp()->m_strAppName;
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

CWnd* CWnd::GetDlgItem(int id) const {
    return ViewOf(::GetDlgItem(m_hWnd, id));
}
CWnd* CWnd::GetParent() const {
    return ViewOf(::GetParent(m_hWnd));
}
CWnd* CWnd::GetOwner() const {
    return m_hWndOwner ? ViewOf(m_hWndOwner) : GetParent();
}

CWnd* CWnd::ViewOf(HWND window) const {
    if (window == nullptr)
        return nullptr;
    if (CWnd* bound = FromHandlePermanent(window))
        return bound;
    std::lock_guard<std::mutex> lock(m_viewLock);
    for (const auto& view : m_views) {
        if (view->m_hWnd == window)
            return view.get();
    }
    m_views.push_back(std::make_unique<CWnd>());
    m_views.back()->m_hWnd = window;
    return m_views.back().get();
}
