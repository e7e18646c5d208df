#include "tools/vorenta-sim/WireLog.h"

#include "common/Hex.h"
#include "common/Json.h"
#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

void WireLog::Record(std::uint64_t ms, std::string_view dir, unsigned speed, std::string_view kind,
                     std::string_view what, std::size_t wireBytes,
                     std::span<const std::uint8_t> hex) {
    if (out_ == nullptr) {
        return;
    }
    *out_ << "{\"ms\":" << ms << ",\"dir\":" << JsonString(dir) << ",\"speed\":" << speed
          << ",\"kind\":" << JsonString(kind) << ",\"what\":" << JsonString(what)
          << ",\"bytes\":" << wireBytes << ",\"hex\":" << JsonString(HexDigits(hex)) << "}\n";
    // A run that is killed still leaves every line written so far.
    out_->flush();
}

}  // namespace vorenta::sim
