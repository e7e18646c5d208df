#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/linux/PortTableRoots.h"
#include "tests/support/TempFolder.h"

namespace vorenta::testing {

// /dev, /sys and /proc of a machine with three USB serial adapters, laid out
// as Linux lays them out (class links into the device tree, by-id links):
//   ttyUSB0  FTDI FT232R (0403:6001), with a /dev/serial/by-id/ name
//   ttyUSB1  a CH340 (1a86:7523) without maker string
//   ttyACM0  a CDC ACM device, driver cdc_acm
// Processes are added with AddProcess.
class FakeSystemTree {
  public:
    static constexpr const char* kFtdiById = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

    FakeSystemTree() {
        const auto& base = tmp.path();
        roots.devFolder = base / "dev";
        roots.sysTtyFolder = base / "sys/class/tty";
        roots.usbDevicesFolder = base / "sys/bus/usb/devices";
        roots.procFolder = base / "proc";
        roots.groupFile = base / "etc/group";
        roots.mapFile = base / "config/ports.conf";
        std::filesystem::create_directories(roots.procFolder);

        AddUsbDevice("1-1", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
        AddTty("ttyUSB0", "1-1/1-1:1.0/ttyUSB0", "usb-serial/drivers/ftdi_sio");
        AddUsbDevice("1-2", "1a86", "7523", "", "USB Serial", "");
        AddTty("ttyUSB1", "1-2/1-2:1.0/ttyUSB1", "usb-serial/drivers/ch341-uart");
        AddUsbDevice("1-3", "2e8a", "000a", "Raspberry Pi", "Pico", "E6605838");
        AddTty("ttyACM0", "1-3/1-3:1.0", "usb/drivers/cdc_acm");
        Link(roots.devFolder / "serial/by-id" / kFtdiById, "../../ttyUSB0");
    }

    std::string Dev(const std::string& name) const { return (roots.devFolder / name).string(); }
    std::string ById() const { return (roots.devFolder / "serial/by-id" / kFtdiById).string(); }

    void AddProcess(long pid, const std::string& name, const std::string& openFile = "") {
        const auto folder = roots.procFolder / std::to_string(pid);
        WriteFile(folder / "comm", name + "\n");
        std::filesystem::create_directories(folder / "fd");
        Link(folder / "fd/0", "/dev/null");
        if (!openFile.empty()) {
            Link(folder / "fd/3", openFile);
        }
    }

    static void Link(const std::filesystem::path& link, const std::filesystem::path& target) {
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_symlink(target, link);
    }

    TempFolder tmp;
    PortTableRoots roots;

  private:
    std::filesystem::path UsbFolder() const { return tmp.path() / "sys/devices/pci0000:00/usb1"; }

    void AddUsbDevice(const std::string& name, const std::string& vendor,
                      const std::string& product, const std::string& maker,
                      const std::string& productName, const std::string& serial) {
        const auto folder = UsbFolder() / name;
        WriteFile(folder / "idVendor", vendor + "\n");
        WriteFile(folder / "idProduct", product + "\n");
        if (!maker.empty()) {
            WriteFile(folder / "manufacturer", maker + "\n");
        }
        WriteFile(folder / "product", productName + "\n");
        if (!serial.empty()) {
            WriteFile(folder / "serial", serial + "\n");
        }
        Link(roots.usbDevicesFolder / name, folder);
    }

    // A tty whose `device` is `devicePart` below the USB folder, bound to `driver`.
    void AddTty(const std::string& name, const std::string& devicePart, const std::string& driver) {
        const auto device = UsbFolder() / devicePart;
        std::filesystem::create_directories(device);
        std::filesystem::create_directories(tmp.path() / "sys/bus" / driver);
        Link(device / "driver", tmp.path() / "sys/bus" / driver);
        Link(roots.sysTtyFolder / name / "device", device);
        WriteFile(roots.devFolder / name, "");
    }
};

}  // namespace vorenta::testing
