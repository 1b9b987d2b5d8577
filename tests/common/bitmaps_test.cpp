// The program's two bitmaps, stored run-length encoded, load to the very
// pixels of their plain forms.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/testutil.h"

namespace {

// A bitmap's pixels as 32-bit colours, top row first.
std::vector<uint32_t> Pixels(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || !GetObjectA(bitmap, sizeof info, &info)) return {};
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

TEST(Bitmaps, TheRunLengthEncodedLoadToThePlainOnesPixels) {
    const struct {
        int id;
        const char* plain;
    } bitmaps[] = {{IDB_TILE, "tile-plain.bmp"}, {IDB_LOGO, "logo-plain.bmp"}};
    const HMODULE module = GetModuleHandleA(nullptr);
    for (const auto& b : bitmaps) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(b.id), MAKEINTRESOURCEA(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr) << b.plain;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
        EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RLE4)) << b.plain;

        HBITMAP loaded = LoadBitmapA(module, MAKEINTRESOURCEA(b.id));
        const std::string path = WinePath(RES_IMAGES_UNIX) + "\\" + b.plain;
        HBITMAP plain = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        const std::vector<uint32_t> pixels = Pixels(loaded);
        EXPECT_FALSE(pixels.empty()) << b.plain;
        EXPECT_TRUE(pixels == Pixels(plain)) << b.plain << ": other pixels";
        DeleteObject(loaded);
        DeleteObject(plain);
    }
}

}  // namespace
