// plenum-firmware: writes synthetic firmware files in the "obfd" container format.
//
//   plenum-firmware --standard DIRECTORY
//       writes the standard firmware files (nvrelay6.obf, nvrelayi.obf, nvrelayc.obf,
//       flashold.obf, flashexec.obf) into DIRECTORY.
//   plenum-firmware OUTPUT ADDRESS:LENGTH[:SEED] ...
//       writes OUTPUT with one segment per argument, in the order given; numbers are
//       hexadecimal, the bytes are the fixed pseudo-random sequence of SEED (default: the
//       address).

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plenum/protocol/firmware_obf.h"
#include "plenum/runtime/memory_map.h"
#include "tools/firmware_synthetic.h"

namespace {

int usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s --standard DIRECTORY\n"
               "       %s OUTPUT ADDRESS:LENGTH[:SEED] ...   (hexadecimal numbers)\n",
               program, program);
  return 2;
}

bool parseHexField(const std::string& text, std::uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, 16);
  if (*end != '\0') return false;
  value = static_cast<std::uint32_t>(parsed);
  return true;
}

// "ADDRESS:LENGTH[:SEED]" into a synthetic segment.
bool parseSegment(const std::string& text, plenum::ImageSegment& segment) {
  const std::size_t first = text.find(':');
  if (first == std::string::npos) return false;
  const std::size_t second = text.find(':', first + 1);
  std::uint32_t address = 0;
  std::uint32_t length = 0;
  if (!parseHexField(text.substr(0, first), address)) return false;
  if (!parseHexField(text.substr(first + 1, second == std::string::npos
                                                ? std::string::npos
                                                : second - first - 1),
                     length)) {
    return false;
  }
  std::uint32_t seed = address;
  if (second != std::string::npos && !parseHexField(text.substr(second + 1), seed)) return false;
  if (length > plenum::kModuleMemorySize) return false;
  segment = plenum::syntheticSegment(address, length, seed);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--standard") {
    const std::string failure = plenum::writeStandardFirmware(argv[2]);
    if (!failure.empty()) {
      std::fprintf(stderr, "%s: %s\n", argv[0], failure.c_str());
      return 1;
    }
    return 0;
  }
  if (argc < 3 || argv[1][0] == '-') return usage(argv[0]);

  plenum::FirmwareImage image;
  for (int i = 2; i < argc; ++i) {
    plenum::ImageSegment segment;
    if (!parseSegment(argv[i], segment)) {
      std::fprintf(stderr, "%s: bad segment '%s' (want ADDRESS:LENGTH[:SEED], hex, length up to 10000)\n",
                   argv[0], argv[i]);
      return 2;
    }
    image.segments.push_back(std::move(segment));
  }
  const std::string failure = plenum::writeObf(image, argv[1]);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s: %s\n", argv[0], failure.c_str());
    return 1;
  }
  return 0;
}
