#include "plenum/codegen/mod_function.h"

#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

void ModFunction::generate(ModuleProgram&, PbusDev*) {
  throw ProgramBug{"mod_function: generate under a board"};
}

NvPbusMod* ModFunction::getModule() const { return board ? board->module : module; }

bool ModFunction::isAvailableIn(int) const { return false; }

void ModFunction::generateInModule(ModuleProgram&, NvPbusMod&) { throw ProgramBug{"data:5006"}; }

}  // namespace plenum
