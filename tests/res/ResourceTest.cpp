// The program's resources as the operator meets them, loaded from the test binary itself (it
// links the same resource object).
#include "base/Language.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using wintest::Canvas;

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

struct WindowCloser {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

// `text` drawn in `font`, black on white.
std::unique_ptr<Canvas> RenderText(HFONT font, const wchar_t* text) {
    auto canvas = std::make_unique<Canvas>(64, 32, RGB(255, 255, 255));
    HGDIOBJ previous = SelectObject(canvas->Dc(), font);
    SetBkMode(canvas->Dc(), TRANSPARENT);
    TextOutW(canvas->Dc(), 2, 2, text, static_cast<int>(wcslen(text)));
    SelectObject(canvas->Dc(), previous);
    return canvas;
}

bool SamePicture(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}

} // namespace

// Guards against a template font without Chinese glyphs: two different characters drawn as
// the same picture are the font's missing-glyph box.
TEST(Resources, ChineseRendersInEveryTemplateFont) {
    // The pages are child templates: they need a window to live in.
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(host);
    for (int id : {IDD_MAIN, IDD_WIPE_PAGE, IDD_PKI_PAGE, IDD_INFO_PAGE, IDD_ABOUTBOX}) {
        SCOPED_TRACE(testing::Message() << "template " << id);
        UniqueWindow dialog(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), host.get(),
                                               PlainDialogProc, 0));
        ASSERT_TRUE(dialog);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog.get(), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        auto blank = RenderText(font, L"空");
        auto lock = RenderText(font, L"锁");
        EXPECT_GT(blank->Count([](COLORREF c) { return c != RGB(255, 255, 255); }), 10);
        EXPECT_FALSE(SamePicture(*blank, *lock)) << "Chinese characters draw as missing-glyph boxes";
    }
}

// Guards against a string table entry lost from the build: every identifier of StringIds.h
// (listed by the build) finds its text.
TEST(Resources, EveryStringIdentifierResolves) {
    for (unsigned id : {VANTOR_STRING_IDS}) {
        CString text;
        EXPECT_TRUE(text.LoadString(id) && !text.IsEmpty()) << id;
    }
}

// Guards against an entry written in one language only, or an English entry left in Chinese:
// every identifier finds a text of each language, the English one free of Chinese characters,
// and each language is found whatever is shown (the report reads both back).
TEST(Resources, EveryStringHasBothLanguages) {
    SetShownLanguage(Language::kEnglish);
    for (unsigned id : {VANTOR_STRING_IDS}) {
        const std::wstring english = LoadStringIn(id, Language::kEnglish);
        const std::wstring chinese = LoadStringIn(id, Language::kChinese);
        EXPECT_EQ(english, LoadStringDirect(id)) << id;
        EXPECT_FALSE(english.empty()) << id;
        EXPECT_FALSE(chinese.empty()) << id;
        EXPECT_NE(english, chinese) << id;
        for (wchar_t c : english)
            EXPECT_FALSE((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF)) << id;
    }
    EXPECT_EQ(L"", LoadStringIn(110, Language::kEnglish)); // no entry 110 in either
    SetShownLanguage(Language::kChinese);
}

// Guards against icons stored without transparency: drawn on the navigation bar, the left
// corners keep the bar's colour while the token's dark body shows.
TEST(Resources, IconsDrawOnTheBarWithTransparentCorners) {
    const COLORREF kBarColour = 0x00A28F87;
    for (int id : {IDI_APP, IDI_NAV_WIPE, IDI_NAV_PKI, IDI_NAV_INFO}) {
        for (int size : {16, 32, 48}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " at " << size);
            HICON icon = static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr);
            Canvas canvas(size, size, kBarColour);
            EXPECT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
            DestroyIcon(icon);
            EXPECT_EQ(canvas.Pixel(0, 0), kBarColour);
            EXPECT_EQ(canvas.Pixel(0, size - 1), kBarColour);
            EXPECT_GT(
                canvas.Count([](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300; }),
                size * size / 10);
        }
    }
}
