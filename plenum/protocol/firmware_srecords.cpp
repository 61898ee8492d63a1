#include "plenum/protocol/firmware_srecords.h"
#include "plenum/runtime/utf8_path.h"

#include <cstdio>
#include <fstream>

namespace plenum {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte written as two hex digits at `position`, or -1.
int hexByte(const std::string& line, std::size_t position) {
  if (position + 2 > line.size()) return -1;
  const int high = hexDigit(line[position]);
  const int low = hexDigit(line[position + 1]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}

int complain(const char* message, const std::string& line, int result) {
  std::fputs(message, stdout);
  std::printf("%s\n", line.c_str());
  return result;
}

}  // namespace

int readSRecords(FirmwareImage& image, const std::string& fileName) {
  std::ifstream in(utf8Path(fileName));
  if (!in) {
    std::printf("Couldn't open input file %s\n", fileName.c_str());
    return SRecordsNone;
  }
  bool anySegment = false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] != 'S') {
      return complain("Oops: Line doesn't begin with 'S'\n", line, SRecordsNotS);
    }
    const char type = line.size() > 1 ? line[1] : '\0';
    std::size_t addressBytes = 0;
    switch (type) {
      case '1':
        addressBytes = 2;
        break;
      case '2':
      case '3':
        addressBytes = type == '2' ? 3 : 4;
        std::fputs("using untested code\n", stdout);
        break;
      case '9':
        return anySegment ? SRecordsRead : SRecordsNone;
      default:
        return complain("Oops: Line isn't recognized S-record type:\n", line,
                        SRecordsUnknownType);
    }

    // The count covers the address, the data and the checksum byte.
    const int count = hexByte(line, 2);
    if (count < 0 || static_cast<std::size_t>(count) < addressBytes + 1 ||
        line.size() < 4 + 2 * static_cast<std::size_t>(count)) {
      return complain("Oops: Line isn't a complete S-record:\n", line, SRecordsMalformed);
    }
    unsigned sum = static_cast<unsigned>(count);
    std::vector<int> bytes;
    for (int i = 0; i < count; ++i) {
      const int value = hexByte(line, 4 + 2 * static_cast<std::size_t>(i));
      if (value < 0) {
        return complain("Oops: Line isn't a complete S-record:\n", line, SRecordsMalformed);
      }
      bytes.push_back(value);
    }
    std::uint32_t address = 0;
    for (std::size_t i = 0; i < addressBytes; ++i) {
      address = address << 8 | static_cast<std::uint32_t>(bytes[i]);
    }
    ImageSegment segment{address, {}};
    for (std::size_t i = addressBytes; i + 1 < bytes.size(); ++i) {
      segment.bytes.push_back(static_cast<std::uint8_t>(bytes[i]));
    }
    unsigned recordSum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) recordSum += static_cast<unsigned>(bytes[i]);
    sum += recordSum;
    const unsigned checksum = static_cast<unsigned>(bytes.back());
    if (((sum + checksum) & 0xFF) != 0xFF) {
      std::printf("Warning! Incorrect checksum on line\n%s\nsum 0x%02x, checksum 0x%02x\n",
                  line.c_str(), sum & 0xFF, checksum);
    }
    image.segments.push_back(std::move(segment));
    anySegment = true;
  }
  std::fputs("Warning! No S9 record found\n", stdout);
  return SRecordsRead;
}

}  // namespace plenum
