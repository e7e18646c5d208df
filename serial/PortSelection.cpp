// Filling the port buttons from the installed ports, the preselection of the
// saved or command-line port, and the saved port itself.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "common/PrintableText.h"
#include "common/ProductTexts.h"
#include "firmware/FirmwareTexts.h"
#include "platform/TextCompare.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {

namespace {

constexpr std::string_view kNoPortsMessage =
    "There are no serial ports installed on this computer.     ";
constexpr std::string_view kPortNamePrefix = "COM";
constexpr int kFirstComNumber = 1;
constexpr int kLastComNumber = 100;
constexpr std::string_view kPortPathSeparator = " = ";
constexpr std::string_view kPortNotSavedLog = "The port could not be saved in the settings: ";
constexpr int kNoPort = -1;

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

void CPLSM_UpdateDlg::EnumerateSerialPorts() {
    portPresent.fill(0);
    portNumbers.fill(kNoPort);
    std::array<std::string, ids::kPortButtonCount> slotPaths{};

    std::vector<InstalledPort> installed;
    if (!platform_.portTable.ListPorts(installed)) {
        for (int id = ids::kFirstPortButton; id <= ids::kLastPortButton; ++id) {
            window_.SetDlgItemTooltip(id, "");
        }
        ShowMessage(kNoPortsMessage, applicationName_, MessageIcon::Exclamation);
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
        const int id = ids::kFirstPortButton + static_cast<int>(i);
        std::string tooltip = slotPaths[i];
        if (const std::string adapter = platform_.portTable.DescribeDevice(slotPaths[i]);
            portNumbers[i] != kNoPort && !adapter.empty()) {
            tooltip += "\n" + adapter;
        }
        window_.SetDlgItemTooltip(id, PrintableText(tooltip));
        if (portNumbers[i] != kNoPort) {
            window_.Log(PortName(portNumbers[i]) + std::string(kPortPathSeparator) + slotPaths[i]);
        }
    }
}

void CPLSM_UpdateDlg::RefreshSerialPorts() {
    IWindowServices& window = window_;
    const WaitCursor waitCursor(window);

    window.EnableDlgItem(ids::kBeginUpdate, false);
    const int portToSelect = preferredPort_ != kNoPort
                                 ? preferredPort_
                                 : platform_.settings.GetProfileInt(texts::kSettingsSection,
                                                                    texts::kComPortEntry, kNoPort);

    EnumerateSerialPorts();
    EnablePortButtons();

    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        const int id = ids::kFirstPortButton + static_cast<int>(i);
        if (portNumbers[i] == kNoPort) {
            window.ShowDlgItem(id, false);
            window.EnableDlgItem(id, false);
        } else {
            window.ShowDlgItem(id, true);
            window.EnableDlgItem(id, true);
            window.SetDlgItemText(id, PortName(portNumbers[i]));
        }
    }

    bool checked = false;
    if (portToSelect != kNoPort) {
        const auto slot = std::find(portNumbers.begin(), portNumbers.end(), portToSelect);
        if (slot != portNumbers.end()) {
            window.CheckRadioButton(
                ids::kFirstPortButton, ids::kLastPortButton,
                ids::kFirstPortButton + static_cast<int>(slot - portNumbers.begin()));
            checked = true;
        }
    }
    if (!checked && portNumbers[0] != kNoPort) {
        window.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, ids::kFirstPortButton);
        checked = true;
    }
    if (!checked) {
        window.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, -1);
    } else if (!firmwareFileName.empty()) {
        window.EnableDlgItem(ids::kBeginUpdate, true);
    }

    window.SetDlgItemText(ids::kFirmwareVersionLine,
                          std::string(firmware::kFirmwareVersionLabel) + firmwareVersion);
    window.SetDlgItemText(ids::kBootLoaderLine, "");
    window.SetDlgItemText(ids::kProgressLine, "");
    window.SetDlgItemText(ids::kStatusLine, "");
}

void CPLSM_UpdateDlg::EnablePortButtons() {
    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        if (portNumbers[i] != kNoPort) {
            window_.EnableDlgItem(ids::kFirstPortButton + static_cast<int>(i), true);
        }
    }
}

int CPLSM_UpdateDlg::GetSelectedPortNumber() const {
    const int id = window_.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton);
    if (id < ids::kFirstPortButton || id > ids::kLastPortButton) {
        return kNoPort;
    }
    return portNumbers[static_cast<std::size_t>(id - ids::kFirstPortButton)];
}

void CPLSM_UpdateDlg::SavePortNumber(int comNumber) {
    if (!platform_.settings.WriteProfileInt(texts::kSettingsSection, texts::kComPortEntry,
                                            comNumber)) {
        window_.Log(std::string(kPortNotSavedLog) + PortName(comNumber));
    }
}

}  // namespace vorenta
