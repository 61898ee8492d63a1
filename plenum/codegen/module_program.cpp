#include "plenum/codegen/module_program.h"

#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {

constexpr int DispatchTableSize = 2 * MidiChannels;
constexpr std::size_t TranslateAlignment = 16;
constexpr int ShortBranchLimit = 254;
constexpr int RecordBytes = 5;  // SFmn2bits and SFmn2bit records

std::size_t channelIndex(int channel) {
  if (channel < 0 || channel >= MidiChannels) throw ProgramBug{"module_program: channel"};
  return static_cast<std::size_t>(channel);
}

}  // namespace

ModuleProgram::ModuleProgram(NvPbusMod& module) : module_(&module) {
  truncation.fill(NoTruncation);
  noteAddresses_.fill(NoDispatchList);
  controllerAddresses_.fill(NoDispatchList);
  programAddresses_.fill(NoDispatchList);
}

ByteString& ModuleProgram::noteList(int channel) { return noteLists_[channelIndex(channel)]; }
ByteString& ModuleProgram::controllerList(int channel) {
  return controllerLists_[channelIndex(channel)];
}
ByteString& ModuleProgram::programList(int channel) {
  return programLists_[channelIndex(channel)];
}
const ByteString& ModuleProgram::noteList(int channel) const {
  return noteLists_[channelIndex(channel)];
}
const ByteString& ModuleProgram::controllerList(int channel) const {
  return controllerLists_[channelIndex(channel)];
}
const ByteString& ModuleProgram::programList(int channel) const {
  return programLists_[channelIndex(channel)];
}

std::uint16_t ModuleProgram::noteDispatchAddress(int channel) const {
  return noteAddresses_[channelIndex(channel)];
}
std::uint16_t ModuleProgram::controllerDispatchAddress(int channel) const {
  return controllerAddresses_[channelIndex(channel)];
}
std::uint16_t ModuleProgram::programDispatchAddress(int channel) const {
  return programAddresses_[channelIndex(channel)];
}

void ModuleProgram::addTranslatePair(int offByte, int onByte) {
  translateTable_.push_back(static_cast<std::uint8_t>(offByte & 0xFF));
  translateTable_.push_back(static_cast<std::uint8_t>(onByte & 0xFF));
}

void ModuleProgram::rememberNoteInBit(int channel, int note, int byteAddress, int bitNumber) {
  ByteString& list = noteList(channel);
  if (list.size() >= RecordBytes) {
    std::uint8_t* last = list.data() + list.size() - RecordBytes;
    if (last[0] == SFmn2bits && last[1] == RecordBytes) {
      int low = last[2], high = last[3], source = last[4];
      if (note == high + 1 && (note - low) / 8 + source == byteAddress &&
          (note - low) % 8 == bitNumber) {
        last[3] = static_cast<std::uint8_t>(note);
        return;
      }
    } else if (last[0] == SFmn2bit && last[1] == RecordBytes) {
      int previousNote = last[2], offset = last[3], mask = last[4];
      // A record for note n in bit 0 continued by note n + 1 in bit 1 of the same byte.
      if (note == previousNote + 1 && offset == byteAddress && bitNumber == 1 && mask == 1) {
        last[0] = SFmn2bits;
        last[3] = static_cast<std::uint8_t>(note);
        last[4] = static_cast<std::uint8_t>(offset);
        return;
      }
    }
  }
  appendRecord(list, SFmn2bit, {note, byteAddress, 1 << bitNumber});
}

int ModuleProgram::emitForwardBranch(ByteString& list, RecordCode shortCode,
                                     RecordCode longCode) {
  list.push_back(shortCode);
  list.push_back(longCode);
  return static_cast<int>(list.size()) - 1;
}

bool ModuleProgram::patchForwardBranch(ByteString& list, int position) {
  if (position < 1 || static_cast<std::size_t>(position) >= list.size())
    throw ProgramBug{"module_program: branch position"};
  const auto p = static_cast<std::size_t>(position);
  // Distance from the branch op (at position - 1) to the current end.
  int distance = static_cast<int>(list.size()) + 1 - position;
  if (distance < ShortBranchLimit) {
    list[p] = static_cast<std::uint8_t>(distance);
    return false;
  }
  // The 3-byte jump is one byte longer, so it has one byte further to go. Its 16 bits
  // suffice: every list is part of the image, and an image longer than its module's
  // program area, which lies below 0x10000, is refused by the program size check.
  int jump = distance + 1;
  list[p - 1] = list[p];
  list[p] = static_cast<std::uint8_t>(jump >> 8);
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(p) + 1,
              static_cast<std::uint8_t>(jump & 0xFF));
  return true;
}

void ModuleProgram::writeAddress(std::size_t offset, std::uint32_t address) {
  auto high = static_cast<std::uint8_t>((address >> 8) & 0xFF);
  auto low = static_cast<std::uint8_t>(address & 0xFF);
  bool lowFirst = module_->typeLetter() == 'C';
  image_[offset] = lowFirst ? low : high;
  image_[offset + 1] = lowFirst ? high : low;
}

void ModuleProgram::placeDispatchLists(const ChannelLists& lists, ChannelAddresses& addresses,
                                       int tableOffset) {
  const auto loadAddress = static_cast<std::uint32_t>(module_->loadAddress());
  for (std::size_t channel = 0; channel < lists.size(); ++channel) {
    addresses[channel] = NoDispatchList;
    if (lists[channel].empty()) continue;
    // Fits 16 bits whenever the image fits its program area (see patchForwardBranch).
    std::uint32_t address = loadAddress + static_cast<std::uint32_t>(image_.size());
    addresses[channel] = static_cast<std::uint16_t>(address);
    appendBytes(image_, lists[channel]);
    image_.push_back(SEnd);
    writeAddress(static_cast<std::size_t>(tableOffset) + 2 * channel, address);
  }
}

void ModuleProgram::buildImage() {
  // Fails before anything is replaced when the module's type is unknown.
  const auto loadAddress = static_cast<std::uint32_t>(module_->loadAddress());
  image_.assign(3 * DispatchTableSize, 0xFF);
  image_.insert(image_.end(), truncation.begin(), truncation.end());
  image_.push_back(0);  // translate table pointer, written below when there is a table
  image_.push_back(0);
  // Each fits its byte in a program that compiles without errors: piston size and bytes
  // follow from at most 128 tabs (or 16 chain bytes), the mag time is checked, the piston
  // memories are checked where they are counted, memory banks end at 128 (the highest
  // memory select value is 127; none is stored as 0xFF), the bank byte is a work byte, and a chain of more than
  // 16 bytes is refused.
  for (int value : {pistonSize, pistonBytes, magTime, pistons, memBanks - 1, bankByte,
                    pbusSize, pbusInterval})
    image_.push_back(static_cast<std::uint8_t>(value & 0xFF));
  appendBytes(image_, mainList_);

  placeDispatchLists(noteLists_, noteAddresses_, 0);
  placeDispatchLists(controllerLists_, controllerAddresses_, DispatchTableSize);
  placeDispatchLists(programLists_, programAddresses_, 2 * DispatchTableSize);

  if (!translateTable_.empty()) {
    writeAddress(TranslatePointerOffset, loadAddress + static_cast<std::uint32_t>(image_.size()));
    while (translateTable_.size() % TranslateAlignment != 0) translateTable_.push_back(0);
    appendBytes(image_, translateTable_);
  }
}

}  // namespace plenum
