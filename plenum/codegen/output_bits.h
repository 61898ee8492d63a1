#pragma once
// Output declarations of an output board that are not ranks: an output bit driven by an
// expression, a one-of-n group of which one bit is lit by the MIDI item that arrived
// last, and a dual-magnet pulse that sets a bit when a note arrives (combination action).
// Output bits count from 1, bit 1 being the most significant bit of the board's first
// byte.

#include <memory>
#include <string>
#include <vector>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/mod_function.h"

namespace plenum {

class Literal;
class ModInputBit;

class ModOutputBit : public ModFunction {
 public:
  using ModFunction::ModFunction;

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;

  // *BIT = n.
  void setBit(int value);
  // The expression that drives the bit.
  void setExpression(Exp* value) { expression.reset(value); }

  int bit = -1;
  std::unique_ptr<Exp> expression;
};

class ModOutputOneOfN : public ModFunction {
 public:
  using ModFunction::ModFunction;

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;

  // *BITS = first, count.
  void setBits(int first, int bitCount);
  // *CANCEL = name: the input that turns every bit of the group off.
  void setCancel(IdentifierRecord* name);
  // *SET = name: the input that lights the next bit of the group.
  void addSet(IdentifierRecord* name);

  int firstBit = -1;
  int count = -1;
  ModInputBit* cancel = nullptr;
  std::vector<ModInputBit*> sets;
};

class ModPulseCmd : public ModFunction {
 public:
  // *DMT_PULSE *BIT = bit note-literal.
  ModPulseCmd(SourceLocation where, int bit, const std::string& noteLiteral);
  ~ModPulseCmd() override;

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;

  int bit;
  std::unique_ptr<Literal> note;
};

}  // namespace plenum
