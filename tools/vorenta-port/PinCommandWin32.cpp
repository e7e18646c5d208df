#include "PinCommand.h"

namespace vorenta {

bool PinPorts(IPortTable&, bool, const std::function<void(const std::string&)>& error) {
    // The Device Manager gives each adapter its COM number and keeps it.
    error("--pin is not needed on Windows: Windows keeps each adapter's COM number itself");
    return false;
}

}  // namespace vorenta
