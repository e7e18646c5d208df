#include "platform/posix/PosixPortTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iostream>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/TextCompare.h"
#include "platform/posix/AdapterInfo.h"
#include "platform/posix/BoundedFile.h"
#include "platform/posix/ConfigFolder.h"

namespace vorenta {

namespace {

constexpr std::string_view kCompanyFolder = "Harwen Systems";
constexpr std::string_view kMapFileName = "ports.conf";
constexpr std::string_view kComPrefix = "COM";

// A family of devices the default rule numbers: /dev/<stem>0.. as COM first...
struct RuleFamily {
    std::string_view stem;
    int firstCom;
    int count;
    bool needsUart;
};
constexpr RuleFamily kRuleFamilies[] = {
    {"ttyS", 1, 32, true},
    {"ttyUSB", 33, 34, false},
    {"ttyACM", 67, 34, false},
};

// "COMn" (any case) with n as plain decimal digits: n, or -1 when the text is
// not of that form (n itself may still be out of range).
long ParseComName(std::string_view name) {
    if (!StartsWithIgnoringCase(name, kComPrefix)) {
        return -1;
    }
    const std::string_view digits = name.substr(kComPrefix.size());
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return -1;
    }
    long value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

bool IsDevice(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::string ComName(int comNumber) {
    return std::string(kComPrefix) + std::to_string(comNumber);
}

}  // namespace

PortTableRoots PortTableRoots::ForThisMachine() {
    PortTableRoots roots;
    const std::filesystem::path folder = UserConfigFolder(kCompanyFolder);
    if (!folder.empty()) {
        roots.mapFile = folder / kMapFileName;
    }
    return roots;
}

PosixPortTable::PosixPortTable(PortTableRoots roots, std::ostream* warnings,
                               SessionIdentity identity)
    : roots_(std::move(roots)),
      warnings_(warnings != nullptr ? warnings : &std::cerr),
      identity_(std::move(identity)) {}

bool PosixPortTable::ListPorts(std::vector<InstalledPort>& ports) {
    ports.clear();
    std::vector<Entry> entries;
    const bool readable = Collect(entries);
    snapshot_ = std::move(entries);
    if (!readable) {
        return false;
    }
    for (const Entry& entry : *snapshot_) {
        ports.push_back({ComName(entry.comNumber), entry.devicePath});
    }
    return true;
}

const std::vector<PosixPortTable::Entry>& PosixPortTable::Snapshot() {
    if (!snapshot_) {
        std::vector<InstalledPort> ports;
        ListPorts(ports);
    }
    return *snapshot_;
}

std::string PosixPortTable::DevicePathFor(int comNumber) {
    for (const Entry& entry : Snapshot()) {
        if (entry.comNumber == comNumber) {
            return entry.devicePath;
        }
    }
    return {};
}

std::string PosixPortTable::DescribeDevice(const std::string& devicePath) {
    return devicePath.empty() ? std::string() : ReadAdapterInfo(devicePath, roots_).Describe();
}

bool PosixPortTable::DevicePresent(const std::string& devicePath) {
    return IsDevice(devicePath);
}

std::string PosixPortTable::DescribeOpenFailure(int comNumber, const std::string& devicePath) {
    if (devicePath.empty()) {
        return ComName(comNumber) + " is not among the serial ports found on this computer.";
    }
    const PortDiagnosis diagnosis(roots_, identity_);
    return diagnosis.Explain(devicePath, PortDiagnosis::ProbeOpen(devicePath));
}

bool PosixPortTable::Collect(std::vector<Entry>& entries) {
    const bool mapRead = ReadMapFile(entries);
    std::error_code error;
    std::filesystem::directory_iterator devListing(roots_.devFolder, error);
    const bool devRead = !error;
    if (devRead) {
        AddRuleDevices(entries);
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.comNumber < b.comNumber; });
    return mapRead || devRead;
}

bool PosixPortTable::ReadMapFile(std::vector<Entry>& entries) {
    if (roots_.mapFile.empty()) {
        return false;
    }
    std::string contents;
    switch (ReadRegularFile(roots_.mapFile, kMaxMapFileBytes, contents)) {
        case BoundedRead::Read:
            break;
        case BoundedRead::Missing:
            return false;
        case BoundedRead::NotRegular:
            Warn(roots_.mapFile.string() + ": ignored, not a regular file");
            return false;
        case BoundedRead::TooLarge:
            Warn(roots_.mapFile.string() + ": ignored, larger than " +
                 std::to_string(kMaxMapFileBytes / 1024) + " KiB");
            return false;
        case BoundedRead::Unreadable:
            Warn(roots_.mapFile.string() + ": ignored, cannot be read");
            return false;
    }
    std::istringstream file(contents);
    const std::string where = roots_.mapFile.string() + ":";
    std::string line;
    for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
        const std::string_view text = TrimBlanks(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        const std::string prefix = where + std::to_string(lineNumber) + ": ";
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            Warn(prefix + "skipped, not a COMn=/path/to/device line");
            continue;
        }
        const long comNumber = ParseComName(TrimBlanks(text.substr(0, equals)));
        const std::string_view path = TrimBlanks(text.substr(equals + 1));
        if (comNumber < 0 || path.empty()) {
            Warn(prefix + "skipped, not a COMn=/path/to/device line");
            continue;
        }
        if (comNumber < kFirstCom || comNumber > kLastCom) {
            Warn(prefix + "skipped, the COM number must be from 1 to 100");
            continue;
        }
        if (path.front() != '/') {
            Warn(prefix + "skipped, the device path must be absolute");
            continue;
        }
        const bool taken = std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) {
            return entry.comNumber == comNumber;
        });
        if (taken) {
            Warn(prefix + "skipped, " + ComName(static_cast<int>(comNumber)) +
                 " is already mapped above");
            continue;
        }
        if (!IsDevice(std::filesystem::path(path))) {
            Warn(prefix + "skipped, " + std::string(path) + " does not exist");
            continue;
        }
        entries.push_back({static_cast<int>(comNumber), std::string(path)});
    }
    return true;
}

void PosixPortTable::AddRuleDevices(std::vector<Entry>& entries) const {
    // The map file's devices are not offered a second time under their rule number.
    std::vector<std::filesystem::path> mapped;
    for (const Entry& entry : entries) {
        std::error_code error;
        mapped.push_back(std::filesystem::weakly_canonical(entry.devicePath, error));
    }
    for (const RuleFamily& family : kRuleFamilies) {
        for (int index = 0; index < family.count; ++index) {
            const int comNumber = family.firstCom + index;
            const bool numberTaken =
                std::any_of(entries.begin(), entries.end(),
                            [&](const Entry& entry) { return entry.comNumber == comNumber; });
            if (numberTaken) {
                continue;
            }
            const std::filesystem::path device =
                roots_.devFolder / (std::string(family.stem) + std::to_string(index));
            if (!IsDevice(device) || (family.needsUart && !HasUart(index))) {
                continue;
            }
            std::error_code error;
            const auto canonical = std::filesystem::weakly_canonical(device, error);
            if (std::find(mapped.begin(), mapped.end(), canonical) != mapped.end()) {
                continue;
            }
            entries.push_back({comNumber, device.string()});
        }
    }
}

// Linux creates ttyS0..N for every port the 8250 driver might drive, most of
// them with nothing behind. The serial core reports the UART it found in the
// `type` attribute; 0 (PORT_UNKNOWN) is such a placeholder. Without that
// attribute there is no way to tell, so the port is not offered (the map file
// can still name it).
bool PosixPortTable::HasUart(int ttySIndex) const {
    const std::string type =
        ReadAttribute(roots_.sysTtyFolder / ("ttyS" + std::to_string(ttySIndex)) / "type");
    long value = 0;
    const auto [end, error] = std::from_chars(type.data(), type.data() + type.size(), value);
    return error == std::errc() && end != type.data() && value != 0;
}

void PosixPortTable::Warn(const std::string& text) {
    if (warned_.insert(text).second) {
        *warnings_ << "ports: " << text << '\n';
    }
}

}  // namespace vorenta
