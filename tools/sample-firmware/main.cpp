// Writes a sample firmware description file and a generated firmware image, so
// the utility can be tried against the simulator. The image is made up: it is
// not a firmware for any module.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-sample-firmware FOLDER SIZE\n");
        return 2;
    }
    const std::string folder = argv[1];
    const long size = std::strtol(argv[2], nullptr, 10);
    if (size < 0) {
        std::fprintf(stderr, "make-sample-firmware: SIZE must not be negative\n");
        return 2;
    }
    const std::string name = "VMM_KT76_sample_firmware.bin";
    std::ofstream description(folder + "/Vorenta_KT76_MM_VMM_V2.txt", std::ios::trunc);
    description << "2.0 sample (generated, not a real firmware)\n" << name << '\n';

    std::ofstream image(folder + "/" + name, std::ios::binary | std::ios::trunc);
    const std::string banner = "VORENTA SAMPLE IMAGE - NOT A MODULE FIRMWARE. ";
    std::uint32_t state = 0x2545F491U;
    for (long i = 0; i < size; ++i) {
        char byte = 0;
        if (i < static_cast<long>(banner.size())) {
            byte = banner[static_cast<std::size_t>(i)];
        } else {
            state ^= state << 13U;
            state ^= state >> 17U;
            state ^= state << 5U;
            byte = static_cast<char>(state & 0xFFU);
        }
        image.put(byte);
    }
    return description && image ? 0 : 1;
}
