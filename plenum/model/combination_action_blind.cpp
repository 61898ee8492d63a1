// The blind combination action: its tabs are plain input bits whose states it keeps in
// work memory, at bit i for tab i and again 256 bits higher, the copy it compares with.

#include <array>
#include <cstdio>

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/piston_memories.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

constexpr int BlindUse = UseOutputs | UseCombinationAction;
constexpr int ButtonByte = SystemFlagsByte;
constexpr int CopyByteOffset = 32;  // the copy of the tab states: 256 bits higher
constexpr int RecordBytes = 5;
constexpr int CancelFlag = 1;
constexpr int AdditiveFlag = 2;

bool hasChannel(const ModInputBit& input) { return input.channel >= 0 && input.channel < MidiChannels; }

int smallestPowerOfTwoFrom(int value) {
  int power = 1;
  while (power < value) power *= 2;
  return power;
}


void appendBlindPiston(ModuleProgram& program, const ModInputBit& input, int piston, int flags) {
  if (!hasChannel(input)) return;
  ByteString& list = input.programChange ? program.programList(input.channel) : program.noteList(input.channel);
  appendRecord(list, SblindPiston, {input.number, piston, flags});
}

}  // namespace

BlindCombinationAction::~BlindCombinationAction() = default;

unsigned BlindCombinationAction::functionUse() const { return BlindUse; }

void BlindCombinationAction::setCancelBit(IdentifierRecord* id) {
  if (!id->element) {
    reportHere(formatText("Identifier '%s' for CANCEL not defined", id->name.c_str()));
    return;
  }
  if (cancelBit) reportHere("The Cancel bit has already been defined");
  auto* bit = dynamic_cast<ModInputBit*>(id->element);
  if (!bit) {
    reportHere("Not an input bit");
    return;
  }
  cancelBit = bit;
}

void BlindCombinationAction::addTab(IdentifierRecord* id) {
  if (!id->element) {
    reportHere(formatText("Identifier '%s' not defined", id->name.c_str()));
    return;
  }
  auto* bit = dynamic_cast<ModInputBit*>(id->element);
  if (!bit) {
    reportHere(formatText("Identifier '%s' is not an input bit", id->name.c_str()));
    return;
  }
  if (bit->programChange) reportHere("Tab may not be a program change message");
  tabs.push_back(bit);
}

void BlindCombinationAction::print() const {
  std::printf("  Blind Combination Action\n");
  std::printf("    Set:");
  if (setBit)
    setBit->print(true);
  else
    std::printf(" undefined\n");
  std::printf("    Map:");
  if (mapBit)
    mapBit->print(true);
  else
    std::printf(" undefined\n");
  std::printf("    Pistons:\n");
  for (const ModInputBit* piston : pistons) piston->print(true);
  std::printf("    Tabs:\n");
  for (const ModInputBit* tab : tabs) tab->print(true);
  if (memorySelectController) {
    std::printf("    Memory Select:");
    memorySelectController->print(true);
  }
}

void BlindCombinationAction::generate(ModuleProgram& program) {
  if (!module) throw ProgramBug{"combination_action: blind action without module"};
  // The tab numbers are the bit numbers of the tabs' states only when they are the first
  // work memory bits of the module: nothing else may take any before them.
  if (module->boards.size() > 1 || !module->functions.empty() || !module->midiCommands.empty())
    reportAt(*this, "Other functions may not be combined with BLIND_COMBINATION_ACTION");

  const int tabCount = static_cast<int>(tabs.size());
  program.pistonBytes = (tabCount + 7) / 8;
  program.pistonSize = smallestPowerOfTwoFrom(2 * program.pistonBytes);
  program.pistons = pistonMemories(*this, module->number, static_cast<int>(pistons.size()),
                                   program.pistonSize, module->pageSize());

  if (tabs.empty())
    reportAt(*this, "There are no tabs defined!");
  else if (tabCount > MaxTabs)
    reportAt(*this, "The maximum number of tabs is %d", MaxTabs);
  else
    generateTabs(program);
  module->newRemoteBitByte();
  if (program.pistonBytes > 0) module->allocBytes(program.pistonBytes, CopyByteOffset);

  if (!setBit)
    reportAt(*this, "No SET bit has been defined!");
  else if (hasChannel(*setBit))
    program.rememberNoteInBit(setBit->channel, setBit->number, ButtonByte, 0);
  if (mapBit && hasChannel(*mapBit)) program.rememberNoteInBit(mapBit->channel, mapBit->number, ButtonByte, 1);
  generatePistons(program);
  generateMemorySelect(program, *module, false);
  module->markFunctionUse(UseCombinationAction);
}

// Each tab's state goes to bit i, and a copy of its record to the same bit 256 higher.
void BlindCombinationAction::generateTabs(ModuleProgram& program) {
  std::array<std::size_t, MidiChannels> before{};
  for (int channel = 0; channel < MidiChannels; ++channel) before[channel] = program.noteList(channel).size();
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
    const ModInputBit& tab = *tabs[static_cast<std::size_t>(i)];
    if (!hasChannel(tab)) continue;
    const int bit = module->remoteBitAddress(program, tab, tab.channel, tab.number);
    if (bit != i) std::printf("Out of bits? %d %d\n", i, bit);
    program.addTranslatePair(tab.channel + 1, tab.number);
  }
  for (int channel = 0; channel < MidiChannels; ++channel) {
    ByteString& list = program.noteList(channel);
    const ByteString added(list.begin() + static_cast<std::ptrdiff_t>(before[channel]), list.end());
    for (std::size_t at = 0; at + RecordBytes <= added.size(); at += RecordBytes) {
      ByteString copy(added.begin() + static_cast<std::ptrdiff_t>(at),
                      added.begin() + static_cast<std::ptrdiff_t>(at + RecordBytes));
      if (copy[0] == SFmn2bits && copy[1] == RecordBytes)
        copy[4] = static_cast<std::uint8_t>(copy[4] + CopyByteOffset);
      else if (copy[0] == SFmn2bit && copy[1] == RecordBytes)
        copy[3] = static_cast<std::uint8_t>(copy[3] + CopyByteOffset);
      else {
        reportAt(*this, "Program bug in BlindCombinationAction");
        continue;
      }
      appendBytes(list, copy);
    }
  }
}

void BlindCombinationAction::generatePistons(ModuleProgram& program) {
  if (!cancelBit)
    reportAt(*this, "No CANCEL bit has been defined!");
  else
    appendBlindPiston(program, *cancelBit, 0, CancelFlag);
  if (pistons.empty()) {
    reportAt(*this, "There are no pistons defined!");
    return;
  }
  for (std::size_t i = 0; i < pistons.size(); ++i)
    appendBlindPiston(program, *pistons[i], static_cast<int>(i), additive ? AdditiveFlag : 0);
}

}  // namespace plenum
