// The MIDI items declared before the first module: divisions, inputs and controllers
// that arrive from outside the chain (a sequencer, another organ).

#include <cctype>

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/language/compiler_context.h"

namespace plenum {

namespace {

// MIDI literals used as names (C1N60) make items of their own; they are no declarations.
bool isLiteralName(const std::string& name) {
  auto digits = [&](std::size_t from) {
    std::size_t end = from;
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))) ++end;
    return end;
  };
  if (name.empty() || (name[0] != 'C' && name[0] != 'c')) return false;
  const std::size_t letter = digits(1);
  if (letter == 1 || letter >= name.size()) return false;
  if (std::string("NnPpCc").find(name[letter]) == std::string::npos) return false;
  const std::size_t end = digits(letter + 1);
  return end > letter + 1 && end == name.size();
}

}  // namespace

void mapExternals(MapBuilder& builder) {
  for (const auto& loose : context().looseElements) {
    const auto* item = dynamic_cast<const ModMidiFunction*>(loose.get());
    if (!item || !item->identifier || item->identifier->element != item ||
        isLiteralName(item->identifier->name))
      continue;
    MapRow row;
    row.bit = static_cast<int>(builder.map.externals.size()) + 1;
    row.used = true;
    row.identifier = item->name();
    row.channel = item->channel + 1;
    row.line = item->location.line;
    if (const auto* division = dynamic_cast<const ModInputKbd*>(item)) {
      row.kind = "division";
      row.note = division->number;
      row.description = std::to_string(division->count) + " notes from " + noteText(division->number);
      for (int k = 0; k < division->count; ++k)
        builder.addUse(MidiKind::Note, division->channel, division->number + k,
                       MidiDirection::Sends,
                       builder.nameOf(*division) + " key " + std::to_string(k + 1) + " (" +
                           noteName(division->number + k) + ")",
                       "external division", *division, -1);
    } else if (const auto* control = dynamic_cast<const ModInControl*>(item)) {
      row.kind = "controller";
      row.controller = control->controller;
      row.description = "controller " + std::to_string(control->controller);
      builder.addUse(MidiKind::Controller, control->channel, control->controller,
                     MidiDirection::Sends, builder.nameOf(*control), "external controller",
                     *control, -1);
    } else if (const auto* input = dynamic_cast<const ModInputBit*>(item)) {
      row.kind = "input";
      (input->programChange ? row.program : row.note) = input->number;
      row.description = input->programChange ? "program " + std::to_string(input->number)
                                             : "note " + noteText(input->number);
      builder.addUse(input->programChange ? MidiKind::ProgramChange : MidiKind::Note,
                     input->channel, input->number, MidiDirection::Sends, builder.nameOf(*input),
                     "external input", *input, -1);
    } else {
      continue;
    }
    builder.map.externals.push_back(row);
  }
}

}  // namespace plenum
