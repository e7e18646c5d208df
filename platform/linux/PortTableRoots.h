#pragma once

#include <filesystem>

namespace vorenta {

// Where the port table and its helpers look. Tests point these at trees of
// their own; the defaults are this machine's.
struct PortTableRoots {
    std::filesystem::path devFolder = "/dev";
    std::filesystem::path sysTtyFolder = "/sys/class/tty";
    std::filesystem::path usbDevicesFolder = "/sys/bus/usb/devices";
    std::filesystem::path procFolder = "/proc";
    std::filesystem::path groupFile = "/etc/group";
    std::filesystem::path mapFile;  // the per-user ports.conf; empty: none

    // The folders above and ports.conf in the company's settings folder.
    static PortTableRoots ForThisMachine();
};

}  // namespace vorenta
