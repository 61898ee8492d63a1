#pragma once
// Synthetic firmware: deterministic stand-ins for the standard firmware files, with the
// layout the code and executive operations expect (a low code part and the 2 KB top
// block at 0xF800). They let the simulated loop, the tests and the examples run a
// complete download without any firmware from outside the project.

#include <string>
#include <vector>

#include "plenum/protocol/firmware_image.h"

namespace plenum {

// `length` bytes of a fixed pseudo-random sequence chosen by `seed`.
std::vector<std::uint8_t> syntheticBytes(std::uint32_t seed, std::size_t length);

// A segment at `address` filled with syntheticBytes(seed, length).
ImageSegment syntheticSegment(std::uint32_t address, std::size_t length, std::uint32_t seed);

// The file names of the standard firmware files, in a fixed order.
const std::vector<std::string>& standardFirmwareNames();

// The synthetic image for a standard file name; empty for any other name.
FirmwareImage standardFirmwareImage(const std::string& fileName);

// Writes every standard file into `directory`. Returns an empty string or the failure.
std::string writeStandardFirmware(const std::string& directory);

}  // namespace plenum
