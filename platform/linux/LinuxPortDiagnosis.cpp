#include "platform/linux/LinuxPortDiagnosis.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "platform/linux/AdapterInfo.h"
#include "platform/posix/BoundedFile.h"

namespace vorenta {

namespace {

constexpr std::string_view kModemManager = "ModemManager";
constexpr std::string_view kBrltty = "brltty";
constexpr std::string_view kAcmDriver = "cdc_acm";
constexpr std::string_view kAcmStem = "ttyACM";
constexpr std::string_view kCh340Vendor = "1a86";
constexpr std::string_view kCh340Product = "7523";

}  // namespace

LinuxPortDiagnosis::LinuxPortDiagnosis(PortTableRoots roots, SessionIdentity identity)
    : PortDiagnosis(roots.groupFile, std::move(identity)), roots_(std::move(roots)) {}

std::vector<PortDiagnosis::Holder> LinuxPortDiagnosis::FindHolders(
    const std::string& devicePath) const {
    std::vector<Holder> holders;
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(devicePath, error);
    for (std::filesystem::directory_iterator process(roots_.procFolder, error), end;
         !error && process != end; process.increment(error)) {
        const std::string pidText = process->path().filename().string();
        if (pidText.empty() || !std::all_of(pidText.begin(), pidText.end(),
                                            [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        std::error_code fdError;  // other users' descriptors are not readable: skip them
        for (std::filesystem::directory_iterator fd(process->path() / "fd", fdError), fdEnd;
             !fdError && fd != fdEnd; fd.increment(fdError)) {
            std::error_code linkError;
            const std::filesystem::path target =
                std::filesystem::read_symlink(fd->path(), linkError);
            if (!linkError &&
                (target == devicePath || (!canonical.empty() && target == canonical))) {
                holders.push_back({std::stol(pidText), ReadAttribute(process->path() / "comm")});
                break;
            }
        }
    }
    std::sort(holders.begin(), holders.end(),
              [](const Holder& a, const Holder& b) { return a.pid < b.pid; });
    return holders;
}

bool LinuxPortDiagnosis::ProcessRunning(std::string_view name) const {
    std::error_code error;
    for (std::filesystem::directory_iterator process(roots_.procFolder, error), end;
         !error && process != end; process.increment(error)) {
        if (ReadAttribute(process->path() / "comm") == name) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> LinuxPortDiagnosis::ServiceAdvice(const std::string& devicePath,
                                                           int openError) const {
    std::vector<std::string> advice;
    const AdapterInfo adapter = ReadAdapterInfo(devicePath, roots_);
    const bool isAcm =
        adapter.driver == kAcmDriver ||
        std::filesystem::path(devicePath).filename().string().rfind(kAcmStem, 0) == 0;
    if (isAcm && ProcessRunning(kModemManager)) {
        advice.push_back(
            "ModemManager is running, and it probes a newly plugged ACM device such as " +
            devicePath +
            " for a few seconds. Wait a moment and try again. To keep it away from this adapter "
            "for good, give the adapter the udev property ID_MM_DEVICE_IGNORE=1, or stop "
            "ModemManager (sudo systemctl stop ModemManager).");
    }
    const bool isCh340 =
        (adapter.vendorId == kCh340Vendor && adapter.productId == kCh340Product) ||
        (IsMissingDevice(openError) && UsbDeviceAttached(roots_, kCh340Vendor, kCh340Product));
    if (isCh340 && ProcessRunning(kBrltty)) {
        advice.push_back(
            "brltty (the braille display service) is running; it is known to claim CH340 USB "
            "serial adapters (USB id 1a86:7523), which then vanish from /dev. If no braille "
            "display is used here, stop it for good with\n"
            "    sudo systemctl mask --now brltty-udev.service brltty.service\n"
            "(or remove the brltty package), then unplug the adapter and plug it in again.");
    }
    return advice;
}

}  // namespace vorenta
