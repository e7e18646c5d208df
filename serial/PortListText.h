#pragma once

#include <string>
#include <vector>

#include "platform/PortTable.h"

namespace vorenta {

// The port table as the command-line programs print it: "COM33  /dev/ttyUSB0"
// per port, followed by what the table knows of its adapter, indented; made
// safe for a terminal.
std::string PortListText(IPortTable& table, const std::vector<InstalledPort>& ports);

// What the table knows of the adapter behind `devicePath` on one printable
// line, its lines joined by "; ", as a session log's header holds it; empty
// when nothing.
std::string AdapterLine(IPortTable& table, const std::string& devicePath);

}  // namespace vorenta
