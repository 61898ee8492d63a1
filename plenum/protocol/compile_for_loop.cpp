#include "plenum/protocol/compile_for_loop.h"

#include "plenum/language/compiler_context.h"
#include "plenum/model/configuration.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/settings.h"

namespace plenum {

void compileForLoop(Configuration& configuration, const std::string& fileName) {
  configuration.load(fileName);
  if (settings().debug(DebugConfigListing)) configuration.print();
  configuration.generatePrograms();
  if (context().diagnosticCount != 0) exitWith(1);
  if (settings().debug(DebugProgramListing)) {
    for (std::size_t i = 0; i < configuration.modules.size(); ++i) {
      configuration.listProgram(static_cast<int>(i));
    }
  }
  if (settings().stopAfterCompile) exitWith(0);
}

}  // namespace plenum
