#include "tools/firmware_synthetic.h"

#include "plenum/protocol/firmware_obf.h"
#include "plenum/runtime/memory_map.h"

namespace plenum {

namespace {

// The executive's top block, the same in every executive file so that a type A module
// keeps one executive whether or not it carries the combination-action relay code.
constexpr std::uint32_t kTopBlock = kExecutiveTop;
constexpr std::size_t kTopBlockSize = kExecutiveTopSize;
// Where the relay code of type A and the flashers start: the highest start a code file
// may have.
constexpr std::uint32_t kCodeStart = kRelayCodeHighest;

FirmwareImage twoParts(ImageSegment low, std::uint32_t topSeed) {
  FirmwareImage image;
  image.segments.push_back(std::move(low));
  image.segments.push_back(syntheticSegment(kTopBlock, kTopBlockSize, topSeed));
  return image;
}

}  // namespace

std::vector<std::uint8_t> syntheticBytes(std::uint32_t seed, std::size_t length) {
  // xorshift32: cheap, fixed for all time, never stuck at zero.
  std::uint32_t state = seed * 2654435761u + 0x9E3779B9u;
  if (state == 0) state = 1;
  std::vector<std::uint8_t> bytes(length);
  for (std::uint8_t& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

ImageSegment syntheticSegment(std::uint32_t address, std::size_t length, std::uint32_t seed) {
  return ImageSegment{address, syntheticBytes(seed, length)};
}

const std::vector<std::string>& standardFirmwareNames() {
  static const std::vector<std::string> names = {"nvrelay6.obf", "nvrelayi.obf", "nvrelayc.obf",
                                                 "flashold.obf", "flashexec.obf"};
  return names;
}

FirmwareImage standardFirmwareImage(const std::string& fileName) {
  // Type B: relay code from 0x480 (its first 0x80 bytes are the block the executive
  // check compares); type A: relay code just below the top block.
  if (fileName == "nvrelay6.obf") return twoParts(syntheticSegment(kExecutiveLowBlock, 0x380, 0x6001), 0x6002);
  if (fileName == "nvrelayi.obf") return twoParts(syntheticSegment(kCodeStart, 0x800, 0x1001), 0x1002);
  if (fileName == "nvrelayc.obf") {
    // The combination-action relay code brings the marker that says the registration
    // area has been initialised.
    ImageSegment relayCode = syntheticSegment(kCodeStart, 0x800, 0xC001);
    relayCode.bytes[kRegistrationMarker - kCodeStart] = 0xF0;
    relayCode.bytes[kRegistrationMarker - kCodeStart + 1] = 0x00;
    return twoParts(std::move(relayCode), 0x1002);
  }
  if (fileName == "flashold.obf") return twoParts(syntheticSegment(kCodeStart, 0x400, 0xF101), 0xF102);
  if (fileName == "flashexec.obf") return twoParts(syntheticSegment(kCodeStart, 0x400, 0xF301), 0xF302);
  return {};
}

std::string writeStandardFirmware(const std::string& directory) {
  for (const std::string& name : standardFirmwareNames()) {
    const std::string failure = writeObf(standardFirmwareImage(name), directory + "/" + name);
    if (!failure.empty()) return failure;
  }
  return {};
}

}  // namespace plenum
