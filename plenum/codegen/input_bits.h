#pragma once
// Switch inputs that send MIDI: a single input bit (a note or a program change), an
// alternate-action input (each press toggles a note), a keyboard division (a run of
// inputs sending a run of notes), and the Allen stop translation (a controller 99 / 98
// pair arriving from an Allen organ turned into a note).

#include <string>

#include "plenum/codegen/midi_items.h"

namespace plenum {

class ModInputBit : public ModMidiFunction {
 public:
  using ModMidiFunction::ModMidiFunction;

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;

  // *BIT: the input on the board, 1-based.
  void setBit(int value);
  // *INVERT.
  void setInvert() { invert = true; }
  // *PROGRAM_CHANGE.
  void setProgramChange(int program) { setProgramChangeNumber(program, programChange); }
  // A note or program literal used as the item's name (C1N60, C1P5).
  void setFromLiteral(const std::string& text) { setFromNoteLiteral(text, programChange); }

  int bit = -1;
  bool programChange = false;
  bool invert = false;

 protected:
  // The listing line with its title, the name when there is one, and a line end.
  void printLine(bool indent, const char* title) const;
};

class ModAltInputBit : public ModInputBit {
 public:
  using ModInputBit::ModInputBit;

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;
};

// A keyboard division: inputs firstBit .. firstBit + count - 1 send the notes from
// number on. Also an external division arriving from outside the chain.
class ModInputKbd : public ModMidiFunction {
 public:
  using ModMidiFunction::ModMidiFunction;

  void print(bool indent) const override;
  void generate(ModuleProgram& program, PbusDev* board) override;
  // An external division must have its notes and its channel.
  void finish() override;

  // *BITS = first, count; the extension is the count.
  void setBits(int first, int bitCount);
  // *BITS = first, count, extension: the notes of the division with an extension.
  void setBits(int first, int bitCount, int extensionCount);

  int firstBit = -1;
  int count = -1;
  int extension = -1;
};

// *ALLEN_STOP = name channel c99 c98 note: checked and its note claimed when built.
class AllenStopCmd : public ModInputBit {
 public:
  // allenChannel as written (1 to 16); noteChannel is an index.
  AllenStopCmd(SourceLocation where, int allenChannel, int controller99Value,
               int controller98Value, int noteChannel, int note);

  void print(bool indent) const override;
  void generateInModule(ModuleProgram& program, NvPbusMod& module) override;

  int allenChannel;  // index 0 to 15 of the incoming stop messages
  int controller99Value;
  int controller98Value;
};

}  // namespace plenum
