// Fuzz target: a firmware container file through readObf, then the image operations the
// code and executive operations apply to what was read.

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "plenum/protocol/firmware_image.h"
#include "plenum/protocol/firmware_obf.h"
#include "plenum/runtime/memory_map.h"

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
  plenum::splitImage(image, plenum::kExecutiveTop, low);
  for (const auto& segment : image.segments) {
    if (segment.address < plenum::kExecutiveTop) std::abort();
  }
  const auto top = plenum::extractRange(image, plenum::kExecutiveTop, plenum::kExecutiveTopSize);
  if (!top.empty() && top.size() != plenum::kExecutiveTopSize) std::abort();
  (void)plenum::extractRange(low, plenum::kExecutiveLowBlock, plenum::kExecutiveLowBlockSize);
  (void)plenum::imageSize(low);
  return 0;
}
