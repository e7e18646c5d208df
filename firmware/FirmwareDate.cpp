#include "firmware/FirmwareDate.h"

#include <cstdio>

namespace vorenta {

std::string FormatFirmwareDate(const LocalTime& time) {
    int hour = time.hour;
    const char* suffix = "AM";
    if (hour >= 12) {
        suffix = "PM";
        if (hour > 12) {
            hour -= 12;
        }
    }
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, "     (%d-%d-%04d, %2d:%02d:%02d %s)", time.month,
                      time.day, time.year, hour, time.minute, time.second, suffix);
    if (length < 0) {
        return {};
    }
    return std::string(text, static_cast<std::size_t>(length) < sizeof text
                                 ? static_cast<std::size_t>(length)
                                 : sizeof text - 1);
}

}  // namespace vorenta
