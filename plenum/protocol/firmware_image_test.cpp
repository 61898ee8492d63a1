#include "plenum/protocol/firmware_image.h"

#include <gtest/gtest.h>

namespace plenum {
namespace {

ImageSegment counting(std::uint32_t address, std::size_t length, std::uint8_t first) {
  ImageSegment segment{address, std::vector<std::uint8_t>(length)};
  for (std::size_t i = 0; i < length; ++i) segment.bytes[i] = static_cast<std::uint8_t>(first + i);
  return segment;
}

TEST(SplitImage, StraddlingSegmentIsCutAtTheLimit) {
  FirmwareImage image;
  image.segments.push_back(counting(0xF000, 0x900, 0));  // 0xF000..0xF8FF
  FirmwareImage low;
  splitImage(image, 0xF800, low);

  ASSERT_EQ(low.segments.size(), 1u);
  EXPECT_EQ(low.segments[0].address, 0xF000u);
  EXPECT_EQ(low.segments[0].bytes.size(), 0x800u);
  ASSERT_EQ(image.segments.size(), 1u);
  EXPECT_EQ(image.segments[0].address, 0xF800u);
  ASSERT_EQ(image.segments[0].bytes.size(), 0x100u);
  EXPECT_EQ(image.segments[0].bytes[0], static_cast<std::uint8_t>(0x800));
}

TEST(SplitImage, KeepsOrderAndAppendsToLow) {
  FirmwareImage image;
  image.segments.push_back(counting(0xF800, 0x10, 1));  // stays
  image.segments.push_back(counting(0x0480, 0x80, 2));  // ends below: moves
  image.segments.push_back(counting(0xF7F0, 0x20, 3));  // straddles
  image.segments.push_back(counting(0xF700, 0x100, 4)); // ends exactly at the limit: moves
  FirmwareImage low;
  low.segments.push_back(counting(0x100, 1, 9));  // already there, stays first
  splitImage(image, 0xF800, low);

  ASSERT_EQ(low.segments.size(), 4u);
  EXPECT_EQ(low.segments[0].address, 0x100u);
  EXPECT_EQ(low.segments[1].address, 0x480u);
  EXPECT_EQ(low.segments[2].address, 0xF7F0u);
  EXPECT_EQ(low.segments[2].bytes.size(), 0x10u);
  EXPECT_EQ(low.segments[3].address, 0xF700u);
  ASSERT_EQ(image.segments.size(), 2u);
  EXPECT_EQ(image.segments[0].address, 0xF800u);
  EXPECT_EQ(image.segments[1].address, 0xF800u);
  EXPECT_EQ(image.segments[1].bytes.size(), 0x10u);
  EXPECT_EQ(image.segments[1].bytes[0], 3 + 0x10);
}

TEST(ExtractRange, PadsUncoveredBytesWithFF) {
  FirmwareImage image;
  image.segments.push_back(counting(0x1070, 0x10, 0xA0));  // the last 16 of 0x1000..0x107F
  const std::vector<std::uint8_t> range = extractRange(image, 0x1000, 0x80);
  ASSERT_EQ(range.size(), 0x80u);
  for (std::size_t i = 0; i < 0x70; ++i) ASSERT_EQ(range[i], 0xFF) << i;
  for (std::size_t i = 0; i < 0x10; ++i) EXPECT_EQ(range[0x70 + i], 0xA0 + i);
}

TEST(ExtractRange, LaterSegmentOverwritesEarlierWhereTheyOverlap) {
  FirmwareImage image;
  image.segments.push_back(ImageSegment{0x200, std::vector<std::uint8_t>(8, 0x11)});
  image.segments.push_back(ImageSegment{0x204, std::vector<std::uint8_t>(8, 0x22)});
  image.segments.push_back(ImageSegment{0x1FE, std::vector<std::uint8_t>(3, 0x33)});
  const std::vector<std::uint8_t> range = extractRange(image, 0x200, 0x10);
  const std::vector<std::uint8_t> expected = {0x33, 0x11, 0x11, 0x11, 0x22, 0x22, 0x22, 0x22,
                                              0x22, 0x22, 0x22, 0x22, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(range, expected);
}

TEST(ExtractRange, EmptyWhenNothingOverlaps) {
  FirmwareImage image;
  image.segments.push_back(counting(0x100, 0x80, 0));  // ends exactly where the range starts
  image.segments.push_back(counting(0x300, 0x80, 0));  // starts exactly where it ends
  EXPECT_TRUE(extractRange(image, 0x180, 0x180).empty());
  EXPECT_TRUE(extractRange(FirmwareImage{}, 0, 0x80).empty());
  EXPECT_EQ(extractRange(image, 0x17F, 2).size(), 2u);
}

TEST(ExtractRange, RangeAtTheTopOfTheAddressSpaceDoesNotWrap) {
  FirmwareImage image;
  image.segments.push_back(ImageSegment{0xFFFFFFF0u, std::vector<std::uint8_t>(0x10, 0x5A)});
  image.segments.push_back(ImageSegment{0x0, std::vector<std::uint8_t>(0x10, 0x77)});
  const std::vector<std::uint8_t> range = extractRange(image, 0xFFFFFFF8u, 0x10);
  ASSERT_EQ(range.size(), 0x10u);
  EXPECT_EQ(range[0], 0x5A);
  EXPECT_EQ(range[7], 0x5A);
  EXPECT_EQ(range[8], 0xFF);  // past the end of the space: no wrap onto address 0
}

TEST(ImageSize, CountsOnlyASingleSegment) {
  FirmwareImage image;
  EXPECT_EQ(imageSize(image), 0);
  image.segments.push_back(counting(0xF800, 0x800, 0));
  EXPECT_EQ(imageSize(image), 0x800);
  image.segments.push_back(counting(0xF000, 0x10, 0));
  EXPECT_EQ(imageSize(image), kSeveralSegments);
}

}  // namespace
}  // namespace plenum
