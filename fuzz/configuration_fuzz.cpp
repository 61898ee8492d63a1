// Fuzz target: a configuration file through the whole compiler (scanner, parser, model,
// code generation, sizing, both listings), as a compile with -t would run it. The first
// byte chooses the module type letters the loop would report, and whether the listings
// are printed; the rest is the file.

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/module_types.h"
#include "plenum/runtime/settings.h"

namespace {

// Type letters of up to four modules, two bits each; 3 stands for "nothing learnt".
std::string typeLettersFrom(std::uint8_t choice) {
  static constexpr char kLetters[] = {'A', 'B', 'C'};
  std::string letters;
  for (int i = 0; i < 4; ++i) {
    const int code = (choice >> (2 * i)) & 3;
    if (code == 3) break;
    letters.push_back(kLetters[code]);
  }
  return letters;
}

void compile(const std::string& path, bool listings) {
  plenum::Configuration configuration;
  configuration.load(path);
  if (listings) configuration.print();
  configuration.generatePrograms();
  if (listings) {
    for (std::size_t i = 0; i < configuration.modules.size(); ++i) {
      configuration.listProgram(static_cast<int>(i));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  plenum::fuzz::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  plenum::resetSettings();
  const std::uint8_t choice = data[0];
  plenum::moduleTypes() = typeLettersFrom(choice);
  const bool listings = size > 1 && (data[1] & 1) != 0 && (choice & 0x80) != 0;
  const std::string path = plenum::fuzz::writeScratchFile(data + 1, size - 1);

  plenum::CompilerContextScope scope;
  const auto ending = plenum::fuzz::runContained([&] { compile(path, listings); });
  // A consistency check of the compiler that a file can reach is a fault of the compiler.
  if (ending == plenum::fuzz::Ending::ProgramBug) std::abort();
  return 0;
}
