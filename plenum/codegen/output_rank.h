#pragma once
// A rank on an output board: the run of output bits that drive its pipes. The bits are
// counted from the board's first bit and may run on into the following boards.

#include "plenum/codegen/mod_function.h"

namespace plenum {

class ModOutputRank : public ModFunction {
 public:
  using ModFunction::ModFunction;

  void print(bool indent) const override;
  // Checks the bits against the chain and marks them in the module's usage table; it
  // emits no record.
  void generate(ModuleProgram& program, PbusDev* board) override;

  // *BITS = first, count.
  void setBits(int first, int bitCount) {
    firstBit = first;
    count = bitCount;
  }

  int firstBit = -1;  // 1-based
  int count = -1;
};

}  // namespace plenum
