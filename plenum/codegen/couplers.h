#pragma once
// *COUPLER (expression) from *TO to [*OFFSET = n]: while the expression is true, the
// notes of the from division also sound in the to division, shifted by the offset.
//
// The couplers of a module that feed one destination channel are generated together, by
// the first of them: their note states are ORed into the module's coupler buffer, which
// is then sent on as the destination's notes. The others emit nothing of their own.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/mod_function.h"

namespace plenum {

class ModInputKbd;

class ModCoupler : public ModFunction {
 public:
  // Reports a name that is unbound or names no division.
  ModCoupler(SourceLocation where, Exp* condition, IdentifierRecord* from,
             IdentifierRecord* to);

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  std::unique_ptr<Exp> expression;
  ModInputKbd* toDivision = nullptr;
  ModInputKbd* fromDivision = nullptr;
  int offset = 0;  // note shift, *OFFSET
  bool done = false;

 private:
  // Emits the OR of one coupler of the group into the buffer.
  void orIntoBuffer(ModuleProgram& program, NvPbusMod& module, int bufferFirst) const;
};

}  // namespace plenum
