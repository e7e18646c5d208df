#include "platform/linux/AdapterInfo.h"

#include <system_error>

#include "platform/JoinedText.h"
#include "platform/posix/BoundedFile.h"

namespace vorenta {

namespace {

constexpr std::string_view kByIdFolder = "serial/by-id";
// A tty's `device` is the USB interface (cdc_acm) or the usb-serial port below
// it (ttyUSB); the USB device with the ids is at most a few levels up.
constexpr int kLevelsUpToUsbDevice = 3;

std::filesystem::path Canonical(const std::filesystem::path& path) {
    std::error_code error;
    auto canonical = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path() : canonical;
}

}  // namespace

std::string AdapterInfo::UsbId() const {
    return IsUsb() ? vendorId + ":" + productId : std::string();
}

std::string AdapterInfo::Summary() const {
    std::string names;
    AppendItem(names, " ", manufacturer);
    // Many adapters repeat the maker in the product string.
    if (product.rfind(manufacturer, 0) == 0 && !manufacturer.empty()) {
        names = product;
    } else {
        AppendItem(names, " ", product);
    }
    std::string details;
    AppendItem(details, ", ", UsbId());
    if (!serial.empty()) {
        AppendItem(details, ", ", "serial " + serial);
    }
    // Which kernel driver serves the port tells support the most about it.
    if (!driver.empty()) {
        AppendItem(details, ", ", "driver " + driver);
    }
    if (details.empty()) {
        return names;
    }
    return names.empty() ? details : names + " (" + details + ")";
}

std::string AdapterInfo::Describe() const {
    std::string text;
    AppendItem(text, "\n", Summary());
    AppendItem(text, "\n", byIdPath);
    return text;
}

std::string FindByIdName(const std::filesystem::path& devicePath,
                         const std::filesystem::path& byIdFolder) {
    const std::filesystem::path target = Canonical(devicePath);
    if (target.empty()) {
        return {};
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(byIdFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (Canonical(it->path()) == target) {
            return it->path().string();
        }
    }
    return {};
}

AdapterInfo ReadAdapterInfo(const std::filesystem::path& devicePath, const PortTableRoots& roots) {
    AdapterInfo info;
    const std::filesystem::path byIdFolder = roots.devFolder / kByIdFolder;
    if (devicePath.parent_path() == byIdFolder) {
        info.byIdPath = devicePath.string();
    } else {
        info.byIdPath = FindByIdName(devicePath, byIdFolder);
    }
    const std::filesystem::path device = Canonical(devicePath);
    if (device.empty()) {
        return info;
    }
    const std::filesystem::path sysDevice =
        Canonical(roots.sysTtyFolder / device.filename() / "device");
    if (sysDevice.empty()) {
        return info;
    }
    info.driver = Canonical(sysDevice / "driver").filename().string();
    std::filesystem::path level = sysDevice;
    for (int up = 0; up <= kLevelsUpToUsbDevice && !level.empty(); ++up) {
        const std::string vendor = ReadAttribute(level / "idVendor");
        if (!vendor.empty()) {
            info.vendorId = vendor;
            info.productId = ReadAttribute(level / "idProduct");
            info.manufacturer = ReadAttribute(level / "manufacturer");
            info.product = ReadAttribute(level / "product");
            info.serial = ReadAttribute(level / "serial");
            break;
        }
        if (level == level.parent_path()) {
            break;
        }
        level = level.parent_path();
    }
    return info;
}

bool UsbDeviceAttached(const PortTableRoots& roots, std::string_view vendorId,
                       std::string_view productId) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(roots.usbDevicesFolder, error), end;
         !error && it != end; it.increment(error)) {
        if (ReadAttribute(it->path() / "idVendor") == vendorId &&
            ReadAttribute(it->path() / "idProduct") == productId) {
            return true;
        }
    }
    return false;
}

}  // namespace vorenta
