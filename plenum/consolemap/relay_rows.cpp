// The relays of a relays group (and of its else group): what each plays, under which
// tabs, and the MIDI items it takes in and sends out.

#include <cctype>

#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/output_rank.h"
#include "plenum/codegen/relays.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/relays_group.h"

namespace plenum {

namespace {

std::string lowered(const char* text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

std::string signedNumber(int value) { return (value > 0 ? "+" : "") + std::to_string(value); }

void mapRelay(MapBuilder& builder, const ModRelay& relay, const std::string& condition,
              int module, std::vector<MapRow>& rows) {
  MapRow row;
  row.bit = static_cast<int>(rows.size()) + 1;
  row.used = true;
  row.identifier = relay.name();
  row.kind = lowered(relay.kindName());
  row.line = relay.location.line;
  const ModInputKbd* division = relay.division;
  const int offset = relay.number == ModMidiFunction::NumberNotSet ? 0 : relay.number;
  std::string text = division ? division->name() : std::string("?");
  if (relay.hasRank) {
    text += " on rank " + std::string(relay.rank ? relay.rank->name() : "?");
    if (relay.rankFirst != 0)
      text += " pipes " + std::to_string(relay.rankFirst) + "-" + std::to_string(relay.rankLast);
    if (relay.isTrap()) text += " bit " + std::to_string(offset);
    else if (offset != 0) text += " offset " + signedNumber(offset);
  } else {
    row.channel = relay.channel + 1;
    text += " to channel " + std::to_string(relay.channel + 1);
    if (relay.isTrap()) {
      row.note = offset;
      text += " note " + noteText(offset);
    } else if (offset != 0) {
      text += " offset " + signedNumber(offset);
    }
  }
  std::string tabs;
  for (const ModRelay::Tab& tab : relay.tabs)
    tabs += (tabs.empty() ? "" : ", ") + std::string(tab.on ? "" : "!") +
            (tab.input ? builder.nameOf(*tab.input) : "?");
  if (!tabs.empty()) text += ", tabs " + tabs;
  if (relay.condition) text += ", while " + expressionText(*relay.condition);
  if (!condition.empty()) text += ", " + condition;
  row.description = text;
  rows.push_back(row);

  // What reaches the relay: its division's keys and its tabs; what it sends: notes.
  const char* statement = relay.kindName();
  if (division && division->channel >= 0) {
    const int notes = division->extension > 0 ? division->extension : division->count;
    for (int k = 0; k < notes; ++k) {
      const int note = division->number + k;
      builder.addUse(MidiKind::Note, division->channel, note, MidiDirection::Receives,
                     builder.nameOf(*division) + " key " + std::to_string(k + 1), statement,
                     relay, module);
      if (relay.hasRank || relay.channel < 0) continue;
      const int out = relay.isTrap() ? offset : note + offset;
      if (relay.isTrap() && k > 0) continue;
      builder.addUse(MidiKind::Note, relay.channel, out, MidiDirection::Sends,
                     std::string(statement) + " of " + builder.nameOf(*division) +
                         (relay.isTrap() ? "" : " key " + std::to_string(k + 1)),
                     statement, relay, module);
    }
  }
  for (const ModRelay::Tab& tab : relay.tabs)
    if (tab.input)
      builder.addUse(tab.input->programChange ? MidiKind::ProgramChange : MidiKind::Note,
                     tab.input->channel, tab.input->number, MidiDirection::Receives,
                     builder.nameOf(*tab.input), statement, relay, module);
  builder.addReads(relay.condition.get(), relay, module, statement);
  builder.addReads(relay.velocity.get(), relay, module, statement);
}

void mapGroup(MapBuilder& builder, const Relays& group, const std::string& condition,
              int module, std::vector<MapRow>& rows) {
  for (const auto& item : group.items)
    if (const auto* relay = dynamic_cast<const ModRelay*>(item.get()))
      mapRelay(builder, *relay, condition, module, rows);
  builder.addReads(group.condition.get(), group, module, "relays group");
}

}  // namespace

void mapRelays(MapBuilder& builder, const PbusDev& board, BoardMap& out) {
  const auto& group = static_cast<const Relays&>(board);
  BoardSection section;
  const int module = board.module ? board.module->number : -1;
  const std::string condition = group.condition ? expressionText(*group.condition) : "";
  mapGroup(builder, group, condition.empty() ? "" : "if " + condition, module, section.rows);
  if (group.elseGroup)
    mapGroup(builder, *group.elseGroup, condition.empty() ? "else" : "unless " + condition,
             module, section.rows);
  out.sections.push_back(std::move(section));
}

}  // namespace plenum
