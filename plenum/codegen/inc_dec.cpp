#include "plenum/codegen/inc_dec.h"

#include <cstdio>

#include "plenum/codegen/module_program.h"
#include "plenum/language/diagnostics.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"
#include "plenum/runtime/exits.h"

namespace plenum {

ModIncDec::ModIncDec(SourceLocation where) : ModInControl(std::move(where)) {
  minimum = -1;
  maximum = -1;
}

void ModIncDec::setBits(int increment, int decrement) {
  incrementBit = increment;
  decrementBit = decrement;
}

void ModIncDec::setRange(int low, int high) {
  if (high > 127 || low < 0) reportHere("The range values must be between 0 and 127");
  if (low >= high) reportHere("The range minimum must be less than the maximum");
  minimum = low;
  maximum = high;
  rangeSet = true;
}

void ModIncDec::setInitialValue(int value) {
  if (value < 0 || value > 127) reportHere("The initial value must be between 0 and 127");
  initialValue = value;
}

void ModIncDec::print(bool indent) const {
  std::printf("%sIncrement Decrement: ", indent ? "    " : "");
  std::printf("Bits %d %d ", incrementBit, decrementBit);
  std::printf("Range %d %d ", minimum, maximum);
  if (initialValue != -1) std::printf("Init %d\n", initialValue);
  std::printf("\n");
}

void ModIncDec::generate(ModuleProgram& program, PbusDev* board) {
  if (!board || !board->module) throw ProgramBug{"inc_dec: board"};
  const int bitCount = board->inputBitCount();
  auto outside = [bitCount](int input) { return input < 1 || input > bitCount; };
  if (incrementBit == -1)
    reportAt(*this, "Bits not defined");
  else if (outside(incrementBit) || outside(decrementBit))
    reportAt(*this, "bit not in range 1 to %d", bitCount);
  if (minimum == -1) reportAt(*this, "Range not defined");
  if (channel == -1) reportAt(*this, "MIDI_channel not defined");
  // Without a controller the record would send controller 255.
  if (controller == -1) reportAt(*this, "midi_controller not defined");
  if (channel != -1 && controller != -1 && claimControllers(channel, controller, *this, 1))
    reportAt(*this, "This controller has already been used");
  if (board->boardKind() == PlainBoard) {
    reportAt(*this, "Increment-Decrement is only valid for an KX-64 board");
    return;
  }
  int work = board->module->allocBytes(1, 0);
  appendRecord(program.mainList(), SFaltIncDec,
               {board->inputOffset, incrementBit - 1, decrementBit - 1, work, minimum, maximum,
                channel, controller, initialValue});
}

}  // namespace plenum
