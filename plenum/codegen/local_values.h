#pragma once
// Local bits and bytes of a module: names that expressions assign (*BIT name = (...),
// *VALUE name = (...), the assignments of when commands) and read. Each lives in the
// work memory of one module.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/mod_function.h"

namespace plenum {

// A local bit. Its work bit is taken once, when it is created, and both the store of
// its own statement and every expression that reads it use that bit.
class ModBit : public ModFunction {
 public:
  ModBit(SourceLocation where, NvPbusMod& owner);

  void print(bool indent) const override;
  // The assigned value's code, then the store into the bit; nothing without a value.
  void generateInModule(ModuleProgram& program, NvPbusMod& owner) override;
  bool isAvailableIn(int moduleNumber) const override;

  void moveWorkByte(int from, int to) override;
  int workBit() const { return workBit_; }  // byte address * 8 + bit number

  std::unique_ptr<Exp> expression;  // the assigned value; none for a when-command target

 private:
  int workBit_;
};

// A local byte, with one work byte taken when it is created.
class ModValue : public ModFunction {
 public:
  ModValue(SourceLocation where, NvPbusMod& owner);

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& owner) override;
  bool isAvailableIn(int moduleNumber) const override;

  void moveWorkByte(int from, int to) override;
  int workByte() const { return workByte_; }

  std::unique_ptr<Exp> expression;

 private:
  int workByte_;
};

// The local element an assignment in module stores into, found or made for the name:
// an unbound name gets a new element of the module; an element of the right kind is
// used (reported when it lives in another module); anything else is reported and a new
// element is made, whose binding reports the redefinition. A new element is added to
// the module's functions, which own it.
ModBit* bindLocalBit(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where);
ModValue* bindLocalValue(IdentifierRecord* name, NvPbusMod& module,
                         const SourceLocation& where);

// *BIT name = (exp) and *VALUE name = (exp): the element found or made for the name
// receives the expression. A second assignment statement of one name is a
// redefinition and keeps the first expression.
void assignLocalBit(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where,
                    std::unique_ptr<Exp> expression);
void assignLocalValue(IdentifierRecord* name, NvPbusMod& module, const SourceLocation& where,
                      std::unique_ptr<Exp> expression);

}  // namespace plenum
