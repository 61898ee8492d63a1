#pragma once
// *SEND_NOTE = name (expression): sends a note (or a program change) whenever the
// expression changes between false and true.

#include <memory>

#include "plenum/codegen/expressions.h"
#include "plenum/codegen/midi_items.h"

namespace plenum {

class ModNoteCmd : public ModMidiFunction {
 public:
  // Defines name (mode 1).
  ModNoteCmd(SourceLocation where, IdentifierRecord* name, Exp* condition);

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  // *PROGRAM_CHANGE.
  void setProgramChange(int program) { setProgramChangeNumber(program, programChange); }
  // *INVERT: the program change is sent when the expression turns false.
  void setInvert() { invert = true; }

  bool programChange = false;
  bool invert = false;
  std::unique_ptr<Exp> expression;
  int workBit = -1;
};

}  // namespace plenum
