#pragma once
// The segments of an "obfd" firmware file, read for the simulated modules: their executive
// is preloaded from the standard firmware files, and a flasher is known by its bytes. The
// protocol has its own reader with the user-facing messages; this one only says yes or no.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plenum {

struct FirmwareSegment {
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;
};

// The file's segments in file order, or none when it is missing or malformed.
std::optional<std::vector<FirmwareSegment>> readFirmwareSegments(const std::string& fileName);

}  // namespace plenum
