// Fuzz target: a Motorola S-record text file through readSRecords.

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "plenum/protocol/firmware_image.h"
#include "plenum/protocol/firmware_srecords.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  plenum::fuzz::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = plenum::fuzz::writeScratchFile(data, size);
  plenum::FirmwareImage image;
  const int result = plenum::readSRecords(image, path);
  if (result < plenum::SRecordsRead || result > plenum::SRecordsMalformed) std::abort();
  // Every segment comes from one record: at most 255 data bytes.
  for (const auto& segment : image.segments) {
    if (segment.bytes.size() > 255) std::abort();
  }
  return 0;
}
