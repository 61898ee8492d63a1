#include "plenum/model/configuration.h"

#include <climits>
#include <cstdio>

#include "plenum/language/compiler_context.h"
#include "plenum/language/diagnostics.h"
#include "plenum/language/parser.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"
#include "plenum/runtime/utf8_path.h"

namespace plenum {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

constexpr int HexDumpLineBytes = 16;
constexpr long MaxConfigurationBytes = 4L * 1024 * 1024;

}  // namespace

Configuration::Configuration() = default;

Configuration::~Configuration() {
  if (context().currentConfiguration == this) context().currentConfiguration = nullptr;
}

void Configuration::load(const std::string& path) {
  modules.clear();
  combinationActionOwner_.reset();
  combinationAction_ = nullptr;
  printCombinationAction_ = nullptr;

  std::unique_ptr<std::FILE, FileCloser> file(openUtf8File(path, "r"));
  if (!file) {
    std::printf("File %s could not be opened for reading\n", path.c_str());
    exitWith(1);
  }
  // The largest consoles need a few hundred kilobytes; anything far beyond is not a
  // configuration, and reading it would only exhaust memory.
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long size = std::ftell(file.get());
    if (size > MaxConfigurationBytes) {
      std::printf("File %s is too large for a configuration file (%ld bytes, at most %ld)\n",
                  path.c_str(), size, MaxConfigurationBytes);
      exitWith(1);
    }
    std::rewind(file.get());
  }
  context().setFileName(path);
  context().currentConfiguration = this;
  int result = 0;
  try {
    result = parseConfigurationFile(file.get());
  } catch (const TextException& failure) {
    std::printf("%s: %s\n", currentPosition().c_str(), failure.text.c_str());
    exitWith(1);
  }
  if (result != 0 || context().diagnosticCount != 0) exitWith(1);
}

void Configuration::addModule(NvPbusMod* module) {
  module->number = static_cast<int>(modules.size());
  modules.emplace_back(module);
}

void Configuration::print() const {
  std::printf("Congifuration:\n");
  for (const auto& module : modules) module->print();
  if (printCombinationAction_) printCombinationAction_();
  std::printf("=============\n\n");
}

void Configuration::generatePrograms() {
  try {
    for (const auto& module : modules) module->generate();
  } catch (const TextException& failure) {
    std::puts(failure.text.c_str());
    exitWith(1);
  }
  equaliseBanks();
  std::printf("Number of modules is %d\n", static_cast<int>(modules.size()));
  if (settings().debug(DebugHexDump)) dumpImages();
}

// Every module that stores registrations gets the smallest bank count of the chain.
void Configuration::equaliseBanks() {
  int smallest = INT_MAX;
  for (const auto& module : modules) {
    int banks = module->program.memBanks;
    if (banks != 0 && banks < smallest) smallest = banks;
  }
  if (smallest == INT_MAX) return;
  for (const auto& module : modules) {
    int banks = module->program.memBanks;
    if (banks == 0 || banks == smallest) continue;
    module->setBanks(smallest);
    std::printf("Further adjusting to %d banks\n", smallest);
  }
}

void Configuration::dumpImages() const {
  for (std::size_t i = 0; i < modules.size(); ++i) {
    const NvPbusMod& module = *modules[i];
    const ByteString& image = module.program.image();
    std::printf("Module %d Program size is %d\n", static_cast<int>(i),
                static_cast<int>(image.size()));
    const auto loadAddress = static_cast<unsigned>(module.loadAddress());
    for (std::size_t offset = 0; offset < image.size(); ++offset) {
      if (offset % HexDumpLineBytes == 0)
        std::printf("\n%4x ", loadAddress + static_cast<unsigned>(offset));
      std::printf(" %02x", image[offset]);
    }
    std::printf("\n");
  }
}

void Configuration::listProgram(int i, std::FILE* out) const {
  if (i < 0 || static_cast<std::size_t>(i) >= modules.size())
    throw ProgramBug{"configuration: listProgram"};
  modules[static_cast<std::size_t>(i)]->program.listProgram(out);
}

}  // namespace plenum
