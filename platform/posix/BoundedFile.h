#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vorenta {

enum class BoundedRead { Read, Missing, NotRegular, TooLarge, Unreadable };

// Reads a whole regular file of at most `maxBytes`. Never waits on a FIFO nor
// reads on from a device such as /dev/zero: anything but a regular file is
// refused before a byte is read. Links are followed.
BoundedRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                            std::string& contents);

// The first line of a small attribute file (sysfs, /proc), without its line
// end; empty when it cannot be read. The text is the device's or another
// process's own: whoever shows it makes it printable first.
std::string ReadAttribute(const std::filesystem::path& path);

}  // namespace vorenta
