#include "plenum/model/nv_mod.h"

#include <cstdio>

#include "plenum/codegen/mod_function.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/midi_command.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"
#include "plenum/runtime/memory_map.h"
#include "plenum/runtime/module_types.h"

namespace plenum {

NvMod::NvMod() = default;
NvMod::NvMod(SourceLocation where) : Element(std::move(where)) {}
NvMod::~NvMod() = default;

int NvMod::getWorkByte() {
  if (workBytePool_.empty()) return allocBytes(1, 0);
  int address = workBytePool_.back();
  workBytePool_.pop_back();
  return address;
}

void NvMod::releaseWorkByte(int address) {
  if (static_cast<int>(workBytePool_.size()) < WorkBytePoolSize)
    workBytePool_.push_back(address);
}

void NvMod::markFunctionUse(unsigned bits) {
  if (functionUseMask == 0) {
    functionUseMask = bits;
    return;
  }
  functionUseMask |= bits;
  auto both = [this](unsigned a, unsigned b) {
    return (functionUseMask & a) != 0 && (functionUseMask & b) != 0;
  };
  if (both(UseInputs, UseOutputs) || both(UseRelays, UseCombinationAction))
    reportAt(*this, "Attempt to use incompatible functions in this module");
}

NvPbusMod::NvPbusMod() : program(*this) {}
NvPbusMod::NvPbusMod(SourceLocation where) : NvMod(std::move(where)), program(*this) {}
NvPbusMod::~NvPbusMod() = default;

void NvPbusMod::print() const {
  std::printf("Norvo Module\n");
  for (const auto& board : boards) board->print();
  for (const auto& function : functions) function->print(false);
}

void NvPbusMod::setBanks(int banks) {
  program.memBanks = banks;
  program.buildImage();
}

void NvPbusMod::addDevice(PbusDev* board) {
  boards.emplace_back(board);
  board->attach(*this, outputBytes, inputBytes);
  reserveLateMemory();
}

void NvPbusMod::addFunction(ModFunction* function) {
  functions.emplace_back(function);
  function->module = this;
}

void NvPbusMod::addMidiCommand(MidiCommand* added) {
  std::unique_ptr<MidiCommand> command(added);
  const SourceLocation& where = command->location;
  if (command->byteCount < 1 || command->byteCount > 3) throw ProgramBug{"data:4867"};
  if (command->channel < 1 || command->channel > MidiChannels)
    reportAtLocation(where, "The channel number must be between 1 and 16, inclusive");
  if (command->firstByte < 128 || command->firstByte > 255)
    reportAtLocation(where,
                     "The first byte of the MIDI message must be between 128 and 255, inclusive");
  if (command->byteCount >= 2 && command->secondByte >= 128)
    reportAtLocation(where,
                     "The second byte of the MIDI message must be between 0 and 127, inclusive");
  if (command->byteCount == 3 && command->thirdByte >= 128)
    reportAtLocation(where,
                     "The third byte of the MIDI message must be between 0 and 127, inclusive");
  command->channel -= 1;
  midiCommands.push_back(std::move(command));
}

void NvPbusMod::setTruncation(int channel, int value) {
  bool channelValid = channel >= 1 && channel <= MidiChannels;
  if (!channelValid) reportAt(*this, "Midi channel not in range of 1 to 16");
  if (value < 0 || value > 255) reportAt(*this, "Value not between 0 and 255");
  if (channelValid)
    program.truncation[static_cast<std::size_t>(channel - 1)] =
        static_cast<std::uint8_t>(value & 0xFF);
}

char NvPbusMod::typeLetter() const { return moduleTypeOf(number); }

int NvPbusMod::loadAddress() const {
  const ModuleMemoryMap* map = memoryMapOf(typeLetter());
  if (map == nullptr) throw ProgramBug{"data:4798"};
  return static_cast<int>(map->programLoad);
}

int NvPbusMod::pageSize() const { return modulePageSize(number); }

int NvPbusMod::chainSize() const { return outputBytes > inputBytes ? outputBytes : inputBytes; }

}  // namespace plenum
