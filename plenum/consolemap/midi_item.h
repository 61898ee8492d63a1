#pragma once
// MIDI items as the console map names them: a note, a program change or a controller of
// a channel, and which statement sends or receives one.

#include <string>

namespace plenum {

enum class MidiKind { Note, ProgramChange, Controller };

struct MidiItem {
  MidiKind kind = MidiKind::Note;
  int channel = 1;  // 1 to 16, as written
  int number = 0;   // 0 to 127

  friend bool operator==(const MidiItem&, const MidiItem&) = default;
  friend auto operator<=>(const MidiItem&, const MidiItem&) = default;
};

// The item as the configuration language writes it: C1N60, C5P1, C2C7.
std::string literalOf(const MidiItem& item);

// Note name with octave, note 60 being C4: "C4", "F#2".
std::string noteName(int note);
// The number and its name: "36 (C2)".
std::string noteText(int note);

enum class MidiDirection { Sends, Receives };

struct MidiUse {
  MidiItem item;
  MidiDirection direction = MidiDirection::Sends;
  std::string label;      // what the item is to this statement: "Swell key 25 (C4)"
  std::string statement;  // the statement kind: division, input bit, relay, ...
  int line = 0;
  int module = -1;        // -1 for a declaration outside the chain
};

}  // namespace plenum
