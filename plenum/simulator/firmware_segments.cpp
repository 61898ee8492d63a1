#include "plenum/simulator/firmware_segments.h"

#include <fstream>

#include "plenum/runtime/memory_map.h"

namespace plenum {

namespace {

bool readWord(std::istream& in, std::uint32_t& value) {
  unsigned char b[4];
  if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
  value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return true;
}

}  // namespace

std::optional<std::vector<FirmwareSegment>> readFirmwareSegments(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return std::nullopt;
  char magic[4];
  std::uint32_t version = 0;
  if (!in.read(magic, 4) || std::string(magic, 4) != "obfd" || !readWord(in, version) || version != 1)
    return std::nullopt;
  std::vector<FirmwareSegment> segments;
  for (;;) {
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    if (!readWord(in, address)) return std::nullopt;
    if (address == 0xFFFF) return segments;
    // Nothing in a 64 KiB module can be longer; a larger length is a damaged file.
    if (!readWord(in, length) || length > kModuleMemorySize) return std::nullopt;
    FirmwareSegment segment{address, std::vector<std::uint8_t>(length)};
    if (length > 0 && !in.read(reinterpret_cast<char*>(segment.bytes.data()), length)) return std::nullopt;
    segments.push_back(std::move(segment));
  }
}

}  // namespace plenum
