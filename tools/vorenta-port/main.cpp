// vorenta-port: shows which serial ports the utility knows, or opens one the
// way an update session does and reports what happened.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NativePlatform.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"
#include "update/BasePreparation.h"

namespace {

using namespace vorenta;

constexpr std::string_view kProgram = "vorenta-port";
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "Usage:\n"
    "  vorenta-port --list [--map COMn=/dev/path ...]\n"
    "  vorenta-port --open /dev/path\n"
    "  vorenta-port --open COMn [--map COMn=/dev/path ...]\n"
    "  vorenta-port --help\n"
    "\n"
    "--list  lists the serial ports the port table knows (COM name and device): this\n"
    "        machine's ports, or only the --map entries when any are given.\n"
    "--open  opens the port with the update session's settings (38400 bit/s, no parity,\n"
    "        8 data bits, 1 stop bit, DTR and RTS raised), prints what it did, and closes it.\n"
    "--map   tells the port table which device stands behind a COM number.\n"
    "Exit status: 0 done, 1 the port could not be opened, 2 bad command line.\n";

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

struct Options {
    bool help = false;
    bool list = false;
    std::optional<std::string> open;
    std::vector<std::string> maps;
};

void Error(const std::string& text) {
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(kProgram.size()), kProgram.data(),
                 text.c_str());
}

bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--list") {
            options.list = true;
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
    if (!options.help && options.list == options.open.has_value()) {
        Error("give exactly one of --list and --open");
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
    for (const auto& port : ports) {
        std::printf("%-6s %s\n", port.name.c_str(), port.devicePath.c_str());
    }
    return 0;
}

int OpenAndClose(IPortTable& table, int comNumber, const std::string& label) {
    NativeSerialDevice device;
    NativeTickSource clock;
    CRS232 port(device, table, clock);

    if (port.Open(comNumber, kSessionBaudRate, kSessionParity, kSessionDataBits,
                  kSessionStopBits) == 0) {
        if (port.DevicePath().empty()) {
            Error(label + " is not mapped to a device; give --map " + label + "=/dev/path");
        } else {
            Error("cannot open " + label + ": " + device.LastError());
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
            Error("bad --map '" + mapping + "' (expected COMn=/dev/path, n from 1 to 255)");
            return kExitUsage;
        }
    }
    // Without --map the machine's own port table answers.
    NativePortTable machinePorts;
    IPortTable& ports = options.maps.empty() ? static_cast<IPortTable&>(machinePorts) : table;
    if (options.list) {
        return List(ports);
    }

    const std::string& target = *options.open;
    if (const auto comNumber = ParseComName(target)) {
        const std::string path = ports.DevicePathFor(*comNumber);
        std::string label = ComName(*comNumber);
        if (!path.empty()) {
            label += " (" + path + ")";
        }
        return OpenAndClose(ports, *comNumber, label);
    }
    if (target.empty() || target.front() != '/') {
        Error("'" + target + "' is neither COMn nor a device path starting with /");
        return kExitUsage;
    }
    DirectPathTable direct(target);
    return OpenAndClose(direct, kDirectPathCom, target);
}
