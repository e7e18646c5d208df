#include "ui/win32/ImageFiles.h"

#include <cstddef>

namespace vorenta::win32ui {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kIconDirSize = 6;
constexpr std::uint32_t kIconEntrySize = 16;

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void U8(std::uint32_t v) { out_.push_back(static_cast<std::uint8_t>(v & 0xFFU)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8U);
    }
    void U32(std::uint32_t v) {
        U16(v);
        U16(v >> 16U);
    }

  private:
    std::vector<std::uint8_t>& out_;
};

std::uint32_t Stride(std::uint32_t width, std::uint32_t bitsPerPixel) {
    return ((width * bitsPerPixel + 31U) / 32U) * 4U;
}

void InfoHeader(ByteWriter& w, std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                std::uint32_t imageSize) {
    w.U32(kInfoHeaderSize);
    w.U32(width);
    w.U32(height);
    w.U16(1);  // planes
    w.U16(bits);
    w.U32(0);  // uncompressed
    w.U32(imageSize);
    w.U32(0);  // no preferred resolution
    w.U32(0);
    w.U32(0);  // no palette
    w.U32(0);
}

}  // namespace

std::vector<std::uint8_t> BitmapFileBytes(const RgbImage& image) {
    const auto width = static_cast<std::uint32_t>(image.Width());
    const auto height = static_cast<std::uint32_t>(image.Height());
    const std::uint32_t stride = Stride(width, 24);
    const std::uint32_t pixelBytes = stride * height;
    std::vector<std::uint8_t> out;
    out.reserve(kFileHeaderSize + kInfoHeaderSize + pixelBytes);
    ByteWriter w(out);
    w.U8('B');
    w.U8('M');
    w.U32(kFileHeaderSize + kInfoHeaderSize + pixelBytes);
    w.U32(0);
    w.U32(kFileHeaderSize + kInfoHeaderSize);
    InfoHeader(w, width, height, 24, pixelBytes);
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Pixel p = image.At(x, y);
            w.U8(p.b);
            w.U8(p.g);
            w.U8(p.r);
        }
        for (std::uint32_t pad = width * 3U; pad < stride; ++pad) {
            w.U8(0);
        }
    }
    return out;
}

std::vector<std::uint8_t> IconFileBytes(const std::vector<RgbImage>& images) {
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    w.U16(0);
    w.U16(1);  // an icon, not a cursor
    w.U16(static_cast<std::uint32_t>(images.size()));

    std::uint32_t offset =
        kIconDirSize + kIconEntrySize * static_cast<std::uint32_t>(images.size());
    std::vector<std::uint32_t> sizes;
    for (const RgbImage& image : images) {
        const auto width = static_cast<std::uint32_t>(image.Width());
        const auto height = static_cast<std::uint32_t>(image.Height());
        const std::uint32_t size =
            kInfoHeaderSize + Stride(width, 32) * height + Stride(width, 1) * height;
        sizes.push_back(size);
        w.U8(width >= 256 ? 0 : width);
        w.U8(height >= 256 ? 0 : height);
        w.U8(0);  // no palette
        w.U8(0);
        w.U16(1);
        w.U16(32);
        w.U32(size);
        w.U32(offset);
        offset += size;
    }
    for (const RgbImage& image : images) {
        const auto width = static_cast<std::uint32_t>(image.Width());
        const auto height = static_cast<std::uint32_t>(image.Height());
        // The height counts the colour image and the mask below it.
        InfoHeader(w, width, height * 2U, 32,
                   Stride(width, 32) * height + Stride(width, 1) * height);
        for (int y = image.Height() - 1; y >= 0; --y) {
            for (int x = 0; x < image.Width(); ++x) {
                const Pixel p = image.At(x, y);
                w.U8(p.b);
                w.U8(p.g);
                w.U8(p.r);
                w.U8(0xFF);
            }
        }
        // An all-clear mask: every pixel is opaque.
        out.resize(out.size() + static_cast<std::size_t>(Stride(width, 1) * height), 0);
    }
    return out;
}

}  // namespace vorenta::win32ui
