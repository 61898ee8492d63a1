// The order in which a module generates its program: MIDI commands, boards, module-level
// functions, relay and note-state housekeeping, the chain size and flags, then the image
// and its size checks.

#include "plenum/codegen/mod_function.h"
#include "plenum/model/midi_command.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int MaxChainBytes = 16;
constexpr int ControllerResetFlag = 4;  // bit 2 of the system flags byte
}  // namespace

const ByteString& NvPbusMod::generate() {
  // The combination action may have been read after this module's locals took bytes.
  reserveLateMemory();
  generateMidiCommands();
  generateBoards();
  generateModuleFunctions();
  if (hasRelayStatements) {
    appendRecord(program.mainList(), SFpruneRelay, {});
    markFunctionUse(UseRelays);
  }
  if (!noteStates_.empty()) generateNoteStateCleanUp();
  settleChainSize();
  appendModuleFlags();
  program.mainList().push_back(SEnd);
  program.buildImage();
  checkSizes();
  return program.image();
}

void NvPbusMod::generateMidiCommands() {
  for (const auto& command : midiCommands) {
    int bit = allocBit();
    command->generateCondition(program.mainList(), *this);
    std::vector<int> operands = {bit / 8, 1 << (bit % 8), command->byteCount,
                                 command->firstByte + command->channel};
    if (command->byteCount >= 2) operands.push_back(command->secondByte);
    if (command->byteCount >= 3) operands.push_back(command->thirdByte);
    appendRecord(program.mainList(), SFx2midi, operands);
  }
}

void NvPbusMod::generateBoards() {
  for (const auto& board : boards) {
    if (noMoreBoards && (board->outputByteCount() != 0 || board->inputByteCount() != 0))
      reportAt(*board, "Can't have another PBUS module after the previous one");
    board->generate(program);
  }
}

void NvPbusMod::generateModuleFunctions() {
  for (const auto& function : functions) {
    if (!function) throw ProgramBug{"data:5006"};
    function->generateInModule(program, *this);
  }
}

// A controller 120 or 123 clears every remembered note state: each channel's controller
// list raises the flag, and the main list zeroes the state bytes while it is up.
void NvPbusMod::generateNoteStateCleanUp() {
  for (int channel = 0; channel < MidiChannels; ++channel)
    appendRecord(program.controllerList(channel), Sctest, {});
  ByteString& main = program.mainList();
  appendRecord(main, Sldb, {SystemFlagsByte, ControllerResetFlag});
  int branch = ModuleProgram::emitForwardBranch(main, Sbf, Sjf);
  for (const NoteStateBytes& entry : noteStates_)
    appendRecord(main, SFzeroMem,
                 {entry.byteAddress, (entry.highNote - entry.lowNote + 8) / 8});
  appendRecord(main, Sldi, {0});
  appendRecord(main, Sstb, {SystemFlagsByte, ControllerResetFlag});
  ModuleProgram::patchForwardBranch(main, branch);
}

void NvPbusMod::settleChainSize() {
  int size = chainSize();
  program.pbusSize = size;
  program.pbusInterval = (size + 1) / 2;
  if (size > MaxChainBytes) reportAt(*this, "There are too many inputs or outputs in this module");
}

void NvPbusMod::appendModuleFlags() {
  if (!runningStatus) appendRecord(program.mainList(), SFsetFlags, {FlagNoRunningStatus});
  if (verbatimEcho) appendRecord(program.mainList(), SFsetFlags, {FlagVerbatimEcho});
}

}  // namespace plenum
