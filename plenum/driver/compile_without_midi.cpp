#include "plenum/driver/compile_without_midi.h"

#include <cstdio>

#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/exits.h"

namespace plenum {

void compileWithoutMidi(Configuration& configuration, const std::string& fileName) {
  std::printf("Parsing file %s\n", fileName.c_str());
  configuration.load(fileName);
  configuration.generatePrograms();
  if (context().diagnosticCount != 0) exitWith(1);
}

}  // namespace plenum
