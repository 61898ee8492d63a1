#include "plenum/protocol/firmware_obf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

namespace plenum {
namespace {

using Bytes = std::vector<std::uint8_t>;

void appendWord(Bytes& bytes, std::uint32_t word) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(word >> shift));
}

Bytes header(std::uint32_t version = 1) {
  Bytes bytes = {'o', 'b', 'f', 'd'};
  appendWord(bytes, version);
  return bytes;
}

std::string writeFile(const std::string& name, const Bytes& bytes) {
  const std::string path = testing::TempDir() + "obf_test_" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

struct ReadResult {
  int status;
  std::string output;
  FirmwareImage image;
};

ReadResult readCapturing(const std::string& path) {
  ReadResult result;
  result.image.segments.push_back(ImageSegment{0x42, {1, 2, 3}});  // must survive a failure
  testing::internal::CaptureStdout();
  result.status = readObf(result.image, path);
  result.output = testing::internal::GetCapturedStdout();
  return result;
}

TEST(ReadObf, ReadsSegmentsInFileOrderAndAppends) {
  Bytes bytes = header();
  appendWord(bytes, 0xF800);
  appendWord(bytes, 3);
  bytes.insert(bytes.end(), {0xAA, 0xBB, 0xCC});
  appendWord(bytes, 0x0480);
  appendWord(bytes, 0);  // an empty record is a segment like any other
  appendWord(bytes, 0x0400);
  appendWord(bytes, 1);
  bytes.push_back(0x7E);
  appendWord(bytes, kObfEndAddress);
  bytes.insert(bytes.end(), {0xDE, 0xAD});  // anything after the end mark is ignored
  const ReadResult result = readCapturing(writeFile("good.obf", bytes));

  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "");
  ASSERT_EQ(result.image.segments.size(), 4u);
  EXPECT_EQ(result.image.segments[0].address, 0x42u);
  EXPECT_EQ(result.image.segments[1].address, 0xF800u);
  EXPECT_EQ(result.image.segments[1].bytes, (Bytes{0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(result.image.segments[2].address, 0x480u);
  EXPECT_TRUE(result.image.segments[2].bytes.empty());
  EXPECT_EQ(result.image.segments[3].bytes, (Bytes{0x7E}));
}

TEST(ReadObf, EndMarkFirstIsAnEmptyImage) {
  Bytes bytes = header();
  appendWord(bytes, kObfEndAddress);
  FirmwareImage image;
  testing::internal::CaptureStdout();
  EXPECT_EQ(readObf(image, writeFile("empty_image.obf", bytes)), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(image.empty());
}

TEST(ReadObf, WriterAndReaderAgree) {
  FirmwareImage written;
  written.segments.push_back(ImageSegment{0xF000, Bytes(0x800, 0x5C)});
  written.segments.push_back(ImageSegment{0x10000, Bytes{1, 2}});  // above 16 bits: kept whole
  const std::string path = testing::TempDir() + "obf_test_roundtrip.obf";
  ASSERT_EQ(writeObf(written, path), "");
  FirmwareImage read;
  ASSERT_EQ(readObf(read, path), 0);
  ASSERT_EQ(read.segments.size(), 2u);
  EXPECT_EQ(read.segments[0].address, 0xF000u);
  EXPECT_EQ(read.segments[0].bytes, written.segments[0].bytes);
  EXPECT_EQ(read.segments[1].address, 0x10000u);
  EXPECT_EQ(read.segments[1].bytes, written.segments[1].bytes);
}

TEST(ReadObf, WriterRefusesASegmentAtTheEndMark) {
  FirmwareImage image;
  image.segments.push_back(ImageSegment{kObfEndAddress, Bytes{1}});
  EXPECT_NE(writeObf(image, testing::TempDir() + "obf_test_refused.obf"), "");
}

TEST(ReadObf, MissingFile) {
  const std::string path = testing::TempDir() + "obf_test_does_not_exist.obf";
  const ReadResult result = readCapturing(path);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "Couldn't open input file " + path + "\n");
  EXPECT_EQ(result.image.segments.size(), 1u);
}

struct BadFile {
  const char* name;
  Bytes bytes;
  const char* message;  // printf format with the path
};

Bytes withRecord(std::uint32_t address, std::uint32_t length, std::size_t dataBytes,
                 bool endMark) {
  Bytes bytes = header();
  appendWord(bytes, address);
  appendWord(bytes, length);
  bytes.insert(bytes.end(), dataBytes, 0x55);
  if (endMark) appendWord(bytes, kObfEndAddress);
  return bytes;
}

Bytes truncated(Bytes bytes, std::size_t drop) {
  bytes.erase(bytes.end() - static_cast<std::ptrdiff_t>(std::min(drop, bytes.size())),
              bytes.end());
  return bytes;
}

TEST(ReadObf, BadFilesAreRefusedWithTheirMessage) {
  const BadFile cases[] = {
      {"empty.obf", {}, "Illegal file format in file %s\n"},
      {"short_tag.obf", {'o', 'b', 'f'}, "Illegal file format in file %s\n"},
      {"wrong_tag.obf", {'o', 'b', 'f', 'e', 1, 0, 0, 0}, "Illegal file format in file %s\n"},
      {"version2.obf", header(2), "File version not 1 in file %s\n"},
      {"no_version.obf", {'o', 'b', 'f', 'd', 1, 0}, "File version not 1 in file %s\n"},
      {"no_records.obf", header(), "Invalid data in file %s\n"},
      {"cut_address.obf", truncated(withRecord(0xF800, 4, 4, true), 2),
       "Invalid data in file %s\n"},
      {"no_end_mark.obf", withRecord(0xF800, 4, 4, false), "Invalid data in file %s\n"},
      {"cut_length.obf", truncated(withRecord(0xF800, 4, 0, false), 1),
       "Invalid data in file %s\n"},
      {"cut_data.obf", withRecord(0xF800, 4, 3, false), "Invalid data in file %s\n"},
      // A length that points one byte past the end of the file.
      {"length_past_end.obf", withRecord(0xF800, 9, 4, true), "Invalid data in file %s\n"},
      // Absurd lengths must be refused before anything is allocated for them.
      {"huge_length.obf", withRecord(0xF800, 0xFFFFFFF0u, 4, true), "Invalid data in file %s\n"},
      {"large_length.obf", withRecord(0xF800, 0x7FFFFFFFu, 16, true),
       "Invalid data in file %s\n"},
  };
  for (const BadFile& bad : cases) {
    const std::string path = writeFile(bad.name, bad.bytes);
    const ReadResult result = readCapturing(path);
    char expected[512];
    std::snprintf(expected, sizeof expected, bad.message, path.c_str());
    EXPECT_EQ(result.status, 1) << bad.name;
    EXPECT_EQ(result.output, expected) << bad.name;
    EXPECT_EQ(result.image.segments.size(), 1u) << bad.name << ": image changed on failure";
  }
}

}  // namespace
}  // namespace plenum
