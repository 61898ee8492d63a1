#include "plenum/codegen/output_rank.h"

#include <cstdio>

#include "plenum/model/output_bit_usage.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

void ModOutputRank::print(bool indent) const {
  std::printf("%s%s  rank: bits %d,%d\n", indent ? "    " : "", name(), firstBit, count);
}

void ModOutputRank::generate(ModuleProgram&, PbusDev* board) {
  if (!board || !board->module) throw ProgramBug{"output_rank: board"};
  if (firstBit == -1 || count == -1) {
    reportAt(*this, "Missing '*bits ='");
    return;
  }
  markRankBits(*this, *board, firstBit, count);
}

}  // namespace plenum
