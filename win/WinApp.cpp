#include "win/WinApp.h"

#include "base/OwnProgram.h"

#include <string>

namespace {
// The one application object; the program's entry point runs it.
CWinApp* g_app = nullptr;

CString ProgramName() {
    const std::wstring path = OwnProgramPath();
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    CString result(name.c_str());
    int dot = -1;
    for (int i = 0; i < result.GetLength(); ++i) {
        if (result[i] == L'.')
            dot = i;
    }
    return dot > 0 ? result.Left(dot) : result;
}
} // namespace

CWinApp::CWinApp(const wchar_t* appName) : m_strAppName(appName ? CString(appName) : ProgramName()) {
    if (g_app == nullptr)
        g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

CWinApp* AfxGetApp() {
    return g_app;
}
CWnd* AfxGetMainWnd() {
    return g_app ? g_app->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_app != nullptr && g_app->m_hInstance != nullptr)
        return g_app->m_hInstance;
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxFindResourceHandle(const wchar_t* name, const wchar_t* type) {
    HINSTANCE resources = AfxGetResourceHandle();
    if (::FindResourceW(resources, name, type) != nullptr)
        return resources;
    return ::GetModuleHandleW(nullptr);
}

int AfxMessageBox(const wchar_t* text, UINT type) {
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr && AfxGetMainWnd() != nullptr)
        owner = AfxGetMainWnd()->m_hWnd;
    const wchar_t* caption = g_app ? g_app->m_strAppName.GetString() : nullptr;
    return ::MessageBoxW(owner, text, caption, type);
}

int AfxWinRun(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    try {
        app->m_hInstance = instance;
        if (app->InitInstance())
            return app->Run();
        return app->ExitInstance();
    } catch (...) {
        return 1;
    }
}
