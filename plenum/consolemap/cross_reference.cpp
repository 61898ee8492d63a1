#include "plenum/consolemap/cross_reference.h"

#include <algorithm>
#include <map>

#include "plenum/codegen/couplers.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/local_values.h"
#include "plenum/codegen/note_command.h"
#include "plenum/codegen/output_rank.h"
#include "plenum/codegen/relays.h"
#include "plenum/language/compiler_context.h"
#include "plenum/model/element.h"
#include "plenum/model/nv_mod.h"
#include "plenum/model/pbus_dev.h"

namespace plenum {

namespace {

std::string kindOf(const Element* element) {
  if (!element) return "undefined";
  if (dynamic_cast<const ModInputKbd*>(element)) return "division";
  if (dynamic_cast<const AllenStopCmd*>(element)) return "Allen stop";
  if (dynamic_cast<const ModNoteCmd*>(element)) return "send note";
  if (dynamic_cast<const ModInControl*>(element)) return "controller";
  if (dynamic_cast<const ModInputBit*>(element)) return "input";
  if (dynamic_cast<const ModOutputRank*>(element)) return "rank";
  if (dynamic_cast<const ModRelay*>(element)) return "relay";
  if (dynamic_cast<const ModBit*>(element)) return "local bit";
  if (dynamic_cast<const ModValue*>(element)) return "local value";
  if (dynamic_cast<const PbusDev*>(element)) return "board";
  if (dynamic_cast<const NvMod*>(element)) return "module";
  if (dynamic_cast<const ModMidiFunction*>(element)) return "MIDI item";
  return "statement";
}

const char* kindWord(MidiKind kind) {
  switch (kind) {
    case MidiKind::Note: return "note";
    case MidiKind::ProgramChange: return "program";
    default: return "controller";
  }
}

std::string itemText(const MidiReference& item) {
  std::string text = "C" + std::to_string(item.channel);
  const char letter = item.kind == MidiKind::Note ? 'N'
                      : item.kind == MidiKind::ProgramChange ? 'P' : 'C';
  text += letter + std::to_string(item.first);
  if (item.last != item.first) text += "-" + std::to_string(item.last);
  if (item.kind == MidiKind::Note) {
    text += " (" + noteName(item.first);
    if (item.last != item.first) text += "-" + noteName(item.last);
    text += ")";
  }
  return text;
}

std::string pad(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

CrossReference buildCrossReference(const ConsoleMap& map, const IdentifierTable& identifiers) {
  CrossReference reference;
  identifiers.forEach([&](const IdentifierRecord& record) {
    if (record.mentionLines.empty()) return;  // made for a literal, never written as a name
    NameReference name;
    name.name = record.name;
    name.kind = kindOf(record.element);
    name.definedAt = record.element ? record.element->location.line : 0;
    for (int line : record.mentionLines)
      if (line != name.definedAt &&
          std::find(name.usedAt.begin(), name.usedAt.end(), line) == name.usedAt.end())
        name.usedAt.push_back(line);
    reference.names.push_back(std::move(name));
  });

  // Users of each item, in statement order, each statement once per item.
  std::map<MidiItem, std::vector<MidiReference::User>> users;
  for (const MidiUse& use : map.midiUses) {
    auto& list = users[use.item];
    MidiReference::User user{use.direction, use.line, use.statement, use.label};
    if (std::find(list.begin(), list.end(), user) == list.end()) list.push_back(user);
  }
  // Neighbouring numbers with the same users make one run.
  for (const auto& [item, list] : users) {
    if (!reference.items.empty()) {
      MidiReference& last = reference.items.back();
      if (last.kind == item.kind && last.channel == item.channel && last.last + 1 == item.number &&
          last.users == list) {
        last.last = item.number;
        continue;
      }
    }
    reference.items.push_back(MidiReference{item.kind, item.channel, item.number, item.number, list});
  }
  return reference;
}

std::string crossReferenceText(const CrossReference& reference) {
  std::string text = "Names\n";
  std::size_t width = 4;
  for (const NameReference& name : reference.names) width = std::max(width, name.name.size());
  for (const NameReference& name : reference.names) {
    text += "  " + pad(name.name, width) + "  " + pad(name.kind, 12) + "  ";
    text += name.definedAt ? "defined " + std::to_string(name.definedAt) : std::string("not defined");
    if (!name.usedAt.empty()) {
      text += ", used";
      for (int line : name.usedAt) text += " " + std::to_string(line);
    }
    text += "\n";
  }
  text += "\nMIDI items\n";
  for (const MidiReference& item : reference.items) {
    text += "  " + pad(itemText(item), 24) + pad(kindWord(item.kind), 11);
    bool first = true;
    for (const MidiReference::User& user : item.users) {
      if (!first) text += "\n" + std::string(37, ' ');
      first = false;
      text += user.direction == MidiDirection::Sends ? "sent by     " : "received by ";
      text += user.statement + " line " + std::to_string(user.line);
      // A run's labels differ from number to number; a single item shows its own.
      if (item.first == item.last && !user.label.empty() && user.label != user.statement)
        text += " (" + user.label + ")";
    }
    text += "\n";
  }
  return text;
}

}  // namespace plenum
