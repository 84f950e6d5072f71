// Chinese text must render in the templates' fonts (not as empty boxes), and every window is
// saved as a picture to <build>/artifacts for a person to look at.
#include "ResourceTestSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"

#include <gtest/gtest.h>

using namespace restest;

namespace {

// Draws `text` in `font`, black on white, and returns the canvas.
std::unique_ptr<Canvas> RenderText(HFONT font, const wchar_t* text) {
    auto canvas = std::make_unique<Canvas>(64, 32, RGB(255, 255, 255));
    SelectedObject selected(canvas->Dc(), font);
    SetTextColor(canvas->Dc(), RGB(0, 0, 0));
    SetBkMode(canvas->Dc(), TRANSPARENT);
    TextOutW(canvas->Dc(), 2, 2, text, static_cast<int>(wcslen(text)));
    return canvas;
}

int InkedPixels(const Canvas& canvas) {
    int inked = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            inked += canvas.Pixel(x, y) != RGB(255, 255, 255);
    return inked;
}

bool SamePicture(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}

// Two different characters that come out as the same picture are the font's missing-glyph box.
void ExpectChineseRenders(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    auto blank = RenderText(font, L"空");
    auto lock = RenderText(font, L"锁");
    EXPECT_GT(InkedPixels(*blank), 10);
    EXPECT_GT(InkedPixels(*lock), 10);
    EXPECT_FALSE(SamePicture(*blank, *lock)) << "Chinese characters draw as missing-glyph boxes";
}

// Copies what the window shows on screen, frame included.
bool SaveWindowPicture(HWND window, const std::wstring& fileName) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    RECT rect;
    GetWindowRect(window, &rect);
    Canvas canvas(rect.right - rect.left, rect.bottom - rect.top);
    HDC screen = GetWindowDC(window);
    BOOL copied = BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    return copied && canvas.SaveBmp(ArtifactPath(fileName));
}

SIZE DialogPixels(HWND dialog) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

TEST(Screenshots, PagesRenderChineseAndAreSaved) {
    const struct {
        int id;
        const wchar_t* file;
    } pages[] = {{IDD_BLANK_PAGE, L"page-blank.bmp"},
                 {IDD_PKI_PAGE, L"page-pki.bmp"},
                 {IDD_INFO_PAGE, L"page-info.bmp"}};
    for (const auto& page : pages) {
        UniqueWindow host = CreateHostWindow(100, 100, true);
        ASSERT_TRUE(host);
        UniqueWindow dialog = CreateTemplateDialog(page.id, host.get());
        ASSERT_TRUE(dialog);
        SIZE size = DialogPixels(dialog.get());
        SetWindowPos(host.get(), HWND_TOP, 0, 0, size.cx, size.cy, SWP_SHOWWINDOW);
        ShowWindow(dialog.get(), SW_SHOW);
        ExpectChineseRenders(dialog.get());
        EXPECT_TRUE(SaveWindowPicture(host.get(), page.file)) << page.id;
    }
}

TEST(Screenshots, MainWindowWithBlankPageAndAboutBox) {
    UniqueWindow main = CreateTemplateDialog(IDD_MAIN, nullptr);
    ASSERT_TRUE(main);
    SetWindowPos(main.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowTextW(main.get(), LoadStringOrDefault(IDS_APP_TITLE).c_str());
    UniqueWindow page = CreateTemplateDialog(IDD_BLANK_PAGE, main.get());
    ASSERT_TRUE(page);
    RECT frame;
    GetWindowRect(GetDlgItem(main.get(), IDC_MAIN_PAGE_FRAME), &frame);
    MapWindowPoints(nullptr, main.get(), reinterpret_cast<POINT*>(&frame), 2);
    MoveWindow(page.get(), frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
    ShowWindow(page.get(), SW_SHOW);
    EXPECT_TRUE(SaveWindowPicture(main.get(), L"main-blank.bmp"));

    UniqueWindow about = CreateTemplateDialog(IDD_ABOUTBOX, main.get());
    ASSERT_TRUE(about);
    SetWindowPos(about.get(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ExpectChineseRenders(about.get());
    EXPECT_TRUE(SaveWindowPicture(about.get(), L"about.bmp"));
}

TEST(Screenshots, NavigationIconsOnTheBar) {
    // The three items as the bar lays them out: 32-pixel icon, white caption under it.
    const int width = 120, itemHeight = 64;
    const struct {
        int icon;
        unsigned text;
    } items[] = {{IDI_NAV_BLANK, IDS_NAV_BLANK},
                 {IDI_NAV_PKI, IDS_NAV_PKI},
                 {IDI_NAV_INFO, IDS_NAV_INFO},
                 {IDI_APP, IDS_APP_TITLE}};
    Canvas canvas(width, itemHeight * 4, 0x00A28F87);
    SelectedObject font(canvas.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    SetBkMode(canvas.Dc(), TRANSPARENT);
    for (int i = 0; i < 4; ++i) {
        UniqueIcon icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(items[i].icon), IMAGE_ICON, 32, 32, 0)));
        ASSERT_TRUE(icon);
        const int top = i * itemHeight;
        DrawIconEx(canvas.Dc(), (width - 32) / 2, top + 15, icon.get(), 32, 32, 0, nullptr, DI_NORMAL);
        std::wstring caption = LoadStringOrDefault(items[i].text);
        RECT band{7, top + 52, width - 7, top + itemHeight};
        DrawTextW(canvas.Dc(), caption.c_str(), -1, &band,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    EXPECT_TRUE(canvas.SaveBmp(ArtifactPath(L"nav-icons.bmp")));
}
