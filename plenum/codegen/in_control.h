#pragma once
// Controller inputs: a MIDI control change whose value comes from one analog input, a
// one-of-n group of switches, switches read as a binary number, or an expression. Written
// under an input board, or directly in the module for the module's own four analog pins
// (where a program-change sender may stand as well).
//
// The same class is the controller item that names a channel and controller without
// sending anything: an external *CONTROL declaration, a controller literal used as a
// name (C1C7), and the controllers the Allen stop translation listens to.

#include <memory>
#include <string>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/midi_items.h"

namespace plenum {

class ModInControl : public ModMidiFunction {
 public:
  // Where the value comes from.
  enum Source : int { NoSource = 0, SingleBit = 1, OneOfN = 2, Binary = 3, Computed = 4 };
  // The controller number of a program-change sender.
  static constexpr int ProgramChangeController = 128;

  using ModMidiFunction::ModMidiFunction;

  void print(bool indent) const override;
  // Under a board: the input board records.
  void generate(ModuleProgram& program, PbusDev* board) override;
  // In the module: the module's own analog pins, or a computed value.
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  // *MIDI_CONTROLLER.
  void setController(int value) { setControllerNumber(value, controller); }
  // A controller literal (C1C7) used as a name or after *CONTROL.
  void setFromLiteral(const std::string& text) { setFromControllerLiteral(text, controller); }

  // The value sources; each reports a source given before it.
  void setBit(int value);
  void setOneOfN(int first, int inputCount);
  void setBinary(int first, int inputCount);
  void setExpression(Exp* value);
  // *RANGE = min, max: the values sent.
  virtual void setRange(int low, int high);

  int controller = -1;  // 0 to 127, or ProgramChangeController
  int bit = -1;         // the input, or the first input of a group; 1-based
  int count = -1;       // inputs of a one-of-n or binary group
  int minimum = 0;
  int maximum = 127;
  bool rangeSet = false;
  std::unique_ptr<Exp> expression;
  int source = NoSource;
  int valueByte = -1;  // work byte holding the value in its own module, once generated

 protected:
  // "Controller: ..." and the source and range lines.
  void printController(bool indent) const;
  // The board records by source; false when the statement stopped.
  bool generateFromBoard(ModuleProgram& program, PbusDev& board);
};

// *SEND_PROGRAM_CHANGE: a module analog pin that sends program changes.
class ModApc : public ModInControl {
 public:
  explicit ModApc(SourceLocation where);
};

}  // namespace plenum
