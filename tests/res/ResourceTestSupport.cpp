#include "ResourceTestSupport.h"

#include <cstdio>

namespace restest {

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const DWORD*>(bits);
    if (dc_ && bitmap_)
        selection_ = std::make_unique<SelectedObject>(dc_.get(), bitmap_.get());
}

COLORREF Canvas::Pixel(int x, int y) const {
    GdiFlush();
    DWORD bgra = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

void Canvas::Fill(COLORREF colour) {
    UniqueGdiObject brush(CreateSolidBrush(colour));
    RECT all{0, 0, width_, height_};
    FillRect(dc_.get(), &all, static_cast<HBRUSH>(brush.get()));
}

bool Canvas::SaveBmp(const std::wstring& path) const {
    // 24-bit rows: GDI leaves the fourth byte undefined, and viewers would take it for alpha.
    GdiFlush();
    const size_t rowBytes = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
    std::vector<BYTE> pixels(rowBytes * static_cast<size_t>(height_));
    for (int y = 0; y < height_; ++y) {
        BYTE* row = &pixels[static_cast<size_t>(height_ - 1 - y) * rowBytes]; // bottom-up
        for (int x = 0; x < width_; ++x) {
            DWORD bgra = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
            row[x * 3] = static_cast<BYTE>(bgra);
            row[x * 3 + 1] = static_cast<BYTE>(bgra >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(bgra >> 16);
        }
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = height_;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixels.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                   std::fwrite(&header, sizeof header, 1, out) == 1 &&
                   std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

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
