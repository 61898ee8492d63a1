#include "plenum/protocol/chain_inquiry.h"

#include <cstdio>

#include "plenum/language/diagnostics.h"
#include "plenum/midi/current_port.h"
#include "plenum/protocol/sysex_exchange.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

constexpr std::uint8_t kCountRequest = 'L';
constexpr std::size_t kCountReplyLength = 4;
// Byte positions in a version reply frame (0xF0 is byte 0).
constexpr std::size_t kVersionHigh = 4;
constexpr std::size_t kVersionLow = 5;
constexpr std::size_t kVersionType = 6;
constexpr std::size_t kShortestVersionReply = 7;
constexpr std::size_t kVersionReplyWithType = 8;

constexpr const char* kProgramVersionLine = "plenum.exe: Version A.3.2.2";

}  // namespace

const char* programVersionLine() { return kProgramVersionLine; }

std::string formatFirmwareVersion(int version) {
  return formatText("%c.%d.%d.%d", 'A' + ((version >> 12) & 0xF), (version >> 8) & 0xF,
                    (version >> 4) & 0xF, version & 0xF);
}

int countModules(bool quiet) {
  const std::uint8_t request = kCountRequest;
  const std::uint8_t* reply = nullptr;
  std::size_t length = 0;
  if (exchange(&request, 1, reply, length, quiet) != kExchangeOk) {
    if (quiet) return 0;
    std::printf("Error sending sysex...\n");
    exitWith(2);
  }
  if (length != kCountReplyLength) {
    if (quiet) return 0;
    std::printf("Unexpected length %d\n", static_cast<int>(length));
    exitWith(2);
  }
  // Each module on the way lowers the byte by one.
  return kCountRequest - reply[2];
}

int queryVersion(int module, char& typeLetter) {
  Bytes reply;
  if (addressedExchange(module, "V", reply) != kExchangeOk) {
    throw TextException("Error sending/receiving sysex");
  }
  if (reply.size() < kShortestVersionReply) throw TextException("Improper response to V");
  typeLetter =
      reply.size() >= kVersionReplyWithType ? static_cast<char>(reply[kVersionType]) : 'A';
  return reply[kVersionHigh] * 256 + reply[kVersionLow];
}

void learnModuleTypes(int startModule) {
  if (settings().assumeTypeB) {
    std::printf("Assuming all modules type B\n");
    return;
  }
  currentPort();
  const int count = countModules(true);
  if (count <= 0) {
    moduleTypes().clear();  // nothing is known: every module counts as type B
    return;
  }
  const int start = startModule < 0 ? 0 : startModule;
  std::string letters(static_cast<std::size_t>(start), 'B');
  for (int loopModule = 0; loopModule < count; ++loopModule) {
    char letter = 'B';
    queryVersion(loopModule, letter);
    letters.push_back(letter);
  }
  moduleTypes() = letters;
}

void reportModuleVersions() {
  std::printf("%s\n", kProgramVersionLine);
  currentPort();
  const int count = countModules(false);
  for (int module = 0; module < count; ++module) {
    char letter = 'B';
    const int version = queryVersion(module, letter);
    std::printf("Module %d: Type %c Firmware version %s\n", module, letter,
                formatFirmwareVersion(version).c_str());
    if ((version & 0xFF) == 0) {
      std::printf("\tThe last two digits of the version will appear after Downloading\n");
    }
  }
}

}  // namespace plenum
