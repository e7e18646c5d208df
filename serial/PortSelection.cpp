// Filling the port buttons from the installed ports, the preselection of the
// saved or command-line port, and the saved port itself.
#include "serial/PortSelection.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "common/PrintableText.h"
#include "common/ProductTexts.h"
#include "platform/TextCompare.h"

namespace vorenta {

namespace {

constexpr std::string_view kNoPortsMessage =
    "There are no serial ports installed on this computer.     ";
constexpr std::string_view kPortNamePrefix = "COM";
constexpr int kFirstComNumber = 1;
constexpr int kLastComNumber = 100;
constexpr std::string_view kPortPathSeparator = " = ";
constexpr std::string_view kPortNotSavedLog = "The port could not be saved in the settings: ";

std::string PortName(int comNumber) {
    return std::string(kPortNamePrefix) + std::to_string(comNumber);
}

// The first of COM1..COM100 that the name equals as a whole, ignoring case; 0
// for anything else (COM101, LPT1, "COM03").
int MatchPortName(std::string_view name) {
    for (int n = kFirstComNumber; n <= kLastComNumber; ++n) {
        if (EqualsIgnoringCase(name, PortName(n))) {
            return n;
        }
    }
    return 0;
}

}  // namespace

PortSelection::PortSelection(IPortTable& ports, ISettingsStore& settings, IWindowServices& window,
                             IPortButtons& buttons, const FirmwareDescription& firmware,
                             const std::int8_t& preferredPort, std::string applicationName)
    : ports_(ports),
      settings_(settings),
      window_(window),
      buttons_(buttons),
      firmware_(firmware),
      preferredPort_(preferredPort),
      applicationName_(std::move(applicationName)) {
    portNumbers.fill(kNoPort);
    portPresent.fill(0);
}

void PortSelection::EnumerateSerialPorts() {
    portPresent.fill(0);
    portNumbers.fill(kNoPort);
    std::array<std::string, kPortButtons> slotPaths{};

    std::vector<InstalledPort> installed;
    if (!ports_.ListPorts(installed)) {
        for (std::size_t slot = 0; slot < kPortButtons; ++slot) {
            buttons_.SetPortTooltip(slot, "");
        }
        buttons_.RefuseUpdate(kNoPortsMessage, applicationName_, MessageIcon::Exclamation);
        return;
    }
    std::array<std::string, kLastComNumber> paths{};
    for (const InstalledPort& port : installed) {
        if (const int n = MatchPortName(port.name); n != 0 && portPresent[n - 1] == 0) {
            portPresent[n - 1] = 1;
            paths[n - 1] = port.devicePath;
        }
    }
    std::size_t slot = 0;
    for (int n = kFirstComNumber; n <= kLastComNumber && slot < portNumbers.size(); ++n) {
        if (portPresent[n - 1] != 0) {
            portNumbers[slot] = n;
            slotPaths[slot] = paths[n - 1];
            ++slot;
        }
    }

    // The operator sees which device stands behind each button.
    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        std::string tooltip = slotPaths[i];
        if (const std::string adapter = ports_.DescribeDevice(slotPaths[i]);
            portNumbers[i] != kNoPort && !adapter.empty()) {
            tooltip += "\n" + adapter;
        }
        buttons_.SetPortTooltip(i, PrintableText(tooltip));
        if (portNumbers[i] != kNoPort) {
            window_.Log(PortName(portNumbers[i]) + std::string(kPortPathSeparator) + slotPaths[i]);
        }
    }
}

void PortSelection::RefreshSerialPorts() {
    const WaitCursor waitCursor(window_);

    buttons_.EnableUpdate(false);
    const int portToSelect =
        preferredPort_ != kNoPort
            ? preferredPort_
            : settings_.GetProfileInt(texts::kSettingsSection, texts::kComPortEntry, kNoPort);

    EnumerateSerialPorts();
    EnablePortButtons();

    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        if (portNumbers[i] == kNoPort) {
            buttons_.HidePortButton(i);
        } else {
            buttons_.ShowPortButton(i, PortName(portNumbers[i]));
        }
    }

    bool checked = false;
    if (portToSelect != kNoPort) {
        const auto slot = std::find(portNumbers.begin(), portNumbers.end(), portToSelect);
        if (slot != portNumbers.end()) {
            buttons_.CheckPortButton(static_cast<std::size_t>(slot - portNumbers.begin()));
            checked = true;
        }
    }
    if (!checked && portNumbers[0] != kNoPort) {
        buttons_.CheckPortButton(0);
        checked = true;
    }
    if (!checked) {
        buttons_.CheckPortButton(std::nullopt);
    } else if (!firmware_.firmwareFileName.empty()) {
        buttons_.EnableUpdate(true);
    }
    buttons_.PortsListed();
}

void PortSelection::EnablePortButtons() {
    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        if (portNumbers[i] != kNoPort) {
            buttons_.EnablePortButton(i, true);
        }
    }
}

void PortSelection::DisableOtherPortButtons(int comNumber) {
    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        if (portNumbers[i] != comNumber && portNumbers[i] != kNoPort) {
            buttons_.EnablePortButton(i, false);
        }
    }
}

int PortSelection::GetSelectedPortNumber() const {
    const auto slot = buttons_.CheckedPortButton();
    return slot ? portNumbers[*slot] : kNoPort;
}

void PortSelection::SavePortNumber(int comNumber) {
    if (!settings_.WriteProfileInt(texts::kSettingsSection, texts::kComPortEntry, comNumber)) {
        window_.Log(std::string(kPortNotSavedLog) + PortName(comNumber));
    }
}

}  // namespace vorenta
