#include "plenum/consolemap/midi_names.h"

#include <algorithm>

namespace plenum {

namespace {
constexpr int NoteOff = 0x80;
constexpr int NoteOn = 0x90;
constexpr int ControlChange = 0xB0;
constexpr int ProgramChange = 0xC0;

// Keys and played notes are named by what they are; switches also by their state.
bool isSwitch(const MidiUse& use) {
  return use.statement != "division" && use.statement != "external division" &&
         use.item.kind == MidiKind::Note && use.label.find(" key ") == std::string::npos;
}
}  // namespace

MidiNames::MidiNames(const ConsoleMap& map) {
  for (const MidiUse& use : map.midiUses) {
    if (use.direction != MidiDirection::Sends) continue;
    auto [first, last] = names_.equal_range(use.item);
    const bool known = std::any_of(first, last, [&](const auto& entry) {
      return entry.second.label == use.label;
    });
    if (!known) names_.emplace(use.item, Name{use.label, isSwitch(use)});
  }
}

std::vector<std::string> MidiNames::namesOf(std::uint8_t status, std::uint8_t data1,
                                            std::uint8_t data2) const {
  std::vector<std::string> result;
  const int type = status & 0xF0;
  const int channel = (status & 0x0F) + 1;
  MidiItem item{MidiKind::Note, channel, data1 & 0x7F};
  std::string state;
  if (type == NoteOn || type == NoteOff) {
    state = type == NoteOn && data2 != 0 ? " on" : " off";
  } else if (type == ControlChange) {
    item.kind = MidiKind::Controller;
  } else if (type == ProgramChange) {
    item.kind = MidiKind::ProgramChange;
  } else {
    return result;
  }
  auto [first, last] = names_.equal_range(item);
  for (auto entry = first; entry != last; ++entry) {
    const Name& name = entry->second;
    if (item.kind == MidiKind::Controller)
      result.push_back(name.label + " " + std::to_string(data2 & 0x7F));
    else
      result.push_back(name.label + (name.onOff ? state : ""));
  }
  return result;
}

}  // namespace plenum
