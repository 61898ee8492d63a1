#pragma once
// A firmware image in memory: the segments of a firmware file, each a start address and
// its bytes, in the order they were read. Segments may overlap; where they do, the later
// one wins when a range is taken out (extractRange).

#include <cstdint>
#include <vector>

namespace plenum {

struct ImageSegment {
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;

  // One past the last address; 64-bit so a segment near the top of the space cannot wrap.
  std::uint64_t end() const { return std::uint64_t{address} + bytes.size(); }
};

struct FirmwareImage {
  std::vector<ImageSegment> segments;

  bool empty() const { return segments.empty(); }
};

// Moves everything below `limit` from `image` to the end of `low`. A segment that
// straddles the limit is cut: its lower part goes to `low`, the rest stays in `image`
// and now starts at the limit.
void splitImage(FirmwareImage& image, std::uint32_t limit, FirmwareImage& low);

// The bytes from `address` up to (not including) `address + length`, 0xFF where no
// segment holds a byte. When no segment touches the range at all the result is empty,
// which tells the caller there is nothing to program there.
std::vector<std::uint8_t> extractRange(const FirmwareImage& image, std::uint32_t address,
                                       std::uint32_t length);

// What imageSize returns for an image of more than one segment.
inline constexpr std::int64_t kSeveralSegments = -1;

// 0 for an empty image, the byte count of its only segment, or kSeveralSegments.
std::int64_t imageSize(const FirmwareImage& image);

}  // namespace plenum
