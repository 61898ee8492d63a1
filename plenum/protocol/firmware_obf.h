#pragma once
// The "obfd" firmware container: the characters "obfd", a format version (1), then
// records of address, length and data bytes, ended by the address 0xFFFF. All numbers
// are 32-bit little-endian.

#include <string>

#include "plenum/protocol/firmware_image.h"

namespace plenum {

// The address that ends the record list.
inline constexpr std::uint32_t kObfEndAddress = 0xFFFF;

// Appends the file's segments to `image`. Returns 0, or 1 after printing why the file
// cannot be used; on failure `image` is left as it was.
int readObf(FirmwareImage& image, const std::string& fileName);

// Writes `image` as a container file. Returns an empty string, or why it failed.
// A segment at the end address cannot be represented and is refused.
std::string writeObf(const FirmwareImage& image, const std::string& fileName);

}  // namespace plenum
