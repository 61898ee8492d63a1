#include "plenum/model/tab_driver.h"

#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/output_bit_usage.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/model/piston_memories.h"

namespace plenum {

namespace {
constexpr int MaxTabsPerModule = 64;
// Tab states live one bit per tab in work memory from this byte on.
constexpr int TabStateByte = 65;
constexpr unsigned TabDriverUse = UseOutputs | UseCombinationAction;

int smallestPowerOfTwoFrom(int value) {
  int power = 1;
  while (power < value) power *= 2;
  return power;
}

// Items whose channel was reported as missing or out of range get no records.
bool hasChannel(const ModInputBit& item) { return item.channel >= 0 && item.channel < MidiChannels; }

// The magnets of a tab whose *ON is on this board: checked and marked in the usage
// table. Returns the (off, on) bytes of the translate table.
std::pair<int, int> claimMagnets(const StopTab& tab, const PbusDev& board) {
  const Element& at = *tab.statement;
  if (tab.off) {
    if (!tab.off->names(board))
      reportAt(at, "*ON and *OFF must use the same driver board");
    else
      markTabMagnet(at, board, tab.off->bit, "*OFF bit already used");
  }
  markTabMagnet(at, board, tab.on->bit, "*ON bit already used");
  int chainBit = board.outputOffset * 8;
  return {tab.off ? (chainBit + tab.off->bit) & 0xFF : 0, (chainBit + tab.on->bit) & 0xFF};
}

void appendReversibles(const StopTab& tab, ModuleProgram& program, int tabNumber, int off,
                       int on) {
  for (const ModInputBit* reversible : tab.reversibles) {
    if (!hasChannel(*reversible)) continue;
    ByteString& list = reversible->programChange ? program.programList(reversible->channel)
                                                 : program.noteList(reversible->channel);
    appendRecord(list, SFreversible,
                 {reversible->number, tabNumber / 8, 1 << (tabNumber % 8), off, on});
  }
}

void setPistonHeader(ModuleProgram& program, const StopTabSource& source, int tabCount,
                     const PbusDev& board) {
  program.pistonBytes = (tabCount + 7) / 8;
  program.pistonSize = smallestPowerOfTwoFrom(2 * program.pistonBytes);
  program.magTime = source.dualMagnetTime() & 0xFF;
  // A count too large is the combination action's fault, where there is one.
  const auto* action = dynamic_cast<const Element*>(&source);
  const NvPbusMod& module = *board.module;
  program.pistons = pistonMemories(action ? *action : board, module.number, source.pistonCount(),
                                   program.pistonSize, module.pageSize());
}
}  // namespace

bool StopTabMagnet::names(const PbusDev& candidate) const {
  return board && board->element == &candidate;
}

StopTabSource* currentStopTabs() { return context().stopTabSource; }

bool drivesStopTabs(const PbusDev& board) {
  const StopTabSource* source = currentStopTabs();
  if (!source) return false;
  for (const StopTab& tab : source->stopTabs())
    if ((tab.on && tab.on->names(board)) || (tab.off && tab.off->names(board))) return true;
  return false;
}

void generateStopTabs(PbusDev& board, ModuleProgram& program, bool firstOutputBoard,
                      int& tabCount) {
  StopTabSource* source = currentStopTabs();
  NvPbusMod& module = *board.module;
  module.markFunctionUse(TabDriverUse);
  if (firstOutputBoard) source->generateForTabDriver(program, module);
  tabCount = static_cast<int>(program.translateTable().size() / 2);
  for (const StopTab& tab : source->stopTabs()) {
    const Element& at = *tab.statement;
    if (!tab.on) reportAt(at, "*ON specification missing");
    if (!tab.off) reportAt(at, "*OFF specification missing");
    if (!tab.on || !tab.on->names(board)) continue;
    auto [off, on] = claimMagnets(tab, board);
    if (tabCount > MaxTabsPerModule - 1) reportAt(at, "Too many tabs ");
    if (!tab.position)
      reportAt(at, "*NAME specification missing");
    else if (hasChannel(*tab.position))
      program.rememberNoteInBit(tab.position->channel, tab.position->number,
                                TabStateByte + tabCount / 8, tabCount % 8);
    ++tabCount;
    program.addTranslatePair(off, on);
    if (tab.off) appendReversibles(tab, program, tabCount - 1, off, on);
  }
  setPistonHeader(program, *source, tabCount, board);
}

}  // namespace plenum
