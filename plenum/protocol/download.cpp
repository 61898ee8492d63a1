#include "plenum/protocol/download.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "plenum/language/compiler_context.h"
#include "plenum/midi/current_port.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/protocol/block_programming.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/code_area.h"
#include "plenum/protocol/compile_for_loop.h"
#include "plenum/protocol/executive.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace plenum {

namespace {

const Bytes kRegistrationMarkerBytes = {0xF0, 0x00};

constexpr const char* kWrongExecutiveText =
    "One or more modules do not have the appropriate version.\n"
    "You will either need to obtain a version of the configuration\n"
    "software compatible with your modules, or update the executive.\n"
    "To update the executive, select the \"Advanced\" tab, and then\n"
    "click the \"Program Executive\" button";

void progress(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

void progressNumber(int module) {
  std::printf("%d", module);
  std::fflush(stdout);
}

const char* stageName(char stage) {
  switch (stage) {
    case 'V': return "type check";
    case 'H': return "halt";
    case 'X': return "executive check";
    case 'P': return "relay code";
    case 'U': return "user program";
    case 'E': return "start";
    default: return "download";
  }
}

void reportStop(char stage, int module) {
  std::printf("\nDownload stopped at module %d in stage %c (%s)\n", module, stage,
              stageName(stage));
}

// Runs one module's part of a stage. Whatever ends the run on the way is first tagged
// with the module and the stage, so a download never stops without saying where; an
// internal fault must not pass for a good end either, so it ends with status 1.
template <class Step>
void runStep(char stage, int module, Step&& step) {
  try {
    std::forward<Step>(step)();
  } catch (const ExitRequest& request) {
    if (request.status != 0) reportStop(stage, module);
    throw;
  } catch (const TextException&) {
    reportStop(stage, module);
    throw;
  } catch (const ProgramBug& bug) {
    std::printf("Program bug: %s\n", bug.where);
    reportStop(stage, module);
    exitWith(1);
  }
}

char rangeBlock(int module, std::uint32_t address, const FirmwareImage& image,
                std::uint32_t length, char typeLetter, BlockAction action) {
  const Bytes bytes = extractRange(image, address, length);
  if (bytes.empty()) return kStatusDone;
  return programBlock(module, address, bytes, action, true, typeLetter);
}

// Writes then verifies every page of the code area that the file covers. With -u each
// page is compared first and only the pages that differ are written and verified: the
// relay code rarely changes between two downloads, and the wire time is the whole cost.
void programCodeArea(int module, const FirmwareImage& low) {
  if (settings().debug(DebugProgress)) std::printf("Module %d...\n", module);
  const char type = moduleTypeOf(module);
  if (type == 'C') throw ProgramBug{"plenum:279"};
  const std::uint32_t step = static_cast<std::uint32_t>(modulePageSize(module));
  std::vector<CodePage> pages = codeAreaPages(low, step);
  // Any answer but 'G' (a difference, an input error) means the page is written.
  if (settings().skipUnchangedCode) {
    std::erase_if(pages, [&](const CodePage& page) {
      return verifyRange(module, page.address, low, page.length, type) == kStatusDone;
    });
  }
  for (const CodePage& page : pages) {
    if (programRange(module, page.address, low, page.length, type) != kStatusDone) {
      std::printf("Programming failed at address 0x%x\n", page.address);
      exitWith(2);
    }
  }
  for (const CodePage& page : pages) {
    if (verifyRange(module, page.address, low, page.length, type) != kStatusDone) {
      std::printf("Verify failed at address 0x%x\n", page.address);
      exitWith(2);
    }
  }
  if (settings().debug(DebugProgress)) std::printf("User program verified\n");
}

// The definition modules that go to the loop: checks the loop against the definition
// and returns the first definition module to download.
int matchLoopToDefinition(int count, int defined, int startModule) {
  if (startModule < 0) {
    if (count != defined) {
      std::printf("Your definition indicates %d module%s, but %d %s found\n", defined,
                  defined > 1 ? "s" : "", count, count == 1 ? "was" : "were");
      exitWith(1);
    }
    return 0;
  }
  if (count + startModule > defined) {
    std::printf("You are trying to download your program starting with\n");
    std::printf("module %d to a MIDI chain with %d modules.\n", startModule, count);
    std::printf("Your program only has %d modules defined, which isn't enough\n", defined);
    exitWith(1);
  }
  std::printf("Downloading to %d modules, starting with module %d of the definition\n", count,
              startModule);
  return startModule;
}

class Download {
 public:
  Download(Configuration& configuration, int count, int start)
      : configuration_(configuration), count_(count), start_(start) {}

  void run() {
    checkTypes();
    halt();
    checkExecutives();
    programRelayCode();
    programModules();
    start();
    std::printf("\nConfiguration successfully downloaded\n");
  }

 private:
  NvPbusMod& definitionModule(int loopModule) const {
    return *configuration_.modules[static_cast<std::size_t>(start_ + loopModule)];
  }
  char definitionType(int loopModule) const { return moduleTypeOf(definitionModule(loopModule).number); }

  void checkTypes() {
    progress("V");
    for (int i = 0; i < count_; ++i) {
      runStep('V', i, [&] {
        progressNumber(i);
        char reported = 'B';
        queryVersion(i, reported);
        const char defined = definitionType(i);
        if (reported != defined) {
          reportAt(definitionModule(i),
                   "\nYour definition file indicates module %d is module type %c\n", start_ + i,
                   defined);
          std::printf("\tThe actual module found is module type %c\n", reported);
        }
      });
    }
    if (context().diagnosticCount != 0) exitWith(1);
  }

  void halt() {
    progress("H");
    for (int i = 0; i < count_; ++i) {
      runStep('H', i, [&] {
        progressNumber(i);
        commandAndWait(i, "H", false);
      });
    }
  }

  void checkExecutives() {
    progress("X");
    for (int i = 0; i < count_; ++i) {
      runStep('X', i, [&] {
        replaceCurrentPort();
        progressNumber(i);
        const char type = definitionType(i);
        if (type == 'C') return;
        if (type != 'A' && type != 'B') throw TextException("Program bug 1 in parseFile");
        const int result = verifyExecutive(i, type == 'B' ? "nvrelay6.obf" : "nvrelayi.obf");
        if (result == ExecutiveVerified) return;
        if (result == ExecutiveDiffers) std::printf("%s\n", kWrongExecutiveText);
        if (!settings().forceDownload) exitWith(1);
      });
    }
  }

  void programRelayCode() {
    progress("P");
    for (int i = 0; i < count_; ++i) {
      runStep('P', i, [&] {
        progressNumber(i);
        replaceCurrentPort();
        const NvPbusMod& module = definitionModule(i);
        const char type = moduleTypeOf(module.number);
        const char* relayFile = relayFileFor(type, module);
        if (relayFile == nullptr) return;
        if (type == 'B') {
          progress("B");
        } else if (module.functionUseMask & UseCombinationAction) {
          progress("C");
          prepareRegistrationArea(i, modulePageSize(module.number));
        } else {
          progress("I");
        }
        // The relay code is part of what the module program relies on: a file that
        // cannot be read must stop the download, not let it report success.
        if (programCodeFile(i, relayFile) != 0) exitWith(1);
      });
    }
  }

  // The registration area of a type A module with combination action is erased unless
  // its marker says it was initialised; the relay code then brings the marker.
  static void prepareRegistrationArea(int module, int pageSize) {
    if (programBlock(module, kRegistrationMarker, kRegistrationMarkerBytes, BlockAction::Verify,
                     false, kNoTypeLetter) == kStatusDone) {
      return;
    }
    if (settings().debug(DebugProgress)) std::printf(" Erasing registration area\n");
    const Bytes erased(static_cast<std::size_t>(pageSize), 0xFF);
    for (std::uint32_t address = kRegistrationAreaStart; address < kRegistrationAreaEnd;
         address += static_cast<std::uint32_t>(pageSize)) {
      programBlock(module, address, erased, BlockAction::Program, false, kNoTypeLetter);
    }
  }

  void programModules() {
    progress("U");
    for (int i = 0; i < count_; ++i) {
      runStep('U', i, [&] {
        progressNumber(i);
        char reported = 'B';
        queryVersion(i, reported);
        const NvPbusMod& module = definitionModule(i);
        const char type = moduleTypeOf(module.number);
        // A letter the map does not know loads like type A, as it always has.
        const ModuleMemoryMap* map = memoryMapOf(type);
        const std::uint32_t address = (map != nullptr ? map : memoryMapOf('A'))->programLoad;
        programPages(i, address, module.program.image(), false, reported);
      });
    }
  }

  // Last module first: the module nearest the host's input starts first.
  void start() {
    progress("E");
    for (int i = count_ - 1; i >= 0; --i) {
      runStep('E', i, [&] {
        progressNumber(i);
        commandAndWait(i, "E", false);
      });
    }
  }

  Configuration& configuration_;
  const int count_;
  const int start_;
};

}  // namespace

LoopNumberedTypes::LoopNumberedTypes() : saved_(moduleTypes()) { learnModuleTypes(0); }

LoopNumberedTypes::~LoopNumberedTypes() { moduleTypes() = saved_; }

char programRange(int module, std::uint32_t address, const FirmwareImage& image,
                  std::uint32_t length, char typeLetter) {
  return rangeBlock(module, address, image, length, typeLetter, BlockAction::Program);
}

char verifyRange(int module, std::uint32_t address, const FirmwareImage& image,
                 std::uint32_t length, char typeLetter) {
  return rangeBlock(module, address, image, length, typeLetter, BlockAction::Verify);
}

int programCodeFile(int module, const std::string& fileName) {
  FirmwareImage low;
  const int read = readCodeFile(fileName, low);
  if (read != 0) return read;

  const LoopNumberedTypes loopTypes;
  currentPort();
  const int count = countModules(false);
  for (int i = module < 0 ? 0 : module; i < (module < 0 ? count : module + 1); ++i) {
    programCodeArea(i, low);
  }
  return 0;
}

void downloadConfiguration(const std::string& fileName, int startModule) {
  learnModuleTypes(startModule);
  Configuration configuration;
  compileForLoop(configuration, fileName);

  currentPort();
  const int count = countModules(false);
  if (settings().debug(DebugProgress)) std::printf("Found %d modules\n", count);
  const int defined = static_cast<int>(configuration.modules.size());
  const int start = matchLoopToDefinition(count, defined, startModule);
  Download(configuration, count, start).run();
}

}  // namespace plenum
