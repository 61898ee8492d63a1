#include "plenum/consolemap/midi_item.h"

#include <array>

namespace plenum {

std::string literalOf(const MidiItem& item) {
  const char letter = item.kind == MidiKind::Note            ? 'N'
                      : item.kind == MidiKind::ProgramChange ? 'P'
                                                             : 'C';
  return "C" + std::to_string(item.channel) + letter + std::to_string(item.number);
}

std::string noteName(int note) {
  static constexpr std::array<const char*, 12> names = {"C",  "C#", "D",  "D#", "E",  "F",
                                                        "F#", "G",  "G#", "A",  "A#", "B"};
  if (note < 0 || note > 127) return "?";
  return std::string(names[static_cast<std::size_t>(note % 12)]) + std::to_string(note / 12 - 1);
}

std::string noteText(int note) { return std::to_string(note) + " (" + noteName(note) + ")"; }

}  // namespace plenum
