// The bits of input boards and lighted-stop boards: keys, stop switches, pistons and
// controllers, with the MIDI item each one sends.

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/inc_dec.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/lighted_stops.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

std::vector<MapRow> freeRows(int count) {
  std::vector<MapRow> rows(static_cast<std::size_t>(count > 0 ? count : 0));
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i].bit = static_cast<int>(i) + 1;
  return rows;
}

// Puts a use on a bit of the board; a bit outside the board (reported by the compiler)
// is left out. A second use of a bit is joined to the first.
void place(std::vector<MapRow>& rows, int bit, const MapRow& use) {
  if (bit < 1 || bit > static_cast<int>(rows.size())) return;
  MapRow& row = rows[static_cast<std::size_t>(bit - 1)];
  if (row.used) {
    row.description += "; " + use.description;
    return;
  }
  const int keep = row.bit;
  row = use;
  row.bit = keep;
  row.used = true;
}

namespace {

std::string withName(const std::string& name, const std::string& rest) {
  return name.empty() ? rest : name + " " + rest;
}

void mapDivision(MapBuilder& builder, const ModInputKbd& division, int module,
                 std::vector<MapRow>& rows) {
  if (division.firstBit < 1 || division.count < 1) return;
  for (int key = 1; key <= division.count; ++key) {
    const int note = division.number + key - 1;
    MapRow row;
    row.identifier = division.name();
    row.kind = "key";
    row.channel = division.channel + 1;
    row.note = note;
    row.description = "key " + std::to_string(key) + " (" + noteName(note) + ")";
    row.line = division.location.line;
    place(rows, division.firstBit + key - 1, row);
    builder.addUse(MidiKind::Note, division.channel, note, MidiDirection::Sends,
                   withName(division.name(), row.description), "division", division, module);
  }
}

void mapInputBit(MapBuilder& builder, const ModInputBit& input, bool alternate, int module,
                 std::vector<MapRow>& rows) {
  MapRow row;
  row.identifier = input.name();
  auto role = builder.roles.find(&input);
  row.kind = role != builder.roles.end() ? role->second : "input";
  row.channel = input.channel + 1;
  row.line = input.location.line;
  std::string sends;
  if (input.programChange) {
    row.program = input.number;
    sends = "program " + std::to_string(input.number);
  } else {
    row.note = input.number;
    sends = "note " + noteText(input.number);
  }
  row.description = row.kind + (alternate ? " (alternate action)" : "") + ", sends " + sends +
                    (input.invert ? ", inverted" : "");
  place(rows, input.bit, row);
  builder.addUse(input.programChange ? MidiKind::ProgramChange : MidiKind::Note, input.channel,
                 input.number, MidiDirection::Sends, builder.nameOf(input),
                 alternate ? "alternate action input" : "input bit", input, module);
}

std::string rangeOf(const ModInControl& control) {
  return std::to_string(control.minimum) + "-" + std::to_string(control.maximum);
}

MapRow controllerRow(const ModInControl& control, const std::string& what) {
  MapRow row;
  row.identifier = control.name();
  row.channel = control.channel + 1;
  row.line = control.location.line;
  row.range = rangeOf(control);
  if (control.controller == ModInControl::ProgramChangeController) {
    row.kind = "program sender";
    row.description = what + ", sends programs " + row.range;
  } else {
    row.kind = "controller";
    row.controller = control.controller;
    row.description = what + ", controller " + std::to_string(control.controller) + " values " +
                      row.range;
  }
  return row;
}

}  // namespace

void mapControllerBits(MapBuilder& builder, const ModInControl& control, int module,
                       std::vector<MapRow>& rows) {
  if (const auto* steps = dynamic_cast<const ModIncDec*>(&control)) {
    place(rows, steps->incrementBit, controllerRow(control, "increment"));
    place(rows, steps->decrementBit, controllerRow(control, "decrement"));
  } else if (control.source == ModInControl::SingleBit) {
    place(rows, control.bit, controllerRow(control, "analog input"));
  } else if (control.source == ModInControl::OneOfN || control.source == ModInControl::Binary) {
    const bool oneOfN = control.source == ModInControl::OneOfN;
    for (int k = 1; k <= control.count; ++k) {
      const std::string what = oneOfN ? "step " + std::to_string(k) + " of " +
                                            std::to_string(control.count)
                                      : "binary digit " + std::to_string(k) + " of " +
                                            std::to_string(control.count);
      place(rows, control.bit + k - 1, controllerRow(control, what));
    }
  }
  if (control.controller == ModInControl::ProgramChangeController) {
    for (int program = control.minimum; program <= control.maximum; ++program)
      builder.addUse(MidiKind::ProgramChange, control.channel, program, MidiDirection::Sends,
                     builder.nameOf(control), "program sender", control, module);
  } else {
    builder.addUse(MidiKind::Controller, control.channel, control.controller,
                   MidiDirection::Sends, builder.nameOf(control), "controller", control, module);
  }
}

void mapInputBoard(MapBuilder& builder, const PbusDev& board, BoardMap& out) {
  BoardSection section;
  section.side = BoardSide::Input;
  section.rows = freeRows(board.inputBitCount());
  const int module = board.module ? board.module->number : -1;
  for (const auto& item : board.items) {
    if (const auto* division = dynamic_cast<const ModInputKbd*>(item.get()))
      mapDivision(builder, *division, module, section.rows);
    else if (const auto* alternate = dynamic_cast<const ModAltInputBit*>(item.get()))
      mapInputBit(builder, *alternate, true, module, section.rows);
    else if (const auto* input = dynamic_cast<const ModInputBit*>(item.get()))
      mapInputBit(builder, *input, false, module, section.rows);
    else if (const auto* control = dynamic_cast<const ModInControl*>(item.get()))
      mapControllerBits(builder, *control, module, section.rows);
  }
  out.sections.push_back(std::move(section));
}

// The board's stops, one note each from the first note on; each is a switch and its lamp.
void mapLightedStops(MapBuilder& builder, const PbusDev& board, BoardMap& out) {
  const auto& lighted = static_cast<const PbusLytedStop&>(board);
  BoardSection section;
  section.side = BoardSide::Input;
  const int units = lighted.unitBytes();
  section.rows = freeRows(units * (lighted.singleRow ? 4 : 8));
  const int module = board.module ? board.module->number : -1;
  const bool haveNotes = lighted.hasFirstNote() && lighted.channel() >= 0;
  for (MapRow& row : section.rows) {
    if (!haveNotes) break;
    row.used = true;
    row.kind = "lighted stop";
    row.channel = lighted.channel() + 1;
    row.note = lighted.firstNote() + row.bit - 1;
    row.line = board.location.line;
    row.description = "lighted stop " + std::to_string(row.bit) + ", note " + noteText(row.note);
  }
  for (const auto& item : board.items) {
    const auto* bit = dynamic_cast<const ModInputBit*>(item.get());
    if (!bit || bit->bit < 1 || bit->bit > static_cast<int>(section.rows.size())) continue;
    MapRow& row = section.rows[static_cast<std::size_t>(bit->bit - 1)];
    row.identifier = bit->name();
    auto role = builder.roles.find(bit);
    if (role != builder.roles.end()) row.kind = "lighted " + role->second;
    row.line = bit->location.line;
  }
  for (const MapRow& row : section.rows) {
    if (!row.used) continue;
    const std::string label = row.identifier.empty() ? row.description : row.identifier;
    builder.addUse(MidiKind::Note, row.channel - 1, row.note, MidiDirection::Sends, label,
                   "lighted stop", board, module);
    builder.addUse(MidiKind::Note, row.channel - 1, row.note, MidiDirection::Receives, label,
                   "lighted stop", board, module);
  }
  out.sections.push_back(std::move(section));
}

}  // namespace plenum
