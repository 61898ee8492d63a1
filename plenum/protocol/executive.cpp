#include "plenum/protocol/executive.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "plenum/midi/current_port.h"
#include "plenum/protocol/block_programming.h"
#include "plenum/protocol/chain_control.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/download.h"
#include "plenum/protocol/firmware_obf.h"
#include "plenum/runtime/exit_handlers.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

// Executives before this version take the code command letters for every block.
constexpr int kCodeCommandsBefore = 0x200;
// Executives from this version on are installed by the newer flasher.
constexpr int kNewFlasherFrom = 0x300;

const char* standardExecutiveFile(char typeLetter) {
  switch (typeLetter) {
    case 'A':
      return "nvrelayi.obf";
    case 'B':
      return "nvrelay6.obf";
    default:
      return nullptr;
  }
}

// After a failed verify of `length` bytes at `address`, finds the first differing byte
// by comparing ever longer prefixes. When no shorter prefix differs the last byte does.
std::uint32_t firstDifference(int module, std::uint32_t address, const FirmwareImage& image,
                              std::uint32_t length, char typeLetter) {
  for (std::uint32_t n = 1; n < length; ++n) {
    if (verifyRange(module, address, image, n, typeLetter) != kStatusDone) return address + n - 1;
  }
  return address + length - 1;
}

void reportDifference(int module, std::uint32_t address, const FirmwareImage& image,
                      std::uint32_t length, char typeLetter) {
  if (!settings().debug(DebugProgress)) return;
  std::printf("Executive verify error at address 0x%x\n",
              firstDifference(module, address, image, length, typeLetter));
}

// Verifies one module; returns whether every compared byte matched.
bool verifyModuleExecutive(int module, const FirmwareImage& typeA, const FirmwareImage& typeB,
                           const FirmwareImage& lowBlock) {
  const char type = moduleTypeOf(module);
  if (type == 'C') return true;
  const std::uint32_t step = static_cast<std::uint32_t>(modulePageSize(module));
  if (type == 'B' &&
      verifyRange(module, kExecutiveLowBlock, lowBlock, kExecutiveLowBlockSize, 'B') != kStatusDone) {
    std::printf("Executive verify error at address 0x%x\n", kExecutiveLowBlock);
    reportDifference(module, kExecutiveLowBlock, lowBlock, kExecutiveLowBlockSize, 'B');
    return false;
  }
  const FirmwareImage& executive = type == 'B' ? typeB : typeA;
  for (std::uint32_t address = kExecutiveTop; address < kExecutiveVerifiedEnd; address += step) {
    if (verifyRange(module, address, executive, step, type) != kStatusDone) {
      std::printf("Executive verify error at address 0x%x\n", address);
      reportDifference(module, address, executive, step, type);
      return false;
    }
  }
  if (settings().debug(DebugProgress)) std::printf(" executive verified\n");
  return true;
}

// Drops whatever the halted modules sent back, without showing it.
void discardInput() {
  Midi& port = currentPort();
  std::uint32_t word = 0;
  while (port.pollShort(word)) {
  }
  std::uint8_t buffer[kSysexBufferSize];
  std::size_t length = 0;
  while (port.pollSysex(buffer, sizeof buffer, length, 0)) {
  }
  port.takeError(true);
}

// Reprograms one module. Returns false when the operation must end here.
bool reprogramModule(int module, const std::string& fileName) {
  replaceCurrentPort();
  char type = 'B';
  const int version = queryVersion(module, type);
  if (type == 'C') return true;
  std::string file = fileName;
  if (file.empty()) {
    const char* standard = standardExecutiveFile(type);
    if (standard == nullptr) throw TextException("Program bug 1 in programExec");
    file = standard;
  }
  std::printf("Getting ready to reprogram the executive in module %d\n", module);

  FirmwareImage image;
  if (readObf(image, file) != 0) return false;
  FirmwareImage low;
  splitImage(image, kExecutiveTop, low);
  const Bytes executive = extractRange(image, kExecutiveTop, kExecutiveTopSize);
  // A file without a top block would leave the flasher installing whatever happens to
  // lie in the template area: refuse it before the module is touched.
  if (executive.empty()) {
    std::printf("No executive from 0xf800 in file %s\n", file.c_str());
    return false;
  }
  const bool codeCommands = version < kCodeCommandsBefore;
  programPages(module, kExecutiveTopCopy, executive, codeCommands, type);
  if (settings().debug(DebugProgress)) std::printf("Programmed exec template\n");

  if (type != 'A') {
    const Bytes snippet = extractRange(low, kExecutiveLowBlock, kExecutiveLowBlockSize);
    if (snippet.size() != kExecutiveLowBlockSize) throw TextException("Program bug 2 in programExec");
    programPages(module, kExecutiveLowBlockCopy, snippet, codeCommands, type);
    if (settings().debug(DebugProgress)) std::printf("Programmed exec snippet\n");
  }

  const char* flasher = version < kNewFlasherFrom ? "flashold.obf" : "flashexec.obf";
  if (programCodeFile(module, flasher) != 0) {
    std::printf("Giving up\n");
    exitWith(1);
  }
  if (settings().debug(DebugProgress)) std::printf("Programmed flasher\n");

  sendCommand(module, "E");
  std::printf("Waiting for programming... PLEASE DO NOT INTERRUPT\n");
  if (waitForReprogramming(module) != 0) {
    std::printf("The programming of module %d executive has failed.\n", module);
    return false;
  }
  return true;
}

}  // namespace

int verifyExecutive(int module, const std::string& fileName) {
  FirmwareImage typeA;
  FirmwareImage typeB;
  if (fileName.empty()) {
    if (readObf(typeA, "nvrelayi.obf") != 0 || readObf(typeB, "nvrelay6.obf") != 0) {
      return ExecutiveFileUnreadable;
    }
  } else {
    if (readObf(typeA, fileName) != 0) return ExecutiveFileUnreadable;
    typeB = typeA;
  }
  FirmwareImage low;
  splitImage(typeA, kExecutiveTop, low);
  splitImage(typeB, kExecutiveTop, low);
  FirmwareImage lowBlock;
  splitImage(low, kExecutiveLowLimit, lowBlock);

  const LoopNumberedTypes loopTypes;
  currentPort();
  const int count = countModules(false);
  int result = ExecutiveVerified;
  for (int i = module < 0 ? 0 : module; i < (module < 0 ? count : module + 1); ++i) {
    if (settings().debug(DebugProgress)) std::printf("Module %d...", i);
    if (!verifyModuleExecutive(i, typeA, typeB, lowBlock)) result = ExecutiveDiffers;
  }
  return result;
}

int programExecutive(int module, const std::string& fileName) {
  broadcastCommand(module, "H");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  serviceInterrupt();
  discardInput();
  const int count = countModules(false);
  for (int i = module < 0 ? 0 : module; i < (module < 0 ? count : module + 1); ++i) {
    if (!reprogramModule(i, fileName)) return 1;
  }
  std::printf("Programming the executive successfully completed\n");
  return 0;
}

}  // namespace plenum
