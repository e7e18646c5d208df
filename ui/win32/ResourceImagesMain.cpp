// Writes the logo bitmap and the application icon that the resource script
// compiles into the update program, drawn by the same code as on Linux.
#include <cstdio>
#include <fstream>
#include <vector>

#include "ui/Logo.h"
#include "ui/win32/ImageFiles.h"

namespace {

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vorenta;
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorenta-resource-images LOGO.bmp ICON.ico\n");
        return 2;
    }
    // The bitmap as the resource holds it; the window rounds its corners.
    const bool logo = WriteFile(argv[1], win32ui::BitmapFileBytes(DrawRadioModule(kLogoSize)));
    const std::vector<RgbImage> icons{DrawRadioModule(16), DrawRadioModule(kAppIconSize),
                                      DrawRadioModule(48)};
    const bool icon = WriteFile(argv[2], win32ui::IconFileBytes(icons));
    if (!logo || !icon) {
        std::fprintf(stderr, "vorenta-resource-images: cannot write %s\n",
                     logo ? argv[2] : argv[1]);
        return 1;
    }
    return 0;
}
