#pragma once
// *TRANSPOSE (expression): the module transposes what it sends by the computed value.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/mod_function.h"

namespace plenum {

class ModTranspose : public ModFunction {
 public:
  ModTranspose(SourceLocation where, Exp* value);

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  std::unique_ptr<Exp> expression;
};

}  // namespace plenum
