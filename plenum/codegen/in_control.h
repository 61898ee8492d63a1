#pragma once
// A controller item: a MIDI channel and controller number. Made by an external *CONTROL
// declaration, by a controller literal used as a name (C1C7), and by the Allen stop
// translation for the controllers it listens to. None of these belongs to a module or a
// board: they only give the item a name.

#include <string>

#include "plenum/codegen/midi_items.h"

namespace plenum {

class ModInControl : public ModMidiFunction {
 public:
  using ModMidiFunction::ModMidiFunction;

  void print(bool indent) const override;

  // *MIDI_CONTROLLER.
  void setController(int value) { setControllerNumber(value, controller); }
  // A controller literal (C1C7) used as a name or after *CONTROL.
  void setFromLiteral(const std::string& text) { setFromControllerLiteral(text, controller); }

  int controller = -1;  // 0 to 127
  int valueByte = -1;   // work byte holding the value in its own module, once generated
};

}  // namespace plenum
