// The statements written in the module statement itself (not under a board): the
// module's analog pins, computed controllers, couplers, sostenuto, pizzicato and
// reiteration, the transposer, when and send-note commands, Allen stops, local bits and
// values, and the MIDI commands.

#include <cstdio>

#include "plenum/codegen/couplers.h"
#include "plenum/codegen/in_control.h"
#include "plenum/codegen/input_bits.h"
#include "plenum/codegen/local_values.h"
#include "plenum/codegen/midi_commands.h"
#include "plenum/codegen/note_command.h"
#include "plenum/codegen/pizz_reit.h"
#include "plenum/codegen/sostenuto.h"
#include "plenum/codegen/transposer.h"
#include "plenum/codegen/when_command.h"
#include "plenum/consolemap/map_building.h"
#include "plenum/model/nv_mod.h"

namespace plenum {

namespace {

constexpr int NoteOnStatus = 0x90;
constexpr int ControllerStatus = 0xB0;
constexpr int ProgramStatus = 0xC0;
constexpr int SystemStatus = 0xF0;
constexpr int AllenController99 = 99;
constexpr int AllenController98 = 98;

struct Rows {
  MapBuilder& builder;
  int module;
  std::vector<MapRow>& rows;

  MapRow& add(const Element& statement, const std::string& kind, const std::string& text) {
    MapRow row;
    row.bit = static_cast<int>(rows.size()) + 1;
    row.used = true;
    row.identifier = statement.name();
    row.kind = kind;
    row.description = text;
    row.line = statement.location.line;
    rows.push_back(row);
    return rows.back();
  }

  // The notes of a division arriving, and optionally the same notes leaving on a channel.
  void divisionNotes(const ModInputKbd* division, const Element& statement, const char* what,
                     int sendChannel, int shift) {
    if (!division || division->channel < 0) return;
    const int notes = division->extension > 0 ? division->extension : division->count;
    for (int k = 0; k < notes; ++k) {
      const std::string key = builder.nameOf(*division) + " key " + std::to_string(k + 1);
      builder.addUse(MidiKind::Note, division->channel, division->number + k,
                     MidiDirection::Receives, key, what, statement, module);
      if (sendChannel >= 0)
        builder.addUse(MidiKind::Note, sendChannel, division->number + k + shift,
                       MidiDirection::Sends, std::string(what) + " of " + key, what, statement,
                       module);
    }
  }
};

std::string divisionName(const MapBuilder& builder, const ModInputKbd* division) {
  return division ? builder.nameOf(*division) : "?";
}

MidiKind kindOf(const ModMidiFunction& item) {
  if (const auto* control = dynamic_cast<const ModInControl*>(&item))
    return control->controller == ModInControl::ProgramChangeController ? MidiKind::ProgramChange
                                                                        : MidiKind::Controller;
  if (const auto* bit = dynamic_cast<const ModInputBit*>(&item))
    return bit->programChange ? MidiKind::ProgramChange : MidiKind::Note;
  return MidiKind::Note;
}

int numberOf(const ModMidiFunction& item) {
  if (const auto* control = dynamic_cast<const ModInControl*>(&item)) return control->controller;
  return item.number;
}

void mapFunction(Rows& out, const ModFunction& function) {
  MapBuilder& builder = out.builder;
  const int module = out.module;
  if (const auto* allen = dynamic_cast<const AllenStopCmd*>(&function)) {
    MapRow& row = out.add(*allen, "Allen stop",
                          "controllers 99=" + std::to_string(allen->controller99Value) +
                              " 98=" + std::to_string(allen->controller98Value) +
                              " on channel " + std::to_string(allen->allenChannel + 1) +
                              " send note " + noteText(allen->number));
    row.channel = allen->channel + 1;
    row.note = allen->number;
    builder.addUse(MidiKind::Controller, allen->allenChannel, AllenController99,
                   MidiDirection::Receives, builder.nameOf(*allen), "Allen stop", *allen, module);
    builder.addUse(MidiKind::Controller, allen->allenChannel, AllenController98,
                   MidiDirection::Receives, builder.nameOf(*allen), "Allen stop", *allen, module);
    builder.addUse(MidiKind::Note, allen->channel, allen->number, MidiDirection::Sends,
                   builder.nameOf(*allen), "Allen stop", *allen, module);
  } else if (const auto* control = dynamic_cast<const ModInControl*>(&function)) {
    if (control->source == ModInControl::Computed) {
      const bool programs = control->controller == ModInControl::ProgramChangeController;
      MapRow& row = out.add(*control, programs ? "program sender" : "controller",
                            (programs ? std::string("programs")
                                      : "controller " + std::to_string(control->controller)) +
                                " = " + (control->expression ? expressionText(*control->expression)
                                                             : std::string("?")));
      row.channel = control->channel + 1;
      if (!programs) row.controller = control->controller;
      row.range = std::to_string(control->minimum) + "-" + std::to_string(control->maximum);
      builder.addReads(control->expression.get(), *control, module, "controller");
    }
    // The module's own analog pins count as one board of four inputs.
    std::vector<MapRow> own = freeRows(4);
    mapControllerBits(builder, *control, module, own);
    for (MapRow& pin : own) {
      if (!pin.used) continue;
      pin.description = "module analog pin " + std::to_string(pin.bit) + ", " + pin.description;
      pin.bit = static_cast<int>(out.rows.size()) + 1;
      out.rows.push_back(pin);
    }
  } else if (const auto* coupler = dynamic_cast<const ModCoupler*>(&function)) {
    const int shift = coupler->offset;
    out.add(*coupler, "coupler",
            divisionName(builder, coupler->fromDivision) + " to " +
                divisionName(builder, coupler->toDivision) +
                (shift != 0 ? " offset " + std::to_string(shift) : "") + " while " +
                (coupler->expression ? expressionText(*coupler->expression) : "?"));
    out.divisionNotes(coupler->fromDivision, *coupler, "coupler",
                      coupler->toDivision ? coupler->toDivision->channel : -1, shift);
    builder.addReads(coupler->expression.get(), *coupler, module, "coupler");
  } else if (const auto* sostenuto = dynamic_cast<const ModSostenuto*>(&function)) {
    out.add(*sostenuto, "sostenuto",
            divisionName(builder, sostenuto->division) + " while " +
                (sostenuto->expression ? expressionText(*sostenuto->expression) : "?"));
    out.divisionNotes(sostenuto->division, *sostenuto, "sostenuto", -1, 0);
    builder.addReads(sostenuto->expression.get(), *sostenuto, module, "sostenuto");
  } else if (const auto* pizz = dynamic_cast<const ModPizzReit*>(&function)) {
    const char* what = pizz->isPizz() ? "pizzicato" : "reiteration";
    MapRow& row = out.add(*pizz, what,
                          divisionName(builder, pizz->sourceDivision) + " to channel " +
                              std::to_string(pizz->channel + 1) + " while " +
                              (pizz->expression ? expressionText(*pizz->expression) : "?"));
    row.channel = pizz->channel + 1;
    out.divisionNotes(pizz->sourceDivision, *pizz, what, pizz->channel, 0);
    builder.addReads(pizz->expression.get(), *pizz, module, what);
  } else if (const auto* transposer = dynamic_cast<const ModTranspose*>(&function)) {
    out.add(*transposer, "transposer",
            "by " + (transposer->expression ? expressionText(*transposer->expression) : "?"));
    builder.addReads(transposer->expression.get(), *transposer, module, "transposer");
  } else if (const auto* when = dynamic_cast<const ModWhenCmd*>(&function)) {
    std::string text = "when " + (when->trigger ? builder.nameOf(*when->trigger) : "?");
    if (when->condition) text += " if " + expressionText(*when->condition);
    text += std::string(" set ") + (when->targetName ? when->targetName->name : "?") + " = " +
            (when->value ? expressionText(*when->value) : "?");
    out.add(*when, "when", text);
    if (when->trigger)
      builder.addUse(kindOf(*when->trigger), when->trigger->channel, numberOf(*when->trigger),
                     MidiDirection::Receives, builder.nameOf(*when->trigger), "when", *when,
                     module);
    builder.addReads(when->condition.get(), *when, module, "when");
    builder.addReads(when->value.get(), *when, module, "when");
  } else if (const auto* note = dynamic_cast<const ModNoteCmd*>(&function)) {
    MapRow& row = out.add(*note, "send note",
                          std::string(note->programChange ? "program " : "note ") +
                              (note->programChange ? std::to_string(note->number)
                                                   : noteText(note->number)) +
                              " while " +
                              (note->expression ? expressionText(*note->expression) : "?"));
    row.channel = note->channel + 1;
    (note->programChange ? row.program : row.note) = note->number;
    builder.addUse(note->programChange ? MidiKind::ProgramChange : MidiKind::Note, note->channel,
                   note->number, MidiDirection::Sends, builder.nameOf(*note), "send note", *note,
                   module);
    builder.addReads(note->expression.get(), *note, module, "send note");
  } else if (const auto* bit = dynamic_cast<const ModBit*>(&function)) {
    if (bit->expression) {
      out.add(*bit, "local bit", "= " + expressionText(*bit->expression));
      builder.addReads(bit->expression.get(), *bit, module, "local bit");
    } else {
      out.add(*bit, "local bit", "set by when commands");
    }
  } else if (const auto* value = dynamic_cast<const ModValue*>(&function)) {
    if (value->expression) {
      out.add(*value, "local value", "= " + expressionText(*value->expression));
      builder.addReads(value->expression.get(), *value, module, "local value");
    } else {
      out.add(*value, "local value", "set by when commands");
    }
  }
}

std::string hexBytes(const MidiCommand& command, int status) {
  char text[32];
  const int bytes[3] = {status, command.secondByte, command.thirdByte};
  std::string result;
  for (int i = 0; i < command.byteCount && i < 3; ++i) {
    std::snprintf(text, sizeof text, "%s%02X", i ? " " : "", static_cast<unsigned>(bytes[i]));
    result += text;
  }
  return result;
}

void mapMidiCommand(Rows& out, const MidiCommand& command) {
  const int status =
      command.firstByte < SystemStatus ? command.firstByte + command.channel : command.firstByte;
  std::string condition;
  if (const auto* conditional = dynamic_cast<const ConditionalMidiCommand*>(&command))
    if (conditional->condition) condition = expressionText(*conditional->condition);
  MapRow row;
  row.bit = static_cast<int>(out.rows.size()) + 1;
  row.used = true;
  row.kind = "MIDI command";
  row.line = command.location.line;
  row.description = "sends " + hexBytes(command, status) + " when " + condition + " turns true";
  const int type = status & 0xF0;
  const int channel = status & 0x0F;
  if (type >= 0x80 && type < SystemStatus) row.channel = channel + 1;
  Element where(command.location);
  if (type == NoteOnStatus && command.byteCount == 3) {
    row.note = command.secondByte;
    out.builder.addUse(MidiKind::Note, channel, command.secondByte, MidiDirection::Sends,
                       "MIDI command", "MIDI command", where, out.module);
  } else if (type == ControllerStatus && command.byteCount == 3) {
    row.controller = command.secondByte;
    out.builder.addUse(MidiKind::Controller, channel, command.secondByte, MidiDirection::Sends,
                       "MIDI command", "MIDI command", where, out.module);
  } else if (type == ProgramStatus && command.byteCount >= 2) {
    row.program = command.secondByte;
    out.builder.addUse(MidiKind::ProgramChange, channel, command.secondByte,
                       MidiDirection::Sends, "MIDI command", "MIDI command", where, out.module);
  }
  out.rows.push_back(row);
  if (const auto* conditional = dynamic_cast<const ConditionalMidiCommand*>(&command))
    out.builder.addReads(conditional->condition.get(), where, out.module, "MIDI command");
}

}  // namespace

bool mapModuleStatements(MapBuilder& builder, const NvPbusMod& module, BoardMap& out) {
  BoardSection section;
  Rows rows{builder, module.number, section.rows};
  for (const auto& command : module.midiCommands) mapMidiCommand(rows, *command);
  for (const auto& function : module.functions) mapFunction(rows, *function);
  if (section.rows.empty()) return false;
  out.sections.push_back(std::move(section));
  return true;
}

}  // namespace plenum
