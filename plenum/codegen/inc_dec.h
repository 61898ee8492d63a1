#pragma once
// *INCREMENT_DECREMENT: two buttons of a KX-64 board that step a controller value up and
// down within a range, starting from an initial value.

#include "plenum/codegen/in_control.h"

namespace plenum {

class ModIncDec : public ModInControl {
 public:
  explicit ModIncDec(SourceLocation where);

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;

  // *BITS = increment, decrement (inputs of the board, 1-based).
  void setBits(int increment, int decrement);
  // *RANGE = min, max.
  void setRange(int low, int high) override;
  // *INIT = value.
  void setInitialValue(int value);

  int incrementBit = -1;
  int decrementBit = -1;
  int initialValue = 0;
};

}  // namespace plenum
