#include "ResourceTestSupport.h"

namespace restest {

namespace {
INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

const wchar_t kHostClass[] = L"VantorResTestHost";

void RegisterHostClass() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = kHostClass;
    registered = RegisterClassW(&wc) != 0;
}
} // namespace

UniqueWindow CreateTemplateDialog(int templateId, HWND parent) {
    return UniqueWindow(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                           PlainDialogProc, 0));
}

UniqueWindow CreateHostWindow(int clientWidth, int clientHeight, bool visible) {
    RegisterHostClass();
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    return UniqueWindow(CreateWindowExW(0, kHostClass, L"", style, 0, 0, clientWidth, clientHeight, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::wstring ArtifactPath(const std::wstring& fileName) {
    // Tests run in <build>/bin.
    CreateDirectoryW(L"..\\artifacts", nullptr);
    return L"..\\artifacts\\" + fileName;
}

} // namespace restest
