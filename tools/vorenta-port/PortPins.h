#pragma once

#include <string>
#include <vector>

#include "platform/PortTable.h"
#include "platform/linux/PortTableRoots.h"

namespace vorenta {

// A ports.conf that keeps today's COM numbers: each port with a stable
// /dev/serial/by-id/ name is mapped by that name, so its adapter keeps the
// number whichever ttyUSB or ttyACM name the kernel gives it next time; the
// others are mapped by their device path as they are.
std::string PinnedPortsText(const std::vector<InstalledPort>& ports, const PortTableRoots& roots);

}  // namespace vorenta
