// The icons and the separator bitmap: every size the bar and the window ask for exists as
// its own image (no scaling), with real transparency, and draws on the bar's colour.
#include "ResourceTestSupport.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace restest;

namespace {

const int kIcons[] = {IDI_APP, IDI_NAV_BLANK, IDI_NAV_PKI, IDI_NAV_INFO};
const COLORREF kBarColour = 0x00A28F87; // the navigation bar's background

// The stored image the icon group offers for `size`, as the system would choose it.
const BITMAPINFOHEADER* StoredIconImage(int iconId, int size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(iconId), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    if (!group)
        return nullptr;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    int imageId = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(imageId), MAKEINTRESOURCEW(3)); // RT_ICON
    if (!image)
        return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
}

} // namespace

TEST(Icons, EverySizeIsStoredAsItsOwn32BitImageWithAlpha) {
    for (int id : kIcons) {
        for (int size : {16, 24, 32, 48}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " at " << size);
            const BITMAPINFOHEADER* image = StoredIconImage(id, size);
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->biWidth, size);
            EXPECT_EQ(image->biHeight, 2 * size); // colour and mask
            ASSERT_EQ(image->biBitCount, 32);
            const auto* pixels = reinterpret_cast<const uint8_t*>(image + 1);
            int transparent = 0, partial = 0, opaque = 0;
            for (int i = 0; i < size * size; ++i) {
                uint8_t alpha = pixels[i * 4 + 3];
                (alpha == 0 ? transparent : alpha == 255 ? opaque : partial)++;
            }
            EXPECT_GT(transparent, size * size / 5) << "the bar shows through around the token";
            EXPECT_GT(opaque, size * size / 5);
            EXPECT_GT(partial, 0) << "smoothed edges";
        }
    }
}

TEST(Icons, LoadAtTheSizesTheProgramUses) {
    for (int id : kIcons) {
        for (int size : {16, 32, 48}) {
            UniqueIcon icon(static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
            ASSERT_TRUE(icon) << id << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon.get(), &info));
            UniqueGdiObject colour(info.hbmColor), mask(info.hbmMask);
            BITMAP bitmap{};
            ASSERT_NE(GetObjectW(info.hbmColor, sizeof bitmap, &bitmap), 0);
            EXPECT_EQ(bitmap.bmWidth, size);
            EXPECT_EQ(bitmap.bmHeight, size);
        }
    }
}

TEST(Icons, DrawnOnTheBarTheCornersStayBarColouredAndTheTokenShows) {
    for (int id : kIcons) {
        UniqueIcon icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0)));
        ASSERT_TRUE(icon);
        Canvas canvas(32, 32, kBarColour);
        ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(canvas.Pixel(0, 31), kBarColour) << id;
        EXPECT_EQ(canvas.Pixel(0, 0), kBarColour) << id;
        // The token's dark body, above the badge.
        COLORREF body = canvas.Pixel(13, 20);
        EXPECT_LT(GetRValue(body) + GetGValue(body) + GetBValue(body), 3 * 100) << id;
    }
}

TEST(SeparatorBitmap, Is434By1AndFadesIntoTheDialog) {
    UniqueGdiObject bitmap(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SEPARATOR),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(bitmap);
    BITMAP info{};
    ASSERT_NE(GetObjectW(bitmap.get(), sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 434);
    EXPECT_EQ(info.bmHeight, 1);

    Canvas canvas(434, 1);
    UniqueMemoryDc source(CreateCompatibleDC(nullptr));
    SelectedObject selected(source.get(), bitmap.get());
    BitBlt(canvas.Dc(), 0, 0, 434, 1, source.get(), 0, 0, SRCCOPY);
    auto brightness = [&](int x) {
        COLORREF c = canvas.Pixel(x, 0);
        return GetRValue(c) + GetGValue(c) + GetBValue(c);
    };
    EXPECT_LT(brightness(0), brightness(433) - 100) << "a visible line at the heading's start";
}
