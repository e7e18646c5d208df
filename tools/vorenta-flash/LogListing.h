#pragma once

#include <cstddef>
#include <string>

#include "update/SessionLogStore.h"

namespace vorenta {

// The newest `count` session logs, newest first, one a line with its
// outcome, under a line naming the folder.
std::string SessionLogListing(SessionLogStore& store, std::size_t count);

}  // namespace vorenta
