// The work memory of a module: 137 bytes, of which the peripheral-bus images, the system
// flags and (with a combination action) the top bytes are reserved. Bytes are handed out
// first fit; bits, note states and mirrors of other modules' items are built on that.

#include "plenum/codegen/mod_function.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int PbusImageBlocks = 4;
constexpr int PbusImageBlockSize = 16;
constexpr int CombinationActionFirstByte = 73;
}  // namespace

void NvPbusMod::initialiseMemoryMap() {
  memoryMap_.fill(false);
  memoryMap_[SystemFlagsByte] = true;
  reservedChainSize_ = 0;
  reservedForCombinationAction_ = false;
  reserveBoardMemory();  // nothing is handed out yet, so nothing can be in the way
  memoryMapReady_ = true;
}

std::vector<int> NvPbusMod::reserveBoardMemory() {
  std::vector<int> alreadyHandedOut;
  auto reserve = [&](int address) {
    if (address >= WorkMemoryBytes) return;
    auto used = memoryMap_[static_cast<std::size_t>(address)];
    if (used) alreadyHandedOut.push_back(address);
    memoryMap_[static_cast<std::size_t>(address)] = true;
  };
  const int size = chainSize();
  for (int block = 0; block < PbusImageBlocks; ++block)
    for (int i = reservedChainSize_; i < size; ++i) reserve(block * PbusImageBlockSize + i);
  if (size > reservedChainSize_) reservedChainSize_ = size;
  if (!reservedForCombinationAction_)
    for (const auto& board : boards)
      if (board->usesCombinationAction()) {
        for (int address = CombinationActionFirstByte; address < WorkMemoryBytes; ++address)
          reserve(address);
        reservedForCombinationAction_ = true;
        break;
      }
  return alreadyHandedOut;
}

void NvPbusMod::reserveLateMemory() {
  if (!memoryMapReady_) return;
  // Local bits and values take their bytes while the module is still being read, and the
  // language lets them stand before the boards that use them and before the combination
  // action that makes a board drive tabs. A board attached after them may need one of
  // those bytes for its bus image, the combination action the top bytes: move the local
  // item, or two things would share the byte.
  for (int taken : reserveBoardMemory()) {
    const int moved = allocBytes(1, 0);
    if (taken == localBitByte_) localBitByte_ = moved;
    for (const auto& function : functions) function->moveWorkByte(taken, moved);
  }
}

bool NvPbusMod::isWorkByteUsed(int address) const {
  return memoryMapReady_ && address >= 0 && address < WorkMemoryBytes &&
         memoryMap_[static_cast<std::size_t>(address)];
}

int NvPbusMod::allocBytes(int count, int start) {
  if (count < 1 || start < 0) throw ProgramBug{"work_memory: allocBytes"};
  if (!memoryMapReady_) initialiseMemoryMap();
  // The search stops below 137 - count: byte 136 is never handed out.
  for (int p = start; p < WorkMemoryBytes - count;) {
    int used = -1;
    for (int i = p; i < p + count; ++i)
      if (memoryMap_[static_cast<std::size_t>(i)]) {
        used = i;
        break;
      }
    if (used < 0) {
      for (int i = p; i < p + count; ++i) memoryMap_[static_cast<std::size_t>(i)] = true;
      return p;
    }
    p = used + 1;
  }
  reportAt(*this, "Out of Norvo module memory resources");
  return 0;
}

int NvPbusMod::allocBit() {
  if (localBitIndex_ > 7) {
    localBitIndex_ = 0;
    localBitByte_ = allocBytes(1, 0);
  }
  return localBitByte_ * 8 + localBitIndex_++;
}

int NvPbusMod::noteStateBytes(ModuleProgram& target, int channel, int lowNote, int highNote) {
  for (const NoteStateBytes& entry : noteStates_)
    if (entry.channel == channel && entry.lowNote == lowNote && entry.highNote >= highNote)
      return entry.byteAddress;
  int address = allocBytes((highNote - lowNote + 8) / 8, 0);
  noteStates_.push_back({channel, lowNote, highNote, address});
  appendRecord(target.noteList(channel), SFmn2bits, {lowNote, highNote, address});
  return address;
}

int NvPbusMod::remoteBitAddress(ModuleProgram& target, const ModFunction& inputBit, int channel,
                                int note) {
  if (inputBit.board && inputBit.board->module == this)
    reportAt(inputBit, "Invalid bit use: '%s' can't be referenced in this module",
             inputBit.name());
  for (const RemoteBit& entry : remoteBits_)
    if (entry.channel == channel && entry.note == note) return entry.bitAddress;
  if (remoteBitIndex_ > 6) {
    remoteBitByte_ = allocBytes(1, 0);
    remoteBitIndex_ = 0;
  } else {
    ++remoteBitIndex_;
  }
  int bitAddress = remoteBitByte_ * 8 + remoteBitIndex_;
  remoteBits_.push_back({channel, note, bitAddress});
  target.rememberNoteInBit(channel, note, remoteBitByte_, remoteBitIndex_);
  return bitAddress;
}

void NvPbusMod::newRemoteBitByte() { remoteBitIndex_ = 7; }

int NvPbusMod::remoteControllerAddress(ModuleProgram& target, const ModFunction& controller,
                                       int channel, int controllerNumber, int ownValueByte) {
  if (controller.getModule() == this) {
    if (ownValueByte >= 0) return ownValueByte;
    reportAt(controller, "Invalid controller use: '%s' can't be referenced in this module",
             controller.name());
  }
  for (const RemoteController& entry : remoteControllers_)
    if (entry.channel == channel && entry.controller == controllerNumber)
      return entry.byteAddress;
  int address = allocBytes(1, 0);
  remoteControllers_.push_back({channel, controllerNumber, address});
  appendRecord(target.controllerList(channel), SFmc2byte, {controllerNumber, address});
  return address;
}

}  // namespace plenum
