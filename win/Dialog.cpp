#include "win/Dialog.h"
#include "win/WinApp.h"

#include "base/ResourceText.h"

namespace {
// The child page that holds `window` (itself or its nearest ancestor), if any.
HWND ChildPageOf(HWND window) {
    for (HWND w = window; w != nullptr && (::GetWindowLongW(w, GWL_STYLE) & WS_CHILD); w = ::GetParent(w)) {
        if (dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(w)) != nullptr)
            return w;
    }
    return nullptr;
}

bool IsEnterOrEscape(const MSG& msg) {
    return (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) &&
           (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

// While a modal dialog runs, the system's dialog loop hands every message to its
// IsDialogMessage, which calls this filter first. Enter and Esc inside a child page are
// given to that page's own dialog manager, so they reach the page's default button and
// its OnOK/OnCancel instead of the modal dialog's.
thread_local HHOOK t_filterHook = nullptr;
thread_local int t_modalDepth = 0;
thread_local bool t_inFilter = false;

LRESULT CALLBACK ModalKeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && !t_inFilter && lParam != 0) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (IsEnterOrEscape(*msg)) {
            if (HWND page = ChildPageOf(msg->hwnd)) {
                t_inFilter = true;
                BOOL handled = ::IsDialogMessageW(page, msg);
                t_inFilter = false;
                if (handled)
                    return 1;
            }
        }
    }
    return ::CallNextHookEx(t_filterHook, code, wParam, lParam);
}

class ModalKeyFilterScope {
  public:
    ModalKeyFilterScope() {
        if (t_modalDepth++ == 0)
            t_filterHook =
                ::SetWindowsHookExW(WH_MSGFILTER, &ModalKeyFilter, nullptr, ::GetCurrentThreadId());
    }
    ModalKeyFilterScope(const ModalKeyFilterScope&) = delete;
    ModalKeyFilterScope& operator=(const ModalKeyFilterScope&) = delete;
    ~ModalKeyFilterScope() {
        if (--t_modalDepth == 0 && t_filterHook != nullptr) {
            ::UnhookWindowsHookEx(t_filterHook);
            t_filterHook = nullptr;
        }
    }
};
} // namespace

namespace {
// The dialog template `templateId` in the language shown (Chinese when it has no other).
const DLGTEMPLATE* ShownTemplate(UINT templateId) {
    HINSTANCE resources = AfxGetResourceHandle();
    HRSRC found = FindResourceShown(resources, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(resources, found) : nullptr;
    return loaded != nullptr ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}
} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr)
        return -1;
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    // A dialog given no parent is owned by the application's main window, which it disables
    // while it runs, as the framework does; the main dialog itself has no owner.
    CWnd* main = AfxGetMainWnd();
    if (parent == nullptr && main != nullptr && main != this && main->m_hWnd != nullptr)
        parent = ::GetAncestor(main->m_hWnd, GA_ROOT);
    ModalKeyFilterScope filter;
    m_bModal = true;
    const DLGTEMPLATE* dialogTemplate = ShownTemplate(m_templateId);
    INT_PTR result = dialogTemplate == nullptr
                         ? -1
                         : ::DialogBoxIndirectParamW(AfxGetResourceHandle(), dialogTemplate, parent,
                                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (m_hWnd != nullptr)
        return FALSE;
    m_templateId = templateId;
    if (parent != nullptr)
        m_pParentWnd = parent;
    HWND parentWindow = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    const DLGTEMPLATE* dialogTemplate = ShownTemplate(templateId);
    HWND window = dialogTemplate == nullptr
                      ? nullptr
                      : ::CreateDialogIndirectParamW(AfxGetResourceHandle(), dialogTemplate, parentWindow,
                                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr || m_hWnd != window)
        return FALSE;
    m_bOwnsWindow = true;
    if (GetStyle() & WS_CHILD) {
        // Tab moves through the page's controls from the main dialog's loop. DS_CONTROL
        // would send the page's own Enter and Esc to the main dialog, so it goes.
        ModifyStyleEx(0, WS_EX_CONTROLPARENT);
        ModifyStyle(DS_CONTROL, 0);
    }
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    // Only WM_INITDIALOG comes here with work to do: the dialog is bound and subclassed,
    // after which its messages reach WindowProc first and the dialog manager by default.
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (self == nullptr || !self->Bind(window))
        return TRUE;
    ::SetLastError(0);
    LONG_PTR previous =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoundWindowProc));
    if (previous == 0 && ::GetLastError() != 0) {
        self->Unbind();
        return TRUE;
    }
    self->m_pfnSuper = reinterpret_cast<WNDPROC>(previous);
    try {
        return self->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

void CDialog::EndDialog(int result) {
    if (m_hWnd == nullptr)
        return;
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ShowWindow(SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr)
        return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control != nullptr && control->m_hWnd != nullptr)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}

void CDialog::NextDlgCtrl() const {
    SendMessage(WM_NEXTDLGCTL, 0, FALSE);
}
void CDialog::PrevDlgCtrl() const {
    SendMessage(WM_NEXTDLGCTL, 1, FALSE);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Code 0 is a button click, a menu item or a key of the dialog manager.
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}
