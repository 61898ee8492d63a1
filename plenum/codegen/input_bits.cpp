#include "plenum/codegen/input_bits.h"

#include <algorithm>
#include <cstdio>

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/configuration.h"
#include "plenum/model/input_boards.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int ProgramChangeFlag = 0x40;
constexpr int InvertFlag = 0x80;
constexpr int AlternateActionFlag = 0x10;
constexpr int AlternateBoardBits = 64;
constexpr int InputBitUse = UseInputs | UseRelays;

// The board facts an input declaration is generated against.
struct BoardView {
  int bitCount;
  int kind;
  int source;  // work-memory address of the board's first input byte
  bool invert;
  NvPbusMod& module;
};

BoardView viewOf(PbusDev* board) {
  if (!board || !board->module) throw ProgramBug{"input_bits: board"};
  auto* input = dynamic_cast<PbusInputDev*>(board);
  return BoardView{board->inputBitCount(), board->boardKind(), board->inputOffset,
                   input && input->invert, *board->module};
}

// 1 << bit for a bit of a byte; a bit outside the byte (from an input number that was
// reported already) gives no mask rather than undefined arithmetic.
int bitMask(int bit) { return bit >= 0 && bit < 8 ? 1 << bit : 0; }
int maskFrom(int bit) { return bit >= 0 && bit < 8 ? (0xFF << bit) & 0xFF : 0; }
int maskUpTo(int bit) { return bit >= 0 && bit < 8 ? 0xFF >> (7 - bit) : 0; }

void reportPreviousUse(Element& statement, Element* taker, const char* message,
                       const char* previous) {
  if (!taker) return;
  reportAt(statement, "%s", message);
  reportAt(*taker, "%s", previous);
}

// A note claimed for a single input; count 1.
void claimOneNote(ModMidiFunction& statement, const char* previous) {
  reportPreviousUse(statement, claimNotes(statement.channel, statement.number, statement, 1),
                    "This MIDI note has already been used", previous);
}

void checkNoteAndChannel(ModMidiFunction& statement) {
  if (statement.number == ModMidiFunction::NumberNotSet) {
    reportAt(statement, "midi_note not defined");
    statement.number = 0;
  }
  if (statement.channel == -1) reportAt(statement, "midi_channel not defined");
}

// An input bit's own checks: its bit on the board, then its note and channel.
void checkBitNoteAndChannel(ModInputBit& statement, int bitCount) {
  if (statement.bit == -1)
    reportAt(statement, "bit not defined");
  else if (statement.bit < 1 || statement.bit > bitCount)
    reportAt(statement, "bit not in range 1 to %d", bitCount);
  checkNoteAndChannel(statement);
}

// The combination action's set and map buttons throttle what they send.
bool isSetOrMapInput(const ModInputBit& bit) {
  const Configuration* configuration = context().currentConfiguration;
  const CombinationAction* action = configuration ? configuration->combinationAction() : nullptr;
  return action && (action->setBit == &bit || action->mapBit == &bit);
}

// The last record of the main list when it is an SFinAlt2note: its bytes from the code.
std::uint8_t* lastAltNoteRecord(ByteString& list) {
  constexpr std::size_t Length = 7;
  if (list.size() < Length) return nullptr;
  std::uint8_t* record = list.data() + list.size() - Length;
  return record[0] == SFinAlt2note && record[1] == Length ? record : nullptr;
}
}  // namespace

void ModInputBit::setBit(int value) {
  if (bit != -1) reportHere("Bit already set for this item");
  bit = value;
}

void ModInputBit::printLine(bool indent, const char* title) const {
  std::printf("%s%s: bit %3d, MidiChannel %2d, MidiNote %3d", indent ? "    " : "", title, bit,
              channel, number);
  if (identifier) std::printf(", Name: %s", identifier->name.c_str());
  std::printf("\n");
}

void ModInputBit::print(bool indent) const { printLine(indent, "InputBit"); }

void ModInputBit::generate(ModuleProgram& program, PbusDev* board) {
  BoardView view = viewOf(board);
  checkBitNoteAndChannel(*this, view.bitCount);

  if (programChange) {
    if (claimProgramChanges(channel, number, *this, 1))
      reportAt(*this, "This program change message has already been used");
  } else {
    claimOneNote(*this, "\t(location of previous use)");
  }

  int flags = programChange ? ProgramChangeFlag : 0;
  if (view.kind == PlainBoard) {
    if (view.invert != invert) flags += InvertFlag;
    RecordCode code = isSetOrMapInput(*this) ? SFinbit2noteSet : SFinbit2note;
    appendRecord(program.mainList(), code,
                 {(bit - 1) / 8 + view.source, number, channel + flags, bitMask((bit - 1) % 8)});
  } else {
    if (invert) flags += InvertFlag;
    int inputBit = (bit - 1) % AlternateBoardBits;
    int noteOffset = (number - inputBit) & 0xFF;
    int channelByte = (channel + flags) & 0xFF;
    // Consecutive inputs sending consecutive notes share one record.
    std::uint8_t* last = lastAltNoteRecord(program.mainList());
    if (last && last[2] == (view.source & 0xFF) && last[4] + 1 == inputBit &&
        last[5] == noteOffset && last[6] == channelByte) {
      last[4] = static_cast<std::uint8_t>(inputBit);
    } else {
      appendRecord(program.mainList(), SFinAlt2note,
                   {view.source, inputBit, inputBit, noteOffset, channelByte});
    }
  }
  view.module.markFunctionUse(InputBitUse);
}

void ModAltInputBit::print(bool indent) const { printLine(indent, "Alternate InputBit"); }

void ModAltInputBit::generate(ModuleProgram& program, PbusDev* board) {
  BoardView view = viewOf(board);
  checkBitNoteAndChannel(*this, view.bitCount);
  if (programChange) reportAt(*this, "Program change cannot be used with alternate action");
  claimOneNote(*this, "\t(Location of previous use)");
  if (invert) reportAt(*this, "The *INVERT keyword is not applicable here");

  int state = view.module.allocBit();  // the toggled state of the input
  if (view.kind != PlainBoard) {
    appendRecord(program.mainList(), SFinAlt2altAction,
                 {view.source, (bit - 1) % AlternateBoardBits, state / 8, bitMask(state % 8),
                  number, channel});
  } else {
    appendRecord(program.mainList(), SFinbit2note,
                 {(bit - 1) / 8 + view.source, number, channel + AlternateActionFlag,
                  bitMask((bit - 1) % 8), state / 8, bitMask(state % 8)});
  }
  view.module.markFunctionUse(InputBitUse);
}

void ModInputKbd::setBits(int first, int bitCount) {
  if (bitCount < 1 || bitCount > 127) reportHere("Count not in range 1 to 127");
  // Summed wide: the numbers come straight from the file.
  if (static_cast<long long>(first) + bitCount > 128) reportHere("Final bit (begin+count) > 128");
  if (firstBit != -1) reportHere("Bits or Notes already set for this item");
  firstBit = first;
  count = bitCount;
  extension = bitCount;
}

void ModInputKbd::setBits(int first, int bitCount, int extensionCount) {
  setBits(first, bitCount);
  if (extensionCount < 0) reportHere("Division extension must be positive");
  if (extensionCount < bitCount) reportHere("Division extension must be as large as division");
  if (static_cast<long long>(first) + extensionCount > 128)
    reportHere("Final bit (begin+extension) > 128");
  extension = extensionCount;
}

void ModInputKbd::finish() {
  if (count == -1 || number == NumberNotSet) {
    reportAt(*this, "*MIDI_NOTES not defined for *DIVISION");
    firstBit = 1;
    count = 1;
  }
  if (channel == -1) {
    reportAt(*this, "*MIDI_CHANNEL not defined for *DIVISION");
    channel = 0;
  }
}

void ModInputKbd::print(bool indent) const {
  std::printf("%sDivision: Bits =%3d,%3d; Chan =%3d, Offset =%3d", indent ? "    " : "",
              firstBit, count, channel, number);
  if (identifier) std::printf(", Name: %s", identifier->name.c_str());
  std::printf("\n");
}

void ModInputKbd::generate(ModuleProgram& program, PbusDev* board) {
  BoardView view = viewOf(board);
  const int f = firstBit;
  const int n = count;
  if (f == -1)
    reportAt(*this, "Begin bit not defined");
  else if (f == 0 || f > view.bitCount)
    reportAt(*this, "First bit must be in range 1 to %d", view.bitCount);
  if (n == -1) reportAt(*this, "bit count not defined");
  checkNoteAndChannel(*this);
  reportPreviousUse(*this, claimNotes(channel, number, *this, n),
                    "One or more of these MIDI notes have already been used",
                    "\t(Location of previous use)");

  if (view.kind == PlainBoard) {
    int firstByte = (f - 1) / 8;
    int lastByte = (f + n - 2) / 8;
    int imask = maskFrom((f - 1) % 8);
    int fmask = maskUpTo((f + n - 2) % 8);
    if (firstByte == lastByte) imask &= fmask;
    appendRecord(program.mainList(), SFin2note,
                 {firstByte + view.source, (f + n + 6) / 8 - firstByte - 1,
                  (number - (f - 1) % 8) & 0xFF, channel + (view.invert ? InvertFlag : 0), imask,
                  fmask});
  } else {
    int minBit = (f - 1) % AlternateBoardBits;
    int maxBit = minBit + n - 1;
    // The alternate records address 64 inputs; notes beyond them would be lost.
    if (maxBit > AlternateBoardBits - 1) {
      reportAt(*this, "Division runs past input %d of the board", AlternateBoardBits);
      maxBit = AlternateBoardBits - 1;
    }
    appendRecord(program.mainList(), SFinAlt2note,
                 {view.source, minBit, maxBit, (number - minBit) & 0xFF, channel});
  }
  view.module.markFunctionUse(InputBitUse);
}

AllenStopCmd::AllenStopCmd(SourceLocation where, int allenChannelWritten, int c99, int c98,
                           int noteChannel, int note)
    : ModInputBit(std::move(where)),
      allenChannel(allenChannelWritten - 1),
      controller99Value(c99),
      controller98Value(c98) {
  if (allenChannelWritten < 1 || allenChannelWritten > MidiClaims::Channels)
    reportHere("The channel number must be between 1 and 16");
  if (c99 < 0 || c99 > 127) reportHere("The controller 99 value must be between 0 and 127");
  if (c98 < 0 || c98 > 127) reportHere("The controller 98 value must be between 0 and 127");
  channel = noteChannel;
  number = note;
  claimOneNote(*this, "\t(location of previous use)");
}

void AllenStopCmd::print(bool indent) const {
  std::printf("%s*allen_stop\n", indent ? "    " : "");
}

namespace {
// The controller item named by a canonical controller literal, made on first use.
ModInControl& allenController(const AllenStopCmd& statement, int controllerNumber) {
  std::string name = formatText("C%dC%d", statement.allenChannel + 1, controllerNumber);
  IdentifierRecord* record = lookupIdentifier(name);
  if (!record->element) {
    auto* controller = keepLoose(std::make_unique<ModInControl>(statement.location));
    controller->setFromLiteral(name);
    controller->bindName(record, BindOnly);
    record->element = controller;
  }
  auto* controller = dynamic_cast<ModInControl*>(record->element);
  if (!controller) throw ProgramBug{"input_bits: allen controller"};
  return *controller;
}

int controllerAddress(ModuleProgram& program, NvPbusMod& module, const ModInControl& item) {
  int own = item.getModule() == &module ? item.valueByte : -1;
  return module.remoteControllerAddress(program, item, item.channel, item.controller, own);
}
}  // namespace

void AllenStopCmd::generateInModule(ModuleProgram& program, NvPbusMod& module) {
  // A channel out of range was reported when the statement was read; it has no list.
  if (allenChannel < 0 || allenChannel >= MidiClaims::Channels) return;
  ModInControl& select98 = allenController(*this, 98);
  ModInControl& select99 = allenController(*this, 99);
  allenController(*this, 6);  // the data entry controller, named for expressions
  int location99 = controllerAddress(program, module, select99);
  int location98 = controllerAddress(program, module, select98);
  appendRecord(program.controllerList(allenChannel), SallenTranslate,
               {controller99Value, controller98Value, channel, number, location99, location98});
}

}  // namespace plenum
