#pragma once

#include <cstdint>
#include <vector>

#include "ui/Logo.h"

namespace vorenta::win32ui {

// `image` as a Windows bitmap file: 24 bits per pixel, rows bottom-up in
// blue-green-red order, each padded to a multiple of four bytes.
std::vector<std::uint8_t> BitmapFileBytes(const RgbImage& image);

// An icon file with one opaque 32-bit image per entry of `images` (each at
// most 256 pixels square; 256 is written as 0, as the format wants).
std::vector<std::uint8_t> IconFileBytes(const std::vector<RgbImage>& images);

}  // namespace vorenta::win32ui
