#pragma once
// *SOSTENUTO (expression) *DIVISION = name: when the expression turns true, the notes of
// the division that are down are held until it turns false.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/mod_function.h"

namespace plenum {

class ModInputKbd;

class ModSostenuto : public ModFunction {
 public:
  using ModFunction::ModFunction;

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  // The pedal: the sostenuto holds while it is true.
  void setExpression(Exp* value) { expression.reset(value); }
  // *DIVISION = name.
  void setDivision(IdentifierRecord* name);

  std::unique_ptr<Exp> expression;
  ModInputKbd* division = nullptr;
};

}  // namespace plenum
