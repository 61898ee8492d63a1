#include "plenum/model/output_boards.h"

#include <cstdio>

#include "plenum/codegen/mod_function.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/relays_group.h"
#include "plenum/model/tab_driver.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
// Boards longer than this must end the chain.
constexpr int LongestChainedBoard = 8;
// The output image of the chain lives in work memory from this byte on.
constexpr int OutputImageByte = 48;

void printItems(const PbusDev& board) {
  for (const auto& item : board.items)
    if (auto* function = dynamic_cast<const ModFunction*>(item.get())) function->print(true);
}
}  // namespace

void PbusOutputDev::print() const {
  std::printf("%s\n", title());
  printItems(*this);
}

void PbusOutRankDriver::print() const {
  std::printf("%s", title());
  if (identifier) std::printf(", Name: %s", name());
  std::printf("\n");
  printItems(*this);
}

bool PbusOutputDev::usesCombinationAction() const { return drivesStopTabs(*this); }

void PbusOutputDev::generate(ModuleProgram& program) {
  if (!module) throw ProgramBug{"data:3025"};
  if (outputByteCount() > LongestChainedBoard) module->noMoreBoards = true;
  bool first = module->outputBoardCount == 0;
  ++module->outputBoardCount;
  if (first) appendRecord(program.mainList(), SFsetFlags, {FlagOutputModule});
  // Rank relays only set bits, so the board's image is cleared on every pass.
  if (anyRelayDrivesRank(*module))
    appendRecord(program.mainList(), SFzeroMem,
                 {OutputImageByte + outputOffset, outputByteCount()});
  module->markFunctionUse(UseOutputs);
  for (const auto& item : items)
    if (auto* function = dynamic_cast<ModFunction*>(item.get())) function->generate(program, this);
  if (currentStopTabs() && usesCombinationAction())
    generateStopTabs(*this, program, first, tabCount);
}

}  // namespace plenum
