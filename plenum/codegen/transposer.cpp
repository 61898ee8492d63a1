#include "plenum/codegen/transposer.h"

#include <cstdio>

#include "plenum/codegen/module_program.h"

namespace plenum {

ModTranspose::ModTranspose(SourceLocation where, Exp* value)
    : ModFunction(std::move(where)), expression(value) {}

void ModTranspose::print(bool indent) const {
  std::printf("%sTranspose: ", indent ? "    " : "");
  if (expression) expression->print();
  std::printf("\n");
}

void ModTranspose::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (expression) expression->generate(program.mainList(), owner);
  appendRecord(program.mainList(), SFsetTranspose, {});
}

}  // namespace plenum
