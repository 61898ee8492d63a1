#include "plenum/protocol/firmware_image.h"

#include <algorithm>

namespace plenum {

void splitImage(FirmwareImage& image, std::uint32_t limit, FirmwareImage& low) {
  std::vector<ImageSegment> kept;
  for (ImageSegment& segment : image.segments) {
    if (segment.address >= limit) {
      kept.push_back(std::move(segment));
    } else if (segment.end() <= limit) {
      low.segments.push_back(std::move(segment));
    } else {
      const std::size_t below = limit - segment.address;
      ImageSegment lower{segment.address,
                         std::vector<std::uint8_t>(segment.bytes.begin(),
                                                   segment.bytes.begin() + below)};
      low.segments.push_back(std::move(lower));
      segment.bytes.erase(segment.bytes.begin(), segment.bytes.begin() + below);
      segment.address = limit;
      kept.push_back(std::move(segment));
    }
  }
  image.segments = std::move(kept);
}

std::vector<std::uint8_t> extractRange(const FirmwareImage& image, std::uint32_t address,
                                       std::uint32_t length) {
  const std::uint64_t first = address;
  const std::uint64_t last = first + length;  // exclusive
  std::vector<std::uint8_t> range;
  bool touched = false;
  for (const ImageSegment& segment : image.segments) {
    const std::uint64_t from = std::max<std::uint64_t>(first, segment.address);
    const std::uint64_t to = std::min(last, segment.end());
    if (from >= to) continue;
    if (!touched) {
      range.assign(length, 0xFF);
      touched = true;
    }
    std::copy(segment.bytes.begin() + static_cast<std::ptrdiff_t>(from - segment.address),
              segment.bytes.begin() + static_cast<std::ptrdiff_t>(to - segment.address),
              range.begin() + static_cast<std::ptrdiff_t>(from - first));
  }
  return range;
}

std::int64_t imageSize(const FirmwareImage& image) {
  if (image.segments.empty()) return 0;
  if (image.segments.size() > 1) return kSeveralSegments;
  return static_cast<std::int64_t>(image.segments.front().bytes.size());
}

}  // namespace plenum
