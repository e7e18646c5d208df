#pragma once

#include <functional>
#include <string>

#include "platform/PortTable.h"

namespace vorenta {

// --pin: prints a ports.conf that pins today's COM numbers of `ports` to their
// adapters, or with `write` puts it in the settings folder and says where.
// False, after telling `error` why, when that cannot be done.
bool PinPorts(IPortTable& ports, bool write, const std::function<void(const std::string&)>& error);

}  // namespace vorenta
