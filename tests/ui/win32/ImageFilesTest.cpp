// The logo and icon files the resource compiler takes, read back by Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "ui/Logo.h"
#include "ui/win32/ImageFiles.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8U) | (b[at + 2] << 16U) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24U);
}
std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8U);
}

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name + std::to_string(::GetCurrentProcessId());
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TEST(ImageFiles, LogoBitmapRowsArePaddedBottomUpBlueGreenRed) {
    RgbImage image(3, 2, Pixel{1, 2, 3});
    image.Set(0, 1, Pixel{10, 20, 30});  // bottom row, first in the file
    const std::vector<std::uint8_t> b = BitmapFileBytes(image);
    const std::uint32_t stride = 12;  // 9 bytes padded to 12
    ASSERT_EQ(b.size(), 54U + stride * 2);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 10), 54U);
    EXPECT_EQ(U32(b, 18), 3U);
    EXPECT_EQ(U32(b, 22), 2U);
    EXPECT_EQ(U16(b, 28), 24U);
    EXPECT_EQ(b[54], 30);
    EXPECT_EQ(b[55], 20);
    EXPECT_EQ(b[56], 10);
    EXPECT_EQ(b[54 + 9], 0) << "padding";
    EXPECT_EQ(b[54 + stride], 3) << "top row second";
}

TEST(ImageFiles, WindowsLoadsTheLogoWithEveryPixelOfTheDrawing) {
    const RgbImage logo = DrawRadioModule(kLogoSize);
    const std::string path = TempFile("vorenta-logo-test.bmp");
    Write(path, BitmapFileBytes(logo));
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                       LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    std::remove(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, kLogoSize);
    EXPECT_EQ(info.bmHeight, kLogoSize);
    int wrong = 0;
    for (int y = 0; y < kLogoSize; ++y) {
        for (int x = 0; x < kLogoSize; ++x) {
            const Pixel p = logo.At(x, y);
            wrong += ::GetPixel(dc, x, y) == RGB(p.r, p.g, p.b) ? 0 : 1;
        }
    }
    EXPECT_EQ(wrong, 0);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
}

TEST(ImageFiles, IconDirectoryPointsAtOneOpaqueImagePerSize) {
    const std::vector<RgbImage> images{DrawRadioModule(16), DrawRadioModule(32),
                                       DrawRadioModule(48)};
    const std::vector<std::uint8_t> b = IconFileBytes(images);
    EXPECT_EQ(U16(b, 0), 0U);
    EXPECT_EQ(U16(b, 2), 1U);
    ASSERT_EQ(U16(b, 4), 3U);
    std::uint32_t expectedOffset = 6 + 16 * 3;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::size_t e = 6 + 16 * i;
        const auto size = static_cast<std::uint32_t>(images[i].Width());
        EXPECT_EQ(b[e], size);
        EXPECT_EQ(b[e + 1], size);
        EXPECT_EQ(U16(b, e + 6), 32U);
        const std::uint32_t bytes = U32(b, e + 8);
        const std::uint32_t offset = U32(b, e + 12);
        EXPECT_EQ(offset, expectedOffset);
        // Colour rows of 4 bytes a pixel, mask rows of whole 32-bit words.
        EXPECT_EQ(bytes, 40 + size * size * 4 + ((size + 31) / 32) * 4 * size);
        EXPECT_EQ(U32(b, offset + 8), size * 2) << "colour image and mask";
        // Windows makes an icon of this entry.
        HICON icon = ::CreateIconFromResourceEx(const_cast<std::uint8_t*>(b.data() + offset), bytes,
                                                TRUE, 0x00030000, static_cast<int>(size),
                                                static_cast<int>(size), LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << "size " << size;
        if (icon != nullptr) {
            ::DestroyIcon(icon);
        }
        expectedOffset = offset + bytes;
    }
    EXPECT_EQ(b.size(), expectedOffset);
}

}  // namespace
}  // namespace vorenta::win32ui
