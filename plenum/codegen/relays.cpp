#include "plenum/codegen/relays.h"

#include <algorithm>
#include <cstdio>

#include <vector>

#include "plenum/codegen/bit_masks.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/module_program.h"
#include "plenum/codegen/output_rank.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int RelayTruncationMask = 0x3F;
constexpr int DefaultVelocity = 0x7F;
constexpr int ComputedVelocity = 0;
constexpr unsigned MelodyRankUse = UseOutputs | UseRelays;

// Remainder 0 to 7, also for negative numbers.
int mod8(int value) { return ((value % 8) + 8) % 8; }

// The mask of the last byte of a run whose last element is at index last (0-based).
int finalMask(int last) { return maskUpTo(mod8(last)); }

int byteCountOf(int notes) { return (notes + 7) / 8 - 1; }

// The rank's bits that a division with offset o reaches: the first output byte and the
// factor that shifts the division's bits onto it.
// These were written as 1025 and 1031: 1 and 7 plus 1024, a multiple of 8 that only kept the
// remainder non-negative. mod8 is non-negative by itself, so only the 1 and the 7 count.
constexpr int RankShiftBase = 1;
constexpr int RankStraddleBase = 7;

int rankShift(int offset, int firstBit) {
  return bitMask(mod8(RankShiftBase - offset - firstBit));
}

int rankOutputByte(int offset, int firstBit, int boardOffset) {
  int out = (firstBit - 1 + std::max(offset, 0)) / 8 + boardOffset;
  if (mod8(firstBit - 1 + offset) == 0) out -= 1;
  if (offset < 0 && mod8(-offset) + mod8(firstBit + RankStraddleBase + offset) > 7) out -= 1;
  return out;
}

// The first byte mask of a rank record: a negative offset skips the low bits.
int rankInitialMask(int offset) { return offset < 0 ? maskFrom(mod8(-offset)) : 0xFF; }

// The last index of the division that still lands on the rank.
int rankLastNote(int offset, int divisionCount, int rankCount) {
  int beyond = offset + divisionCount - rankCount;
  return divisionCount - 1 - std::max(beyond, 0);
}

int skippedBytes(int offset) { return offset < 0 ? -offset / 8 : 0; }

// Values the setters have reported as out of range are kept by them; generation leaves
// such a relay out rather than compute with them.
constexpr int OffsetLimit = 126;
bool isMidiNote(int note) { return note >= 0 && note <= 127; }
bool fitsChain(int value) { return value >= 0 && value <= OutputChainBits; }
}  // namespace

void ModRelay::setDivision(IdentifierRecord* name) {
  if (!name->element) {
    reportAt(*this, "Division identifier '%s' not defined", name->name.c_str());
    return;
  }
  if (division) {
    reportAt(*this, "Division already set for this Relay");
    return;
  }
  auto* named = dynamic_cast<ModInputKbd*>(name->element);
  if (!named) {
    reportAt(*this, "Division ID '%s' doesn't name a division!", name->name.c_str());
    return;
  }
  division = named;
}

void ModRelay::setRank(IdentifierRecord* name) {
  hasRank = true;
  if (!name->element) {
    reportAt(*this, "Identifier '%s' not defined", name->name.c_str());
    return;
  }
  if (rank) {
    reportAt(*this, "Rank already set for this Relay");
    return;
  }
  auto* named = dynamic_cast<ModOutputRank*>(name->element);
  if (!named) {
    reportAt(*this, "Not a rank!");
    return;
  }
  rank = named;
}

void ModRelay::setRank(IdentifierRecord* name, int first, int last) {
  setRank(name);
  if (first < 1) {
    reportAt(*this, "The first note must be at least one");
    first = 1;
  }
  if (first > last) {
    reportAt(*this, "The first note can't be greater than the last note");
    first = 1;
    if (last < 1) last = 1;
  }
  if (rank && last > rank->count) {
    reportAt(*this, "The last note can't be greater than the number of notes in the rank");
    last = rank->count;
  }
  rankFirst = first;
  rankLast = last;
}

void ModRelay::addTab(IdentifierRecord* name, bool on) {
  if (!name->element) {
    reportAt(*this, "Tab identifier not defined");
    return;
  }
  auto* input = dynamic_cast<ModInputBit*>(name->element);
  if (!input) {
    reportAt(*this, "Tab ID is not an input bit!");
    return;
  }
  if (input->programChange) reportAt(*this, "Tabs may not be program change messages");
  tabs.push_back({input, on});
}

void ModRelay::print(bool) const {
  if (hasRank)
    std::printf("    %s: ", kindName());
  else
    std::printf("    %s: Chan = %d, Offset = %d\n", kindName(), channel, number);
  std::printf("      ");
  if (division)
    division->print(false);
  else
    std::printf("division: Missing\n");
  for (const Tab& tab : tabs) {
    std::printf("      tab: %s", tab.on ? "" : "NOT ");
    tab.input->print(false);
  }
  if (condition) {
    std::printf("      exp: ");
    condition->print(stdout);
    std::printf("\n");
  }
}

void ModRelay::generate(ModuleProgram& program, PbusDev* board) {
  if (!board || !board->module) throw ProgramBug{"relays: board"};
  NvPbusMod& module = *board->module;
  if (!division) {
    reportAt(*this, "Division not defined");
    return;
  }
  if (number == NumberNotSet) number = 0;
  if (number < -OffsetLimit || number > OffsetLimit) return;
  DivisionNotes notes{};
  if (!divisionNotes(notes)) return;
  if (velocity && !velocityApplies())
    reportAt(*this, "*Velocity is not applicable to this type of relay");
  notes.bitmap = module.noteStateBytes(program, division->channel, notes.first,
                                       notes.first + notes.count - 1);

  if (condition && condition->isConstant() && condition->constantValue() == 0) return;
  bool alwaysTrue = condition && condition->isConstant();
  bool asPairs = condition && !alwaysTrue && condition->isSimpleAnd();
  ByteString& main = program.mainList();
  int branch = -1;
  if (condition && !alwaysTrue && !asPairs) {
    condition->generate(main, module);
    branch = ModuleProgram::emitForwardBranch(main, Sbf, Sjf);
  }
  if (velocity && !velocity->isConstant()) velocity->generate(main, module);
  ByteString conditionPairs;
  if (asPairs) condition->simpleAnd(conditionPairs, program, module);
  emitRecord(program, module, notes, conditionPairs);
  if (branch >= 0) ModuleProgram::patchForwardBranch(main, branch);
}

void ModRelay::reportMissingChannel() const {
  reportAt(*division, "Division *MIDI_CHANNEL not defined");
}

bool ModRelay::divisionNotes(DivisionNotes& notes) {
  bool playable = true;
  if (division->channel == -1) {
    reportMissingChannel();
    playable = false;
  }
  if (division->number == NumberNotSet) {
    reportAt(*division, "Division *MIDI_NOTES not defined");
    playable = false;
  }
  notes.first = division->number;
  notes.count = division->extension;
  // A channel, note or extension out of range has been reported by the setters.
  return playable && division->channel >= 0 && division->channel < MidiChannels &&
         isMidiNote(notes.first) && notes.count >= 1 && notes.first + notes.count <= 128;
}

void ModRelay::emitRecord(ModuleProgram& program, NvPbusMod& module, const DivisionNotes& notes,
                          const ByteString& conditionPairs) {
  std::vector<int> operands;
  int pairs = 0;
  for (const Tab& tab : tabs) {
    if (tab.input->channel < 0 || tab.input->channel >= MidiChannels) {
      reportAt(*this, "midi_channel not defined");
      continue;
    }
    int bit = module.remoteBitAddress(program, *tab.input, tab.input->channel, tab.input->number);
    int offset = bit / 8;
    // A complemented offset asks for the tab to be off.
    operands.push_back(tab.on ? offset : ~offset);
    operands.push_back(bitMask(mod8(bit)));
    ++pairs;
  }
  for (std::uint8_t byte : conditionPairs) operands.push_back(byte);
  pairs += static_cast<int>(conditionPairs.size() / 2);
  operands.push_back(0);

  ByteString trailer;
  RankBits bits{};
  bool effective = hasRank ? rankBits(module, bits) && rankTrailer(module, notes, bits, trailer)
                           : midiTrailer(module, notes, trailer);
  if (!effective) return;
  for (std::uint8_t byte : trailer) operands.push_back(byte);

  // The length byte counts the code, itself and every operand; a longer record would wrap it.
  const RecordInfo* info = findRecord(recordCode());
  int length = static_cast<int>(operands.size()) + 2;
  if (info && length > info->maxLength) {
    int room = info->maxLength - 3 - static_cast<int>(trailer.size());
    reportAt(*this, "*RELAY has %d tabs and conditions, at most %d fit in one record", pairs,
             room / 2);
    return;
  }
  appendRecord(program.mainList(), recordCode(), operands);
}

int ModRelay::velocityByte() const {
  if (!velocity) return DefaultVelocity;
  if (!velocity->isConstant()) return ComputedVelocity;
  int value = velocity->constantValue();
  if (value < 1 || value > 127) reportAt(*this, "The velocity must be between 1 and 127");
  return value;
}

bool ModRelay::outputNotes(const DivisionNotes& notes, bool cutAtTop, int& count, int& start) {
  if (channel == -1) reportAt(*this, "Either MIDI_CHANNEL or RANK must be defined");
  count = notes.count;
  start = number + notes.first;
  // The record holds the first output note in one byte: below 0 it would become a byte of
  // 0x80 or more, which the MIDI wire takes for a status byte.
  if (!isTrap() && start < 0) {
    reportAt(*this, "*MIDI_OFFSET %d takes the division's first note %d below note 0", number,
             notes.first);
    return false;
  }
  if (cutAtTop && count + start > 128) count = 128 - start;
  if (count < 1) {
    reportAt(*this, "Relay declaration has no effective notes");
    return false;
  }
  return true;
}

void ModRelay::markMidiOutput(NvPbusMod& module) {
  if (channel >= 0 && channel < MidiChannels)
    module.program.truncation[static_cast<std::size_t>(channel)] &= RelayTruncationMask;
  module.hasRelayStatements = true;
}

bool ModRelay::midiTrailer(NvPbusMod& module, const DivisionNotes& notes, ByteString& trailer) {
  int count = 0;
  int start = 0;
  if (!outputNotes(notes, !isTrap(), count, start)) return false;
  int note = isTrap() ? number : start;
  trailer = {static_cast<std::uint8_t>(notes.bitmap), static_cast<std::uint8_t>(byteCountOf(count)),
             0xFF, static_cast<std::uint8_t>(finalMask(count - 1)),
             static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(channel)};
  if (velocityApplies()) trailer.push_back(static_cast<std::uint8_t>(velocityByte()));
  markMidiOutput(module);
  return true;
}

bool ModRelay::rankBits(NvPbusMod& module, RankBits& bits) {
  if (!rank) {
    reportAt(*this, "Rank not defined");
    return false;
  }
  if (rank->getModule() != &module) reportAt(*this, "The rank must be connected to this module!");
  if (rank->firstBit == -1 || rank->count == -1) {
    reportAt(*rank, "Bits not defined");
    return false;
  }
  // A rank beyond the chain has been reported by the rank itself.
  if (!fitsChain(rank->firstBit) || !fitsChain(rank->count)) return false;
  bits.first = rank->firstBit;
  bits.count = rank->count;
  if (rankFirst != 0) {
    bits.first = bits.first - 1 + rankFirst;
    bits.count = rankLast + 1 - rankFirst;
  }
  bits.boardOffset = rank->board ? rank->board->outputOffset : 0;
  return true;
}

bool ModRelay::rankNotes(const DivisionNotes& notes, const RankBits& bits, int& count) {
  int offset = number;
  count = offset >= 0 ? std::min(bits.count - offset, notes.count)
                      : std::min(bits.count, offset + notes.count);
  if (count < 1) {
    reportAt(*this, "Relay declaration has no effective notes");
    return false;
  }
  return true;
}

bool ModRelay::rankTrailer(NvPbusMod&, const DivisionNotes& notes, const RankBits& bits,
                           ByteString& trailer) {
  int offset = number;
  int count = 0;
  if (!rankNotes(notes, bits, count)) return false;
  if (offset < 0) count += mod8(-offset);
  int byteCount = byteCountOf(count);
  int finalByteMask = finalMask(rankLastNote(offset, notes.count, bits.count));
  int initialMask = rankInitialMask(offset);
  if (byteCount == 0) initialMask &= finalByteMask;
  trailer = {static_cast<std::uint8_t>(notes.bitmap + skippedBytes(offset)),
             static_cast<std::uint8_t>(byteCount),
             static_cast<std::uint8_t>(initialMask),
             static_cast<std::uint8_t>(finalByteMask),
             static_cast<std::uint8_t>(rankShift(offset, bits.first)),
             static_cast<std::uint8_t>(rankOutputByte(offset, bits.first, bits.boardOffset))};
  return true;
}

void ModMelodyRelay::reportMissingChannel() const {
  reportAt(*this, "Division MIDI channel not defined");
}

bool ModMelodyRelay::midiTrailer(NvPbusMod& module, const DivisionNotes& notes,
                                 ByteString& trailer) {
  int count = 0;
  int start = 0;
  if (!outputNotes(notes, true, count, start)) return false;
  int byteCount = byteCountOf(count);
  trailer = {static_cast<std::uint8_t>(notes.bitmap + byteCount),
             static_cast<std::uint8_t>(byteCount),
             static_cast<std::uint8_t>(finalMask(count - 1)),
             0xFF,
             static_cast<std::uint8_t>(start + 8 * byteCount),
             static_cast<std::uint8_t>(channel),
             static_cast<std::uint8_t>(velocityByte())};
  module.markFunctionUse(UseRelays);
  markMidiOutput(module);
  return true;
}

bool ModMelodyRelay::rankTrailer(NvPbusMod& module, const DivisionNotes& notes,
                                 const RankBits& bits, ByteString& trailer) {
  int offset = number;
  int count = 0;
  if (!rankNotes(notes, bits, count)) return false;
  int byteCount = byteCountOf(count);
  trailer = {
      static_cast<std::uint8_t>(notes.bitmap + byteCount + skippedBytes(offset)),
      static_cast<std::uint8_t>(byteCount),
      static_cast<std::uint8_t>(finalMask(rankLastNote(offset, notes.count, bits.count))),
      static_cast<std::uint8_t>(rankInitialMask(offset)),
      static_cast<std::uint8_t>(rankShift(offset, bits.first)),
      static_cast<std::uint8_t>(rankOutputByte(offset, bits.first, bits.boardOffset) + byteCount)};
  module.markFunctionUse(MelodyRankUse);
  return true;
}

bool ModTrapRelay::rankTrailer(NvPbusMod&, const DivisionNotes& notes, const RankBits& bits,
                               ByteString& trailer) {
  int rankBit = number;
  if (rankBit == 0) {
    reportAt(*this, "Please specify the bit to use within the rank");
    return false;
  }
  if (rankBit < 0) {
    reportAt(*this, "The bit must be greater than zero");
    return false;
  }
  if (rankBit > bits.count) {
    reportAt(*this, "The bit is beyond the end of the rank");
    return false;
  }
  int chainBit = bits.first - 2 + rankBit;  // 0-based from the rank board's first bit
  trailer = {static_cast<std::uint8_t>(notes.bitmap),
             static_cast<std::uint8_t>(byteCountOf(notes.count)),
             0xFF,
             static_cast<std::uint8_t>(finalMask(notes.count - 1)),
             static_cast<std::uint8_t>(bitFromTop(mod8(chainBit))),
             static_cast<std::uint8_t>(chainBit / 8 + bits.boardOffset)};
  return true;
}

}  // namespace plenum
