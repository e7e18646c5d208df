#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// What the update window's lines say while the boot loader is talked to.
namespace vorenta::texts {

// "Boot loader version  =  VR-VMM-KT76"
std::string BootLoaderLineText(std::string_view identification);
// "Sending firmware page  12  of  256"
std::string ProgressText(std::uint64_t page, std::uint64_t pageCount);
// "Input discarded before page 3 was sent: 21 21"
std::string DiscardedInputText(std::uint64_t page, std::span<const std::uint8_t> bytes);

}  // namespace vorenta::texts
