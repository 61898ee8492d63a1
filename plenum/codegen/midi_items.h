#pragma once
// MIDI items: the channel and note, program change or controller that a function
// statement is bound to, the setters the parser calls for each MIDI keyword, written
// MIDI literals, and the run-wide claims that keep any item from being produced by two
// statements.

#include <memory>
#include <string>

#include "plenum/codegen/mod_function.h"

namespace plenum {

// A function statement bound to a MIDI item. Setters report at the current parse
// position and store the value anyway, so later checks may report again.
class ModMidiFunction : public ModFunction {
 public:
  static constexpr int NumberNotSet = 0xBAD;

  using ModFunction::ModFunction;

  // True for an item from outside the chain, or one whose module comes earlier.
  bool isAvailableIn(int moduleNumber) const override;

  // *MIDI_CHANNEL: the index (the number written minus 1).
  void setChannel(int index);
  // *MIDI_NOTE.
  void setNote(int note);
  // *MIDI_OFFSET and its relatives: -126 to 126.
  void setMidiOffset(int offset);

  int channel = -1;  // index 0 to 15
  int number = NumberNotSet;

 protected:
  // *PROGRAM_CHANGE for the statements that carry a program-change flag.
  void setProgramChangeNumber(int program, bool& programChange);
  // *MIDI_CONTROLLER for the statements that carry a controller field.
  void setControllerNumber(int value, int& controller);
  // A note or program literal (C1N60, C1P5) used as a name.
  void setFromNoteLiteral(const std::string& text, bool& programChange);
  // A controller literal (C1C7) used as a name.
  void setFromControllerLiteral(const std::string& text, int& controller);
};

// The parts of a MIDI literal: C<channel><letter><number>. Numbers too large for an int
// read as the largest int, so the range checks report them.
struct LiteralParts {
  int channel = 0;  // as written, 1 to 16 when valid
  char letter = 0;  // 'N', 'C' or 'P' in either case
  int number = 0;
};
LiteralParts splitLiteral(const std::string& text);

// A MIDI literal written as a value (after *MIDI_NOTE-like options), with the record of
// its canonical name: c01n060 and C1N60 name the same identifier C1N60.
class Literal : public Element {
 public:
  enum Kind : int { Note = 0, Controller = 1, ProgramChange = 2 };

  // Reports an illegal channel or number at the current position.
  Literal(Kind kind, const std::string& text, SourceLocation where);

  // "C%d%c%d" from the channel, the kind's letter and the number.
  static std::string canonicalName(Kind kind, int channelIndex, int number);

  Kind kind;
  int channel;  // index: the channel written minus 1
  int number;
};

// Claims count consecutive entries of a channel's table for a statement. claimNotes
// returns the first statement found holding one of them (nothing is claimed then), or
// null when the claim succeeded; a channel or range outside the table is reported at the
// claimer ("Something wrong here: Bad bits") and claims nothing.
Element* claimNotes(int channel, int first, Element& claimer, int count);
// True when one of the entries is taken (nothing is claimed then). Entries outside the
// table are never claimed; the setters have reported such numbers already.
bool claimProgramChanges(int channel, int first, Element& claimer, int count);
bool claimControllers(int channel, int first, Element& claimer, int count);

// Keeps an element that belongs to no module and no board for the rest of the run.
template <class T>
T* keepLoose(std::unique_ptr<T> element) {
  T* raw = element.get();
  context().looseElements.push_back(std::shared_ptr<Element>(std::move(element)));
  return raw;
}

}  // namespace plenum
