#include "plenum/protocol/firmware_srecords.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace plenum {
namespace {

std::string writeFile(const std::string& name, const std::string& text) {
  const std::string path = testing::TempDir() + "srec_test_" + name;
  std::ofstream out(path, std::ios::trunc);
  out << text;
  return path;
}

struct Outcome {
  int status;
  std::string output;
  FirmwareImage image;
};

Outcome read(const std::string& name, const std::string& text) {
  Outcome outcome;
  const std::string path = writeFile(name, text);
  testing::internal::CaptureStdout();
  outcome.status = readSRecords(outcome.image, path);
  outcome.output = testing::internal::GetCapturedStdout();
  return outcome;
}

// S1 record "S1 05 1000 AA BB" with its checksum: 0xFF - (05+10+00+AA+BB) mod 256 = 0x85.
const char* kS1Record = "S1051000AABB85\n";

TEST(ReadSRecords, DataRecordsBecomeSegments) {
  const Outcome outcome =
      read("good.s19", std::string(kS1Record) + "S1041002CC1D\r\nS9030000FC\n");
  EXPECT_EQ(outcome.status, SRecordsRead);
  EXPECT_EQ(outcome.output, "");
  ASSERT_EQ(outcome.image.segments.size(), 2u);
  EXPECT_EQ(outcome.image.segments[0].address, 0x1000u);
  EXPECT_EQ(outcome.image.segments[0].bytes, (std::vector<std::uint8_t>{0xAA, 0xBB}));
  EXPECT_EQ(outcome.image.segments[1].address, 0x1002u);
  EXPECT_EQ(outcome.image.segments[1].bytes, (std::vector<std::uint8_t>{0xCC}));
}

TEST(ReadSRecords, LongerAddressesCarryANote) {
  // S2: 3 address bytes 0x012345, one data byte 0x7F.
  // S3: 4 address bytes 0x00F80000, no data.
  const Outcome outcome = read("s2s3.s28", "S2050123457F12\nS30500F8000002\nS9030000FC\n");
  EXPECT_EQ(outcome.status, SRecordsRead);
  EXPECT_EQ(outcome.output, "using untested code\nusing untested code\n");
  ASSERT_EQ(outcome.image.segments.size(), 2u);
  EXPECT_EQ(outcome.image.segments[0].address, 0x012345u);
  EXPECT_EQ(outcome.image.segments[0].bytes, (std::vector<std::uint8_t>{0x7F}));
  EXPECT_EQ(outcome.image.segments[1].address, 0x00F80000u);
  EXPECT_TRUE(outcome.image.segments[1].bytes.empty());
}

TEST(ReadSRecords, WrongChecksumWarnsAndKeepsTheRecord) {
  const Outcome outcome = read("badsum.s19", "S1051000AABB00\nS9030000FC\n");
  EXPECT_EQ(outcome.status, SRecordsRead);
  EXPECT_EQ(outcome.output.rfind("Warning! Incorrect checksum on line", 0), 0u) << outcome.output;
  EXPECT_NE(outcome.output.find("0x7a"), std::string::npos) << outcome.output;  // the sum
  ASSERT_EQ(outcome.image.segments.size(), 1u);
}

TEST(ReadSRecords, EndsAndFailures) {
  struct Case {
    const char* name;
    std::string text;
    int status;
    std::string output;
  };
  const Case cases[] = {
      {"only_s9.s19", "S9030000FC\n", SRecordsNone, ""},
      {"no_s9.s19", kS1Record, SRecordsRead, "Warning! No S9 record found\n"},
      {"not_s.s19", std::string(kS1Record) + ":10000000\n", SRecordsNotS,
       "Oops: Line doesn't begin with 'S'\n:10000000\n"},
      {"blank.s19", "\n", SRecordsNotS, "Oops: Line doesn't begin with 'S'\n\n"},
      {"s0.s19", "S00600004844521B\n", SRecordsUnknownType,
       "Oops: Line isn't recognized S-record type:\nS00600004844521B\n"},
      {"short.s19", "S1051000AA\n", SRecordsMalformed,
       "Oops: Line isn't a complete S-record:\nS1051000AA\n"},
      {"count_too_small.s19", "S1021000\n", SRecordsMalformed,
       "Oops: Line isn't a complete S-record:\nS1021000\n"},
      {"not_hex.s19", "S1051000AXBB85\n", SRecordsMalformed,
       "Oops: Line isn't a complete S-record:\nS1051000AXBB85\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = read(c.name, c.text);
    EXPECT_EQ(outcome.status, c.status) << c.name;
    EXPECT_EQ(outcome.output, c.output) << c.name;
  }
}

TEST(ReadSRecords, MissingFile) {
  FirmwareImage image;
  const std::string path = testing::TempDir() + "srec_test_missing.s19";
  testing::internal::CaptureStdout();
  EXPECT_EQ(readSRecords(image, path), SRecordsNone);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Couldn't open input file " + path + "\n");
}

}  // namespace
}  // namespace plenum
