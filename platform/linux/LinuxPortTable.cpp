#include "platform/linux/LinuxPortTable.h"

#include <charconv>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/linux/AdapterInfo.h"
#include "platform/linux/ConfigFolder.h"
#include "platform/linux/LinuxPortDiagnosis.h"
#include "platform/posix/BoundedFile.h"

namespace vorenta {

namespace {

constexpr std::string_view kCompanyFolder = "Harwen Systems";
constexpr std::string_view kMapFileName = "ports.conf";

constexpr PortRuleFamily kLinuxRule[] = {
    {"ttyS", 1, 32, true},
    {"ttyUSB", 33, 34, false},
    {"ttyACM", 67, 34, false},
};

}  // namespace

PortTableRoots PortTableRoots::ForThisMachine() {
    PortTableRoots roots;
    const std::filesystem::path folder = UserConfigFolder(kCompanyFolder);
    if (!folder.empty()) {
        roots.mapFile = folder / kMapFileName;
    }
    return roots;
}

LinuxPortTable::LinuxPortTable(PortTableRoots roots, std::ostream* warnings,
                               SessionIdentity identity)
    : PosixPortTable(roots.devFolder, roots.mapFile, kLinuxRule, warnings),
      roots_(std::move(roots)),
      identity_(std::move(identity)) {}

std::string LinuxPortTable::DescribeDevice(const std::string& devicePath) {
    return devicePath.empty() ? std::string() : ReadAdapterInfo(devicePath, roots_).Describe();
}

// Linux creates ttyS0..N for every port the 8250 driver might drive, most of
// them with nothing behind. The serial core reports the UART it found in the
// `type` attribute; 0 (PORT_UNKNOWN) is such a placeholder. Without that
// attribute there is no way to tell, so the port is not offered (the map file
// can still name it).
bool LinuxPortTable::HasUart(const std::string& name) const {
    const std::string type = ReadAttribute(roots_.sysTtyFolder / name / "type");
    long value = 0;
    const auto [end, error] = std::from_chars(type.data(), type.data() + type.size(), value);
    return error == std::errc() && end != type.data() && value != 0;
}

std::string LinuxPortTable::ExplainOpenFailure(const std::string& devicePath) const {
    const LinuxPortDiagnosis diagnosis(roots_, identity_);
    return diagnosis.Explain(devicePath, PortDiagnosis::ProbeOpen(devicePath));
}

}  // namespace vorenta
