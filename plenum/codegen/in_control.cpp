#include "plenum/codegen/in_control.h"

#include <cstdio>

#include "plenum/codegen/bit_masks.h"
#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/input_boards.h"
#include "plenum/model/nv_mod.h"
#include "plenum/runtime/exits.h"

namespace plenum {

namespace {
constexpr int HighestBitSetting = 64;
constexpr int HighestOneOfNCount = 127;
constexpr int HighestBinaryCount = 7;
constexpr int InvertFlag = 0x80;
constexpr int FirstKx64AnalogBit = 57;
constexpr int LastKx64AnalogBit = 64;
constexpr int Kx64AnalogCommand = 103;    // added to the input number on a KX-64 board
constexpr int AnalogBoardCommand = 127;   // added to the input number in analog mode
constexpr int ModulePins = 4;
constexpr unsigned ComputedUse = UseInputs;
constexpr unsigned InputUse = UseInputs | UseRelays;
// Beyond this a group's numbers have been reported and no record is worth the arithmetic.
constexpr int LargestGroupNumber = 4096;

bool usableGroup(int first, int inputCount) {
  return first >= 1 && first <= LargestGroupNumber && inputCount >= 1 &&
         inputCount <= LargestGroupNumber;
}

bool sourceGiven(int source) { return source != ModInControl::NoSource; }
}  // namespace

void ModInControl::setBit(int value) {
  if (value < 1 || value > HighestBitSetting) reportHere("bit not in range 1 to 64");
  if (bit != -1) reportHere("Bit already set for this item");
  if (sourceGiven(source)) reportHere("Bit definition conflicts with earlier definition");
  bit = value;
  source = SingleBit;
}

void ModInControl::setOneOfN(int first, int inputCount) {
  if (inputCount < 1 || inputCount > HighestOneOfNCount) reportHere("count not in range 1 to 127");
  if (sourceGiven(source)) reportHere("one_of_n definition conflicts with earlier definition");
  bit = first;
  count = inputCount;
  source = OneOfN;
  if (!rangeSet) maximum = inputCount - 1;
}

void ModInControl::setBinary(int first, int inputCount) {
  if (inputCount < 1 || inputCount > HighestBinaryCount) reportHere("count not in range 1 to 7");
  if (sourceGiven(source)) reportHere("binary definition conflicts with earlier definition");
  bit = first;
  count = inputCount;
  source = Binary;
  if (!rangeSet) maximum = binaryTop(inputCount);
}

void ModInControl::setExpression(Exp* value) {
  std::unique_ptr<Exp> owned(value);
  if (sourceGiven(source)) reportHere("(expression) conflicts with earlier definition");
  expression = std::move(owned);
  source = Computed;
}

void ModInControl::setRange(int low, int high) {
  if (low < 0) reportHere("Minimum value must not be negative");
  if (high > 127) reportHere("Maximum value must be less than 128");
  if (low >= high) reportHere("Minimum value must be less than maximum value");
  minimum = low;
  maximum = high;
  rangeSet = true;
}

void ModInControl::printController(bool indent) const {
  std::printf("%sController: Chan = %d, Controller = %d\n", indent ? "    " : "", channel,
              controller);
  switch (source) {
    case SingleBit:
      std::printf("\tBased on bit %d of the Norvo module\n", bit);
      break;
    case OneOfN:
    case Binary:
      std::printf("\tBased on %d bits starting at %d\n", count, bit);
      break;
    case Computed:
      std::printf("\tComputed by: ");
      if (expression) expression->print();
      std::printf("\n");
      break;
    default:
      std::printf("Bug\n");
      break;
  }
  if (rangeSet) std::printf("\tMinimum value: %d  Maximum value: %d\n", minimum, maximum);
}

void ModInControl::print(bool indent) const { printController(indent); }

void ModInControl::generate(ModuleProgram& program, PbusDev* board) {
  if (!board || !board->module) throw ProgramBug{"in_control: board"};
  if (controller == -1) reportAt(*this, "midi_controller not defined");
  if (channel == -1) reportAt(*this, "midi_channel not defined");
  if (controller == ProgramChangeController)
    reportAt(*this, "Invalid location for Program Change");
  else if (channel != -1 && controller != -1 && claimControllers(channel, controller, *this, 1))
    reportAt(*this, "This contoller has already been used");
  if (!generateFromBoard(program, *board)) return;
  board->module->markFunctionUse(source == Computed ? ComputedUse : InputUse);
}

bool ModInControl::generateFromBoard(ModuleProgram& program, PbusDev& board) {
  NvPbusMod& home = *board.module;
  ByteString& main = program.mainList();
  const int f = bit;
  const int n = count;
  const int range = maximum - minimum;
  const int kind = board.boardKind();
  const int bitCount = board.inputBitCount();
  auto* inputBoard = dynamic_cast<PbusInputDev*>(&board);
  const int channelByte = channel + (inputBoard && inputBoard->invert ? InvertFlag : 0);
  auto checkFirstInput = [&] {
    if (f < 1 || f > bitCount) reportAt(*this, "bit not in range 1 to %d", bitCount);
  };

  switch (source) {
    case NoSource:
      reportAt(*this, "The source of the controller has not been defined");
      return false;
    case SingleBit: {
      int command;
      if (kind == Kx64Board) {
        if (f < FirstKx64AnalogBit || f > LastKx64AnalogBit)
          reportAt(*this, "Bit must be between 57 and 64, inclusive");
        board.markAnalogBit(f);
        command = f + Kx64AnalogCommand;
      } else if (kind == Kx64AnalogBoard) {
        if (f < 1 || f > HighestBitSetting) reportAt(*this, "Bit must be between 1 and 64, inclusive");
        command = f + AnalogBoardCommand;
      } else {
        reportAt(*this, "KX64 is required for this feature");
        return false;
      }
      valueByte = home.allocBytes(1, 0);
      appendRecord(main, SFinAlt2contr,
                   {board.inputOffset, command, valueByte, controller, channel, minimum, range});
      return true;
    }
    case OneOfN:
      checkFirstInput();
      if (!usableGroup(f, n)) return false;
      if (kind != PlainBoard) {
        appendRecord(main, SFa1ofnBits2contr,
                     {board.inputOffset, f - 1, f + n - 2, channel, controller, n - 1, range,
                      minimum});
        return true;
      }
      appendRecord(main, SF1ofnBits2contr,
                   {floorDiv(f - 1, 8) + board.inputOffset,
                    floorDiv(f + n + 6, 8) - floorDiv(f - 1, 8) - 1, maskFrom(floorMod(f - 1, 8)),
                    maskUpTo(floorMod(f + n - 2, 8)), -floorMod(f - 1, 8), channelByte,
                    controller, n - 1, range, minimum});
      return true;
    case Binary:
      checkFirstInput();
      if (!usableGroup(f, n)) return false;
      valueByte = home.allocBytes(1, 0);
      if (kind != PlainBoard) {
        appendRecord(main, SFabits2contr,
                     {board.inputOffset, valueByte, f - 1, f + n - 2, channel, controller,
                      binaryTop(n), range, minimum});
        return true;
      }
      // The group is read from the byte before its first input's byte when that input
      // starts a byte; the shift brings the first input to bit 8 of the pair.
      appendRecord(main, SFbits2contr,
                   {floorDiv(f - 1, 8) - (floorMod(f, 8) == 1 ? 1 : 0) + board.inputOffset,
                    valueByte, bitMask(floorMod(1 - f, 8)), channelByte, controller,
                    binaryTop(n), range, minimum});
      return true;
    case Computed:
      expression->generate(main, home);
      valueByte = home.allocBytes(1, 0);
      appendRecord(main, SFx2contr, {valueByte, channel, controller});
      return true;
    default:
      throw ProgramBug{"data:1278"};
  }
}

void ModInControl::generateInModule(ModuleProgram& program, NvPbusMod& owner) {
  if (controller != ProgramChangeController) {
    if (controller == -1)
      reportAt(*this, "midi_controller not defined");
    else if (channel != -1 && claimControllers(channel, controller, *this, 1))
      reportAt(*this, "This controller has already been used");
  }
  if (channel == -1) reportAt(*this, "midi_channel not defined");

  ByteString& main = program.mainList();
  if (source == SingleBit) {
    if (bit == -1)
      reportAt(*this, "bit not defined");
    else if (bit < 1 || bit > ModulePins)
      reportAt(*this, "Bit must be between 1 and 4, inclusive");
    // The pin's raw reading, then the value sent.
    int work = owner.allocBytes(2, 0);
    valueByte = work + 1;
    appendRecord(main, SFpin2contr,
                 {bit - 1, work, controller, channel, minimum, maximum - minimum});
  } else if (source == Computed) {
    expression->generate(main, owner);
    valueByte = owner.allocBytes(1, 0);
    appendRecord(main, SFx2contr, {valueByte, channel, controller});
  } else {
    reportAt(*this, "Did you forget *BIT= ?");
  }
}

ModApc::ModApc(SourceLocation where) : ModInControl(std::move(where)) {
  controller = ProgramChangeController;
}

}  // namespace plenum
