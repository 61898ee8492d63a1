// Fuzz target: a firmware container file through readObf, then the image operations the
// code and executive operations apply to what was read.

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "plenum/protocol/firmware_image.h"
#include "plenum/protocol/firmware_obf.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  plenum::fuzz::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = plenum::fuzz::writeScratchFile(data, size);
  plenum::FirmwareImage image;
  if (plenum::readObf(image, path) != 0) {
    // A refused file leaves the image as it was.
    if (!image.segments.empty()) std::abort();
    return 0;
  }
  plenum::FirmwareImage low;
  plenum::splitImage(image, 0xF800, low);
  for (const auto& segment : image.segments) {
    if (segment.address < 0xF800) std::abort();
  }
  const auto top = plenum::extractRange(image, 0xF800, 0x800);
  if (!top.empty() && top.size() != 0x800) std::abort();
  (void)plenum::extractRange(low, 0x480, 0x80);
  (void)plenum::imageSize(low);
  return 0;
}
