// A blind combination action: its buttons, pistons and the tabs whose positions it stores.

#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/combination_action.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {

void addRow(MapBuilder& builder, const Element* input, const std::string& kind, int module,
            const Element& statement, std::vector<MapRow>& rows) {
  if (!input) return;
  MapRow row;
  row.bit = static_cast<int>(rows.size()) + 1;
  row.used = true;
  row.identifier = input->name();
  row.kind = kind;
  row.line = input->location.line;
  row.description = kind + " " + builder.nameOf(*input);
  if (const auto* bit = dynamic_cast<const ModInputBit*>(input)) {
    row.channel = bit->channel + 1;
    (bit->programChange ? row.program : row.note) = bit->number;
    builder.addUse(bit->programChange ? MidiKind::ProgramChange : MidiKind::Note, bit->channel,
                   bit->number, MidiDirection::Receives, builder.nameOf(*bit),
                   "blind combination action", statement, module);
  } else if (const auto* control = dynamic_cast<const ModInControl*>(input)) {
    row.channel = control->channel + 1;
    row.controller = control->controller;
    builder.addUse(MidiKind::Controller, control->channel, control->controller,
                   MidiDirection::Receives, builder.nameOf(*control), "blind combination action",
                   statement, module);
  }
  rows.push_back(row);
}

}  // namespace

void mapBlindCombination(MapBuilder& builder, const PbusDev& board, BoardMap& out) {
  const auto& action = static_cast<const BlindCombinationAction&>(board);
  BoardSection section;
  const int module = board.module ? board.module->number : -1;
  addRow(builder, action.setBit, "set button", module, board, section.rows);
  addRow(builder, action.mapBit, "map button", module, board, section.rows);
  addRow(builder, action.cancelBit, "cancel button", module, board, section.rows);
  for (const ModInputBit* piston : action.pistons)
    addRow(builder, piston, "piston", module, board, section.rows);
  addRow(builder, action.memorySelectController, "memory select", module, board, section.rows);
  for (const ModInputBit* tab : action.tabs) addRow(builder, tab, "tab", module, board, section.rows);
  builder.addReads(action.memorySelectExpression.get(), board, module, "blind combination action");
  out.sections.push_back(std::move(section));
}

}  // namespace plenum
