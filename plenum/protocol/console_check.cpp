#include "plenum/protocol/console_check.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/midi/current_port.h"
#include "plenum/protocol/chain_inquiry.h"
#include "plenum/protocol/code_area.h"
#include "plenum/protocol/compile_for_loop.h"
#include "plenum/protocol/download.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/module_types.h"

namespace plenum {

namespace {

// Where the download puts a module program, by the definition's type.
std::uint32_t programAddress(char type) {
  const ModuleMemoryMap* map = memoryMapOf(type);
  return (map != nullptr ? map : memoryMapOf('A'))->programLoad;
}

// The relay files the download would program, each read once, before any module is asked.
using RelayFiles = std::map<std::string, FirmwareImage>;

RelayFiles readRelayFiles(const std::vector<const NvPbusMod*>& modules) {
  RelayFiles files;
  for (const NvPbusMod* module : modules) {
    const char* name = relayFileFor(moduleTypeOf(module->number), *module);
    if (name == nullptr || files.count(name) != 0) continue;
    // Without the file there is nothing to compare with; the reader has said why.
    if (readCodeFile(name, files[name]) != 0) {
      std::printf("The relay code cannot be compared without %s\n", name);
      exitWith(1);
    }
  }
  return files;
}

// The relay code the download would program, compared page by page with code commands.
AreaComparison compareRelayCode(int loopModule, const NvPbusMod& module, char type,
                                const RelayFiles& files) {
  AreaComparison area;
  const char* relayFile = relayFileFor(type, module);
  if (relayFile == nullptr) return area;
  const FirmwareImage& low = files.at(relayFile);
  const auto pageSize = static_cast<std::uint32_t>(modulePageSize(module.number));
  for (const CodePage& page : codeAreaPages(low, pageSize)) {
    ++area.pages;
    const char status = verifyRange(loopModule, page.address, low, page.length, type);
    if (status != kStatusDone) area.differing.push_back({page.address, page.length, status});
  }
  return area;
}

AreaComparison compareProgram(int loopModule, const NvPbusMod& module, char type) {
  AreaComparison area;
  const Bytes& image = module.program.image();
  const auto pageSize = static_cast<std::size_t>(modulePageSize(module.number));
  area.pages = (image.size() + pageSize - 1) / pageSize;
  area.differing = verifyPages(loopModule, programAddress(type), image, false, type);
  return area;
}

ModuleComparison compareModule(int loopModule, int definitionModule, const NvPbusMod& module,
                               const RelayFiles& files) {
  ModuleComparison comparison;
  comparison.loopModule = loopModule;
  comparison.definitionModule = definitionModule;
  queryVersion(loopModule, comparison.reportedType);
  comparison.definedType = moduleTypeOf(module.number);
  // A module of another type runs another program layout: its pages say nothing.
  if (comparison.typeDiffers()) return comparison;
  comparison.relayCode = compareRelayCode(loopModule, module, comparison.definedType, files);
  comparison.program = compareProgram(loopModule, module, comparison.definedType);
  return comparison;
}

// The first definition module to compare, or -1 when the loop does not fit the definition.
int matchLoop(int count, int defined, int startModule) {
  if (startModule < 0) {
    if (count == defined) return 0;
    std::printf("Your definition indicates %d module%s, but %d %s found\n", defined,
                defined > 1 ? "s" : "", count, count == 1 ? "was" : "were");
    return -1;
  }
  if (count + startModule > defined) {
    std::printf("The loop has %d module%s, but the definition has only %d from module %d on\n",
                count, count == 1 ? "" : "s", defined - startModule < 0 ? 0 : defined - startModule,
                startModule);
    return -1;
  }
  std::printf("Checking %d module%s, starting with module %d of the definition\n", count,
              count == 1 ? "" : "s", startModule);
  return startModule;
}

}  // namespace

int checkConsole(const std::string& fileName, int startModule) {
  learnModuleTypes(startModule);
  Configuration configuration;
  compileForLoop(configuration, fileName);

  currentPort();
  const int count = countModules(false);
  const int defined = static_cast<int>(configuration.modules.size());
  const int start = matchLoop(count, defined, startModule);
  if (start < 0) return kCheckModuleCount;
  std::vector<const NvPbusMod*> compared;
  for (int i = 0; i < count; ++i) {
    compared.push_back(configuration.modules[static_cast<std::size_t>(start + i)].get());
  }
  const RelayFiles files = readRelayFiles(compared);

  bool allSame = true;
  for (int i = 0; i < count; ++i) {
    if (start == 0) {
      std::printf("Module %d: ", i);
    } else {
      std::printf("Module %d (module %d of the definition): ", i, start + i);
    }
    std::fflush(stdout);
    const NvPbusMod& module = *compared[static_cast<std::size_t>(i)];
    const ModuleComparison comparison = compareModule(i, start + i, module, files);
    std::fputs(describeComparison(comparison).c_str(), stdout);
    allSame = allSame && comparison.same();
  }
  std::printf(allSame ? "The console holds this configuration\n"
                      : "The console differs from this configuration\n");
  return allSame ? kCheckSame : kCheckDiffers;
}

}  // namespace plenum
