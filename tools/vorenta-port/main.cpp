// vorenta-port: shows which serial ports the utility knows and which adapter
// is which, pins today's COM numbers to their adapters, or opens one the way
// an update session does and reports what happened.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PinCommand.h"
#include "common/PrintableText.h"
#include "platform/NativePlatform.h"
#include "serial/CRS232.h"
#include "serial/PortListText.h"
#include "serial/SessionLine.h"
#include "serial/StaticPortTable.h"

namespace {

using namespace vorenta;

constexpr std::string_view kProgram = "vorenta-port";
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

#ifdef _WIN32
// Windows names every port COMn and numbers the adapters itself.
constexpr char kUsage[] =
    "Usage:\n"
    "  vorenta-port --list\n"
    "  vorenta-port --open COMn\n"
    "  vorenta-port --help\n"
    "\n"
    "--list  lists the serial ports Windows has installed (COM name and device).\n"
    "--open  opens the port with the update session's settings (38400 bit/s, no parity,\n"
    "        8 data bits, 1 stop bit, DTR and RTS raised), prints what it did, and closes it.\n"
    "Exit status: 0 done, 1 the port could not be opened, 2 bad command line.\n";
constexpr bool kDevicePathsByName = false;
#else
constexpr char kUsage[] =
    "Usage:\n"
    "  vorenta-port --list [--map COMn=/dev/path ...]\n"
    "  vorenta-port --pin [--write]\n"
    "  vorenta-port --open /dev/path\n"
    "  vorenta-port --open COMn [--map COMn=/dev/path ...]\n"
    "  vorenta-port --help\n"
    "\n"
    "--list  lists the serial ports the port table knows (COM name and device, and for\n"
    "        USB adapters maker, product, vendor:product id, serial number and the\n"
    "        /dev/serial/by-id/ name): this machine's ports, or only the --map entries\n"
    "        when any are given.\n"
    "--pin   prints a ports.conf that pins today's COM numbers to the adapters' stable\n"
    "        /dev/serial/by-id/ names, so each keeps its number when plugged in again.\n"
    "--write with --pin: writes it to ports.conf in the settings folder instead\n"
    "        (replacing the file in one step) and says where.\n"
    "--open  opens the port with the update session's settings (38400 bit/s, no parity,\n"
    "        8 data bits, 1 stop bit, DTR and RTS raised), prints what it did, and closes it.\n"
    "--map   tells the port table which device (its absolute path) stands behind a COM\n"
    "        number, COM1 to COM100.\n"
    "Exit status: 0 done, 1 the port could not be opened or ports.conf not written,\n"
    "2 bad command line.\n";
// A device path given instead of COMn, such as /dev/ttyUSB0.
constexpr bool kDevicePathsByName = true;
#endif

// A device path given directly stands for itself whatever number it is opened under.
class DirectPathTable : public IPortTable {
  public:
    explicit DirectPathTable(std::string path) : path_(std::move(path)) {}
    bool ListPorts(std::vector<InstalledPort>& ports) override {
        ports = {InstalledPort{"", path_}};
        return true;
    }
    std::string DevicePathFor(int) override { return path_; }

  private:
    std::string path_;
};

constexpr int kDirectPathCom = 1;
// The port buttons and ports.conf number ports up to here.
constexpr int kLastMappedCom = 100;

struct Options {
    bool help = false;
    bool list = false;
    bool pin = false;
    bool write = false;
    std::optional<std::string> open;
    std::vector<std::string> maps;
};

void Error(const std::string& text) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(kProgram.size()), kProgram.data(),
                 text.c_str());
}

// What is wrong with a --map value, or nothing: COMn as the port buttons number
// them, and a device named by its absolute path (a relative one would depend on
// where the tool was started).
std::string MappingProblem(std::string_view mapping) {
    const auto separator = mapping.find('=');
    const auto number = ParseComName(mapping.substr(0, separator));
    if (!number || *number < 1 || *number > kLastMappedCom) {
        return "expected COMn=/dev/path with n from 1 to " + std::to_string(kLastMappedCom);
    }
    if (separator == std::string_view::npos) {
        return "the device is missing (COMn=/dev/path)";
    }
    const std::string_view path = mapping.substr(separator + 1);
    if (path.empty() || path.front() != '/') {
        return "the device must be an absolute path starting with /";
    }
    return {};
}

bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--pin") {
            options.pin = true;
        } else if (arg == "--write") {
            options.write = true;
        } else if (arg == "--open" || arg == "--map") {
            if (i + 1 >= argc) {
                Error(std::string(arg) + " needs a value");
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--map") {
                options.maps.push_back(value);
            } else if (options.open) {
                Error("--open given twice");
                return false;
            } else {
                options.open = value;
            }
        } else {
            Error("unknown argument '" + std::string(arg) + "'");
            return false;
        }
    }
    for (const std::string& mapping : options.maps) {
        if (const std::string why = MappingProblem(mapping); !why.empty()) {
            Error("--map " + mapping + ": " + why);
            return false;
        }
    }
    const int actions = int{options.list} + int{options.pin} + int{options.open.has_value()};
    if (!options.help && actions == 0 && !options.maps.empty()) {
        Error("--map only tells the port table a device; add --list, --pin or --open COMn");
        return false;
    }
    if (!options.help && actions != 1) {
        Error("give exactly one of --list, --pin and --open");
        return false;
    }
    if (options.write && !options.pin) {
        Error("--write goes with --pin");
        return false;
    }
    return true;
}

const char* ParityName(std::uint8_t parity) {
    switch (parity) {
        case EVENPARITY:
            return "even parity";
        case ODDPARITY:
            return "odd parity";
        case MARKPARITY:
            return "mark parity";
        case SPACEPARITY:
            return "space parity";
        default:
            return "no parity";
    }
}

std::string Describe(const Dcb& dcb) {
    return std::to_string(dcb.BaudRate) + " bit/s, " + ParityName(dcb.Parity) + ", " +
           std::to_string(dcb.ByteSize) + " data bits, " +
           (dcb.StopBits == TWOSTOPBITS ? "2 stop bits" : "1 stop bit");
}

int List(IPortTable& table) {
    std::vector<InstalledPort> ports;
    if (!table.ListPorts(ports)) {
        Error("cannot read the port table");
        return kExitFailure;
    }
    if (ports.empty()) {
        std::printf("no serial ports found (map one with --map COMn=/dev/path)\n");
        return 0;
    }
    std::fputs(PortListText(table, ports).c_str(), stdout);
    return 0;
}

// `advisor` explains a failed open; the machine's table knows every device path.
int OpenAndClose(IPortTable& table, IPortTable& advisor, int comNumber, const std::string& label) {
    NativeSerialDevice device;
    NativeTickSource clock;
    CRS232 port(device, table, clock);

    if (port.Open(comNumber, kSessionBaudRate, kSessionParity, kSessionDataBits,
                  kSessionStopBits) == 0) {
        if (port.DevicePath().empty()) {
            Error(label + " is not mapped to a device; give --map " + label + "=/dev/path");
        } else {
            // The diagnosis, when there is one, says what the system's error says
            // and more: said once.
            const std::string why = advisor.DescribeOpenFailure(comNumber, port.DevicePath());
            if (why.empty()) {
                Error("cannot open " + label + ": " + device.LastError());
            } else {
                Error("cannot open " + label);
                std::fprintf(stderr, "%s\n", PrintableText(why).c_str());
            }
        }
        return kExitFailure;
    }
    std::printf("opened %s\n", label.c_str());
    std::printf("line settings: %s\n", Describe(port.dcb).c_str());
    if (!device.LastError().empty()) {
        std::printf("warning: %s\n", device.LastError().c_str());
    }
    // Open already raised them; asking again tells whether the device has modem lines at all.
    const bool modemLines = device.SetDtr(true) && device.SetRts(true);
    std::printf("%s\n",
                modemLines ? "DTR and RTS raised" : "no modem lines (DTR, RTS) on this device");
    port.Close();
    std::printf("closed %s\n", port.DevicePath().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    StaticPortTable table;
    for (const auto& mapping : options.maps) {
        if (!table.AddMapping(mapping)) {
            Error("bad --map '" + mapping + "' (expected COMn=/dev/path, n from 1 to " +
                  std::to_string(kLastMappedCom) + ")");
            return kExitUsage;
        }
    }
    // Without --map the machine's own port table answers.
    NativePortTable machinePorts;
    IPortTable& ports = options.maps.empty() ? static_cast<IPortTable&>(machinePorts) : table;
    if (options.list) {
        return List(ports);
    }
    if (options.pin) {
        return PinPorts(ports, options.write, Error) ? 0 : kExitFailure;
    }

    const std::string& target = *options.open;
    if (const auto comNumber = ParseComName(target)) {
        const std::string path = ports.DevicePathFor(*comNumber);
        std::string label = ComName(*comNumber);
        if (!path.empty()) {
            label += " (" + path + ")";
        }
        return OpenAndClose(ports, machinePorts, *comNumber, label);
    }
    if (!kDevicePathsByName) {
        Error("'" + target + "' is not a port name COMn");
        return kExitUsage;
    }
    if (target.empty() || target.front() != '/') {
        Error("'" + target + "' is neither COMn nor a device path starting with /");
        return kExitUsage;
    }
    DirectPathTable direct(target);
    return OpenAndClose(direct, machinePorts, kDirectPathCom, target);
}
