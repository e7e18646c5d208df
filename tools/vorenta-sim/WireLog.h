#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

namespace vorenta::sim {

// One line of JSON per command, frame, reply, violation or module event:
// {"ms":1234,"dir":"in","speed":38400,"kind":"frame","what":"poll","bytes":1,"hex":"c0"}
// "dir" is "in" (from the updater), "out" (to it) or "sim" (the simulator's own note);
// "bytes" is how many bytes the item took on the line, "hex" what of them is kept.
class WireLog {
  public:
    // Without a stream nothing is written.
    explicit WireLog(std::ostream* out = nullptr) : out_(out) {}

    void Record(std::uint64_t ms, std::string_view dir, unsigned speed, std::string_view kind,
                std::string_view what, std::size_t wireBytes, std::span<const std::uint8_t> hex);
    void Note(std::uint64_t ms, unsigned speed, std::string_view what) {
        Record(ms, "sim", speed, "event", what, 0, {});
    }

  private:
    std::ostream* out_;
};

}  // namespace vorenta::sim
