#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorenta {

// SHA-256 of a byte stream fed in pieces of any size, for records that must
// prove which firmware went out.
class Sha256 {
  public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();

    void Update(const std::uint8_t* data, std::size_t count);
    void Update(std::string_view text) {
        Update(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    // The digest of everything fed so far; the object starts over afterwards.
    Digest Finish();
    void Reset();

    // 64 lower-case hexadecimal digits, as sha256sum prints them.
    static std::string Hex(const Digest& digest);

  private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace vorenta
