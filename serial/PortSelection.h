#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "firmware/FirmwareDescription.h"
#include "platform/PortTable.h"
#include "platform/SettingsStore.h"
#include "platform/WindowServices.h"

namespace vorenta {

// The update window's port buttons, by slot (0 for the first), and its
// "Begin Update" button.
class IPortButtons {
  public:
    virtual ~IPortButtons() = default;
    // Shown, enabled and captioned.
    virtual void ShowPortButton(std::size_t slot, std::string_view caption) = 0;
    // Hidden and disabled.
    virtual void HidePortButton(std::size_t slot) = 0;
    virtual void EnablePortButton(std::size_t slot, bool enable) = 0;
    virtual void SetPortTooltip(std::size_t slot, std::string_view text) = 0;
    // Checks the slot's button and unchecks the others; nothing: none checked.
    virtual void CheckPortButton(std::optional<std::size_t> slot) = 0;
    virtual std::optional<std::size_t> CheckedPortButton() const = 0;
    virtual void EnableUpdate(bool enable) = 0;
    // The ports were listed anew: the window shows the firmware version again
    // and empties the session's lines.
    virtual void PortsListed() = 0;
    // A message that refuses the update, with its caption and icon.
    virtual void RefuseUpdate(std::string_view text, std::string_view caption,
                              MessageIcon icon) = 0;
};

// Which installed ports the port buttons offer, which one is preselected,
// and the port saved after a successful update.
class PortSelection {
  public:
    static constexpr std::size_t kPortButtons = 22;
    static constexpr int kNoPort = -1;

    // `preferredPort` is the command line's COM number (-1: none), read each
    // time the buttons are filled; `applicationName` captions the message
    // about a machine without ports.
    PortSelection(IPortTable& ports, ISettingsStore& settings, IWindowServices& window,
                  IPortButtons& buttons, const FirmwareDescription& firmware,
                  const std::int8_t& preferredPort, std::string applicationName);

    // Reads the installed ports into portNumbers and portPresent.
    void EnumerateSerialPorts();
    // Fills the buttons from the installed ports and checks the saved or
    // command-line port, else the first.
    void RefreshSerialPorts();
    // Every present port's button enabled again.
    void EnablePortButtons();
    // While a session runs, only its own port's button stays enabled.
    void DisableOtherPortButtons(int comNumber);
    // COM number behind the checked port button, -1 when none is checked.
    int GetSelectedPortNumber() const;
    void SavePortNumber(int comNumber);

    std::array<int, kPortButtons> portNumbers{};  // COM number per button, -1: none
    std::array<int, 100> portPresent{};           // 1 where COM n+1 is installed

  private:
    IPortTable& ports_;
    ISettingsStore& settings_;
    IWindowServices& window_;
    IPortButtons& buttons_;
    const FirmwareDescription& firmware_;
    const std::int8_t& preferredPort_;
    std::string applicationName_;
};

}  // namespace vorenta
