#include "plenum/protocol/code_area.h"

#include <algorithm>
#include <cstdio>

#include "plenum/model/nv_mod.h"
#include "plenum/protocol/firmware_obf.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
bool touches(const FirmwareImage& image, const CodePage& page) {
  const std::uint64_t end = std::uint64_t{page.address} + page.length;
  return std::any_of(image.segments.begin(), image.segments.end(), [&](const ImageSegment& s) {
    return !s.bytes.empty() && s.address < end && s.end() > page.address;
  });
}

}  // namespace

int readCodeFile(const std::string& fileName, FirmwareImage& low) {
  FirmwareImage image;
  const int read = readObf(image, fileName);
  if (read != 0) return read;
  splitImage(image, kCodeAreaEnd, low);
  const std::uint32_t first = low.empty() ? 0 : low.segments.front().address;
  if (low.empty() ||
      (first != kExecutiveLowBlock && (first < kRelayCodeLowest || first > kRelayCodeHighest))) {
    std::printf("Address of b2 not reasonable\n");
    exitWith(1);
  }
  if (imageSize(image) != kExecutiveTopSize) {
    std::printf("Size of b not 0x800\n");
    exitWith(1);
  }
  return 0;
}

std::vector<CodePage> codeAreaPages(const FirmwareImage& low, std::uint32_t pageSize) {
  std::vector<CodePage> pages;
  if (low.empty()) return pages;
  // A start that is not on a page boundary would make the last page reach into the
  // executive's top block; pages stop at the end of the code area instead.
  for (std::uint32_t address = low.segments.front().address; address < kCodeAreaEnd;
       address += pageSize) {
    const CodePage page{address, std::min(pageSize, kCodeAreaEnd - address)};
    if (touches(low, page)) pages.push_back(page);
  }
  return pages;
}

const char* relayFileFor(char type, const NvPbusMod& module) {
  if (type == 'C') return nullptr;
  if (type == 'B') return "nvrelay6.obf";
  return (module.functionUseMask & UseCombinationAction) ? "nvrelayc.obf" : "nvrelayi.obf";
}

}  // namespace plenum
