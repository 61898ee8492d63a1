#include "plenum/model/lighted_stops.h"

#include <algorithm>
#include <cstdio>

#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/configuration.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/piston_memories.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int MaxUnits = 8;
// A count far beyond the range has been reported; the chain figures stay finite.
constexpr int LargestCountedUnits = 255;
constexpr int StopsPerByte = 8;
constexpr int WideChannelFlag = 0x10;
constexpr int FullRowMask = 0xFF;
constexpr int SingleRowMask = 0x0F;
constexpr int LightedStopUse = UseOutputs | UseCombinationAction;
constexpr int HighestNote = 127;

CombinationAction* configurationCombinationAction() {
  const Configuration* configuration = context().currentConfiguration;
  return configuration ? configuration->combinationAction() : nullptr;
}

int smallestPowerOfTwoNotBelow(int value) {
  int power = 1;
  while (power < value) power *= 2;
  return power;
}

}  // namespace

PbusLytedStop::PbusLytedStop(SourceLocation where, int bytesPerUnit)
    : PbusDev(where), width(bytesPerUnit), midi_(std::make_unique<ModInputKbd>(where)) {}

PbusLytedStop::~PbusLytedStop() = default;

void PbusLytedStop::setCount(int value) {
  if (value < 1 || value > MaxUnits) reportHere("Count not in range 1 to 8");
  if (count != -1) reportHere("Count already set for this item");
  count = value;
}

void PbusLytedStop::setChannel(int index) { midi_->setChannel(index); }
void PbusLytedStop::setNote(int note) { midi_->setNote(note); }

int PbusLytedStop::channel() const { return midi_->channel; }
int PbusLytedStop::firstNote() const { return midi_->number; }
bool PbusLytedStop::hasFirstNote() const {
  return midi_->number != ModMidiFunction::NumberNotSet;
}

int PbusLytedStop::countedUnits() const { return std::clamp(count, 0, LargestCountedUnits); }

int PbusLytedStop::unitBytes() const { return countedUnits() * width; }

int PbusLytedStop::outputByteCount() const { return 2 * unitBytes(); }
int PbusLytedStop::inputByteCount() const { return 2 * unitBytes(); }
int PbusLytedStop::inputBitCount() const { return 2 * StopsPerByte * unitBytes(); }
unsigned PbusLytedStop::functionUse() const { return LightedStopUse; }

bool PbusLytedStop::usesCombinationAction() const {
  return configurationCombinationAction() != nullptr;
}

void PbusLytedStop::addLightedBit(ModInputBit* bit) {
  addBoardItem(bit);
  completeLightedBit(*bit);
}

// Stop n of the board sends the board's n-th note, on the board's channel.
void PbusLytedStop::completeLightedBit(ModInputBit& bit) {
  if (channel() == -1) {
    reportAt(bit, "Please specify *MIDI_CHANNEL first");
    return;
  }
  bit.channel = channel();
  if (count == -1) {
    reportAt(*this, "Please specify *COUNT");
    count = 1;
    return;
  }
  if (bit.bit == -1)
    reportAt(bit, "The *bit number is missing");
  else if (bit.bit < 1 || bit.bit > unitBytes() * StopsPerByte)
    reportAt(bit, "The bit number is invalid");
  if (hasFirstNote()) {
    // A bit number far out of range must not overflow the note.
    const long long note = static_cast<long long>(firstNote()) + bit.bit - 1;
    if (note < 0 || note > HighestNote) reportAt(bit, "Midi note not in range 0 to 127");
    bit.number = static_cast<int>(std::clamp(note, -1LL, static_cast<long long>(HighestNote) + 1));
  }
}

void PbusLytedStop::attach(NvPbusMod& owner, int& outputBytes, int& inputBytes) {
  if (count == -1) {
    reportAt(*this, "*COUNT not defined");
    count = 1;
  }
  PbusDev::attach(owner, outputBytes, inputBytes);
}

void PbusLytedStop::claimNotesOfBoard() {
  int notes = (singleRow ? StopsPerByte / 2 : StopsPerByte) * unitBytes();
  if (Element* taker = claimNotes(channel(), firstNote(), *this, notes)) {
    reportAt(*this, "Multiple use of MIDI note(s)");
    reportAt(*taker, "\t(Location of previous use)");
  }
}

void PbusLytedStop::generate(ModuleProgram& program) {
  if (!module) throw ProgramBug{"data:3319"};
  const int units = unitBytes();
  if (!hasFirstNote()) reportAt(*this, "midi_note not defined");
  if (channel() == -1)
    reportAt(*this, "midi_channel not defined");
  else if (hasFirstNote())
    claimNotesOfBoard();
  // The executive reads a wide board's rows from the start of the output chain.
  if (outputOffset != 0 && width > NarrowWidth)
    reportAt(*this, "*LIGHTED_STOP_xx must be first. Use *COUNT for more than one.");
  module->markFunctionUse(LightedStopUse);

  const bool wide = width > NarrowWidth;
  appendRecord(program.mainList(), SFlyt2note,
               {outputOffset, units, firstNote(), channel() + (wide ? WideChannelFlag : 0),
                singleRow ? SingleRowMask : FullRowMask, wide ? 0 : countedUnits() * 4 - 4});
  for (int i = 0; i < units; ++i)
    appendRecord(program.mainList(), SFsendReset, {outputOffset + 2 * i, 0x00, 0xFF});
  // The lighted bits generate nothing of their own: the board sends their notes.

  const bool firstOutputBoard = module->outputBoardCount == 0;
  ++module->outputBoardCount;
  if (firstOutputBoard && configurationCombinationAction()) generatePistons(program);
}

// The pistons of a combination action recall the stops of this board: one piston
// holds the whole output chain, rounded up to a power of two.
void PbusLytedStop::generatePistons(ModuleProgram& program) {
  CombinationAction& action = *configurationCombinationAction();
  program.pistonSize = smallestPowerOfTwoNotBelow(module->outputBytes);
  program.pistons = pistonMemories(action, module->number, static_cast<int>(action.pistons.size()),
                                   program.pistonSize, module->pageSize());
  action.generateForModule(*this, program, true, width > NarrowWidth);
}

void PbusLytedStop::print() const {
  std::printf("  Lyted Stop: count = %d, Chan = %d, Offset = %d%s\n", count, channel() + 1,
              firstNote(), singleRow ? " (Single Row)" : "");
  for (const auto& item : items)
    if (auto* bit = dynamic_cast<const ModInputBit*>(item.get())) bit->print(true);
}

}  // namespace plenum
