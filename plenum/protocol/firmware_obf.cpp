#include "plenum/protocol/firmware_obf.h"
#include "plenum/runtime/utf8_path.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace plenum {

namespace {

bool readWord(std::istream& in, std::uint32_t& word) {
  unsigned char bytes[4];
  if (!in.read(reinterpret_cast<char*>(bytes), 4)) return false;
  word = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
         std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
  return true;
}

void writeWord(std::ostream& out, std::uint32_t word) {
  const char bytes[4] = {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8 & 0xFF),
                         static_cast<char>(word >> 16 & 0xFF),
                         static_cast<char>(word >> 24 & 0xFF)};
  out.write(bytes, 4);
}

int invalidData(const std::string& fileName) {
  std::printf("Invalid data in file %s\n", fileName.c_str());
  return 1;
}

}  // namespace

int readObf(FirmwareImage& image, const std::string& fileName) {
  std::ifstream in(utf8Path(fileName), std::ios::binary);
  if (!in) {
    std::printf("Couldn't open input file %s\n", fileName.c_str());
    return 1;
  }
  // The file size bounds every record length, so a corrupt length can neither make us
  // allocate a huge buffer nor read past the end.
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  in.seekg(0, std::ios::beg);

  char tag[4];
  if (!in.read(tag, 4) || std::memcmp(tag, "obfd", 4) != 0) {
    std::printf("Illegal file format in file %s\n", fileName.c_str());
    return 1;
  }
  std::uint32_t version = 0;
  if (!readWord(in, version) || version != 1) {
    std::printf("File version not 1 in file %s\n", fileName.c_str());
    return 1;
  }

  FirmwareImage read;
  for (;;) {
    std::uint32_t address = 0;
    if (!readWord(in, address)) return invalidData(fileName);
    if (address == kObfEndAddress) break;
    std::uint32_t length = 0;
    if (!readWord(in, length)) return invalidData(fileName);
    const std::streamoff remaining = fileSize - in.tellg();
    if (std::streamoff{length} > remaining) return invalidData(fileName);
    ImageSegment segment{address, std::vector<std::uint8_t>(length)};
    if (length > 0 && !in.read(reinterpret_cast<char*>(segment.bytes.data()), length)) {
      return invalidData(fileName);
    }
    read.segments.push_back(std::move(segment));
  }
  for (ImageSegment& segment : read.segments) image.segments.push_back(std::move(segment));
  return 0;
}

std::string writeObf(const FirmwareImage& image, const std::string& fileName) {
  for (const ImageSegment& segment : image.segments) {
    if (segment.address == kObfEndAddress) {
      return "a segment cannot start at 0xffff, the container's end mark";
    }
    if (segment.bytes.size() > 0xFFFFFFFFu) return "a segment is too long for the container";
  }
  std::ofstream out(utf8Path(fileName), std::ios::binary | std::ios::trunc);
  if (!out) return "cannot open " + fileName + " for writing";
  out.write("obfd", 4);
  writeWord(out, 1);
  for (const ImageSegment& segment : image.segments) {
    writeWord(out, segment.address);
    writeWord(out, static_cast<std::uint32_t>(segment.bytes.size()));
    out.write(reinterpret_cast<const char*>(segment.bytes.data()),
              static_cast<std::streamsize>(segment.bytes.size()));
  }
  writeWord(out, kObfEndAddress);
  out.close();
  if (!out) return "cannot write " + fileName;
  return {};
}

}  // namespace plenum
