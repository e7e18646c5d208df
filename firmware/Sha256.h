#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorenta {

// SHA-256 of a byte stream fed in pieces; a session log names the exact
// firmware file by it.
class Sha256 {
  public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void Update(const std::uint8_t* data, std::size_t count);
    void Update(std::string_view text) {
        Update(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    // Ends the stream; the object must be reset before it is fed again.
    Digest Finish();
    void Reset();

    // Lower-case hexadecimal, as sha256sum prints it.
    static std::string Hex(const Digest& digest);

  private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace vorenta
